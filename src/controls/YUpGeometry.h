#pragma once

#include <QRectF>

// Some drawings are described with y growing upwards from the bottom edge; this turns their
// rectangles into widget coordinates (y growing downwards from the top edge).
class YUpGeometry final
{
public:
    static QRectF toWidget(const QRectF &yUpRect, qreal viewHeight);
};
