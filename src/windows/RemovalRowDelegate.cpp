#include "windows/RemovalRowDelegate.h"

#include "controls/HSTableCellView.h"
#include "controls/ResultsTableColors.h"

#include <QIcon>
#include <QPainter>

namespace {

constexpr int iconMargin = 8;

QStyleOptionViewItem inCell(const QStyleOptionViewItem &option)
{
    QStyleOptionViewItem cell(option);
    cell.rect = RemovalRowDelegate::cellRect(option.rect);
    return cell;
}

} // namespace

RemovalRowDelegate::RemovalRowDelegate(QObject *parent)
    : QStyledItemDelegate(parent), m_cell(HSFileCellView::CheckBox | HSFileCellView::Texts)
{
}

QRect RemovalRowDelegate::iconRect(const QRect &row)
{
    return QRect(row.left() + iconMargin, row.center().y() - iconSize / 2 + 1, iconSize, iconSize);
}

QRect RemovalRowDelegate::cellRect(const QRect &row)
{
    return row.adjusted(iconSize + iconMargin, 0, 0, 0);
}

void RemovalRowDelegate::paint(QPainter *painter, const QStyleOptionViewItem &option, const QModelIndex &index) const
{
    m_cell.paint(painter, inCell(option), index);
    painter->save();
    // The icon's column wears the selection the cell paints for the rest of the row.
    if (option.state.testFlag(QStyle::State_Selected)) {
        const QRect column(option.rect.topLeft(), QPoint(cellRect(option.rect).left() - 1, option.rect.bottom()));
        painter->fillRect(column, HSTableCellView::isDarkStyle(option)
                                      ? option.palette.color(QPalette::Active, QPalette::Highlight)
                                      : vxTableViewColor_secondarySelection());
    }
    index.data(Qt::DecorationRole).value<QIcon>().paint(painter, iconRect(option.rect));
    painter->restore();
}

QSize RemovalRowDelegate::sizeHint(const QStyleOptionViewItem &option, const QModelIndex &index) const
{
    // As wide as the list makes it: the row never asks for a horizontal scroll bar.
    return QSize(0, m_cell.sizeHint(option, index).height());
}

bool RemovalRowDelegate::editorEvent(QEvent *event, QAbstractItemModel *model, const QStyleOptionViewItem &option,
                                     const QModelIndex &index)
{
    QAbstractItemDelegate &cell = m_cell;
    return cell.editorEvent(event, model, inCell(option), index);
}
