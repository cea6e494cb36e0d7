#include "DiskManifest.h"
#include "DuplicateTree.h"
#include "E2eSession.h"
#include "HomeTrash.h"
#include "PrivateWorld.h"
#include "RunningApplication.h"
#include "ScreenShooter.h"
#include "UnremovableFile.h"
#include "XInput.h"
#include "XServer.h"

#include "foundation/RQMemoryFormatter.h"
#include "support/EventLoop.h"

#include <gtest/gtest.h>

#include <QDirIterator>
#include <QFile>
#include <QFileInfo>
#include <QScreen>

#include <algorithm>

#include <iostream>
#include <memory>

using namespace Qt::StringLiterals;

namespace {

const QSize screenSize(1280, 800);
constexpr qint64 defaultMinimumFileSize = 20'000;
const QString permissionsMessage = u"Could not remove this file because of a permissions issue. Delete using "
                                   u"the file manager by right clicking and selecting 'Show in File Manager'."_s;
const QSize largeScreenSize(2560, 1600);
// The rectangle of the strongly blue pixels above the window's bottom bar: the "icon-add"
// picture of step 0 (the Start button below is blue too).
QRect iconAddRegion(const QImage &screen, const QRect &window)
{
    QRect region;
    const int top = qMax(0, window.top());
    const int bottom = qMin(screen.height(), window.top() + window.height() * 3 / 4);
    for (int y = top; y < bottom; ++y) {
        for (int x = qMax(0, window.left()); x < qMin(screen.width(), window.right() + 1); ++x) {
            const QColor colour = screen.pixelColor(x, y);
            if (colour.blue() - colour.red() > 80)
                region |= QRect(x, y, 1, 1);
        }
    }
    return region;
}

// Whether every 2x2 block of the region, counted from the window's corner, is of one colour:
// what a picture drawn at 1x and doubled would give.
bool isPixelDoubled(const QImage &screen, const QRect &region, QPoint windowCorner)
{
    const int left = region.left() + ((region.left() - windowCorner.x()) & 1);
    const int top = region.top() + ((region.top() - windowCorner.y()) & 1);
    for (int y = top; y + 1 <= region.bottom(); y += 2) {
        for (int x = left; x + 1 <= region.right(); x += 2) {
            const QRgb corner = screen.pixel(x, y);
            if (screen.pixel(x + 1, y) != corner || screen.pixel(x, y + 1) != corner
                || screen.pixel(x + 1, y + 1) != corner)
                return false;
        }
    }
    return true;
}

// The main window's states from Start to the finished screen, as the log tells them.
const QStringList removalSequence{u"1 scanning"_s, u"1 results"_s,      u"2 select"_s,       u"2 alert"_s,
                                  u"2 select"_s,   u"2 sheet"_s,        u"2 sheet-removing"_s, u"4 finished"_s};
// Where Scan Again lies on the finished screen, from the window's bottom right corner.
constexpr int scanAgainFromRight = 192;
constexpr int scanAgainFromBottom = 132;

// A size as the size labels show it: the formatter's value in its unit, one decimal.
QString sizeLabelText(double bytes, qint64 minimumUnit = 0)
{
    RQMemoryFormatter formatter;
    formatter.setMinimumUnit(minimumUnit);
    const QVariantList valueAndUnit = formatter.arrayFromBytes(bytes);
    return QString::number(valueAndUnit.value(0).toFloat(), 'f', 1) + valueAndUnit.value(1).toString();
}

QString madeAvailableText(double bytes)
{
    return u"%1 will be made available"_s.arg(RQMemoryFormatter().stringFromBytes(bytes));
}

} // namespace

// The application as a new user meets it, run whole on a private X server and driven with
// real keys and clicks; what it shows is read from its windows log and its screens are
// photographed. Every wait is for a log line, a window or a file, and bounded.
class RoadTest : public ::testing::Test
{
protected:
    void SetUp() override
    {
        if (!E2eSession::xServer())
            GTEST_SKIP() << "no X server could be started: " << E2eSession::whyNoXServer().toStdString();
        m_input = std::make_unique<XInput>(E2eSession::xServer()->display());
    }

    void TearDown() override
    {
        if (HasFailure() && m_application) {
            std::cout << m_application->tail(60).toStdString() << std::endl;
            if (!m_shooter.lastPath().isEmpty())
                std::cout << "last photograph: " << m_shooter.lastPath().toStdString() << std::endl;
        }
    }

    std::string tail() const { return m_application ? m_application->tail().toStdString() : std::string(); }

    // Starts the application and waits for its first screen.
    void startApplication(const QProcessEnvironment &environment)
    {
        m_application = std::make_unique<RunningApplication>();
        ASSERT_TRUE(m_application->start(E2eSession::program(), environment));
        const std::optional<ScreenLine> first = m_application->waitForScreen(0, u"start"_s);
        ASSERT_TRUE(first) << "step 0 did not show";
        m_firstScreen = *first;
        m_mainWindow = m_input->waitForNewWindow(m_application->pid(), {}, RunningApplication::waitMilliseconds);
        ASSERT_FALSE(m_mainWindow.isEmpty()) << "the main window did not show";
    }

    // The main window's place once a screen switch has finished resizing it.
    QRect mainWindowGeometry() const
    {
        return m_input->settledGeometry(m_mainWindow, RunningApplication::waitMilliseconds);
    }

    void photograph(const QString &name)
    {
        const QString problem =
            m_shooter.shoot(ScreenShooter::screenOfSize(screenSize), mainWindowGeometry(), name);
        EXPECT_TRUE(problem.isEmpty()) << name.toStdString() << ": " << problem.toStdString();
    }

    void press(const QStringList &keys)
    {
        ASSERT_TRUE(m_input->focus(m_mainWindow));
        ASSERT_TRUE(m_input->key(keys));
    }

    // Waits for the folder chooser, types the folder's path into it and presses Return.
    void chooseInChooser(const QString &folder)
    {
        const QString chooser = m_input->waitForNewWindow(m_application->pid(), {m_mainWindow},
                                                          RunningApplication::waitMilliseconds);
        ASSERT_FALSE(chooser.isEmpty()) << "the folder chooser did not open";
        ASSERT_TRUE(m_input->focus(chooser));
        // The chooser selects every folder its text names while the text is typed, and forgets
        // them again only if its field already had the focus. The name goes first and the
        // path before it, so that no text on the way names a folder.
        const QFileInfo chosen(folder);
        ASSERT_TRUE(m_input->type(chosen.fileName()));
        ASSERT_TRUE(m_input->key({u"Home"_s}));
        ASSERT_TRUE(m_input->type(chosen.path() + u'/'));
        ASSERT_TRUE(m_input->key({u"Return"_s}));
        // Its completion list is a window of its own; the chooser is over when both are gone.
        ASSERT_TRUE(processEventsUntil(
            [&] { return m_input->windowsOf(m_application->pid()) == QStringList{m_mainWindow}; },
            RunningApplication::waitMilliseconds))
            << "the folder chooser did not close";
    }

    std::optional<ScreenLine> waitForLabel(const QString &label)
    {
        return m_application->waitForScreen(
            [&](const ScreenLine &line) { return line.step == 0 && line.text(u"label"_s) == label; });
    }

    // Step 0 to step 1 with results: both roots chosen, one by a click and one by keyboard, then
    // the scan started with Return; the statistics are those the tree must give.
    void chooseAndScan(const DuplicateTree &tree, bool photographSteps)
    {
        ASSERT_TRUE(m_input->click(mainWindowGeometry().center()));
        ASSERT_NO_FATAL_FAILURE(chooseInChooser(tree.rootA()));
        ASSERT_TRUE(waitForLabel(u"A"_s)) << "A was not chosen";
        // The drop area keeps the focus through the chooser; Tab passes Clear and Start and
        // comes back to it.
        ASSERT_NO_FATAL_FAILURE(press({u"Tab"_s, u"Tab"_s, u"Tab"_s, u"space"_s}));
        ASSERT_NO_FATAL_FAILURE(chooseInChooser(tree.rootB()));
        const std::optional<ScreenLine> chosen = waitForLabel(u"2 folders selected"_s);
        ASSERT_TRUE(chosen) << "B was not chosen";
        EXPECT_EQ(chosen->text(u"start"_s), u"enabled"_s);
        if (photographSteps)
            photograph(u"two-folders"_s);

        ASSERT_NO_FATAL_FAILURE(press({u"Return"_s}));
        ASSERT_TRUE(m_application->waitForScreen(1, u"scanning"_s));
        const std::optional<ScreenLine> results = m_application->waitForScreen(1, u"results"_s);
        ASSERT_TRUE(results) << "the scan did not end with results";
        EXPECT_EQ(results->text(u"scanned"_s), QString::number(tree.itemsScanned(defaultMinimumFileSize)));
        EXPECT_EQ(results->text(u"duplicates"_s), QString::number(tree.extraCopies()));
        EXPECT_EQ(results->text(u"size"_s), sizeLabelText(double(tree.extraBytes())));
        EXPECT_EQ(results->text(u"next"_s), u"enabled"_s);
        if (photographSteps)
            photograph(u"statistics"_s);
    }

    // Step 1 to step 2, where the auto-select menu's "Keep Oldest Duplicates", confirmed with
    // "Select", ticks every copy but the oldest.
    void selectKeepingOldest(const DuplicateTree &tree, bool photographSteps)
    {
        ASSERT_NO_FATAL_FAILURE(press({u"Return"_s}));
        // The browser writes its total 0.2 s after it appears; until then the status panel may
        // still show the last removal's total.
        const std::optional<ScreenLine> browser = m_application->waitForScreen([](const ScreenLine &line) {
            return line.step == 2 && line.state == u"select"_s && line.text(u"status"_s) == u"Select files to remove"_s;
        });
        ASSERT_TRUE(browser) << "the results did not show with nothing ticked";
        EXPECT_EQ(browser->text(u"next"_s), u"disabled"_s);

        // "Auto Select…" sits at the right end of the row under the copies; the window's size at
        // step 2 is fixed, so its place is known from the window's bottom right corner.
        const QRect window = mainWindowGeometry();
        const QStringList before = m_input->windowsOf(m_application->pid());
        ASSERT_TRUE(m_input->click({window.right() - 45, window.bottom() - 247}));
        ASSERT_FALSE(m_input->waitForNewWindow(m_application->pid(), before, RunningApplication::waitMilliseconds)
                         .isEmpty())
            << "the auto-select menu did not open";
        ASSERT_TRUE(m_input->key({u"Down"_s, u"Return"_s}));
        const std::optional<ScreenLine> question = m_application->waitForScreen(2, u"alert"_s);
        ASSERT_TRUE(question) << "no confirmation was asked";
        EXPECT_EQ(question->text(u"message"_s), u"Are you sure you want to auto select all visible duplicates?"_s);
        const QString alert = m_input->waitForNewWindow(m_application->pid(), before, RunningApplication::waitMilliseconds);
        ASSERT_FALSE(alert.isEmpty());
        ASSERT_TRUE(m_input->focus(alert));
        ASSERT_TRUE(m_input->key({u"Return"_s}));

        const QString total = madeAvailableText(double(tree.extraBytes()));
        const std::optional<ScreenLine> ticked = m_application->waitForScreen([&](const ScreenLine &line) {
            return line.step == 2 && line.state == u"select"_s && line.text(u"status"_s) == total;
        });
        ASSERT_TRUE(ticked) << "the running total did not become " << total.toStdString();
        EXPECT_EQ(ticked->text(u"next"_s), u"enabled"_s);
        if (photographSteps)
            photograph(u"results-ticked"_s);
    }

    // Next opens the removal sheet, which must list exactly the ticked copies; its window.
    QString openRemovalSheet(const QStringList &ticked, bool photographSteps)
    {
        const QStringList before = m_input->windowsOf(m_application->pid());
        press({u"Return"_s});
        const std::optional<ScreenLine> sheet = m_application->waitForScreen(
            [](const ScreenLine &line) { return line.state == u"sheet"_s && line.texts.contains(u"path1"_s); });
        EXPECT_TRUE(sheet) << "the removal sheet did not open";
        if (!sheet)
            return {};
        EXPECT_EQ(sheet->text(u"rows"_s), QString::number(ticked.size()));
        EXPECT_EQ(sheet->text(u"clean"_s), u"enabled"_s);
        QStringList listed;
        for (qsizetype row = 1; sheet->texts.contains(u"path%1"_s.arg(row)); ++row)
            listed.append(sheet->text(u"path%1"_s.arg(row)));
        listed.sort();
        QStringList expected = ticked;
        expected.sort();
        EXPECT_EQ(listed, expected);
        const QString window = m_input->waitForNewWindow(m_application->pid(), before, RunningApplication::waitMilliseconds);
        EXPECT_FALSE(window.isEmpty()) << "the removal sheet has no window";
        if (photographSteps)
            photograph(u"removal-sheet"_s);
        return window;
    }

    // Presses the sheet's default button (Clean, later Close).
    void pressInSheet(const QString &sheet)
    {
        ASSERT_TRUE(m_input->focus(sheet));
        ASSERT_TRUE(m_input->key({u"Return"_s}));
    }

    // Step 0 to the removal running: both roots scanned, every copy but the oldest ticked, the
    // sheet checked and its Clean pressed. sheet is the sheet's window.
    void startRemovalKeepingOldest(const DuplicateTree &tree, bool photographSteps, QString &sheet)
    {
        ASSERT_NO_FATAL_FAILURE(chooseAndScan(tree, photographSteps));
        ASSERT_NO_FATAL_FAILURE(selectKeepingOldest(tree, photographSteps));
        sheet = openRemovalSheet(tree.keepOldestTicked(), photographSteps);
        ASSERT_FALSE(sheet.isEmpty());
        ASSERT_NO_FATAL_FAILURE(pressInSheet(sheet));
    }

    // The finished screen tells the count and the bytes removed.
    void expectFinished(qsizetype removed, qint64 bytes, const QString &photographName)
    {
        const std::optional<ScreenLine> finished = m_application->waitForScreen(4, u"finished"_s);
        ASSERT_TRUE(finished) << "the finished screen did not show";
        EXPECT_EQ(finished->text(u"title"_s), u"%1 duplicates have been removed!"_s.arg(removed));
        EXPECT_EQ(finished->text(u"size"_s), sizeLabelText(double(bytes), 1));
        photograph(photographName);
    }

    // The finished screen's Scan Again, placed from the window's bottom right corner.
    void scanAgain()
    {
        const QRect window = mainWindowGeometry();
        ASSERT_TRUE(m_input->click({window.right() - scanAgainFromRight, window.bottom() - scanAgainFromBottom}));
        const std::optional<ScreenLine> start = m_application->waitForScreen(0, u"start"_s);
        ASSERT_TRUE(start) << "Scan Again did not lead to step 0";
        EXPECT_EQ(start->text(u"label"_s), u"Select a folder"_s);
    }

    // The removed copies are in the home Trash with their bytes, each one's Path= line names it,
    // and nothing else of the tree changed: not the kept copies, not the other files. With
    // links, each removed path is now a link to its group's kept copy.
    void expectRemoved(const DuplicateTree &tree, const DiskManifest &before, const QStringList &removed,
                       bool asLinks) const
    {
        const QString treeRoot = QFileInfo(tree.rootA()).path();
        QMap<QString, QString> trashed;
        const QMap<QString, QString> everything = HomeTrash(m_world.trashFolder()).items();
        for (auto item = everything.cbegin(); item != everything.cend(); ++item) {
            if (item.key().startsWith(treeRoot + u'/'))
                trashed.insert(item.key(), item.value());
        }
        QStringList expected = removed;
        expected.sort();
        EXPECT_EQ(trashed.keys(), expected) << "the Trash's Path= lines";

        for (const QString &original : removed) {
            const QString entry = trashed.value(original);
            const QMap<QString, DiskManifest::Entry> content = before.below(original);
            for (auto file = content.cbegin(); file != content.cend(); ++file) {
                const QString inTrash = entry + file.key().mid(original.size());
                if (file->kind == DiskManifest::Entry::Kind::File)
                    EXPECT_EQ(DiskManifest::sha1Of(inTrash), file->sha1) << inTrash.toStdString();
                else
                    EXPECT_TRUE(QFileInfo(inTrash).isDir()) << inTrash.toStdString();
            }
        }

        const DiskManifest after = DiskManifest::of({tree.rootA(), tree.rootB()});
        for (auto entry = before.entries().cbegin(); entry != before.entries().cend(); ++entry) {
            const QString &path = entry.key();
            const auto removedAbove = std::find_if(removed.cbegin(), removed.cend(), [&](const QString &item) {
                return path == item || path.startsWith(item + u'/');
            });
            if (removedAbove == removed.cend()) {
                EXPECT_TRUE(after.contains(path) && after.entry(path) == *entry) << "changed: " << path.toStdString();
            } else if (asLinks && path == *removedAbove) {
                EXPECT_EQ(after.entry(path).kind, DiskManifest::Entry::Kind::Link) << path.toStdString();
                EXPECT_EQ(after.entry(path).linkTarget, tree.keptCopyOf(path)) << path.toStdString();
            } else {
                EXPECT_FALSE(after.contains(path)) << "still there: " << path.toStdString();
            }
        }
    }

    // Waits for the settings the application wrote to hold the key (written when a control
    // changes it, so a box ticked once from its default).
    bool waitForSetting(const QString &key) const
    {
        return processEventsUntil(
            [&] {
                QDirIterator files(m_world.home() + u"/.config"_s, QDir::Files, QDirIterator::Subdirectories);
                while (files.hasNext()) {
                    QFile file(files.next());
                    if (!file.open(QIODevice::ReadOnly))
                        continue;
                    const QList<QByteArray> lines = file.readAll().split('\n');
                    if (std::any_of(lines.cbegin(), lines.cend(),
                                    [&](const QByteArray &line) { return line.startsWith(QByteArray(key.toUtf8() + '=')); }))
                        return true;
                }
                return false;
            },
            RunningApplication::waitMilliseconds);
    }

    std::unique_ptr<XInput> m_input;
    PrivateWorld m_world;
    ScreenShooter m_shooter;
    std::unique_ptr<RunningApplication> m_application;
    ScreenLine m_firstScreen;
    QString m_mainWindow;
};

TEST_F(RoadTest, TrashThenLinksThenAFailureThenQuit)
{
    DuplicateTree tree(m_world.treeFolder(u"trash"_s));
    ASSERT_EQ(tree.birthTimeProblem(), QString());
    const DiskManifest before = DiskManifest::of({tree.rootA(), tree.rootB()});

    ASSERT_NO_FATAL_FAILURE(startApplication(m_world.environment(E2eSession::xServer()->display())));
    EXPECT_EQ(m_firstScreen.text(u"label"_s), u"Select a folder"_s);
    EXPECT_EQ(m_firstScreen.text(u"start"_s), u"disabled"_s);
    EXPECT_EQ(m_input->windowsOf(m_application->pid()), QStringList{m_mainWindow}) << "a window besides the main one";
    photograph(u"first-start"_s);

    // Return before any folder is chosen has no Start to press: it is the drop area's, which
    // opens the chooser, and Escape closes it again.
    ASSERT_NO_FATAL_FAILURE(press({u"Return"_s}));
    const QString chooser =
        m_input->waitForNewWindow(m_application->pid(), {m_mainWindow}, RunningApplication::waitMilliseconds);
    ASSERT_FALSE(chooser.isEmpty()) << "Return on the first screen did not open the folder chooser: " << tail();
    ASSERT_TRUE(m_input->focus(chooser));
    ASSERT_TRUE(m_input->key({u"Escape"_s}));
    ASSERT_TRUE(m_input->waitForWindowGone(m_application->pid(), chooser, RunningApplication::waitMilliseconds))
        << "Escape did not close the folder chooser";
    EXPECT_FALSE(m_application->waitForExit(0)) << "the application ended";

    // To the Trash, with the default settings of a first start.
    QString sheet;
    ASSERT_NO_FATAL_FAILURE(startRemovalKeepingOldest(tree, true, sheet));
    ASSERT_NO_FATAL_FAILURE(expectFinished(tree.keepOldestTicked().size(), tree.extraBytes(), u"finished"_s));
    expectRemoved(tree, before, tree.keepOldestTicked(), false);
    ASSERT_NO_FATAL_FAILURE(scanAgain());
    EXPECT_EQ(m_application->stateSequence(), (QStringList{u"0 start"_s} + removalSequence + QStringList{u"0 start"_s}));

    // Links: the box ticked by keyboard in Preferences, which opens with Control-Comma and
    // closes with Control-W; each removed copy becomes a link to the copy that stays.
    const QStringList beforePreferences = m_input->windowsOf(m_application->pid());
    ASSERT_NO_FATAL_FAILURE(press({u"ctrl+comma"_s}));
    const QString preferences =
        m_input->waitForNewWindow(m_application->pid(), beforePreferences, RunningApplication::waitMilliseconds);
    ASSERT_FALSE(preferences.isEmpty()) << "Preferences did not open";
    ASSERT_TRUE(m_input->focus(preferences));
    // The first control, "Move to the Trash", has the focus; the links box is next.
    ASSERT_TRUE(m_input->key({u"Tab"_s, u"space"_s}));
    ASSERT_TRUE(waitForSetting(u"UseHardLinks"_s)) << "the links box did not store its setting";
    {
        const QString problem = m_shooter.shoot(ScreenShooter::screenOfSize(screenSize),
                                                m_input->settledGeometry(preferences, RunningApplication::waitMilliseconds),
                                                u"preferences-links"_s);
        EXPECT_TRUE(problem.isEmpty()) << problem.toStdString();
    }
    ASSERT_TRUE(m_input->key({u"ctrl+w"_s}));
    ASSERT_TRUE(m_input->waitForWindowGone(m_application->pid(), preferences, RunningApplication::waitMilliseconds))
        << "Control-W did not close Preferences";

    const qsizetype linkRun = m_application->taken() - 1;
    DuplicateTree linked(m_world.treeFolder(u"links"_s));
    const DiskManifest beforeLinks = DiskManifest::of({linked.rootA(), linked.rootB()});
    ASSERT_NO_FATAL_FAILURE(startRemovalKeepingOldest(linked, false, sheet));
    ASSERT_NO_FATAL_FAILURE(expectFinished(linked.keepOldestTicked().size(), linked.extraBytes(), u"finished-links"_s));
    expectRemoved(linked, beforeLinks, linked.keepOldestTicked(), true);
    ASSERT_NO_FATAL_FAILURE(scanAgain());
    EXPECT_EQ(m_application->stateSequence(linkRun),
              (QStringList{u"0 start"_s} + removalSequence + QStringList{u"0 start"_s}));

    // One ticked copy cannot be removed: the sheet lists it with the permissions message, and
    // the finished screen counts only what went.
    const qsizetype failureRun = m_application->taken() - 1;
    DuplicateTree failing(m_world.treeFolder(u"failure"_s));
    const QStringList failingTicked = failing.keepOldestTicked();
    const QString stuck = failing.rootA() + u"/video.bin"_s;
    ASSERT_TRUE(failingTicked.contains(stuck));
    const DiskManifest beforeFailure = DiskManifest::of({failing.rootA(), failing.rootB()});
    const UnremovableFile unremovable(stuck);
    ASSERT_FALSE(unremovable.method().isEmpty()) << "neither the immutable flag nor a read-only folder (for a user other than root) took";
    std::cout << "The file that cannot be removed is held by " << unremovable.method().toStdString() << "." << std::endl;
    RecordProperty("unremovable_by", unremovable.method().toStdString());

    ASSERT_NO_FATAL_FAILURE(startRemovalKeepingOldest(failing, false, sheet));
    const std::optional<ScreenLine> failures = m_application->waitForScreen(2, u"sheet-failures"_s);
    ASSERT_TRUE(failures) << "the sheet did not show its failures";
    EXPECT_EQ(failures->text(u"failed"_s), u"1"_s);
    EXPECT_EQ(failures->text(u"path1"_s), stuck);
    EXPECT_EQ(failures->text(u"message1"_s), permissionsMessage);
    EXPECT_EQ(failures->text(u"button"_s), u"Close"_s);
    EXPECT_EQ(failures->text(u"title"_s), u"The following files could not be removed"_s);
    photograph(u"sheet-failures"_s);
    ASSERT_NO_FATAL_FAILURE(pressInSheet(sheet));
    ASSERT_NO_FATAL_FAILURE(
        expectFinished(failingTicked.size() - 1, failing.extraBytes() - failing.sizeOf(stuck), u"finished-after-failure"_s));
    QStringList removed = failingTicked;
    removed.removeOne(stuck);
    expectRemoved(failing, beforeFailure, removed, true);
    QStringList failureSequence = removalSequence;
    // The row that failed unticks its file, and the results' total under the sheet follows.
    failureSequence.insert(failureSequence.indexOf(u"4 finished"_s), u"2 sheet-failures"_s);
    failureSequence.insert(failureSequence.indexOf(u"4 finished"_s), u"2 select"_s);
    EXPECT_EQ(m_application->stateSequence(failureRun), QStringList{u"0 start"_s} + failureSequence);

    // Control-Q at the finished screen ends the application at once, cleanly.
    ASSERT_NO_FATAL_FAILURE(press({u"ctrl+q"_s}));
    const std::optional<int> status = m_application->waitForExit(10000);
    ASSERT_TRUE(status) << "the application did not end within 10 s";
    EXPECT_EQ(*status, 0);
    for (const char *report : {"AddressSanitizer", "LeakSanitizer", "runtime error:"})
        EXPECT_FALSE(m_application->output().contains(QLatin1StringView(report))) << report;
}

// A start at twice the scale on a large screen draws its pictures at that scale: the "icon-add"
// picture of step 0 is not a doubled 1x picture.
TEST_F(RoadTest, StepZeroAtTwiceTheScale)
{
    QProcessEnvironment environment = m_world.environment(E2eSession::xServer()->largeScreenDisplay());
    environment.insert(u"QT_SCALE_FACTOR"_s, u"2"_s);
    ASSERT_NO_FATAL_FAILURE(startApplication(environment));
    EXPECT_EQ(m_firstScreen.text(u"label"_s), u"Select a folder"_s);
    const QRect window = mainWindowGeometry();
    const QString problem =
        m_shooter.shoot(ScreenShooter::screenOfSize(largeScreenSize), window, u"start-2x"_s);
    EXPECT_TRUE(problem.isEmpty()) << problem.toStdString();
    const QRect icon = iconAddRegion(m_shooter.last(), window);
    ASSERT_GE(icon.width(), 100) << "no icon-add picture found on the 2x screen";
    ASSERT_GE(icon.height(), 100) << "no icon-add picture found on the 2x screen";
    EXPECT_FALSE(isPixelDoubled(m_shooter.last(), icon, window.topLeft()));

    ASSERT_NO_FATAL_FAILURE(press({u"ctrl+q"_s}));
    const std::optional<int> status = m_application->waitForExit(10000);
    ASSERT_TRUE(status) << "the application did not end within 10 s";
    EXPECT_EQ(*status, 0);
}
