#include "windows/StatThemeBlue.h"

StatThemeBlue::StatThemeBlue()
    : StatTheme({"StatThemeBlue", {200, 20, 98}, {199, 62, 66}, "blue-divider"})
{
}
