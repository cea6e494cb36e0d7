#pragma once

#include "controls/RQButtonCell.h"

// The cell of the Back and Next buttons: the standard button with an engraved title, moved
// 3 points towards the button's arrow (left for tag 0, right for tag 1) and 2 points down.
class MWNavigationButtonCell final : public RQButtonCell
{
public:
    QRectF drawTitle(QPainter &painter, const AttributedTitle &title, const QRectF &frame,
                     const CellButton &button) const override;

protected:
    bool drawsTitleItself(const CellButton &button) const override;
};
