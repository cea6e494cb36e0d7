#pragma once

#include <QColor>
#include <QPointF>

// A shadow as the drawings describe it: colour, blur radius in points and offset in points,
// written y-up, so an offset of (0, -1) casts the shadow 1 point down on screen.
struct RQShadow
{
    QColor color;
    qreal blurRadius = 0;
    QPointF offset;

    // The offset in widget coordinates (y grows downwards).
    QPointF widgetOffset() const { return {offset.x(), -offset.y()}; }
    bool isVisible() const { return color.isValid() && color.alpha() > 0; }

    friend bool operator==(const RQShadow &, const RQShadow &) = default;
};
