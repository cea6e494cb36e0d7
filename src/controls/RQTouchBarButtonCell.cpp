#include "controls/RQTouchBarButtonCell.h"

#include <QPainter>
#include <QPainterPath>

#include <cmath>

namespace {

QColor withPressedAlpha(QColor color)
{
    color.setAlphaF(0.8f);
    return color;
}

QColor labelColor(const QPalette &palette)
{
    return palette.color(QPalette::WindowText);
}

QColor redColor() { return QColor::fromRgbF(1.0f, 0.2863f, 0.4f); }
QColor blueColor() { return QColor::fromRgbF(0, 0.5686f, 1.0f); }

} // namespace

QColor RQTouchBarButtonCell::titleColor(const QPalette &palette) const
{
    return m_titleColor.value_or(labelColor(palette));
}

QColor RQTouchBarButtonCell::titleColorPressed(const QPalette &palette) const
{
    return titleColor(palette);
}

QColor RQTouchBarButtonCell::backgroundColor(const QPalette &palette) const
{
    return m_backgroundColor.value_or(palette.color(QPalette::Button));
}

QColor RQTouchBarButtonCell::backgroundColorPressed(const QPalette &palette) const
{
    return backgroundColor(palette);
}

QRectF RQTouchBarButtonCell::imageRect(const QRectF &frame)
{
    return {10, std::floor(frame.height() / 2 - 8) + 1, 16, 16};
}

QRectF RQTouchBarButtonCell::titleRect(const QRectF &frame, bool hasImage)
{
    return {hasImage ? 32 : frame.x(), frame.y(), frame.width(), frame.height()};
}

void RQTouchBarButtonCell::draw(QPainter &painter, const QRectF &frame, const QString &title,
                                const QIcon &image, const QPalette &palette) const
{
    painter.save();
    painter.setRenderHint(QPainter::Antialiasing);
    QPainterPath bezel;
    bezel.addRoundedRect(frame.adjusted(0.5, 0.5, -0.5, -0.5), cornerRadius(), cornerRadius());
    painter.fillPath(bezel, m_mouseDown ? backgroundColorPressed(palette) : backgroundColor(palette));
    if (m_backgroundGradient)
        painter.fillPath(bezel, *m_backgroundGradient);
    if (const auto stroke = m_mouseDown ? m_strokeColorPressed : m_strokeColor)
        painter.strokePath(bezel, QPen(*stroke, 1));

    QFont font = painter.font();
    font.setPointSizeF(13);
    painter.setFont(font);
    painter.setPen(m_mouseDown ? titleColorPressed(palette) : titleColor(palette));
    const bool hasImage = !image.isNull();
    painter.drawText(titleRect(frame, hasImage), (hasImage ? Qt::AlignLeft : Qt::AlignHCenter) | Qt::AlignVCenter, title);
    if (hasImage) {
        QPainterPath clip;
        clip.addRoundedRect(imageRect(frame), 2, 2);
        painter.setClipPath(clip);
        image.paint(&painter, imageRect(frame).toRect());
    }
    painter.restore();
}

QColor RQRedTouchBarButtonCell::titleColor(const QPalette &palette) const { return labelColor(palette); }
QColor RQRedTouchBarButtonCell::titleColorPressed(const QPalette &palette) const { return labelColor(palette); }
QColor RQRedTouchBarButtonCell::backgroundColor(const QPalette &) const { return redColor(); }
QColor RQRedTouchBarButtonCell::backgroundColorPressed(const QPalette &) const { return withPressedAlpha(redColor()); }

QColor RQBlueTouchBarButtonCell::titleColor(const QPalette &palette) const { return labelColor(palette); }
QColor RQBlueTouchBarButtonCell::titleColorPressed(const QPalette &palette) const { return labelColor(palette); }
QColor RQBlueTouchBarButtonCell::backgroundColor(const QPalette &) const { return blueColor(); }
QColor RQBlueTouchBarButtonCell::backgroundColorPressed(const QPalette &) const { return withPressedAlpha(blueColor()); }

QColor RQNormalTouchBarButtonCell::titleColor(const QPalette &palette) const { return labelColor(palette); }
QColor RQNormalTouchBarButtonCell::titleColorPressed(const QPalette &palette) const { return labelColor(palette); }
QColor RQNormalTouchBarButtonCell::backgroundColor(const QPalette &palette) const
{
    return palette.color(QPalette::Button);
}
QColor RQNormalTouchBarButtonCell::backgroundColorPressed(const QPalette &palette) const
{
    return palette.color(QPalette::Highlight);
}
