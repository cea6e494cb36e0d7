#pragma once

#include "windows/StatTheme.h"

// The panel's own look: blue-grey on a pale lined background.
class StatThemeDefault final : public StatTheme
{
public:
    StatThemeDefault();
};
