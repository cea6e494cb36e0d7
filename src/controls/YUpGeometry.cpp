#include "controls/YUpGeometry.h"

QRectF YUpGeometry::toWidget(const QRectF &yUpRect, qreal viewHeight)
{
    return {yUpRect.x(), viewHeight - yUpRect.y() - yUpRect.height(), yUpRect.width(),
            yUpRect.height()};
}
