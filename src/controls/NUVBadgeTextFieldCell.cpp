#include "controls/NUVBadgeTextFieldCell.h"

#include <QFontMetricsF>
#include <QPainter>
#include <QPainterPath>

NUVBadgeTextFieldCell::NUVBadgeTextFieldCell()
    : m_bgColor(defaultColor())
{
}

QColor NUVBadgeTextFieldCell::defaultColor()
{
    return QColor::fromRgbF(0.596f, 0.647f, 0.702f);
}

QColor NUVBadgeTextFieldCell::highlightColor()
{
    return QColor::fromRgbF(0.9f, 0.25f, 0.24f);
}

QFont NUVBadgeTextFieldCell::badgeFont()
{
    QFont font;
    font.setPointSizeF(11);
    font.setBold(true);
    font.setLetterSpacing(QFont::AbsoluteSpacing, -0.25);
    return font;
}

QColor NUVBadgeTextFieldCell::textColor(bool darkBackground)
{
    return darkBackground ? QColor(Qt::darkGray) : QColor(Qt::white);
}

QRectF NUVBadgeTextFieldCell::resultingBoundsWithCellFrame(const QRectF &cellFrame)
{
    return cellFrame.adjusted(1, 1, -1, -1);
}

QSizeF NUVBadgeTextFieldCell::badgeValueSize(const QString &text)
{
    const QFontMetricsF metrics(badgeFont());
    return {metrics.horizontalAdvance(text), metrics.height()};
}

QRectF NUVBadgeTextFieldCell::badgeBackgroundRectWithResultingBounds(const QRectF &bounds,
                                                                     const QString &text)
{
    const qreal width = badgeValueSize(text).width() + bounds.height();
    return {bounds.right() - width, bounds.y(), width, bounds.height()};
}

QRectF NUVBadgeTextFieldCell::badgeValueRectWithResultingBounds(const QRectF &bounds, const QString &text)
{
    const QRectF capsule = badgeBackgroundRectWithResultingBounds(bounds, text);
    const QSizeF textSize = badgeValueSize(text);
    // The capsule's y is its top here (y grows downwards), so the text sits 1 point higher
    // than centred, as on the y-up original.
    return {capsule.x() + capsule.height() / 2,
            capsule.y() + (capsule.height() - textSize.height()) / 2 - 1, textSize.width(),
            capsule.height()};
}

void NUVBadgeTextFieldCell::drawWithFrame(QPainter &painter, const QRectF &cellFrame,
                                          const QString &text, bool darkBackground) const
{
    const QRectF bounds = resultingBoundsWithCellFrame(cellFrame);
    const QRectF capsule = badgeBackgroundRectWithResultingBounds(bounds, text);
    const qreal radius = bounds.height() / 2;
    painter.save();
    painter.setRenderHint(QPainter::Antialiasing);
    painter.setPen(Qt::NoPen);
    QPainterPath path;
    path.addRoundedRect(capsule, radius, radius);
    if (darkBackground) {
        // A white shadow one point below the capsule.
        painter.fillPath(path.translated(0, 1), QColor(255, 255, 255, 140));
        painter.fillPath(path, Qt::white);
    } else {
        painter.fillPath(path, m_bgColor);
    }
    painter.setFont(badgeFont());
    painter.setPen(textColor(darkBackground));
    painter.drawText(badgeValueRectWithResultingBounds(bounds, text), Qt::AlignLeft | Qt::AlignTop, text);
    painter.restore();
}
