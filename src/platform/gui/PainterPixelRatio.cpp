#include "platform/gui/PainterPixelRatio.h"

#include <QPainter>
#include <QTransform>

#include <cmath>

qreal painterPixelRatio(const QPainter &painter)
{
    const QTransform transform = painter.deviceTransform();
    const qreal ratio = std::hypot(transform.m11(), transform.m12());
    return ratio > 0 ? ratio : 1.0;
}
