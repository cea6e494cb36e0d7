#pragma once

class QAbstractItemView;

// Asks the view to read its model again and selects the rows that were selected before;
// rows at or past the new row count are dropped from the selection.
void rq_reloadDataMaintainingSelection(QAbstractItemView &view);
