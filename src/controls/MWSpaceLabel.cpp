#include "controls/MWSpaceLabel.h"

#include "foundation/FixedDecimalText.h"

#include <QApplication>
#include <QFontMetricsF>
#include <QPainter>
#include <QTimer>

#include <algorithm>
#include <cmath>

namespace {

constexpr int tickMilliseconds = 10;
constexpr double stepFraction = 0.125;
constexpr int unitPixelSize = 11;

struct TextRun
{
    QString text;
    QFont font;
};

void drawRuns(QPainter &painter, const QList<TextRun> &runs, QPointF origin)
{
    for (const TextRun &run : runs) {
        painter.setFont(run.font);
        painter.drawText(origin, run.text);
        origin.rx() += QFontMetricsF(run.font).horizontalAdvance(run.text);
    }
}

} // namespace

MWSpaceLabel::MWSpaceLabel(QWidget *parent)
    : QLabel(parent)
    , m_timer(new QTimer(this))
{
    m_timer->setInterval(tickMilliseconds);
    connect(m_timer, &QTimer::timeout, this, &MWSpaceLabel::changeValue);
}

void MWSpaceLabel::setSizeUnitAnimated(double value, const QString &unit, bool animated)
{
    if (m_animating) {
        m_animationQueue.append({value, unit});
        return;
    }
    m_unit = unit;
    if (animated && m_size != -1.0 && std::isfinite(m_size) && std::isfinite(value)) {
        animateToSize(value);
        return;
    }
    m_size = value;
    updateTitle();
}

void MWSpaceLabel::setIntegerValue(qint64 value)
{
    m_titleUnit.clear();
    setText(QString::number(value));
    update();
}

void MWSpaceLabel::changeValue()
{
    const double high = std::max(m_oldValue, m_size);
    const double low = std::min(m_oldValue, m_size);
    if (m_size == high)
        m_trackingValue += m_stepValue;
    else
        m_trackingValue -= m_stepValue;
    if (m_trackingValue > high || m_trackingValue < low) {
        m_timer->stop();
        m_trackingValue = m_size;
        m_animating = false;
        processNextQueueItem();
    }
    changeText();
}

void MWSpaceLabel::setAlphaValue(qreal alphaValue)
{
    m_alphaValue = alphaValue;
    update();
}

bool MWSpaceLabel::animateToSize(double value)
{
    m_oldValue = m_size;
    m_size = value;
    // Counting toward or away from a value that is not finite would never leave the range.
    if (m_oldValue == m_size || !std::isfinite(m_oldValue) || !std::isfinite(m_size))
        return false;
    m_stepValue = std::abs(m_oldValue - m_size) * stepFraction;
    m_trackingValue = m_oldValue;
    m_animating = true;
    m_timer->start();
    return true;
}

void MWSpaceLabel::processNextQueueItem()
{
    // An entry that starts no counting (equal to the value shown, or not finite) is applied
    // as it stands, and the next one gets its turn; otherwise the entries behind it would
    // wait for a counting that never comes.
    while (!m_animationQueue.isEmpty()) {
        const QueuedSize next = m_animationQueue.takeFirst();
        m_unit = next.unit;
        if (animateToSize(static_cast<float>(next.size)))
            return;
    }
    m_trackingValue = m_size;
}

void MWSpaceLabel::updateTitle()
{
    setTitleWithSize(m_size, m_unit);
}

void MWSpaceLabel::changeText()
{
    setTitleWithSize(m_trackingValue, m_unit);
}

void MWSpaceLabel::setTitleWithSize(double value, const QString &unit)
{
    m_titleUnit = unit;
    setText(fixedDecimalText(value, 1) + unit);
    update();
}

void MWSpaceLabel::paintEvent(QPaintEvent * /*event*/)
{
    const QString title = text();
    const qsizetype unitStart = m_titleUnit.isEmpty() ? -1 : title.indexOf(m_titleUnit);
    QFont unitFont = QApplication::font();
    unitFont.setPixelSize(unitPixelSize);
    QList<TextRun> runs;
    if (unitStart < 0) {
        runs = {{title, font()}};
    } else {
        runs = {{title.left(unitStart), font()},
                {m_titleUnit, unitFont},
                {title.mid(unitStart + m_titleUnit.size()), font()}};
    }

    double width = 0.0;
    for (const TextRun &run : runs)
        width += QFontMetricsF(run.font).horizontalAdvance(run.text);
    const QFontMetricsF metrics(font());
    const QRectF area = contentsRect();
    const QPointF origin(area.left() + (area.width() - width) / 2.0,
                         area.top() + (area.height() - metrics.height()) / 2.0 + metrics.ascent());

    QPainter painter(this);
    painter.setOpacity(m_alphaValue);
    // The white copy one pixel lower gives the engraved look.
    painter.setPen(Qt::white);
    drawRuns(painter, runs, origin + QPointF(0.0, 1.0));
    painter.setPen(palette().color(foregroundRole()));
    drawRuns(painter, runs, origin);
}
