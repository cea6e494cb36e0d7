#pragma once

#include <QRectF>

class QPainter;

// The look of one row of the groups table, painted by the row's delegate under its content:
// a grey-to-white band with a light line at its top and a white one at its bottom, or, when
// selected, the blue selection gradient with its own border lines (a quiet grey-blue
// while the table does not have the focus).
class VXTableRowView final
{
public:
    static void drawBackgroundInRect(QPainter &painter, const QRectF &row);
    static void drawSelectionInRect(QPainter &painter, const QRectF &row, bool emphasized);
    // The two border lines of a band.
    static void drawBorders(QPainter &painter, const QRectF &row);

    VXTableRowView() = delete;
};
