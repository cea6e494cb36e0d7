#pragma once

#include <QRectF>

class NamedImage;
class QPainter;

// Draws a horizontal image in three slices over a frame: the caps at their own width and the
// full frame height, the middle stretched between them.
class ThreePartPainter final
{
public:
    // leftCapOverlap starts the middle that many points inside the left cap. Null slices are
    // left out; a frame narrower than the two caps draws the caps only.
    static void draw(QPainter &painter, const QRectF &frame, const NamedImage &left,
                     const NamedImage &middle, const NamedImage &right, qreal leftCapOverlap = 0);
};
