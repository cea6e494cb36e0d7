#pragma once

#include <QColor>

// The background of the main window and of the lined views.
QColor vx_linedBackgroundColor();
