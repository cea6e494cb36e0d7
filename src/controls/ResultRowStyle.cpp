#include "controls/ResultRowStyle.h"

QColor vx_resultRowNameColor() { return QColor(0x26, 0x2a, 0x30); }
QColor vx_resultRowSubtitleColor() { return QColor(0x6b, 0x72, 0x7c); }

QFont vx_resultRowFont(qreal points, bool bold)
{
    QFont font;
    font.setPointSizeF(points);
    font.setBold(bold);
    return font;
}
