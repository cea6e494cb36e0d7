#include "controls/ZPHSpinningProgressIndicator.h"

#include <QPainter>
#include <QPainterPath>
#include <QShowEvent>
#include <QTimer>

#include <algorithm>
#include <cmath>

namespace {

constexpr int frameIntervalMilliseconds = 50;
constexpr double fadeOutSeconds = 0.7;
constexpr double dimmingPerFin = 0.85;
constexpr double idleAlpha = 0.15;
constexpr double finDegrees = 360.0 / ZPHSpinningProgressIndicator::finCount;

QColor withAlpha(QColor color, double alpha)
{
    color.setAlphaF(static_cast<float>(std::clamp(alpha, 0.0, 1.0)));
    return color;
}

} // namespace

ZPHSpinningProgressIndicator::ZPHSpinningProgressIndicator(QWidget *parent)
    : QWidget(parent)
{
    setColor(Qt::black);
}

void ZPHSpinningProgressIndicator::startAnimation()
{
    if (m_indeterminate && (!m_animating || m_fadingOut))
        actuallyStartAnimation();
}

void ZPHSpinningProgressIndicator::stopAnimation()
{
    m_fadingOut = true;
    m_fadeOutStart = m_clock();
}

void ZPHSpinningProgressIndicator::setStyle(Style style)
{
    if (style != Style::Spinning)
        qFatal("Non-spinning styles not available.");
}

void ZPHSpinningProgressIndicator::setColor(const QColor &color)
{
    if (color == m_color)
        return;
    m_color = color;
    for (int fin = 0; fin < finCount; ++fin)
        m_finColors.at(fin) = withAlpha(m_color, alphaValueForPosition(fin));
    update();
}

void ZPHSpinningProgressIndicator::setBackgroundColor(const QColor &color)
{
    if (color == m_backgroundColor)
        return;
    m_backgroundColor = color;
    update();
}

void ZPHSpinningProgressIndicator::setDrawsBackground(bool drawsBackground)
{
    m_drawsBackground = drawsBackground;
    update();
}

void ZPHSpinningProgressIndicator::setDisplayedWhenStopped(bool displayedWhenStopped)
{
    m_displayedWhenStopped = displayedWhenStopped;
    if (!m_animating) {
        m_concealed = !displayedWhenStopped;
        update();
    }
}

void ZPHSpinningProgressIndicator::setUsesThreadedAnimation(bool usesThreadedAnimation)
{
    if (usesThreadedAnimation == m_usesThreadedAnimation)
        return;
    m_usesThreadedAnimation = usesThreadedAnimation;
    if (m_animating) {
        stopAnimation();
        startAnimation();
    }
}

void ZPHSpinningProgressIndicator::setIsIndeterminate(bool indeterminate)
{
    m_indeterminate = indeterminate;
    if (!indeterminate && m_animating)
        stopAnimation();
    update();
}

void ZPHSpinningProgressIndicator::setCurrentValue(double value)
{
    if (m_indeterminate)
        setIndeterminate(false);
    m_currentValue = value;
    update();
}

void ZPHSpinningProgressIndicator::setMaxValue(double value)
{
    m_maxValue = value;
    update();
}

void ZPHSpinningProgressIndicator::updateFrameFromTimer()
{
    fillFinColors(m_displayedWhenStopped ? idleAlpha : 0.0);
    if (m_fadingOut && secondsSinceFadeOutStart() > fadeOutSeconds)
        actuallyStopAnimation();
    if (m_usesThreadedAnimation)
        repaint();
    else
        update();
    if (!m_fadingOut)
        m_position = (m_position + 1) % finCount;
}

QSize ZPHSpinningProgressIndicator::sizeHint() const
{
    return {32, 32};
}

void ZPHSpinningProgressIndicator::fillFinColors(double alphaFloor)
{
    for (int fin = 0; fin < finCount; ++fin)
        m_finColors.at(fin) =
            withAlpha(m_color, std::max(alphaFloor, alphaValueForPosition(fin)));
}

double ZPHSpinningProgressIndicator::alphaValueForPosition(int fin) const
{
    double alpha = std::pow(dimmingPerFin, (fin + m_position) % finCount);
    if (m_fadingOut)
        alpha *= fadeOutSeconds - secondsSinceFadeOutStart();
    return alpha;
}

double ZPHSpinningProgressIndicator::secondsSinceFadeOutStart() const
{
    return std::chrono::duration<double>(m_clock() - m_fadeOutStart).count();
}

void ZPHSpinningProgressIndicator::actuallyStartAnimation()
{
    actuallyStopAnimation();
    m_animating = true;
    m_fadingOut = false;
    m_position = 0;
    m_concealed = false;
    if (!isVisible())
        return;
    m_timer = new QTimer(this);
    m_timer->setInterval(frameIntervalMilliseconds);
    connect(m_timer, &QTimer::timeout, this, &ZPHSpinningProgressIndicator::updateFrameFromTimer);
    m_timer->start();
}

void ZPHSpinningProgressIndicator::actuallyStopAnimation()
{
    m_animating = false;
    m_fadingOut = false;
    if (!m_displayedWhenStopped)
        m_concealed = true;
    delete m_timer;
    m_timer = nullptr;
    update();
}

void ZPHSpinningProgressIndicator::showEvent(QShowEvent *event)
{
    QWidget::showEvent(event);
    // A window the user restores from the task bar was never left.
    if (!event->spontaneous() && m_animating)
        actuallyStartAnimation();
}

void ZPHSpinningProgressIndicator::hideEvent(QHideEvent *event)
{
    QWidget::hideEvent(event);
    if (!event->spontaneous())
        actuallyStopAnimation();
}

void ZPHSpinningProgressIndicator::paintEvent(QPaintEvent * /*event*/)
{
    if (m_concealed)
        return;
    QPainter painter(this);
    painter.setRenderHint(QPainter::Antialiasing);
    if (m_drawsBackground)
        painter.fillRect(rect(), m_backgroundColor);
    const double side = std::min(width(), height());
    painter.translate(QRectF(rect()).center());
    if (m_indeterminate)
        drawFins(painter, side);
    else
        drawPie(painter, side);
}

void ZPHSpinningProgressIndicator::drawFins(QPainter &painter, double side) const
{
    // Fin 0 points to twelve o'clock; each next fin lies one step counter-clockwise, so the
    // brightness, which moves to the previous fin every frame, turns clockwise.
    const QLineF fin(0.0, -0.234375 * side, 0.0, -0.421875 * side);
    QPen pen(Qt::NoBrush, 0.0859375 * side, Qt::SolidLine, Qt::RoundCap);
    for (int index = 0; index < finCount; ++index) {
        pen.setColor(m_animating ? m_finColors.at(index) : withAlpha(m_color, idleAlpha));
        painter.setPen(pen);
        painter.drawLine(fin);
        painter.rotate(-finDegrees);
    }
}

void ZPHSpinningProgressIndicator::drawPie(QPainter &painter, double side) const
{
    const double lineWidth = 1.0 + 0.01 * side;
    const double radius = (side - lineWidth) / 2.1;
    const QRectF circle(-radius, -radius, 2.0 * radius, 2.0 * radius);
    painter.setPen(QPen(m_color, lineWidth));
    painter.setBrush(Qt::NoBrush);
    painter.drawEllipse(circle);

    QPainterPath pie;
    pie.moveTo(0.0, 0.0);
    pie.arcTo(circle, 90.0, -360.0 * determinateFraction());
    pie.closeSubpath();
    painter.fillPath(pie, m_color);
}

double ZPHSpinningProgressIndicator::determinateFraction() const
{
    if (!(m_maxValue > 0.0))
        return 0.0;
    const double fraction = m_currentValue / m_maxValue;
    return std::isnan(fraction) ? 0.0 : std::clamp(fraction, 0.0, 1.0);
}
