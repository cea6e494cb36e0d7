#include "controls/VXTableRowView.h"

#include "controls/ResultsTableColors.h"

#include <QLinearGradient>
#include <QPainter>

namespace {

void fillVerticalGradient(QPainter &painter, const QRectF &rect, const QColor &top, const QColor &bottom)
{
    QLinearGradient gradient(rect.topLeft(), rect.bottomLeft());
    gradient.setColorAt(0, top);
    gradient.setColorAt(1, bottom);
    painter.fillRect(rect, gradient);
}

QRectF topLine(const QRectF &row) { return {row.x(), row.y(), row.width(), 1}; }
QRectF bottomLine(const QRectF &row) { return {row.x(), row.bottom() - 1, row.width(), 1}; }

} // namespace

void VXTableRowView::drawBackgroundInRect(QPainter &painter, const QRectF &row)
{
    fillVerticalGradient(painter, row, vxTableViewColor_cellGradientStart(), vxTableViewColor_cellGradientEnd());
    drawBorders(painter, row);
}

void VXTableRowView::drawSelectionInRect(QPainter &painter, const QRectF &row, bool emphasized)
{
    if (!emphasized) {
        painter.fillRect(row, vxTableViewColor_secondarySelection());
        return;
    }
    fillVerticalGradient(painter, row, vxTableViewColor_selectionStart(), vxTableViewColor_selectionEnd());
    painter.fillRect(bottomLine(row), vxTableViewColor_selectionBorderBottom());
    painter.fillRect(topLine(row), vxTableViewColor_selectionBorderTop());
}

void VXTableRowView::drawBorders(QPainter &painter, const QRectF &row)
{
    painter.fillRect(topLine(row), vxTableViewColor_borderTop());
    painter.fillRect(bottomLine(row), vxTableViewColor_borderBottom());
}
