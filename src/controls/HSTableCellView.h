#pragma once

#include <QStyledItemDelegate>

// Paints one duplicate group in the groups table from the roles of GroupRowRoles: the group's
// icon and name, "n items, size" below, and a badge "s of n" while s of its n copies are
// ticked (red once every copy is), over the banded row look. No widget per row.
class HSTableCellView final : public QStyledItemDelegate
{
    Q_OBJECT

public:
    static constexpr int rowHeight = 44;

    explicit HSTableCellView(QObject *parent = nullptr);
    Q_DISABLE_COPY_MOVE(HSTableCellView)

    void paint(QPainter *painter, const QStyleOptionViewItem &option,
               const QModelIndex &index) const override;
    QSize sizeHint(const QStyleOptionViewItem &option, const QModelIndex &index) const override;

    static QString subtitleText(qint64 count, double bytes);
    static QString badgeText(qint64 selected, qint64 count);
    // Where the parts of a row go, for a row rectangle.
    static QRect iconRect(const QRect &row);
    // The name and subtitle reach the badge's capsule when a badge shows, else the row's margin.
    static QRect nameRect(const QRect &row, const QString &badge = {});
    static QRect subtitleRect(const QRect &row, const QString &badge = {});
    static QRect badgeFrame(const QRect &row);
    // Selected in a focused table: the dark style with white texts and a white badge.
    static bool isDarkStyle(const QStyleOptionViewItem &option);
};
