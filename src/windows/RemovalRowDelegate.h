#pragma once

#include "controls/HSFileCellView.h"

#include <QStyledItemDelegate>

// The removal sheet's row: the file's icon (or the caution icon of a failed row) in front of
// the file row cell's tick box and texts.
class RemovalRowDelegate final : public QStyledItemDelegate
{
    Q_OBJECT
    Q_DISABLE_COPY_MOVE(RemovalRowDelegate)

public:
    static constexpr int iconSize = 32;

    explicit RemovalRowDelegate(QObject *parent = nullptr);

    void paint(QPainter *painter, const QStyleOptionViewItem &option, const QModelIndex &index) const override;
    QSize sizeHint(const QStyleOptionViewItem &option, const QModelIndex &index) const override;

    static QRect iconRect(const QRect &row);
    // Where the file row cell paints: the row less the icon's column.
    static QRect cellRect(const QRect &row);

protected:
    bool editorEvent(QEvent *event, QAbstractItemModel *model, const QStyleOptionViewItem &option,
                     const QModelIndex &index) override;

private:
    HSFileCellView m_cell;
};
