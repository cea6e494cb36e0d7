#pragma once

#include <QColor>

// The inner shadow of recessed panes: black at 15 % opacity.
QColor vxColor_shadowColor();
