#include "controls/VXTableView.h"

#include "controls/VXTableRowView.h"

#include <QHeaderView>
#include <QPaintEvent>
#include <QPainter>

VXTableView::VXTableView(QWidget *parent)
    : QTableView(parent)
{
    setShowGrid(false);
    setFrameShape(QFrame::NoFrame);
    verticalHeader()->hide();
    horizontalHeader()->setStretchLastSection(true);
    setSelectionBehavior(QAbstractItemView::SelectRows);
}

std::vector<int> VXTableView::backgroundBandTops(int clipBottom, int rowHeight)
{
    std::vector<int> tops;
    if (rowHeight <= 0 || clipBottom <= 0)
        return tops;
    for (int top = rowHeight;; top += rowHeight) {
        tops.push_back(top);
        if (top >= clipBottom)
            return tops;
    }
}

std::vector<int> VXTableView::gridBandTops(int rowsBottom, int clipBottom, int rowHeight)
{
    std::vector<int> tops;
    if (rowHeight <= 0)
        return tops;
    for (int bottom = rowsBottom; bottom < clipBottom; bottom += rowHeight)
        tops.push_back(bottom - rowHeight);
    return tops;
}

void VXTableView::paintEvent(QPaintEvent *event)
{
    {
        QPainter painter(viewport());
        const QRect clip = event->rect();
        const int rowHeight = verticalHeader()->defaultSectionSize();
        // Bands at the viewport's own rhythm first, then bands that follow the rows; the
        // rows' delegates paint over both.
        std::vector<int> tops = backgroundBandTops(clip.bottom() + 1, rowHeight);
        const std::vector<int> rowTops = gridBandTops(rowsBottom(), clip.bottom() + 1, rowHeight);
        tops.insert(tops.end(), rowTops.begin(), rowTops.end());
        for (const int top : tops)
            VXTableRowView::drawBackgroundInRect(painter, QRectF(0, top, viewport()->width(), rowHeight));
    }
    QTableView::paintEvent(event);
}

int VXTableView::rowsBottom() const
{
    const int rows = model() ? model()->rowCount(rootIndex()) : 0;
    if (rows == 0)
        return 0;
    const int last = rows - 1;
    return rowViewportPosition(last) + rowHeight(last);
}
