#include "controls/AppColors.h"

#include "controls/ColorUtilities.h"

QColor vx_linedBackgroundColor()
{
    return rq_colorWithEasyHue(223, 6, 97);
}
