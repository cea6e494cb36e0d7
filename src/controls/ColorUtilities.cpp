#include "controls/ColorUtilities.h"

QColor rq_colorWithEasyHue(double hue, double saturation, double brightness, double alpha)
{
    // The floating-point form takes hue 360 (the red themes use it), which the integer
    // QColor::fromHsv refuses.
    return QColor::fromHsvF(static_cast<float>(hue / 360), static_cast<float>(saturation / 100),
                            static_cast<float>(brightness / 100), static_cast<float>(alpha))
        .toRgb();
}
