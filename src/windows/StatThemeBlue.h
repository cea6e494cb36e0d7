#pragma once

#include "windows/StatTheme.h"

// Dark blue on pale blue.
class StatThemeBlue final : public StatTheme
{
public:
    StatThemeBlue();
};
