#include "controls/HSFileCellView.h"
#include "controls/HSTableCellView.h"
#include "controls/NUVBadgeTextFieldCell.h"
#include "controls/ResultRoles.h"
#include "controls/ResultsNotifications.h"
#include "controls/ResultsTableColors.h"
#include "controls/VXTableView.h"
#include "platform/NotificationCenter.h"

#include "support/ColorPrinter.h"
#include "support/ScreenCapture.h"

#include <gtest/gtest.h>

#include <QApplication>
#include <QHeaderView>
#include <QIcon>
#include <QStandardItemModel>
#include <QTest>

using namespace Qt::StringLiterals;

namespace {

bool near(const QColor &actual, const QColor &expected)
{
    constexpr int tolerance = 3;
    return std::abs(actual.red() - expected.red()) <= tolerance
        && std::abs(actual.green() - expected.green()) <= tolerance
        && std::abs(actual.blue() - expected.blue()) <= tolerance;
}

// The darkest pixel of a rectangle of the image, by lightness.
int darkestLightness(const QImage &image, const QRect &rect)
{
    int darkest = 255;
    for (int y = rect.top(); y <= rect.bottom(); ++y) {
        for (int x = rect.left(); x <= rect.right(); ++x)
            darkest = std::min(darkest, image.pixelColor(x, y).lightness());
    }
    return darkest;
}

QList<QStandardItem *> groupRow(const QString &name, qint64 count, qint64 selected, double bytes)
{
    auto *item = new QStandardItem();
    item->setData(name, GroupRowRoles::FileNameRole);
    item->setData(count, GroupRowRoles::CountRole);
    item->setData(selected, GroupRowRoles::SelectedCountRole);
    item->setData(bytes, GroupRowRoles::TotalSizeRole);
    item->setData(QApplication::style()->standardIcon(QStyle::SP_FileIcon), Qt::DecorationRole);
    return {item};
}

QList<QStandardItem *> fileRow(const QString &name, bool ticked, bool hasIssue)
{
    auto *tick = new QStandardItem();
    tick->setCheckable(true);
    tick->setCheckState(ticked ? Qt::Checked : Qt::Unchecked);
    auto *fileItem = new QStandardItem();
    for (QStandardItem *item : {tick, fileItem}) {
        item->setData(ticked, FileRowRoles::IsSelectedRole);
        item->setData(hasIssue, FileRowRoles::HasIssueRole);
        item->setData(name, FileRowRoles::FileNameRole);
        item->setData(u"Mar 3, 2021 4:05:06 PM"_s, FileRowRoles::CreationDateTextRole);
        item->setData(u"/home/ann/Pictures/2021"_s, FileRowRoles::FolderPathRole);
        item->setData(1'500'000.0, FileRowRoles::FileSizeRole);
        item->setData(name, FileRowRoles::FileRole);
    }
    return {tick, fileItem};
}

// A table in a shown, active window with the focus, so selected rows take the dark style.
void showFocused(QTableView &table)
{
    table.show();
    table.activateWindow();
    ASSERT_TRUE(QTest::qWaitForWindowActive(&table));
    table.setFocus();
}

} // namespace

TEST(VXTableViewTest, BandsContinueTheRowsBelowTheLastRow)
{
    struct Case
    {
        int rowsBottom;
        int clipBottom;
        int rowHeight;
        std::vector<int> tops;
    };
    const Case cases[] = {
        {40, 100, 20, {20, 40, 60}},
        {0, 50, 20, {-20, 0, 20}},
        {100, 100, 20, {}},
        {40, 100, 0, {}},
    };
    // Two rows of 20 in a clip from 0 to 100.
    EXPECT_EQ(VXTableView::backgroundBandTops(100, 20), (std::vector<int>{20, 40, 60, 80, 100}));
    EXPECT_EQ(VXTableView::backgroundBandTops(0, 20), std::vector<int>{});
    for (const Case &testCase : cases) {
        EXPECT_EQ(VXTableView::gridBandTops(testCase.rowsBottom, testCase.clipBottom, testCase.rowHeight),
                  testCase.tops);
    }
}

TEST(NUVBadgeTextFieldCellTest, TheCapsuleGrowsLeftwardsFromOnePointInside)
{
    const QRectF frame(10, 5, 100, 20);
    const QRectF bounds = NUVBadgeTextFieldCell::resultingBoundsWithCellFrame(frame);
    EXPECT_EQ(bounds, QRectF(11, 6, 98, 18));
    const QRectF shortCapsule = NUVBadgeTextFieldCell::badgeBackgroundRectWithResultingBounds(bounds, u"1 of 2"_s);
    const QRectF longCapsule = NUVBadgeTextFieldCell::badgeBackgroundRectWithResultingBounds(bounds, u"12 of 200"_s);
    EXPECT_EQ(shortCapsule.right(), frame.right() - 1);
    EXPECT_EQ(longCapsule.right(), frame.right() - 1);
    EXPECT_LT(longCapsule.left(), shortCapsule.left());
    EXPECT_EQ(shortCapsule.width(), NUVBadgeTextFieldCell::badgeValueSize(u"1 of 2"_s).width() + bounds.height());
    const QRectF text = NUVBadgeTextFieldCell::badgeValueRectWithResultingBounds(bounds, u"1 of 2"_s);
    EXPECT_EQ(text.left(), shortCapsule.left() + shortCapsule.height() / 2);

    NUVBadgeTextFieldCell badge;
    EXPECT_EQ(badge.bgColor(), NUVBadgeTextFieldCell::defaultColor());
    badge.setHighlightColor();
    EXPECT_EQ(badge.bgColor(), NUVBadgeTextFieldCell::highlightColor());
    badge.restoreDefaultColor();
    EXPECT_EQ(badge.bgColor(), NUVBadgeTextFieldCell::defaultColor());
}

TEST(HSTableCellViewTest, GroupRowsPaintTheirBadgeSelectionAndBands)
{
    EXPECT_EQ(HSTableCellView::badgeText(2, 3), u"2 of 3"_s);
    EXPECT_TRUE(HSTableCellView::subtitleText(3, 1'500'000).startsWith(u"3 items, "_s));

    QStandardItemModel model;
    model.appendRow(groupRow(u"Holiday photo.jpg"_s, 3, 0, 1'500'000));
    model.appendRow(groupRow(u"Quarterly report.pdf"_s, 3, 2, 420'000));
    model.appendRow(groupRow(u"Backup archive.zip"_s, 3, 3, 9'000'000'000.0));
    VXTableView table;
    HSTableCellView delegate;
    table.setItemDelegate(&delegate);
    table.setModel(&model);
    table.horizontalHeader()->hide();
    table.verticalHeader()->setDefaultSectionSize(HSTableCellView::rowHeight);
    table.resize(360, 5 * HSTableCellView::rowHeight);
    showFocused(table);
    table.selectRow(0);

    const auto [single, twice] = ScreenCapture::save(table, u"group-rows"_s);
    EXPECT_EQ(twice.size(), single.size() * 2);
    const int h = HSTableCellView::rowHeight;
    const QPoint origin = table.viewport()->mapTo(&table, QPoint(0, 0));
    const QRect rows[] = {QRect(0, 0, table.viewport()->width(), h).translated(origin),
                          QRect(0, h, table.viewport()->width(), h).translated(origin),
                          QRect(0, 2 * h, table.viewport()->width(), h).translated(origin)};

    // The selected row is in the blue selection gradient, its name in white.
    const QColor selected = single.pixelColor(rows[0].x() + 2, rows[0].center().y());
    EXPECT_TRUE(selected.blue() > selected.red() + 60 && selected.blue() > 180) << selected.name().toStdString();
    EXPECT_TRUE(near(single.pixelColor(rows[0].x() + 2, rows[0].y()), vxTableViewColor_selectionBorderTop()));
    // Dark text in the name of a plain row.
    EXPECT_LT(darkestLightness(single, HSTableCellView::nameRect(rows[1])), 100);
    // Every copy ticked: the badge is red; two of three: the default grey-blue.
    const QRect allBadge = HSTableCellView::badgeFrame(rows[2]);
    const QRect someBadge = HSTableCellView::badgeFrame(rows[1]);
    const QRectF allCapsule = NUVBadgeTextFieldCell::badgeBackgroundRectWithResultingBounds(
        NUVBadgeTextFieldCell::resultingBoundsWithCellFrame(allBadge), u"3 of 3"_s);
    const QRectF someCapsule = NUVBadgeTextFieldCell::badgeBackgroundRectWithResultingBounds(
        NUVBadgeTextFieldCell::resultingBoundsWithCellFrame(someBadge), u"2 of 3"_s);
    EXPECT_PRED2(near, single.pixelColor(QPointF(allCapsule.left() + 4, allCapsule.center().y()).toPoint()),
                 NUVBadgeTextFieldCell::highlightColor());
    EXPECT_PRED2(near, single.pixelColor(QPointF(someCapsule.left() + 4, someCapsule.center().y()).toPoint()),
                 NUVBadgeTextFieldCell::defaultColor());
    // No badge without ticks: the row's band shows there.
    EXPECT_GT(single.pixelColor(HSTableCellView::badgeFrame(rows[0].translated(0, 3 * h)).center()).lightness(), 230);
    // Below the rows the bands go on, each with its light top line.
    const int bandTop = origin.y() + 4 * h;
    EXPECT_PRED2(near, single.pixelColor(origin.x() + 10, bandTop), vxTableViewColor_borderTop());
    EXPECT_PRED2(near, single.pixelColor(origin.x() + 10, bandTop - 1), vxTableViewColor_borderBottom());
    // The same screen at twice the pixels: the badge is red there too.
    EXPECT_PRED2(near, twice.pixelColor((QPointF(allCapsule.left() + 4, allCapsule.center().y()) * 2).toPoint()),
                 NUVBadgeTextFieldCell::highlightColor());
}

TEST(HSFileCellViewTest, FileRowsTickAndRevealThroughTheirModel)
{
    QStandardItemModel model;
    model.appendRow(fileRow(u"IMG_2041.jpg"_s, false, false));
    model.appendRow(fileRow(u"IMG_2041 copy.jpg"_s, true, false));
    model.appendRow(fileRow(u"IMG_2041 (locked).jpg"_s, false, true));
    QTableView table;
    HSFileCellView tickDelegate(HSFileCellView::CheckBox);
    HSFileCellView fileDelegate(HSFileCellView::Texts | HSFileCellView::RevealButton);
    table.setItemDelegateForColumn(0, &tickDelegate);
    table.setItemDelegateForColumn(1, &fileDelegate);
    table.setModel(&model);
    table.horizontalHeader()->hide();
    table.verticalHeader()->hide();
    table.setShowGrid(false);
    table.setSelectionBehavior(QAbstractItemView::SelectRows);
    table.verticalHeader()->setDefaultSectionSize(HSFileCellView::rowHeight);
    table.setColumnWidth(0, 32);
    table.horizontalHeader()->setStretchLastSection(true);
    table.resize(460, 3 * HSFileCellView::rowHeight + 4);
    showFocused(table);
    table.selectRow(1);

    const auto [single, twice] = ScreenCapture::save(table, u"file-rows"_s);
    EXPECT_EQ(twice.size(), single.size() * 2);
    const QRect plainRow = table.visualRect(model.index(0, 1)).translated(table.viewport()->pos());
    const QRect selectedRow = table.visualRect(model.index(1, 1)).translated(table.viewport()->pos());
    EXPECT_LT(darkestLightness(single, fileDelegate.nameRect(plainRow)), 100);
    // On the selected row the name is white on the selection colour.
    EXPECT_EQ(single.pixelColor(selectedRow.x() + 2, selectedRow.center().y()),
              table.palette().color(QPalette::Active, QPalette::Highlight));

    std::vector<QVariant> revealed;
    QObject context;
    NotificationCenter::defaultCenter().addObserver(RQShowInFinderNotification, nullptr, &context,
                                                    [&](const Notification &notification) {
                                                        revealed.push_back(notification.userInfo.value(RQShowInFinderFileKey));
                                                    });
    struct Case
    {
        const char *what;
        int row;
        Qt::CheckState after;
    };
    const Case cases[] = {
        {"ticking a plain row", 0, Qt::Checked},
        {"unticking a ticked row", 1, Qt::Unchecked},
        {"a row with an issue takes no tick", 2, Qt::Unchecked},
    };
    for (const Case &testCase : cases) {
        const QRect box = tickDelegate.checkBoxRect(table.visualRect(model.index(testCase.row, 0)));
        QTest::mouseClick(table.viewport(), Qt::LeftButton, {}, box.center());
        EXPECT_EQ(model.item(testCase.row, 0)->checkState(), testCase.after) << testCase.what;
    }
    // Clicking the box does not choose the row.
    EXPECT_EQ(table.currentIndex().row(), 1);

    const QRect button = fileDelegate.revealButtonRect(table.visualRect(model.index(2, 1)));
    QTest::mouseClick(table.viewport(), Qt::LeftButton, {}, button.center());
    ASSERT_EQ(revealed.size(), 1U);
    EXPECT_EQ(revealed[0].toString(), u"IMG_2041 (locked).jpg"_s);
}

// A long path loses letters of its folders, never of its file name, which tells the copies
// apart; a name alone wider than the row is elided in its middle.
TEST(HSFileCellViewTest, APathIsElidedInItsFoldersOnly)
{
    const QFontMetrics metrics(QFont(u"DejaVu Sans"_s, 10));
    const QString path = u"/home/someone/Pictures/Holidays 2019/birthday-photo.jpg"_s;
    const QString name = u"/birthday-photo.jpg"_s;
    const struct {
        const char *what;
        int width;
    } cases[] = {
        {"a little short", metrics.horizontalAdvance(path) - 10},
        {"room for the name and a few letters", metrics.horizontalAdvance(u"/ho\u2026ys"_s + name)},
    };
    for (const auto &test : cases) {
        SCOPED_TRACE(test.what);
        const QString shown = HSFileCellView::elidedPath(path, metrics, test.width);
        EXPECT_TRUE(shown.endsWith(name)) << shown.toStdString();
        EXPECT_TRUE(shown.contains(QChar(0x2026))) << shown.toStdString();
        EXPECT_LE(metrics.horizontalAdvance(shown), test.width);
    }
    EXPECT_EQ(HSFileCellView::elidedPath(path, metrics, metrics.horizontalAdvance(path)), path);
    const QString narrow = HSFileCellView::elidedPath(path, metrics, metrics.horizontalAdvance(name) - 20);
    EXPECT_FALSE(narrow.contains(u'/')) << narrow.toStdString();
    EXPECT_TRUE(narrow.startsWith(u"birth"_s)) << narrow.toStdString();
}

// A failure's reason takes two lines before it is cut.
TEST(HSFileCellViewTest, AReasonWrapsToTwoLinesBeforeItIsCut)
{
    const QFontMetrics metrics(QFont(u"DejaVu Sans"_s, 10));
    const QString reason = u"Could not remove this file because of a permissions issue. Delete using the file "
                           u"manager by right clicking and selecting 'Show in File Manager'."_s;
    const int width = metrics.horizontalAdvance(reason) / 3;
    const QStringList lines = HSFileCellView::wrappedLines(reason, metrics, width, 2);
    ASSERT_EQ(lines.size(), 2);
    EXPECT_TRUE(reason.startsWith(lines[0] + u' ')) << lines[0].toStdString();
    EXPECT_TRUE(lines[1].endsWith(QChar(0x2026))) << lines[1].toStdString();
    for (const QString &line : lines)
        EXPECT_LE(metrics.horizontalAdvance(line), width);
    EXPECT_EQ(HSFileCellView::wrappedLines(u"Short."_s, metrics, width, 2), QStringList{u"Short."_s});
    EXPECT_EQ(HSFileCellView::wrappedLines(reason, metrics, width, 1).size(), 1);
}

// A group's name takes the room its row has: past where a badge would be when none shows, and
// up to the capsule, no further, when one does.
TEST(HSTableCellViewTest, ANameTakesTheRoomBesideItsBadge)
{
    QStandardItemModel model;
    model.appendRow(groupRow(u"Source backup of the old laptop.zip"_s, 3, 0, 1000));
    model.appendRow(groupRow(u"Source backup of the old laptop.zip"_s, 3, 2, 1000));
    VXTableView table;
    HSTableCellView delegate;
    table.setItemDelegate(&delegate);
    table.setModel(&model);
    table.horizontalHeader()->hide();
    table.verticalHeader()->hide();
    table.horizontalHeader()->setStretchLastSection(true);
    table.verticalHeader()->setDefaultSectionSize(HSTableCellView::rowHeight);
    table.resize(300, 3 * HSTableCellView::rowHeight);
    showFocused(table);
    const QImage shown = table.viewport()->grab().toImage();
    const int h = HSTableCellView::rowHeight;
    const QRect plain(0, 0, table.viewport()->width(), h);
    const QRect ticked = plain.translated(0, h);

    const QRect badgeRoom = HSTableCellView::badgeFrame(plain);
    EXPECT_LT(darkestLightness(shown, QRect(badgeRoom.x(), plain.y() + 5, badgeRoom.width() / 2, 18)), 100);
    const QRectF capsule = NUVBadgeTextFieldCell::badgeBackgroundRectWithResultingBounds(
        NUVBadgeTextFieldCell::resultingBoundsWithCellFrame(HSTableCellView::badgeFrame(ticked)), u"2 of 3"_s);
    EXPECT_GT(darkestLightness(shown, QRect(int(capsule.left()) - 6, ticked.y() + 5, 5, 18)), 200);
}
