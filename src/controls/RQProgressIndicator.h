#pragma once

#include "platform/gui/NamedImage.h"

#include <QWidget>

class QParallelAnimationGroup;
class QPropertyAnimation;

// A horizontal progress bar drawn from artwork: a three-slice track and over it a three-slice
// fill whose width follows the progress (0 to 1). Width changes can be animated; a progress
// of 0 fades the fill out. Main thread only.
class RQProgressIndicator final : public QWidget
{
    Q_OBJECT
    Q_DISABLE_COPY_MOVE(RQProgressIndicator)
    // The fill's width in points and its opacity, as drawn; the layout animates them.
    Q_PROPERTY(qreal fillWidth READ fillWidth WRITE setFillWidth)
    Q_PROPERTY(qreal fillOpacity READ fillOpacity WRITE setFillOpacity)

public:
    explicit RQProgressIndicator(QWidget *parent = nullptr);

    // -1 until the first value is set.
    double progress() const { return m_progress; }
    // Stores and lays out a value that differs from the one shown; a value that is not a
    // number counts as 0.
    void setProgressAnimated(double progress, bool animated);
    // The first value is never animated, later ones are.
    void setProgress(double progress) { setProgressAnimated(progress, m_progress != -1.0); }

    // The fill width for the current progress: at least both caps, at most the bar, rounded
    // up to a whole point.
    qreal progressWidth() const;

    qreal fillWidth() const { return m_fillWidth; }
    void setFillWidth(qreal width);
    qreal fillOpacity() const { return m_fillOpacity; }
    void setFillOpacity(qreal opacity);
    // The running layout, for tests that end it with setCurrentTime(); then the fade.
    QParallelAnimationGroup *layoutAnimation() const { return m_layoutGroup; }
    QPropertyAnimation *fadeAnimation() const { return m_fadeAnimation; }

    QSize sizeHint() const override;

protected:
    void paintEvent(QPaintEvent *event) override;
    void resizeEvent(QResizeEvent *event) override;

private:
    void adjustProgressViewAnimated(bool animated);
    void didFinishLayout(bool animated);
    qreal smallestFillWidth() const;

    double m_progress = -1.0;
    qreal m_fillWidth = 0.0;
    qreal m_fillOpacity = 1.0;
    QParallelAnimationGroup *m_layoutGroup = nullptr;
    QPropertyAnimation *m_widthAnimation = nullptr;
    QPropertyAnimation *m_fadeAnimation = nullptr;
    NamedImage m_trackLeft;
    NamedImage m_trackMiddle;
    NamedImage m_trackRight;
    NamedImage m_fillLeft;
    NamedImage m_fillMiddle;
    NamedImage m_fillRight;
};
