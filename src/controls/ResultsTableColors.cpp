#include "controls/ResultsTableColors.h"

QColor vxTableViewColor_cellGradientStart() { return QColor::fromRgbF(0.98f, 0.98f, 0.98f); }
QColor vxTableViewColor_cellGradientEnd() { return QColor::fromRgbF(1, 1, 1); }
QColor vxTableViewColor_borderTop() { return QColor::fromHsvF(0, 0, 0.94f); }
QColor vxTableViewColor_borderBottom() { return QColor(Qt::white); }
QColor vxTableViewColor_selectionStart() { return QColor::fromRgbF(0.42f, 0.69f, 0.89f); }
QColor vxTableViewColor_selectionEnd() { return QColor::fromRgbF(0.23f, 0.53f, 0.81f); }
QColor vxTableViewColor_selectionBorderTop() { return QColor::fromRgbF(0.37f, 0.65f, 0.87f); }
QColor vxTableViewColor_selectionBorderBottom() { return QColor::fromRgbF(0.21f, 0.49f, 0.75f); }
QColor vx_duplicateBackgroundColor() { return QColor::fromRgbF(0.89f, 0.91f, 0.94f); }
QColor vxTableViewColor_secondarySelection() { return QColor::fromRgbF(0.84f, 0.86f, 0.89f); }
