#pragma once

#include "windows/StatTheme.h"

// Dark red on pale pink.
class StatThemeRed final : public StatTheme
{
public:
    StatThemeRed();
};
