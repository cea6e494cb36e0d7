#include "controls/RQMavericksButtonTheme.h"

const RQMavericksButtonTheme &RQMavericksButtonTheme::theme()
{
    static const RQMavericksButtonTheme shared;
    return shared;
}

QColor RQMavericksButtonTheme::strokeColor() const
{
    return {};
}

QGradientStops RQMavericksButtonTheme::backgroundGradient() const
{
    return {};
}

std::optional<TitleAttributes> RQMavericksButtonTheme::titleAttributes() const
{
    return std::nullopt;
}

std::optional<QPainterPath> RQMavericksButtonTheme::drawingPathForFrame(const QRectF &) const
{
    return std::nullopt;
}

std::optional<QPainterPath> RQMavericksButtonTheme::roundedInset(const QRectF &frame, qreal dx,
                                                                 qreal dy, qreal lessHigh)
{
    QRectF shape = frame.adjusted(dx, dy, -dx, -dy);
    shape.setHeight(shape.height() - lessHigh);
    if (shape.width() <= 0 || shape.height() <= 0)
        return std::nullopt;
    QPainterPath path;
    path.addRoundedRect(shape, 3, 3);
    return path;
}
