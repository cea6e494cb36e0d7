#include "controls/VXView.h"

#include "platform/gui/ImageLoader.h"

#include <QPainter>
#include <QPainterPath>

VXView::VXView(QWidget *parent) : QWidget(parent) {}

void VXView::setBackgroundColor(const QColor &color)
{
    m_backgroundColor = color;
    update();
}

void VXView::setBackgroundImage(const NamedImage &image)
{
    m_backgroundImage = image;
    update();
}

void VXView::setBackgroundImageName(const QString &name)
{
    setBackgroundImage(ImageLoader::imageNamed(name));
}

void VXView::setCornerRadius(double radius)
{
    m_cornerRadius = radius;
    update();
}

void VXView::setBorderColor(const QColor &color)
{
    m_borderColor = color;
    update();
}

void VXView::setBorderWidth(double width)
{
    m_borderWidth = width;
    update();
}

bool VXView::hasBorder() const
{
    return m_borderColor.isValid() && m_borderWidth != 0;
}

void VXView::paintEvent(QPaintEvent *)
{
    // A border sits on the half point inside the edge, so a 1-point line covers whole pixels.
    const qreal inset = hasBorder() ? 0.5 : 0;
    const QRectF shapeBounds = QRectF(rect()).adjusted(inset, inset, -inset, -inset);
    if (shapeBounds.isEmpty())
        return;
    QPainterPath shape;
    shape.addRoundedRect(shapeBounds, m_cornerRadius, m_cornerRadius);

    QPainter painter(this);
    painter.setRenderHint(QPainter::Antialiasing);
    if (m_backgroundColor.isValid())
        painter.fillPath(shape, m_backgroundColor);
    if (hasBorder())
        painter.strokePath(shape, QPen(m_borderColor, m_borderWidth));
    if (!m_backgroundImage.isNull()) {
        painter.save();
        painter.setClipPath(shape);
        m_backgroundImage.draw(painter, QRectF(rect()));
        painter.restore();
    }
}
