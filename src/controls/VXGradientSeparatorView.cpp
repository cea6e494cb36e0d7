#include "controls/VXGradientSeparatorView.h"

#include "controls/ColorUtilities.h"
#include "controls/ShadowPainter.h"
#include "controls/YUpGeometry.h"

#include <QPainter>

namespace {

RQShadow borderLineShadow()
{
    return {QColor::fromRgbF(0, 0, 0, 0.3f), 2, QPointF(0, -1)};
}

// Lighter at the top; one for every separator.
const QLinearGradient &bodyGradient()
{
    static const QLinearGradient gradient = [] {
        QLinearGradient made(0, 0, 0, 1);
        made.setCoordinateMode(QGradient::ObjectMode);
        made.setColorAt(0, QColor::fromRgbF(0.3804f, 0.3804f, 0.3765f));
        made.setColorAt(1, QColor::fromRgbF(0.2784f, 0.2706f, 0.2784f));
        return made;
    }();
    return gradient;
}

} // namespace

VXGradientSeparatorView::VXGradientSeparatorView(QWidget *parent)
    : QWidget(parent), m_borderColor(QColor::fromRgbF(0.24f, 0.24f, 0.24f)),
      m_borderShadow(borderLineShadow()), m_topShadow(borderLineShadow())
{
    m_gradient.setColorAt(0, QColor(Qt::darkGray));
    m_gradient.setColorAt(1, rq_colorWithEasyHue(0, 0, 20));
}

void VXGradientSeparatorView::setGradient(const QLinearGradient &gradient)
{
    m_gradient = gradient;
}

void VXGradientSeparatorView::setBorderColor(const QColor &color)
{
    m_borderColor = color;
    update();
}

void VXGradientSeparatorView::setBorderShadow(const RQShadow &shadow)
{
    m_borderShadow = shadow;
    update();
}

void VXGradientSeparatorView::setTopShadow(const RQShadow &shadow)
{
    m_topShadow = shadow;
    update();
}

void VXGradientSeparatorView::paintEvent(QPaintEvent *)
{
    QPainter painter(this);
    drawBody(painter);
    drawBorder(painter, 2, m_borderShadow);
    drawTopBorder(painter);
    drawBottomHighlight(painter);
    drawBottomBorder(painter);
}

// The rectangles below are measured from the bottom edge up.
QRectF VXGradientSeparatorView::band(qreal yUp, qreal bandHeight) const
{
    return YUpGeometry::toWidget(QRectF(0, yUp, width(), bandHeight), height());
}

void VXGradientSeparatorView::drawBody(QPainter &painter) const
{
    const QRectF body = band(3, height() - 3);
    if (!body.isEmpty())
        painter.fillRect(body, bodyGradient());
}

void VXGradientSeparatorView::drawBorder(QPainter &painter, qreal yUp, const RQShadow &shadow) const
{
    const QRectF line = band(yUp, 1);
    ShadowPainter::drawWithShadow(painter, shadow, line,
                                  [&](QPainter &p) { p.fillRect(line, m_borderColor); });
}

void VXGradientSeparatorView::drawTopBorder(QPainter &painter) const
{
    drawBorder(painter, height() - 1, m_topShadow);
}

void VXGradientSeparatorView::drawBottomHighlight(QPainter &painter) const
{
    painter.fillRect(band(3, 1), QColor::fromRgbF(1, 1, 1, 0.1f));
}

void VXGradientSeparatorView::drawBottomBorder(QPainter &painter) const
{
    painter.fillRect(band(2, 1), m_borderColor);
}
