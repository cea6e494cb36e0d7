#include "windows/StatThemeDefault.h"

StatThemeDefault::StatThemeDefault()
    : StatTheme({"StatThemeDefault", {223, 6, 97}, {231, 23, 69}, "default-divider"})
{
}
