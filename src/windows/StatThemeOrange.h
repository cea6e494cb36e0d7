#pragma once

#include "windows/StatTheme.h"

// Brown on pale orange.
class StatThemeOrange final : public StatTheme
{
public:
    StatThemeOrange();
};
