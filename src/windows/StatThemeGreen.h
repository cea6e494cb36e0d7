#pragma once

#include "windows/StatTheme.h"

// Dark green on pale green.
class StatThemeGreen final : public StatTheme
{
public:
    StatThemeGreen();
};
