#include "windows/StatThemeRed.h"

StatThemeRed::StatThemeRed()
    : StatTheme({"StatThemeRed", {360, 14, 100}, {360, 34, 60}, "red-divider"})
{
}
