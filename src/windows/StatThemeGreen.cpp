#include "windows/StatThemeGreen.h"

StatThemeGreen::StatThemeGreen()
    : StatTheme({"StatThemeGreen", {137, 14, 98}, {130, 27, 64}, "green-divider"})
{
}
