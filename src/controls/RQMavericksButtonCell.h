#pragma once

#include "controls/RQButtonCell.h"

class RQMavericksButtonTheme;

// Gives rounded push buttons (bezel style 1) and textured square buttons (bezel style 11) the
// application's own flat look; buttons of any other style draw as the style draws them.
class RQMavericksButtonCell final : public RQButtonCell
{
public:
    static constexpr int roundedBezelStyle = 1;
    static constexpr int texturedSquareBezelStyle = 11;

    // The theme for the button's bezel style, or null.
    static const RQMavericksButtonTheme *buttonTheme(const CellButton &button);

    void drawBezel(QPainter &painter, const QRectF &frame, const CellButton &button) const override;
    QRectF drawTitle(QPainter &painter, const AttributedTitle &title, const QRectF &frame,
                     const CellButton &button) const override;

protected:
    bool drawsTitleItself(const CellButton &button) const override;
};
