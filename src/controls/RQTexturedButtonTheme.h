#pragma once

#include "controls/RQMavericksButtonTheme.h"

// The flat textured square button: a light grey rise, a darker outline and an engraved title.
class RQTexturedButtonTheme final : public RQMavericksButtonTheme
{
public:
    static const RQTexturedButtonTheme &theme();

    QColor strokeColor() const override;
    QGradientStops backgroundGradient() const override;
    std::optional<TitleAttributes> titleAttributes() const override;
    std::optional<QPainterPath> drawingPathForFrame(const QRectF &frame) const override;
};
