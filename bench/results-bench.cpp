// The results screen itself on a large result, offscreen: 100,000 groups with 300,000 members
// made in memory, shown by a real DuplicatesViewController in a window. Prints one line:
//   groups= members= show_s= sort_s= search_s= select_all_s= all_details_s= rss_mb=
// show_s: the screen made, loaded and shown, its first group chosen, first paint; sort_s: the
// slowest choice of the sort menu (every key, both directions); search_s: the slowest of a few
// keystrokes in the search field; select_all_s: Select All (without its question) with the
// total; all_details_s: every group chosen at once in the groups table; rss_mb: what the screen
// adds to the resident memory of the groups.

#include "support/MadeUpGroups.h"

#include "platform/UserDefaults.h"
#include "platform/gui/FileIconProvider.h"
#include "services/Preferences.h"
#include "windows/DuplicateDetailsModel.h"
#include "windows/DuplicateGroupsProxyModel.h"
#include "windows/DuplicatesViewController.h"

#include <QApplication>
#include <QElapsedTimer>
#include <QFile>
#include <QLineEdit>
#include <QTableView>
#include <QTemporaryDir>

#include <algorithm>
#include <cstdio>
#include <memory>

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

} // namespace

int main(int argc, char **argv)
{
    qputenv("QT_QPA_PLATFORM", "offscreen");
    QApplication application(argc, argv);
    FileIconProvider::install();
    constexpr int groupCount = 100'000;
    constexpr int membersPerGroup = 3;
    const QTemporaryDir settings;
    UserDefaults defaults(settings.filePath(u"defaults.ini"_s));
    Preferences preferences(defaults, u":/plists/DefaultIgnoredExtensions.plist"_s, u":/plists/IgnoreList.plist"_s);
    preferences.setSuppressSelectAllFilesWarning(true);

    DuplicateGroupsModel::Groups groups = makeUpGroups(groupCount, membersPerGroup);
    const double baseMegabytes = residentMegabytes();

    std::unique_ptr<DuplicatesViewController> browser;
    QWidget *screen = nullptr;
    QTableView *groupsTable = nullptr;
    const double show = secondsOf([&] {
        browser = std::make_unique<DuplicatesViewController>(groups, QStringList{u"/bench"_s}, preferences);
        screen = browser->view();
        screen->resize(1200, 800);
        screen->show();
        browser->rq_viewWillAppear();
        browser->firstRowSetUp();
        screen->grab();
    });
    groupsTable = screen->findChild<QTableView *>(u"filesTableView"_s);
    auto *searchField = screen->findChild<QLineEdit *>(u"searchField"_s);
    if (!groupsTable || !searchField) {
        std::fprintf(stderr, "the screen has no groups table or search field\n");
        return 1;
    }

    // Every menu choice is one refresh; the directions are chosen for every key.
    double sort = 0;
    for (qint64 option = 0; option <= DuplicateGroupsProxyModel::SortBySelectedSize; ++option) {
        for (const qint64 order : {DuplicateGroupsProxyModel::Ascending, DuplicateGroupsProxyModel::Descending}) {
            for (const qint64 item : {option, order}) {
                const double one = secondsOf([&] {
                    browser->didChangeSort(item);
                    screen->grab();
                });
                sort = std::max(sort, one);
            }
        }
    }

    double search = 0;
    for (const QString &text : {u"c"_s, u"ca"_s, u"caf"_s, u"cafe"_s, u"caf"_s, u""_s}) {
        const double one = secondsOf([&] {
            searchField->setText(text);
            screen->grab();
        });
        search = std::max(search, one);
    }

    const double selectAll = secondsOf([&] {
        browser->selectAll();
        browser->actuallyUpdateBottomToolbar();
        screen->grab();
    });

    const double allDetails = secondsOf([&] {
        groupsTable->selectAll();
        screen->grab();
    });

    const double addedMegabytes = residentMegabytes() - baseMegabytes;
    std::printf("groups=%d members=%d show_s=%.3f sort_s=%.3f search_s=%.3f select_all_s=%.3f "
                "all_details_s=%.3f rss_mb=%.1f total_bytes=%.0f\n",
                groupCount, browser->detailsModel()->rowCount(), show, sort, search, selectAll, allDetails,
                addedMegabytes, browser->selectedTotal());
    return 0;
}
