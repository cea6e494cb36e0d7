#include "windows/IgnoredFoldersModel.h"

#include <gtest/gtest.h>

#include <QAbstractItemModelTester>
#include <QMimeData>
#include <QSignalSpy>
#include <QUrl>

using namespace Qt::StringLiterals;

TEST(IgnoredFoldersModelTest, RowsFollowEveryChangeOfTheList)
{
    IgnoredFoldersModel model;
    QAbstractItemModelTester tester(&model, QAbstractItemModelTester::FailureReportingMode::Fatal);
    model.setPaths({u"/a"_s, u"/b"_s});
    model.appendPaths({u"/c"_s, u"/d"_s, u"/e"_s});
    model.appendPaths({});
    // Any order, repeats and rows that do not exist.
    model.removePathsAt({3, 0, 3, 9, -1});
    EXPECT_EQ(model.paths(), QStringList({u"/b"_s, u"/c"_s, u"/e"_s}));
    EXPECT_EQ(model.rowCount(), 3);
    EXPECT_EQ(model.index(1).data().toString(), u"/c"_s);
    EXPECT_FALSE(model.flags(model.index(0)).testFlag(Qt::ItemIsDropEnabled));
    EXPECT_TRUE(model.flags({}).testFlag(Qt::ItemIsDropEnabled));
}

TEST(IgnoredFoldersModelTest, ADropIsTakenWholeOnlyWithLocalFilesTheRuleAccepts)
{
    IgnoredFoldersModel model;
    model.setDropRule([](const QString &path) { return !path.endsWith(u"refused"_s); });
    QSignalSpy dropped(&model, &IgnoredFoldersModel::pathsDropped);

    QMimeData folders, oneRefused, webAddress, text;
    folders.setUrls({QUrl::fromLocalFile(u"/x"_s), QUrl::fromLocalFile(u"/y"_s)});
    oneRefused.setUrls({QUrl::fromLocalFile(u"/x"_s), QUrl::fromLocalFile(u"/refused"_s)});
    webAddress.setUrls({QUrl::fromLocalFile(u"/x"_s), QUrl(u"https://marrowick.example/"_s)});
    text.setText(u"/home"_s);
    const struct
    {
        const char *name;
        const QMimeData *data;
        Qt::DropAction action;
        QStringList taken;
    } cases[] = {
        {"two folders", &folders, Qt::CopyAction, {u"/x"_s, u"/y"_s}},
        {"one refused", &oneRefused, Qt::CopyAction, {}},
        {"a web address", &webAddress, Qt::CopyAction, {}},
        {"text", &text, Qt::CopyAction, {}},
        {"a move", &folders, Qt::MoveAction, {}},
    };
    for (const auto &entry : cases) {
        dropped.clear();
        const bool taken = !entry.taken.isEmpty();
        EXPECT_EQ(model.canDropMimeData(entry.data, entry.action, -1, -1, {}), taken) << entry.name;
        EXPECT_EQ(model.dropMimeData(entry.data, entry.action, -1, -1, {}), taken) << entry.name;
        ASSERT_EQ(dropped.size(), taken ? 1 : 0) << entry.name;
        if (taken) {
            EXPECT_EQ(dropped.at(0).at(0).toStringList(), entry.taken) << entry.name;
        }
    }
    // The model leaves adding to whoever hears of the drop.
    EXPECT_EQ(model.rowCount(), 0);
}
