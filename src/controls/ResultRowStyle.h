#pragma once

#include <QColor>
#include <QFont>

// The texts of the results rows: a dark name over a grey subtitle, in fonts of the given size.
QColor vx_resultRowNameColor();
QColor vx_resultRowSubtitleColor();
QFont vx_resultRowFont(qreal points, bool bold);
