#pragma once

#include <QLabel>
#include <QList>
#include <QString>

class QTimer;

// A centred, engraved amount of space: the number with one decimal in the label's font,
// directly followed by its unit in the smaller application font ("12.3GB"). A new value is
// shown at once or counted to in eight even steps, one every 10 ms; values given while a
// counting runs wait in a queue and are counted to in turn. Main thread only.
//
// text() holds the title as shown. Updates never change the label's size hint beyond the new
// text, so a label of fixed size relays nothing out while it counts.
class MWSpaceLabel final : public QLabel
{
    Q_OBJECT
    Q_DISABLE_COPY_MOVE(MWSpaceLabel)
    // The opacity the label paints with; animated by the statistics panel's pulse.
    Q_PROPERTY(qreal alphaValue READ alphaValue WRITE setAlphaValue)

public:
    explicit MWSpaceLabel(QWidget *parent = nullptr);

    // The first value a label gets, a value that is not finite and any value while the
    // shown one is not finite appear at once; others are counted to when animated.
    void setSizeUnitAnimated(double value, const QString &unit, bool animated);
    void setSizeUnit(double value, const QString &unit) { setSizeUnitAnimated(value, unit, true); }
    // Shows the plain integer in the label's font.
    void setIntegerValue(qint64 value);

    // One tick of the counting: the timer's action; public so that a test can tick it.
    void changeValue();

    // The value shown or being counted to; -1 before the first one.
    double sizeValue() const { return m_size; }
    const QString &unit() const { return m_unit; }
    double trackingValue() const { return m_trackingValue; }
    bool isAnimating() const { return m_animating; }

    qreal alphaValue() const { return m_alphaValue; }
    void setAlphaValue(qreal alphaValue);

protected:
    void paintEvent(QPaintEvent *event) override;

private:
    struct QueuedSize
    {
        double size;
        QString unit;
    };

    // Answers whether a counting started; an equal or non-finite target starts none.
    bool animateToSize(double value);
    void processNextQueueItem();
    void updateTitle();
    void changeText();
    void setTitleWithSize(double value, const QString &unit);

    double m_size = -1.0;
    QString m_unit;
    double m_oldValue = 0.0;
    double m_trackingValue = 0.0;
    double m_stepValue = 0.0;
    bool m_animating = false;
    QList<QueuedSize> m_animationQueue;
    QTimer *m_timer = nullptr;
    // The unit inside text(), drawn smaller; empty for a plain integer.
    QString m_titleUnit;
    qreal m_alphaValue = 1.0;
};
