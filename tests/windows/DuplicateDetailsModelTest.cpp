#include "windows/DuplicateDetailsModel.h"
#include "windows/DuplicateGroupsModel.h"

#include "controls/ResultsNotifications.h"
#include "platform/NotificationCenter.h"

#include "ResultsFixture.h"

#include <gtest/gtest.h>

#include <QAbstractItemModelTester>
#include <QObject>
#include <QSignalSpy>

using namespace Qt::StringLiterals;
using namespace results;

namespace {

QStringList paths(const DuplicateDetailsModel &model)
{
    QStringList list;
    for (const auto &entry : model.entries())
        list.append(entry.file->path());
    return list;
}

} // namespace

TEST(DuplicateDetailsModelTest, ChosenGroupsJoinInRowOrderThenOrderByDateWithUndatedLast)
{
    Groups groups = {
        group({file(u"/g0/a"_s, 1, 5), file(u"/g0/b"_s, 1, 1)}),
        group({file(u"/g1/a"_s, 1, 4), file(u"/g1/none"_s, 1), file(u"/g1/b"_s, 1, 2)}),
        group({file(u"/g2/a"_s, 1), file(u"/g2/b"_s, 1)}),
        group({file(u"/g3/none"_s, 1), file(u"/g3/a"_s, 1, 3), file(u"/g3/b"_s, 1, 2)}),
    };
    DuplicateGroupsModel groupsModel(groups);
    DuplicateDetailsModel model(&groupsModel);
    QAbstractItemModelTester tester(&model, QAbstractItemModelTester::FailureReportingMode::Fatal);

    model.setGroupRows({3, 1});
    EXPECT_EQ(paths(model), (QStringList{u"/g1/b"_s, u"/g3/b"_s, u"/g3/a"_s, u"/g1/a"_s, u"/g1/none"_s,
                                         u"/g3/none"_s}));
    EXPECT_EQ(model.index(0, 0).data(DuplicateDetailsModel::GroupRowRole).toInt(), 1);
    EXPECT_EQ(model.index(1, 0).data(DuplicateDetailsModel::GroupRowRole).toInt(), 3);

    struct Case
    {
        int column;
        Qt::SortOrder order;
        QStringList expected;
    };
    groups[1]->duplicates()[0]->setSelected(true); // /g1/a
    groups[3]->duplicates()[0]->setSelected(true); // /g3/none
    const Case cases[] = {
        {DuplicateDetailsModel::FileColumn, Qt::DescendingOrder,
         {u"/g1/a"_s, u"/g3/a"_s, u"/g1/b"_s, u"/g3/b"_s, u"/g1/none"_s, u"/g3/none"_s}},
        {DuplicateDetailsModel::TickColumn, Qt::AscendingOrder,
         {u"/g1/none"_s, u"/g1/b"_s, u"/g3/a"_s, u"/g3/b"_s, u"/g1/a"_s, u"/g3/none"_s}},
        {DuplicateDetailsModel::TickColumn, Qt::DescendingOrder,
         {u"/g1/a"_s, u"/g3/none"_s, u"/g1/none"_s, u"/g1/b"_s, u"/g3/a"_s, u"/g3/b"_s}},
        // Ties go back to member order, whatever the order before.
        {DuplicateDetailsModel::FileColumn, Qt::AscendingOrder,
         {u"/g1/b"_s, u"/g3/b"_s, u"/g3/a"_s, u"/g1/a"_s, u"/g1/none"_s, u"/g3/none"_s}},
    };
    for (const Case &testCase : cases) {
        model.sort(testCase.column, testCase.order);
        EXPECT_EQ(paths(model), testCase.expected) << testCase.column << " " << testCase.order;
    }
}

TEST(DuplicateDetailsModelTest, ATickGoesThroughTheModelThenTellsEveryone)
{
    Groups groups = {filesGroup(u"/r"_s, u"a"_s, 2), filesGroup(u"/r"_s, u"b"_s, 3)};
    DuplicateGroupsModel groupsModel(groups);
    DuplicateDetailsModel model(&groupsModel);
    QAbstractItemModelTester tester(&model, QAbstractItemModelTester::FailureReportingMode::Fatal);
    model.setGroupRows({1});

    QSignalSpy rowChanged(&model, &QAbstractItemModel::dataChanged);
    QSignalSpy badgeChanged(&groupsModel, &QAbstractItemModel::dataChanged);
    std::vector<std::pair<const void *, bool>> posted;
    QObject context;
    NotificationCenter::defaultCenter().addObserver(
        RQDidToggleSelectedNotification, nullptr, &context, [&](const Notification &notification) {
            // Observers see the new flag, and the badge already changed.
            posted.emplace_back(notification.object, static_cast<const RQFile *>(notification.object)->isSelected());
            EXPECT_EQ(badgeChanged.count(), 1);
        });

    const QModelIndex tick = model.index(2, DuplicateDetailsModel::TickColumn);
    EXPECT_FALSE(model.setData(model.index(2, DuplicateDetailsModel::FileColumn), Qt::Checked, Qt::CheckStateRole));
    ASSERT_TRUE(model.setData(tick, Qt::Checked, Qt::CheckStateRole));
    EXPECT_TRUE(groups[1]->duplicates()[2]->isSelected());
    EXPECT_EQ(tick.data(Qt::CheckStateRole).value<Qt::CheckState>(), Qt::Checked);
    ASSERT_EQ(rowChanged.count(), 1);
    EXPECT_EQ(rowChanged.at(0).at(0).toModelIndex().row(), 2);
    ASSERT_EQ(badgeChanged.count(), 1);
    EXPECT_EQ(badgeChanged.at(0).at(0).toModelIndex().row(), 1);
    ASSERT_EQ(posted.size(), 1U);
    EXPECT_EQ(posted[0].first, groups[1]->duplicates()[2].get());
    EXPECT_TRUE(posted[0].second);

    // Taking a tick back quietly changes the rows and posts nothing.
    model.setFileSelectedWithoutNotice(2, false);
    EXPECT_EQ(posted.size(), 1U);
    EXPECT_EQ(groupsModel.index(1).data(DuplicateGroupsModel::SelectedCountRole).toInt(), 0);
}

TEST(DuplicateDetailsModelTest, TextsOfARow)
{
    Groups groups = {group({file(u"/Data/Photos/a.jpg"_s, 1500, 0), file(u"/b.jpg"_s, 1500)}),
                     group({folder(u"/Data/Photos/"_s, 10), folder(u"/Other/Photos"_s, 10)})};
    DuplicateGroupsModel groupsModel(groups);
    DuplicateDetailsModel model(&groupsModel);
    model.setGroupRows({0, 1});
    struct Case
    {
        int row;
        QString folder;
        bool hasDate;
    };
    const Case cases[] = {{0, u"/Data/Photos"_s, true}, {1, u"/"_s, false}, {2, u"/Data"_s, false}};
    for (const Case &testCase : cases) {
        const QModelIndex index = model.index(testCase.row, DuplicateDetailsModel::FileColumn);
        EXPECT_EQ(index.data(DuplicateDetailsModel::FolderPathRole).toString(), testCase.folder);
        const QString date = index.data(DuplicateDetailsModel::CreationDateTextRole).toString();
        if (testCase.hasDate)
            EXPECT_TRUE(date.contains(u"2020"_s)) << date.toStdString();
        else
            EXPECT_EQ(date, u"---"_s);
    }
}
