#include "controls/RQTexturedButtonTheme.h"

const RQTexturedButtonTheme &RQTexturedButtonTheme::theme()
{
    static const RQTexturedButtonTheme shared;
    return shared;
}

QColor RQTexturedButtonTheme::strokeColor() const
{
    return QColor::fromRgbF(0.5569f, 0.5569f, 0.5569f);
}

QGradientStops RQTexturedButtonTheme::backgroundGradient() const
{
    static const QGradientStops stops{{0, QColor::fromRgbF(0.9333f, 0.9333f, 0.9333f)},
                                      {1, QColor::fromRgbF(0.9843f, 0.9843f, 0.9843f)}};
    return stops;
}

std::optional<TitleAttributes> RQTexturedButtonTheme::titleAttributes() const
{
    return TitleAttributes{QColor::fromRgbF(0.2f, 0.2f, 0.2f),
                           RQShadow{QColor::fromRgbF(1, 1, 1, 0.7f), 0, QPointF(0, -1)}, 0};
}

std::optional<QPainterPath> RQTexturedButtonTheme::drawingPathForFrame(const QRectF &frame) const
{
    return roundedInset(frame, 0.5, 1.5, 1);
}
