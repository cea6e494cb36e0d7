#pragma once

#include <QColor>
#include <QWidget>

#include <array>
#include <chrono>
#include <functional>

class QTimer;

// A spinning activity indicator drawn in code: twelve fins whose brightness turns clockwise,
// a 0.7-second fade when stopped and a dim idle look; or, when determinate, a circle filled
// like a pie chart from twelve o'clock. Main thread only.
//
// Frames come from a 50-ms timer of the main thread in both modes: widgets paint only there.
// With threaded animation a frame is painted at once (repaint()), otherwise on the next paint
// pass (update()). The indicator is "in a window" while it is visible: a start while hidden
// only records that it animates, showing it starts the frames, and hiding it ends them.
class ZPHSpinningProgressIndicator : public QWidget
{
    Q_OBJECT
    Q_DISABLE_COPY_MOVE(ZPHSpinningProgressIndicator)

public:
    enum class Style { Bar = 0, Spinning = 1 };
    using Clock = std::function<std::chrono::steady_clock::time_point()>;
    static constexpr int finCount = 12;

    explicit ZPHSpinningProgressIndicator(QWidget *parent = nullptr);

    // Spins, when indeterminate and not already spinning (a start during the fade restarts).
    void startAnimation();
    // Begins the fade; the indicator stops 0.7 seconds later.
    void stopAnimation();
    // Only the spinning style exists; asking for any other is a programming error.
    void setStyle(Style style);

    QColor color() const { return m_color; }
    void setColor(const QColor &color);
    QColor backgroundColor() const { return m_backgroundColor; }
    void setBackgroundColor(const QColor &color);
    bool drawsBackground() const { return m_drawsBackground; }
    void setDrawsBackground(bool drawsBackground);
    // When NO, the indicator paints nothing while it does not spin.
    bool isDisplayedWhenStopped() const { return m_displayedWhenStopped; }
    void setDisplayedWhenStopped(bool displayedWhenStopped);
    bool usesThreadedAnimation() const { return m_usesThreadedAnimation; }
    // A change while spinning restarts the spinning in the new mode.
    void setUsesThreadedAnimation(bool usesThreadedAnimation);
    bool isIndeterminate() const { return m_indeterminate; }
    // Turning determinate while spinning begins the fade.
    void setIsIndeterminate(bool indeterminate);
    // Stores the flag only.
    void setIndeterminate(bool indeterminate) { m_indeterminate = indeterminate; }
    double currentValue() const { return m_currentValue; }
    // Makes the indicator determinate (a running spin goes on until stopped).
    void setCurrentValue(double value);
    double maxValue() const { return m_maxValue; }
    void setMaxValue(double value);

    // The time the fade is measured on; tests set a clock they move by hand.
    void setClock(Clock clock) { m_clock = std::move(clock); }
    bool isAnimating() const { return m_animating; }
    bool isFadingOut() const { return m_fadingOut; }
    int currentPosition() const { return m_position; }
    const std::array<QColor, finCount> &finColors() const { return m_finColors; }
    // The frame timer while frames run, else null.
    QTimer *animationTimer() const { return m_timer; }
    // One frame: the fins' colours, the end of the fade, a redraw and a turn. The timer's
    // action; public so that a test can step frames.
    void updateFrameFromTimer();

    QSize sizeHint() const override;

protected:
    void paintEvent(QPaintEvent *event) override;
    void showEvent(QShowEvent *event) override;
    void hideEvent(QHideEvent *event) override;

private:
    double alphaValueForPosition(int fin) const;
    double secondsSinceFadeOutStart() const;
    void actuallyStartAnimation();
    void actuallyStopAnimation();
    void fillFinColors(double alphaFloor);
    void drawFins(QPainter &painter, double side) const;
    void drawPie(QPainter &painter, double side) const;
    double determinateFraction() const;

    QColor m_color;
    QColor m_backgroundColor = Qt::transparent;
    bool m_drawsBackground = false;
    bool m_displayedWhenStopped = true;
    bool m_usesThreadedAnimation = true;
    bool m_indeterminate = true;
    double m_currentValue = 0.0;
    double m_maxValue = 100.0;

    int m_position = 0;
    std::array<QColor, finCount> m_finColors;
    bool m_animating = false;
    bool m_fadingOut = false;
    // Painting nothing stands in for hiding: hiding the widget would end the animation.
    bool m_concealed = false;
    std::chrono::steady_clock::time_point m_fadeOutStart;
    Clock m_clock = [] { return std::chrono::steady_clock::now(); };
    QTimer *m_timer = nullptr;
};
