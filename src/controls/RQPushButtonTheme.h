#pragma once

#include "controls/RQMavericksButtonTheme.h"

// The flat rounded push button: white above, light grey below, a grey outline, black title.
class RQPushButtonTheme final : public RQMavericksButtonTheme
{
public:
    static const RQPushButtonTheme &theme();

    QColor strokeColor() const override;
    QGradientStops backgroundGradient() const override;
    std::optional<TitleAttributes> titleAttributes() const override;
    std::optional<QPainterPath> drawingPathForFrame(const QRectF &frame) const override;
};
