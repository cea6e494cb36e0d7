#include "controls/RQProgressIndicator.h"

#include "controls/RQProgressIndicatorAccessible.h"
#include "controls/ThreePartPainter.h"
#include "platform/gui/ImageLoader.h"

#include <QAccessible>
#include <QPainter>
#include <QParallelAnimationGroup>
#include <QPropertyAnimation>

#include <algorithm>
#include <cmath>

using namespace Qt::StringLiterals;

namespace {

// The platform's default length of an implicit animation.
constexpr int animationMilliseconds = 250;
constexpr qreal minimumFillWidth = 8.0;
constexpr qreal capOverlap = 1.0;
constexpr int preferredWidth = 200;

} // namespace

RQProgressIndicator::RQProgressIndicator(QWidget *parent)
    : QWidget(parent)
    , m_layoutGroup(new QParallelAnimationGroup(this))
    , m_widthAnimation(new QPropertyAnimation(this, "fillWidth", m_layoutGroup))
    , m_fadeAnimation(new QPropertyAnimation(this, "fillOpacity", this))
    , m_trackLeft(ImageLoader::imageNamed(u"progress-background-left"_s))
    , m_trackMiddle(ImageLoader::imageNamed(u"progress-background-middle"_s))
    , m_trackRight(ImageLoader::imageNamed(u"progress-background-right"_s))
    , m_fillLeft(ImageLoader::imageNamed(u"progress-left-corner"_s))
    , m_fillMiddle(ImageLoader::imageNamed(u"progress-middle"_s))
    , m_fillRight(ImageLoader::imageNamed(u"progress-right-corner"_s))
{
    RQProgressIndicatorAccessible::install();
    // Before the first value the fill shows at its smallest drawing: the two caps.
    m_fillWidth = smallestFillWidth();
    m_widthAnimation->setDuration(animationMilliseconds);
    m_layoutGroup->addAnimation(m_widthAnimation);
    m_fadeAnimation->setDuration(animationMilliseconds);
    m_fadeAnimation->setEndValue(0.0);
    connect(m_layoutGroup, &QAbstractAnimation::finished, this, [this] { didFinishLayout(true); });
}

void RQProgressIndicator::setProgressAnimated(double progress, bool animated)
{
    // A width made from NaN has no integer value; the status panel can pass one on.
    if (std::isnan(progress))
        progress = 0.0;
    if (progress == m_progress)
        return;
    m_progress = progress;
    adjustProgressViewAnimated(animated);
    QAccessibleValueChangeEvent event(this, RQProgressIndicatorAccessible::percentage(m_progress));
    QAccessible::updateAccessibility(&event);
}

qreal RQProgressIndicator::progressWidth() const
{
    return std::ceil(std::min<qreal>(width(), std::max(minimumFillWidth, m_progress * width())));
}

void RQProgressIndicator::setFillWidth(qreal width)
{
    m_fillWidth = width;
    update();
}

void RQProgressIndicator::setFillOpacity(qreal opacity)
{
    m_fillOpacity = opacity;
    update();
}

QSize RQProgressIndicator::sizeHint() const
{
    return {preferredWidth, qRound(m_trackLeft.size().height())};
}

void RQProgressIndicator::adjustProgressViewAnimated(bool animated)
{
    // Also ends a fade that is under way: the fill shows again before it widens.
    if (m_progress != 0.0 && m_fillOpacity < 1.0) {
        m_fadeAnimation->stop();
        setFillOpacity(1.0);
    }
    m_layoutGroup->stop();
    if (!animated) {
        setFillWidth(progressWidth());
        didFinishLayout(false);
        return;
    }
    m_widthAnimation->setStartValue(m_fillWidth);
    m_widthAnimation->setEndValue(progressWidth());
    m_layoutGroup->start();
}

void RQProgressIndicator::didFinishLayout(bool animated)
{
    if (m_progress != 0.0)
        return;
    if (animated) {
        m_fadeAnimation->setStartValue(m_fillOpacity);
        m_fadeAnimation->start();
    } else {
        setFillOpacity(0.0);
    }
}

qreal RQProgressIndicator::smallestFillWidth() const
{
    return m_fillLeft.size().width() + m_fillRight.size().width();
}

void RQProgressIndicator::resizeEvent(QResizeEvent *event)
{
    QWidget::resizeEvent(event);
    if (m_progress == -1.0)
        return;
    if (m_layoutGroup->state() == QAbstractAnimation::Running)
        m_widthAnimation->setEndValue(progressWidth());
    else
        setFillWidth(progressWidth());
}

void RQProgressIndicator::paintEvent(QPaintEvent * /*event*/)
{
    QPainter painter(this);
    ThreePartPainter::draw(painter, rect(), m_trackLeft, m_trackMiddle, m_trackRight, capOverlap);
    if (m_fillOpacity <= 0.0)
        return;
    painter.setOpacity(m_fillOpacity);
    ThreePartPainter::draw(painter, QRectF(0.0, 0.0, m_fillWidth, height()), m_fillLeft,
                           m_fillMiddle, m_fillRight, capOverlap);
}
