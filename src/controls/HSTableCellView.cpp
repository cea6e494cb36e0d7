#include "controls/HSTableCellView.h"

#include "controls/NUVBadgeTextFieldCell.h"
#include "controls/ResultRoles.h"
#include "controls/ResultRowStyle.h"
#include "controls/VXTableRowView.h"
#include "foundation/RQMemoryFormatter.h"

#include <QWidget>
#include <QIcon>
#include <QPainter>

using namespace Qt::StringLiterals;

namespace {

constexpr int margin = 8;
constexpr int iconSize = 32;
constexpr int badgeWidth = 84;
constexpr int badgeHeight = 18;

} // namespace

HSTableCellView::HSTableCellView(QObject *parent)
    : QStyledItemDelegate(parent)
{
}

QString HSTableCellView::subtitleText(qint64 count, double bytes)
{
    static const RQMemoryFormatter formatter;
    return u"%1 items, %2"_s.arg(count).arg(formatter.stringFromBytes(bytes));
}

QString HSTableCellView::badgeText(qint64 selected, qint64 count)
{
    return u"%1 of %2"_s.arg(selected).arg(count);
}

QRect HSTableCellView::iconRect(const QRect &row)
{
    return {row.x() + margin, row.y() + (row.height() - iconSize) / 2, iconSize, iconSize};
}

QRect HSTableCellView::badgeFrame(const QRect &row)
{
    return {row.right() + 1 - margin - badgeWidth, row.y() + (row.height() - badgeHeight) / 2,
            badgeWidth, badgeHeight};
}

QRect HSTableCellView::nameRect(const QRect &row, const QString &badge)
{
    const int left = iconRect(row).right() + 1 + margin;
    int right = row.right() + 1 - margin;
    if (!badge.isEmpty()) {
        const QRectF capsule = NUVBadgeTextFieldCell::badgeBackgroundRectWithResultingBounds(
            NUVBadgeTextFieldCell::resultingBoundsWithCellFrame(badgeFrame(row)), badge);
        right = int(capsule.left()) - margin;
    }
    return {left, row.y() + 5, right - left, 18};
}

QRect HSTableCellView::subtitleRect(const QRect &row, const QString &badge)
{
    const QRect name = nameRect(row, badge);
    return {name.x(), name.bottom() + 1, name.width(), 16};
}

bool HSTableCellView::isDarkStyle(const QStyleOptionViewItem &option)
{
    return option.state.testFlag(QStyle::State_Selected) && option.state.testFlag(QStyle::State_Active)
        && (!option.widget || option.widget->hasFocus());
}

void HSTableCellView::paint(QPainter *painter, const QStyleOptionViewItem &option,
                            const QModelIndex &index) const
{
    const QRect row = option.rect;
    const bool dark = isDarkStyle(option);
    painter->save();
    if (option.state.testFlag(QStyle::State_Selected))
        VXTableRowView::drawSelectionInRect(*painter, row, dark);
    else
        VXTableRowView::drawBackgroundInRect(*painter, row);

    const QIcon icon = index.data(Qt::DecorationRole).value<QIcon>();
    if (!icon.isNull())
        icon.paint(painter, iconRect(row));

    const qint64 count = index.data(GroupRowRoles::CountRole).toLongLong();
    const qint64 selected = index.data(GroupRowRoles::SelectedCountRole).toLongLong();
    const QString badgeValue = selected > 0 ? badgeText(selected, count) : QString();

    const QString name = index.data(GroupRowRoles::FileNameRole).toString();
    painter->setFont(vx_resultRowFont(12, true));
    painter->setPen(dark ? QColor(Qt::white) : vx_resultRowNameColor());
    const QRect nameArea = nameRect(row, badgeValue);
    painter->drawText(nameArea, Qt::AlignLeft | Qt::AlignVCenter,
                      painter->fontMetrics().elidedText(name, Qt::ElideMiddle, nameArea.width()));

    painter->setFont(vx_resultRowFont(10, false));
    painter->setPen(dark ? QColor(Qt::white) : vx_resultRowSubtitleColor());
    painter->drawText(subtitleRect(row, badgeValue), Qt::AlignLeft | Qt::AlignVCenter,
                      subtitleText(count, index.data(GroupRowRoles::TotalSizeRole).toDouble()));

    if (!badgeValue.isEmpty()) {
        NUVBadgeTextFieldCell badge;
        if (selected == count)
            badge.setHighlightColor();
        badge.drawWithFrame(*painter, badgeFrame(row), badgeValue, dark);
    }
    painter->restore();
}

QSize HSTableCellView::sizeHint(const QStyleOptionViewItem &option, const QModelIndex &) const
{
    return {option.rect.width(), rowHeight};
}
