#include "controls/RQFileDropView.h"

#include "controls/ColorUtilities.h"

#include <QPainter>
#include <QTimer>

namespace {

constexpr double cornerRadius = 7;
constexpr double dashLength = 5;
constexpr double lastPhase = 9;

} // namespace

RQFileDropView::RQFileDropView(QWidget *parent)
    : QWidget(parent)
    , m_strokeColor(rq_colorWithEasyHue(0, 0, 59))
{
}

RQFileDropView::~RQFileDropView()
{
    stopAnimation();
}

void RQFileDropView::setPhase(double phase)
{
    m_phase = phase;
    update();
}

void RQFileDropView::setStrokeColor(const QColor &color)
{
    m_strokeColor = color;
    update();
}

void RQFileDropView::startAnimation()
{
    stopAnimation();
    m_timer = new QTimer(this);
    m_timer->setInterval(tickMilliseconds);
    connect(m_timer, &QTimer::timeout, this, &RQFileDropView::tick);
    m_timer->start();
}

void RQFileDropView::stopAnimation()
{
    delete m_timer;
}

void RQFileDropView::tick()
{
    m_phase += 1;
    if (m_phase > lastPhase)
        m_phase = 0;
    update();
}

void RQFileDropView::showEvent(QShowEvent *event)
{
    makeDropPathIfNeeded();
    QWidget::showEvent(event);
}

void RQFileDropView::paintEvent(QPaintEvent *event)
{
    static_cast<void>(event);
    // Rendered without ever being shown (into an image), the view makes its border now.
    makeDropPathIfNeeded();
    QPainter painter(this);
    painter.setRenderHint(QPainter::Antialiasing);
    QPen pen(m_strokeColor, lineWidth, Qt::CustomDashLine, Qt::FlatCap);
    // Qt measures dashes and their offset in pen widths.
    pen.setDashPattern({dashLength / lineWidth, dashLength / lineWidth});
    pen.setDashOffset(m_phase / lineWidth);
    painter.setPen(pen);
    painter.setBrush(Qt::NoBrush);
    painter.drawPath(m_dropPath);
}

void RQFileDropView::makeDropPathIfNeeded()
{
    if (!m_dropPath.isEmpty())
        return;
    const double inset = lineWidth / 2;
    m_dropPath.addRoundedRect(QRectF(rect()).adjusted(inset, inset, -inset, -inset), cornerRadius, cornerRadius);
}
