#include "windows/StatThemeOrange.h"

StatThemeOrange::StatThemeOrange()
    : StatTheme({"StatThemeOrange", {33, 30, 98}, {24, 42, 69}, "orange-divider"})
{
}
