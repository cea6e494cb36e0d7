#include "controls/SplitViewColors.h"

QColor vxColor_shadowColor()
{
    return QColor::fromRgbF(0, 0, 0, 0.15f);
}
