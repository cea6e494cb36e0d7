// The results browser's models, tables and row delegates on a large result, offscreen: 100,000 groups with
// 300,000 members made in memory. Prints one line:
//   groups= members= show_s= sort_s= search_s= select_all_s= all_details_s= rss_mb=
// show_s: models made and the first paint of both tables; sort_s: the slowest sort key in
// either direction; search_s: the slowest of a few keystrokes; select_all_s: keep the oldest
// of every visible group, tell the models and total; all_details_s: every group chosen at
// once; rss_mb: what the browser adds to the resident memory of the groups.

#include "controls/HSFileCellView.h"
#include "controls/HSTableCellView.h"
#include "controls/VXTableView.h"
#include "platform/gui/FileIconProvider.h"
#include "scanning/RQDuplicateFiles.h"
#include "scanning/RQFile.h"
#include "windows/DuplicateDetailsModel.h"
#include "windows/DuplicateGroupsModel.h"
#include "windows/DuplicateGroupsProxyModel.h"
#include "windows/SelectionRules.h"

#include <QApplication>
#include <QElapsedTimer>
#include <QFile>
#include <QHeaderView>
#include <QTableView>

#include <algorithm>
#include <cstdio>
#include <memory>
#include <random>

using namespace Qt::StringLiterals;

namespace {

template <typename Body>
double secondsOf(Body body)
{
    QElapsedTimer timer;
    timer.start();
    body();
    return static_cast<double>(timer.nsecsElapsed()) / 1e9;
}

double residentMegabytes()
{
    QFile status(u"/proc/self/status"_s);
    if (!status.open(QIODevice::ReadOnly))
        return 0;
    for (const QByteArray &line : status.readAll().split('\n')) {
        if (line.startsWith("VmRSS:"))
            return line.mid(6).trimmed().split(' ').front().toDouble() / 1024.0;
    }
    return 0;
}

DuplicateGroupsModel::Groups makeGroups(int groupCount, int membersPerGroup)
{
    static const char *const extensions[] = {"jpg", "txt", "mp4", "mp3", "zip", "dat", "png", "pdf"};
    static const char *const words[] = {"holiday", "report", "Café", "scan", "invoice", "mix", "backup", "photo"};
    std::mt19937 random(15);
    DuplicateGroupsModel::Groups groups;
    groups.reserve(std::size_t(groupCount));
    const QDateTime start = QDateTime::fromSecsSinceEpoch(1'500'000'000, Qt::UTC);
    for (int index = 0; index < groupCount; ++index) {
        const QString name = u"%1 %2.%3"_s.arg(QString::fromUtf8(words[random() % 8])).arg(index).arg(
            QLatin1StringView(extensions[random() % 8]));
        const double size = double(1 + random() % 50'000'000);
        RQDuplicateFiles::Members members;
        for (int member = 0; member < membersPerGroup; ++member) {
            auto file = RQFile::fileWithPath(u"/bench/folder%1/%2"_s.arg(member * 37 + index % 1000).arg(name));
            file->setFileSize(size);
            if (random() % 10 != 0)
                file->setCreationDate(start.addSecs(qint64(random() % 100'000'000)));
            members.push_back(std::move(file));
        }
        groups.push_back(RQDuplicateFiles::duplicateFilesWithHash(QString::number(index, 16), members));
    }
    return groups;
}

} // namespace

int main(int argc, char **argv)
{
    qputenv("QT_QPA_PLATFORM", "offscreen");
    QApplication application(argc, argv);
    FileIconProvider::install();
    constexpr int groupCount = 100'000;
    constexpr int membersPerGroup = 3;

    DuplicateGroupsModel::Groups groups = makeGroups(groupCount, membersPerGroup);
    const double baseMegabytes = residentMegabytes();

    std::unique_ptr<DuplicateGroupsModel> groupsModel;
    std::unique_ptr<DuplicateGroupsProxyModel> visible;
    std::unique_ptr<DuplicateDetailsModel> details;
    VXTableView groupsTable;
    VXTableView detailsTable;
    HSTableCellView groupRows;
    HSFileCellView tickColumn(HSFileCellView::CheckBox);
    HSFileCellView fileColumn(HSFileCellView::Texts | HSFileCellView::RevealButton);
    groupsTable.setItemDelegate(&groupRows);
    detailsTable.setItemDelegateForColumn(DuplicateDetailsModel::TickColumn, &tickColumn);
    detailsTable.setItemDelegateForColumn(DuplicateDetailsModel::FileColumn, &fileColumn);
    const double show = secondsOf([&] {
        groupsModel = std::make_unique<DuplicateGroupsModel>(groups);
        visible = std::make_unique<DuplicateGroupsProxyModel>(groupsModel.get());
        details = std::make_unique<DuplicateDetailsModel>(groupsModel.get());
        for (QTableView *table : {static_cast<QTableView *>(&groupsTable), static_cast<QTableView *>(&detailsTable)}) {
            table->verticalHeader()->setSectionResizeMode(QHeaderView::Fixed);
            table->resize(500, 700);
        }
        groupsTable.verticalHeader()->setDefaultSectionSize(HSTableCellView::rowHeight);
        detailsTable.verticalHeader()->setDefaultSectionSize(HSFileCellView::rowHeight);
        groupsTable.setModel(visible.get());
        detailsTable.setModel(details.get());
        details->setGroupRows({visible->groupRow(0)});
        groupsTable.grab();
        detailsTable.grab();
    });

    double sort = 0;
    for (qint64 option = 0; option <= DuplicateGroupsProxyModel::SortBySelectedSize; ++option) {
        for (const qint64 order : {DuplicateGroupsProxyModel::Ascending, DuplicateGroupsProxyModel::Descending}) {
            visible->setSortOption(option);
            visible->setSortOrder(order);
            const double one = secondsOf([&] {
                visible->refresh();
                groupsTable.grab();
            });
            sort = std::max(sort, one);
        }
    }

    double search = 0;
    for (const QString &text : {u"c"_s, u"ca"_s, u"caf"_s, u"cafe"_s, u"caf"_s, u""_s}) {
        const double one = secondsOf([&] {
            visible->setSearchText(text);
            visible->refresh();
            groupsTable.grab();
        });
        search = std::max(search, one);
    }

    double total = 0;
    const double selectAll = secondsOf([&] {
        SelectionRules::Groups shown;
        shown.reserve(std::size_t(visible->rowCount()));
        for (int row = 0; row < visible->rowCount(); ++row)
            shown.push_back(groupsModel->groupAt(visible->groupRow(row)));
        SelectionRules::keepOldestOrNewest(shown, true);
        details->selectionDidChange();
        total = SelectionRules::selectedTotal(groupsModel->groups());
        groupsTable.grab();
        detailsTable.grab();
    });

    const double allDetails = secondsOf([&] {
        QList<int> rows;
        rows.reserve(visible->rowCount());
        for (int row = 0; row < visible->rowCount(); ++row)
            rows.append(visible->groupRow(row));
        details->setGroupRows(rows);
        detailsTable.grab();
    });

    const double addedMegabytes = residentMegabytes() - baseMegabytes;
    std::printf("groups=%d members=%d show_s=%.3f sort_s=%.3f search_s=%.3f select_all_s=%.3f "
                "all_details_s=%.3f rss_mb=%.1f total_bytes=%.0f\n",
                groupCount, details->rowCount(), show, sort, search, selectAll, allDetails,
                addedMegabytes, total);
    return 0;
}
