#include "controls/RQPushButtonTheme.h"

#include "controls/ColorUtilities.h"

const RQPushButtonTheme &RQPushButtonTheme::theme()
{
    static const RQPushButtonTheme shared;
    return shared;
}

QColor RQPushButtonTheme::strokeColor() const
{
    return QColor::fromRgbF(0.6039f, 0.6039f, 0.6039f);
}

QGradientStops RQPushButtonTheme::backgroundGradient() const
{
    static const QGradientStops stops{{0.4, rq_colorWithEasyHue(0, 0, 94)},
                                      {0.5, rq_colorWithEasyHue(0, 0, 100)}};
    return stops;
}

std::optional<TitleAttributes> RQPushButtonTheme::titleAttributes() const
{
    return TitleAttributes{Qt::black, std::nullopt, -0.1};
}

std::optional<QPainterPath> RQPushButtonTheme::drawingPathForFrame(const QRectF &frame) const
{
    return roundedInset(frame, 7.5, 4.5, 3);
}
