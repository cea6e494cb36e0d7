#pragma once

#include "controls/RQButtonCell.h"

#include "platform/gui/NamedImage.h"

// A blue pill, green when the button reports success, drawn from three image slices, with a
// white title casting a dark shadow. Pressed, it shows the "-active" slices.
class VXBlueButtonCell final : public RQButtonCell
{
public:
    enum class Slice { Left, Middle, Right };

    bool success() const { return m_success; }
    void setSuccess(bool success);

    // The name of a slice for the current look.
    QString sliceName(Slice slice, bool highlighted) const;
    NamedImage sliceImage(Slice slice, bool highlighted) const;

    void drawBezel(QPainter &painter, const QRectF &frame, const CellButton &button) const override;
    void drawInterior(QPainter &painter, const QRectF &frame, const CellButton &button) const override;
    void drawFocusRing(QPainter &painter, const QRectF &frame, const CellButton &button) const override;

private:
    bool m_success = false;
};
