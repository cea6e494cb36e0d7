#pragma once

#include <QColor>
#include <QPainterPath>
#include <QPointer>
#include <QTimer>
#include <QWidget>



// The frame of the drop area: a grey, dashed, rounded border over the outer 3 points of the
// view, whose dashes march one point twenty times a second while a drag is over the area. The
// border keeps the size the view had when it was first shown.
class RQFileDropView final : public QWidget
{
    Q_OBJECT
    Q_DISABLE_COPY_MOVE(RQFileDropView)

public:
    static constexpr double lineWidth = 3;
    static constexpr int tickMilliseconds = 50;

    explicit RQFileDropView(QWidget *parent = nullptr);
    ~RQFileDropView() override;

    const QPainterPath &dropPath() const { return m_dropPath; }
    // 0 to 9: the dashes' offset in points.
    double phase() const { return m_phase; }
    void setPhase(double phase);
    QColor strokeColor() const { return m_strokeColor; }
    void setStrokeColor(const QColor &color);
    bool isAnimating() const { return m_timer != nullptr; }

    // Starts marching from the current phase; a running march is replaced.
    void startAnimation();
    // Stops marching; the border stays at its phase.
    void stopAnimation();
    // One step of the march: the phase runs 0 to 9 and back to 0.
    void tick();

protected:
    void showEvent(QShowEvent *event) override;
    void paintEvent(QPaintEvent *event) override;

private:
    void makeDropPathIfNeeded();

    QPainterPath m_dropPath;
    double m_phase = 0;
    QColor m_strokeColor;
    QPointer<QTimer> m_timer;
};
