#pragma once

#include <QColor>

// The results tables' palette: soft grey-to-white bands with thin border lines and a blue
// selection, and the background of the results detail pane. All opaque.
QColor vxTableViewColor_cellGradientStart();
QColor vxTableViewColor_cellGradientEnd();
QColor vxTableViewColor_borderTop();
QColor vxTableViewColor_borderBottom();
QColor vxTableViewColor_selectionStart();
QColor vxTableViewColor_selectionEnd();
QColor vxTableViewColor_selectionBorderTop();
QColor vxTableViewColor_selectionBorderBottom();
QColor vx_duplicateBackgroundColor();
// A selected row of a table that does not have the focus: a quiet grey-blue under dark text.
QColor vxTableViewColor_secondarySelection();
