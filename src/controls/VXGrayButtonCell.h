#pragma once

#include "controls/RQButtonCell.h"

// A grey pill drawn from three image slices, darker while pressed, with a bold white title.
class VXGrayButtonCell final : public RQButtonCell
{
public:
    // The title's font: the application font, bold, 11.5 pixels.
    static QFont titleFont();

    void drawBezel(QPainter &painter, const QRectF &frame, const CellButton &button) const override;
    QRectF drawTitle(QPainter &painter, const AttributedTitle &title, const QRectF &frame,
                     const CellButton &button) const override;
    void drawFocusRing(QPainter &painter, const QRectF &frame, const CellButton &button) const override;

protected:
    bool drawsTitleItself(const CellButton &button) const override;
};
