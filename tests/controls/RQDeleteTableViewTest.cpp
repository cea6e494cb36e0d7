#include "controls/RQDeleteTableView.h"
#include "controls/RQDeleteTableViewDelegate.h"

#include <gtest/gtest.h>

#include <QDragMoveEvent>
#include <QMimeData>
#include <QStringListModel>
#include <QTest>
#include <QUrl>

using namespace Qt::StringLiterals;

namespace {

class CountingDelegate final : public RQDeleteTableViewDelegate
{
public:
    void tableViewDeleteFromKeyboard(RQDeleteTableView &tableView) override
    {
        ++calls;
        table = &tableView;
    }
    int calls = 0;
    RQDeleteTableView *table = nullptr;
};

// Accepts every drop of file URLs, but only as a copy.
class CopyOnlyModel final : public QStringListModel
{
public:
    using QStringListModel::QStringListModel;
    QStringList mimeTypes() const override { return {u"text/uri-list"_s}; }
    Qt::DropActions supportedDropActions() const override { return Qt::CopyAction; }
    bool canDropMimeData(const QMimeData *, Qt::DropAction action, int, int,
                         const QModelIndex &) const override
    {
        return action == Qt::CopyAction;
    }
    bool dropMimeData(const QMimeData *data, Qt::DropAction action, int row, int column,
                      const QModelIndex &parent) override
    {
        dropped = canDropMimeData(data, action, row, column, parent);
        return dropped;
    }
    bool dropped = false;
};

} // namespace

TEST(RQDeleteTableViewTest, DeleteAndBackspaceGoToTheDelegateOtherKeysToTheTable)
{
    QStringListModel model({u"a"_s, u"b"_s, u"c"_s});
    RQDeleteTableView table;
    table.setModel(&model);
    table.show();
    table.setCurrentIndex(model.index(0));

    // Without a delegate the two keys do nothing.
    QTest::keyClick(&table, Qt::Key_Delete);
    EXPECT_EQ(model.rowCount(), 3);

    CountingDelegate delegate;
    table.setDeleteDelegate(&delegate);
    const struct
    {
        Qt::Key key;
        int calls;
        int currentRow;
    } cases[] = {
        {Qt::Key_Delete, 1, 0}, {Qt::Key_Backspace, 2, 0}, {Qt::Key_Down, 2, 1}, {Qt::Key_Up, 2, 0},
    };
    for (const auto &entry : cases) {
        QTest::keyClick(&table, entry.key);
        EXPECT_EQ(delegate.calls, entry.calls) << entry.key;
        EXPECT_EQ(table.currentIndex().row(), entry.currentRow) << entry.key;
    }
    EXPECT_EQ(delegate.table, &table);
}

TEST(RQDeleteTableViewTest, ADropProposedAsAMoveIsTakenAsACopy)
{
    CopyOnlyModel model;
    RQDeleteTableView table;
    table.setModel(&model);
    table.setDragDropMode(QAbstractItemView::DropOnly);
    table.resize(300, 200);
    table.show();

    QMimeData data;
    data.setUrls({QUrl::fromLocalFile(u"/tmp"_s)});
    const QPoint inside = table.viewport()->rect().center();
    // Shift makes the platform propose a move.
    const Qt::DropActions possible = Qt::CopyAction | Qt::MoveAction;
    QDragEnterEvent enter(inside, possible, &data, Qt::LeftButton, Qt::ShiftModifier);
    QDragMoveEvent move(inside, possible, &data, Qt::LeftButton, Qt::ShiftModifier);
    QDropEvent drop(QPointF(inside), possible, &data, Qt::LeftButton, Qt::ShiftModifier);
    EXPECT_EQ(drop.proposedAction(), Qt::MoveAction);
    for (QDropEvent *event : {static_cast<QDropEvent *>(&enter), static_cast<QDropEvent *>(&move),
                              &drop}) {
        QCoreApplication::sendEvent(table.viewport(), event);
        EXPECT_TRUE(event->isAccepted()) << event->type();
        EXPECT_EQ(event->dropAction(), Qt::CopyAction) << event->type();
    }
    EXPECT_TRUE(model.dropped);
}
