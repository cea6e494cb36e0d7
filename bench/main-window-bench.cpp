// The main window's share of a scan, offscreen. Scans ROOT... in the window as the user starts
// it, with a probe timer every 10 ms on the main thread, then hands the window a completion of
// GROUPS made-up groups of two, of varied names and sizes (100,000 by default). Prints one line:
//   items= scan_s= probes= stall_max_ms= stall_at_s= stall_p99_ms= groups= completion_ms=
// stall_*: how late the probe ran beyond its 10 ms, the longest (and when, in seconds after
// Start) and the 99th percentile;
// completion_ms: the completion handler alone, results browser made, with those groups.
//
// With --road, the application's own road instead: the minimum size set to BYTES (1 by default),
// Start, the scan, Next as soon as the scan ends, and the results screen shown with its models
// filled and painted. Prints one line:
//   items= groups= rows= scan_s= results_s= road_s=
// scan_s: Start to the completion handled; results_s: Next to the results painted; road_s: both.
//
// main-window-bench [--groups N] ROOT...
// main-window-bench --road [--min-size BYTES] ROOT...

#include "support/MadeUpGroups.h"

#include "platform/UserDefaults.h"
#include "services/Preferences.h"
#include "windows/DuplicateGroupsModel.h"
#include "windows/DuplicatesViewController.h"
#include "windows/MainWindowController.h"
#include "windows/StatsViewController.h"

#include <QAbstractEventDispatcher>
#include <QApplication>
#include <QElapsedTimer>
#include <QMainWindow>
#include <QTemporaryDir>
#include <QTimer>

#include <algorithm>
#include <cstdio>
#include <vector>

using namespace Qt::StringLiterals;

namespace {

constexpr int probeMilliseconds = 10;

struct StallProbe
{
    QTimer timer;
    QElapsedTimer clock;
    qint64 last = 0;
    std::vector<double> lateMilliseconds;
    double worstAtSeconds = 0;

    void start()
    {
        timer.setTimerType(Qt::PreciseTimer);
        timer.setInterval(probeMilliseconds);
        QObject::connect(&timer, &QTimer::timeout, &timer, [this] {
            const qint64 now = clock.nsecsElapsed();
            const double late = std::max(0.0, double(now - last) / 1e6 - probeMilliseconds);
            if (lateMilliseconds.empty() || late > *std::max_element(lateMilliseconds.begin(), lateMilliseconds.end()))
                worstAtSeconds = double(now) / 1e9;
            lateMilliseconds.push_back(late);
            last = now;
        });
        clock.start();
        timer.start();
    }
    double percentile(double fraction)
    {
        if (lateMilliseconds.empty())
            return 0;
        std::vector<double> sorted = lateMilliseconds;
        std::sort(sorted.begin(), sorted.end());
        return sorted[std::min(sorted.size() - 1, std::size_t(fraction * double(sorted.size())))];
    }
};

// Handles every event, posted ones included, until none is left to handle now.
void settle()
{
    do
        QCoreApplication::sendPostedEvents();
    while (QAbstractEventDispatcher::instance()->processEvents(QEventLoop::AllEvents));
}

int road(MainWindowController &controller, Preferences &preferences, const QStringList &roots, double minimumSize)
{
    preferences.setMinFileSizeType(0);
    preferences.setMinFileSize(minimumSize);
    controller.addScanPaths(roots);
    QElapsedTimer clock;
    clock.start();
    controller.goNext();
    while (controller.isScanning())
        QCoreApplication::processEvents(QEventLoop::WaitForMoreEvents);
    const qint64 scanned = clock.nsecsElapsed();
    controller.goNext();
    settle();
    controller.mainWindow()->repaint();
    const qint64 shown = clock.nsecsElapsed();
    const DuplicatesViewController *browser = controller.duplicatesViewController();
    std::printf("items=%lld groups=%zu rows=%d scan_s=%.2f results_s=%.2f road_s=%.2f\n",
                static_cast<long long>(controller.duplicateFinder() ? controller.duplicateFinder()->totalFilesScanned()
                                                                    : 0),
                browser ? browser->groupsModel()->groups().size() : std::size_t(0),
                browser ? browser->groupsModel()->rowCount() : 0, double(scanned) / 1e9,
                double(shown - scanned) / 1e9, double(shown) / 1e9);
    return browser ? 0 : 1;
}

} // namespace

int main(int argc, char **argv)
{
    qputenv("QT_QPA_PLATFORM", "offscreen");
    QApplication application(argc, argv);
    QStringList roots = QApplication::arguments().mid(1);
    const bool onRoad = !roots.isEmpty() && roots.front() == u"--road"_s;
    if (onRoad)
        roots.removeFirst();
    double minimumSize = 1;
    if (onRoad && roots.size() >= 2 && roots.front() == u"--min-size"_s) {
        minimumSize = roots.at(1).toDouble();
        roots = roots.mid(2);
    }
    int groupCount = 100'000;
    if (roots.size() >= 2 && roots.front() == u"--groups"_s) {
        groupCount = roots.at(1).toInt();
        roots = roots.mid(2);
    }
    if (roots.isEmpty()) {
        std::fprintf(stderr, "usage: main-window-bench [--groups N] ROOT...\n"
                             "       main-window-bench --road [--min-size BYTES] ROOT...\n");
        return 2;
    }

    // Settings of its own, with the application's defaults.
    const QTemporaryDir settings;
    UserDefaults defaults(settings.filePath(u"defaults.ini"_s));
    Preferences preferences(defaults, u":/plists/DefaultIgnoredExtensions.plist"_s, u":/plists/IgnoreList.plist"_s);
    MainWindowController controller;
    controller.setPreferences(preferences);
    controller.setUserDefaults(defaults);
    controller.setActiveProbe([] { return true; });
    controller.setTerminateHandler([] {});
    controller.showWindow();
    if (onRoad)
        return road(controller, preferences, roots, minimumSize);

    StallProbe probe;
    QElapsedTimer scanClock;
    controller.addScanPaths(roots);
    probe.start();
    scanClock.start();
    controller.goNext();
    while (controller.isScanning())
        QCoreApplication::processEvents(QEventLoop::WaitForMoreEvents);
    const double scanSeconds = double(scanClock.nsecsElapsed()) / 1e9;
    probe.timer.stop();
    const qint64 items = controller.duplicateFinder() ? controller.duplicateFinder()->totalFilesScanned() : 0;

    controller.startAgain();
    controller.showScanningView();
    MainWindowController::ScanSession session;
    session.statsPanel = controller.statsViewController();
    session.paths = {u"/bench"_s};
    const MainWindowController::Groups groups = makeUpGroups(groupCount, 2);
    QElapsedTimer completionClock;
    completionClock.start();
    controller.scanCompletionHandler(session, nullptr, groups);
    const double completionMilliseconds = double(completionClock.nsecsElapsed()) / 1e6;

    std::printf("items=%lld scan_s=%.2f probes=%zu stall_max_ms=%.1f stall_at_s=%.2f stall_p99_ms=%.1f groups=%d "
                "completion_ms=%.1f\n",
                static_cast<long long>(items), scanSeconds, probe.lateMilliseconds.size(), probe.percentile(1.0),
                probe.worstAtSeconds, probe.percentile(0.99), groupCount, completionMilliseconds);
    return 0;
}
