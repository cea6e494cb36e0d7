#pragma once

#include "controls/RQShadow.h"

#include <QRectF>

#include <functional>

class QPainter;

// QPainter casts no shadows; this draws some content with one.
class ShadowPainter final
{
public:
    // Calls content once to cast the shadow (a copy of what it draws, tinted in the shadow's
    // colour, moved by its offset and, with a blur radius, blurred) and once more to draw it
    // over the shadow. bounds holds what content draws, in the painter's coordinates. The
    // shadow is rendered at the pixel ratio of the painter's device.
    static void drawWithShadow(QPainter &painter, const RQShadow &shadow, const QRectF &bounds,
                               const std::function<void(QPainter &)> &content);
};
