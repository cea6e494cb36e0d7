#include "controls/VXRecessedPane.h"

#include "controls/SplitViewColors.h"

#include <QLinearGradient>
#include <QPainter>

namespace {

// From the shadow colour at the pane's edge to clear inside, along a band of the given side
// (in the band's own box, so one gradient per side serves every pane).
const QLinearGradient &insetShadow(int side)
{
    static const auto made = [](QPointF edge, QPointF inside) {
        QLinearGradient gradient(edge, inside);
        gradient.setCoordinateMode(QGradient::ObjectMode);
        QColor clear = vxColor_shadowColor();
        clear.setAlphaF(0);
        gradient.setColorAt(0, vxColor_shadowColor());
        gradient.setColorAt(1, clear);
        return gradient;
    };
    static const QLinearGradient left = made({0, 0}, {1, 0});
    static const QLinearGradient right = made({1, 0}, {0, 0});
    static const QLinearGradient top = made({0, 0}, {0, 1});
    static const QLinearGradient bottom = made({0, 1}, {0, 0});
    switch (side) {
    case VXRecessedPane::Right:
        return right;
    case VXRecessedPane::Top:
        return top;
    case VXRecessedPane::Bottom:
        return bottom;
    default:
        return left;
    }
}

QRectF shadowBand(int side, const QRectF &bounds, qreal depth)
{
    switch (side) {
    case VXRecessedPane::Right:
        return {bounds.right() - depth, 0, depth, bounds.height()};
    case VXRecessedPane::Top:
        return {0, 0, bounds.width(), depth};
    case VXRecessedPane::Bottom:
        return {0, bounds.bottom() - depth, bounds.width(), depth};
    default:
        return {0, 0, depth, bounds.height()};
    }
}

} // namespace

VXRecessedPane::VXRecessedPane(QWidget *parent) : QWidget(parent) {}

void VXRecessedPane::setBlurRadius(double radius)
{
    m_blurRadius = radius;
}

void VXRecessedPane::setShadowSide(int side)
{
    m_shadowSide = side;
}

void VXRecessedPane::setShadowSideObj(const QVariant &side)
{
    if (side == m_shadowSideObj)
        return;
    m_shadowSideObj = side;
    m_shadowSide = side.toInt();
    update();
}

void VXRecessedPane::paintEvent(QPaintEvent *)
{
    if (m_blurRadius <= 0)
        return;
    QPainter painter(this);
    painter.fillRect(shadowBand(m_shadowSide, QRectF(rect()), m_blurRadius), insetShadow(m_shadowSide));
}
