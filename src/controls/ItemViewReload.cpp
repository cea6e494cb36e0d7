#include "controls/ItemViewReload.h"

#include <QAbstractItemView>
#include <QItemSelectionModel>

void rq_reloadDataMaintainingSelection(QAbstractItemView &view)
{
    QItemSelectionModel *selection = view.selectionModel();
    QAbstractItemModel *model = view.model();
    if (!selection || !model) {
        view.reset();
        return;
    }
    QList<int> rows;
    for (const QModelIndex &index : selection->selectedRows())
        rows.append(index.row());
    const int current = view.currentIndex().row();
    view.reset();
    const int rowCount = model->rowCount(view.rootIndex());
    QItemSelection kept;
    for (const int row : std::as_const(rows)) {
        if (row < rowCount)
            kept.select(model->index(row, 0, view.rootIndex()), model->index(row, 0, view.rootIndex()));
    }
    selection->select(kept, QItemSelectionModel::ClearAndSelect | QItemSelectionModel::Rows);
    if (current >= 0 && current < rowCount)
        selection->setCurrentIndex(model->index(current, 0, view.rootIndex()), QItemSelectionModel::NoUpdate);
    view.viewport()->update();
}
