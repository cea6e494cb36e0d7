#pragma once

#include <QtGlobal>

class QPainter;

// How many device pixels a painter puts into one point: the device's pixel ratio together
// with any scaling, also when a widget is rendered into an image of another ratio (the
// painter's device is then still the widget).
qreal painterPixelRatio(const QPainter &painter);
