#include "windows/DuplicateGroupsModel.h"
#include "windows/DuplicateGroupsProxyModel.h"

#include "ResultsFixture.h"

#include <gtest/gtest.h>

#include <QAbstractItemModelTester>
#include <QSignalSpy>

using namespace Qt::StringLiterals;
using namespace results;

namespace {

// Groups of every kind: rows 0 to 8.
Groups groupsOfEveryKind()
{
    return {
        filesGroup(u"/r"_s, u"photo.jpg"_s, 2, 300),                                     // image
        filesGroup(u"/r"_s, u"notes.txt"_s, 3, 50),                                      // document
        filesGroup(u"/r"_s, u"clip.mp4"_s, 2, 900),                                      // movie
        filesGroup(u"/r"_s, u"song.mp3"_s, 2, 400),                                      // audio
        filesGroup(u"/r"_s, u"bundle.zip"_s, 2, 200),                                    // archive
        filesGroup(u"/r"_s, u"data.qqqq"_s, 2, 10),                                      // other
        group({folder(u"/r/a/Tool.app"_s, 70, true), folder(u"/r/b/Tool.app"_s, 70, true)}), // application
        group({folder(u"/r/a/Album"_s, 80), folder(u"/r/b/Album"_s, 80)}),               // folder
        group({folder(u"/r/a/Lib.framework"_s, 60, true), folder(u"/r/b/Lib.framework"_s, 60, true)}), // a package
    };
}

QStringList visibleNames(const DuplicateGroupsProxyModel &proxy)
{
    QStringList names;
    for (int row = 0; row < proxy.rowCount(); ++row)
        names.append(proxy.index(row, 0).data(DuplicateGroupsModel::FileNameRole).toString());
    return names;
}

} // namespace

TEST(DuplicateGroupsModelTest, RolesCarryTheRawValuesAndTicksAreReadLive)
{
    DuplicateGroupsModel model({filesGroup(u"/r"_s, u"Été Photo.JPG"_s, 3, 500)});
    QAbstractItemModelTester tester(&model, QAbstractItemModelTester::FailureReportingMode::Fatal);
    const QModelIndex row = model.index(0);
    EXPECT_EQ(row.data(DuplicateGroupsModel::TotalSizeRole).toDouble(), 1500);
    EXPECT_EQ(row.data(DuplicateGroupsModel::CountRole).toLongLong(), 3);
    EXPECT_EQ(row.data(Qt::DisplayRole).toString(), u"Été Photo.JPG"_s);
    EXPECT_EQ(row.data(DuplicateGroupsModel::SearchKeyRole).toString(), u"ete photo.jpg"_s);
    EXPECT_EQ(row.data(DuplicateGroupsModel::CategoryRole).toLongLong(), DuplicateGroupsModel::Images);

    QSignalSpy changed(&model, &QAbstractItemModel::dataChanged);
    model.groupAt(0)->duplicates()[1]->setSelected(true);
    model.selectionDidChange(0, 0);
    EXPECT_EQ(changed.count(), 1);
    EXPECT_EQ(row.data(DuplicateGroupsModel::SelectedCountRole).toLongLong(), 1);
    EXPECT_EQ(row.data(DuplicateGroupsModel::SelectedFileSizeRole).toDouble(), 500);
}

TEST(DuplicateGroupsModelTest, EachKindFallsInItsOneCategory)
{
    DuplicateGroupsModel model(groupsOfEveryKind());
    const qint64 expected[] = {DuplicateGroupsModel::Images,      DuplicateGroupsModel::Documents,
                               DuplicateGroupsModel::Movies,      DuplicateGroupsModel::AudioFiles,
                               DuplicateGroupsModel::Archives,    DuplicateGroupsModel::OtherFiles,
                               DuplicateGroupsModel::Applications, DuplicateGroupsModel::Folders,
                               DuplicateGroupsModel::AllCategories};
    for (int row = 0; row < model.rowCount(); ++row)
        EXPECT_EQ(model.categoryAt(row), expected[row]) << "row " << row;
    EXPECT_EQ(model.totalForCategory(DuplicateGroupsModel::AllCategories), 9);
    EXPECT_EQ(model.totalForCategory(DuplicateGroupsModel::Applications), 1);
    EXPECT_EQ(model.totalForCategory(DuplicateGroupsModel::Folders), 1);
    // Numbers outside the bar stand for the other files.
    EXPECT_EQ(model.totalForCategory(-3), 1);
    EXPECT_EQ(model.totalForCategory(42), 1);
}

TEST(DuplicateGroupsProxyModelTest, CategoryAndSearchFilterTogether)
{
    DuplicateGroupsModel model({filesGroup(u"/r"_s, u"Café.jpg"_s, 2), filesGroup(u"/r"_s, u"CAFE menu.txt"_s, 2),
                                filesGroup(u"/r"_s, u"tea.jpg"_s, 2)});
    DuplicateGroupsProxyModel proxy(&model);
    QAbstractItemModelTester tester(&proxy, QAbstractItemModelTester::FailureReportingMode::Fatal);
    proxy.setSortOption(DuplicateGroupsProxyModel::SortByName);
    proxy.setSortOrder(DuplicateGroupsProxyModel::Ascending);

    struct Case
    {
        qint64 category;
        QString search;
        QStringList visible;
    };
    const Case cases[] = {
        {0, u""_s, {u"CAFE menu.txt"_s, u"Café.jpg"_s, u"tea.jpg"_s}},
        {0, u"cafe"_s, {u"CAFE menu.txt"_s, u"Café.jpg"_s}},
        {0, u"CAFÉ"_s, {u"CAFE menu.txt"_s, u"Café.jpg"_s}},
        {DuplicateGroupsModel::Images, u"cafe"_s, {u"Café.jpg"_s}},
        {DuplicateGroupsModel::Images, u""_s, {u"Café.jpg"_s, u"tea.jpg"_s}},
        {DuplicateGroupsModel::Movies, u""_s, {}},
        {0, u"xyz"_s, {}},
    };
    for (const Case &testCase : cases) {
        proxy.setCategory(testCase.category);
        proxy.setSearchText(testCase.search);
        proxy.refresh();
        EXPECT_EQ(visibleNames(proxy), testCase.visible) << testCase.category << " " << testCase.search.toStdString();
    }
}

TEST(DuplicateGroupsProxyModelTest, EverySortKeyInBothDirectionsKeepsTiesInScanOrder)
{
    // Names tell the expected orders apart; sizes, counts and types differ between them.
    Groups groups = {
        filesGroup(u"/r"_s, u"b.txt"_s, 2, 100), // total 200, text/plain
        filesGroup(u"/r"_s, u"a.jpg"_s, 3, 100), // total 300, image/jpeg
        filesGroup(u"/r"_s, u"c.txt"_s, 2, 100), // total 200, text/plain
        filesGroup(u"/r"_s, u"d.png"_s, 4, 25),  // total 100, image/png
    };
    setTicks(*groups[2], u"x."_s);
    setTicks(*groups[3], u"xxx."_s);
    DuplicateGroupsModel model(groups);
    DuplicateGroupsProxyModel proxy(&model);
    QAbstractItemModelTester tester(&proxy, QAbstractItemModelTester::FailureReportingMode::Fatal);

    // A new browser shows the largest groups first.
    EXPECT_EQ(visibleNames(proxy), (QStringList{u"a.jpg"_s, u"b.txt"_s, u"c.txt"_s, u"d.png"_s}));

    struct Case
    {
        qint64 option;
        qint64 order;
        QStringList visible;
    };
    const Case cases[] = {
        {DuplicateGroupsProxyModel::SortBySize, DuplicateGroupsProxyModel::Ascending,
         {u"d.png"_s, u"b.txt"_s, u"c.txt"_s, u"a.jpg"_s}},
        {DuplicateGroupsProxyModel::SortByKind, DuplicateGroupsProxyModel::Ascending,
         {u"a.jpg"_s, u"d.png"_s, u"b.txt"_s, u"c.txt"_s}},
        {DuplicateGroupsProxyModel::SortByKind, DuplicateGroupsProxyModel::Descending,
         {u"b.txt"_s, u"c.txt"_s, u"d.png"_s, u"a.jpg"_s}},
        {DuplicateGroupsProxyModel::SortByName, DuplicateGroupsProxyModel::Descending,
         {u"d.png"_s, u"c.txt"_s, u"b.txt"_s, u"a.jpg"_s}},
        {DuplicateGroupsProxyModel::SortByCount, DuplicateGroupsProxyModel::Ascending,
         {u"b.txt"_s, u"c.txt"_s, u"a.jpg"_s, u"d.png"_s}},
        {DuplicateGroupsProxyModel::SortByCount, DuplicateGroupsProxyModel::Descending,
         {u"d.png"_s, u"a.jpg"_s, u"b.txt"_s, u"c.txt"_s}},
        {DuplicateGroupsProxyModel::SortBySelectedSize, DuplicateGroupsProxyModel::Descending,
         {u"c.txt"_s, u"d.png"_s, u"b.txt"_s, u"a.jpg"_s}},
        {99, DuplicateGroupsProxyModel::Descending, {u"a.jpg"_s, u"b.txt"_s, u"c.txt"_s, u"d.png"_s}},
    };
    for (const Case &testCase : cases) {
        proxy.setSortOption(testCase.option);
        proxy.setSortOrder(testCase.order);
        proxy.refresh();
        EXPECT_EQ(visibleNames(proxy), testCase.visible) << testCase.option << " " << testCase.order;
    }
}

TEST(DuplicateGroupsProxyModelTest, RowsStayPutWhileTicksChangeUntilRefresh)
{
    Groups groups = {filesGroup(u"/r"_s, u"a"_s, 2, 10), filesGroup(u"/r"_s, u"b"_s, 2, 20)};
    DuplicateGroupsModel model(groups);
    DuplicateGroupsProxyModel proxy(&model);
    QAbstractItemModelTester tester(&proxy, QAbstractItemModelTester::FailureReportingMode::Fatal);
    proxy.setSortOption(DuplicateGroupsProxyModel::SortBySelectedSize);
    proxy.refresh();
    const QPersistentModelIndex groupB = proxy.index(1, 0);
    ASSERT_EQ(groupB.data(Qt::DisplayRole).toString(), u"b"_s);

    setTicks(*groups[1], u"x."_s);
    model.selectionDidChange();
    EXPECT_EQ(visibleNames(proxy), (QStringList{u"a"_s, u"b"_s}));
    proxy.refresh();
    EXPECT_EQ(visibleNames(proxy), (QStringList{u"b"_s, u"a"_s}));
    // The group keeps its identity through the new order.
    EXPECT_EQ(groupB.row(), 0);
}
