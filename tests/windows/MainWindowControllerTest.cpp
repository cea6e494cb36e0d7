#include "windows/MainWindowController.h"

#include "controls/MWSpaceLabel.h"
#include "controls/WindowContentSize.h"
#include "foundation/RQTimer.h"
#include "windows/DuplicateGroupsModel.h"
#include "windows/DuplicatesViewController.h"
#include "windows/FinalizeWindowController.h"
#include "windows/LCDStatusViewController.h"
#include "windows/RQQuitAppsWindowController.h"
#include "windows/StatsViewController.h"

#include "MainWindowFixture.h"
#include "ResultsFixture.h"
#include "ui_DuplicatesViewController.h"

#include <QCheckBox>
#include <QCloseEvent>
#include <QDialog>
#include <QFileDialog>
#include <QMenuBar>
#include <QPropertyAnimation>
#include <QScreen>

#include <functional>

using namespace Qt::StringLiterals;
using namespace mainwindow;

namespace {

class MainWindowControllerTest : public MainWindowFixture
{
protected:
    enum class OnClose { Quits, Asks, Nothing };

    QString buttonState(const QWidget *button)
    {
        if (!button->isVisibleTo(&window()))
            return u"hidden"_s;
        return button->isEnabled() ? u"enabled"_s : u"disabled"_s;
    }

    QWidget *touchBarTop()
    {
        const QList<QWidget *> views = stackViews();
        return views.isEmpty() ? nullptr : views.last();
    }

    // Closes the window as the window system asks it to, and says what came of it.
    OnClose closeOutcome()
    {
        const int terminationsBefore = m_terminations;
        window().close();
        if (QMessageBox *alert = shownAlert()) {
            press(*alert, u"Cancel"_s);
            processEventsUntil([] { return shownAlert() == nullptr; }, 2000);
            return OnClose::Asks;
        }
        processEventsFor(10);
        return m_terminations > terminationsBefore ? OnClose::Quits : OnClose::Nothing;
    }

    // Ticks the first copy of every group of the results browser, which totals them.
    void tickFirstCopies()
    {
        DuplicatesViewController &browser = *controller().duplicatesViewController();
        for (const auto &group : browser.groupsModel()->groups())
            group->duplicates().front()->setSelected(true);
        browser.actuallyUpdateBottomToolbar();
    }

    void openRemovalSheet()
    {
        scan({treeWithDuplicates()});
        controller().goNext();
        tickFirstCopies();
        controller().goNext();
        ASSERT_TRUE(controller().showingFinalizeWindow());
        ASSERT_TRUE(processEventsUntil([this] { return controller().finalizeWindowController()->window()->isVisible(); }));
    }
};

} // namespace

// One row per state of the window: how it is reached, then the buttons, the status panel,
// the top of the touch bar, whether drops are taken, whether the window resizes and what
// closing it does.
TEST_F(MainWindowControllerTest, EachStateShowsItsButtonsPanelsAndCloseQuestion)
{
    struct Row
    {
        const char *state;
        std::function<void()> reach;
        qint64 step;
        const char16_t *start, *clear, *back, *next;
        std::function<QWidget *()> status;
        std::function<QWidget *()> touchBar;
        bool takesDrops;
        bool resizable;
        OnClose onClose;
    };
    LCDStatusViewController *lcd = nullptr;
    auto noScan = [] {};
    auto results = [this] { scan({treeWithDuplicates()}); };
    auto statusView = [&lcd](QWidget *(LCDStatusViewController::*view)()) {
        return [&lcd, view] { return (lcd->*view)(); };
    };
    auto own = [this](QWidget *(MainWindowController::*view)() const) {
        return [this, view] { return (controller().*view)(); };
    };
    const Row rows[] = {
        {"start, nothing chosen", noScan, 0, u"disabled", u"hidden", u"hidden", u"hidden",
         statusView(&LCDStatusViewController::availableSpaceView), own(&MainWindowController::touchBarView), true,
         false, OnClose::Quits},
        {"start, one folder chosen", [this] { choose({treeWithDuplicates()}); }, 0, u"enabled", u"enabled",
         u"hidden", u"hidden", statusView(&LCDStatusViewController::availableSpaceView),
         own(&MainWindowController::touchBarView), true, false, OnClose::Quits},
        {"scanning",
         [this] {
             choose({treeWithDuplicates()});
             QTest::mouseClick(form().startButton, Qt::LeftButton);
         },
         1, u"hidden", u"hidden", u"hidden", u"disabled", statusView(&LCDStatusViewController::scanningView),
         own(&MainWindowController::touchBarScanningView), false, false, OnClose::Asks},
        {"results", results, 1, u"hidden", u"hidden", u"enabled", u"enabled",
         statusView(&LCDStatusViewController::finishedView), own(&MainWindowController::touchBarFinishedScanningView),
         false, false, OnClose::Asks},
        {"no results", [this] { scan({treeWithoutDuplicates()}); }, 1, u"hidden", u"hidden", u"enabled",
         u"disabled", statusView(&LCDStatusViewController::noDuplicatesView),
         own(&MainWindowController::touchBarNoResultsView), true, false, OnClose::Asks},
        {"no results, a system folder refused", [this] { scan({u"/etc"_s}); }, 1, u"hidden", u"hidden", u"enabled",
         u"disabled", statusView(&LCDStatusViewController::noDuplicatesView),
         own(&MainWindowController::touchBarNoResultsView), true, false, OnClose::Asks},
        {"no results, failure handled",
         [this] {
             choose({treeWithoutDuplicates()});
             controller().goNext();
             controller().scanFailureHandler(*controller().currentScan());
         },
         1, u"hidden", u"hidden", u"enabled", u"disabled", statusView(&LCDStatusViewController::noDuplicatesView),
         own(&MainWindowController::touchBarNoResultsView), true, false, OnClose::Asks},
        {"results browser",
         [this] {
             scan({treeWithDuplicates()});
             controller().goNext();
         },
         2, u"hidden", u"hidden", u"enabled", u"disabled", statusView(&LCDStatusViewController::selectView),
         [this] { return controller().duplicatesViewController()->touchBarView(); }, false, true, OnClose::Asks},
        {"back from the results browser",
         [this] {
             scan({treeWithDuplicates()});
             controller().goNext();
             controller().goBack();
         },
         1, u"hidden", u"hidden", u"enabled", u"enabled", statusView(&LCDStatusViewController::finishedView),
         own(&MainWindowController::touchBarFinishedScanningView), false, false, OnClose::Asks},
        {"removal sheet open", [this] { openRemovalSheet(); }, 2, u"hidden", u"hidden", u"enabled", u"enabled",
         statusView(&LCDStatusViewController::selectView), nullptr, false, true, OnClose::Nothing},
        {"finished",
         [this] {
             scan({treeWithDuplicates()});
             controller().goNext();
             controller().showFinishedView(2048, 2, false);
         },
         4, u"hidden", u"hidden", u"hidden", u"hidden", statusView(&LCDStatusViewController::congratsView), nullptr,
         false, false, OnClose::Quits},
        {"new scan from the results",
         [this] {
             scan({treeWithDuplicates()});
             controller().startAgain();
         },
         0, u"disabled", u"hidden", u"hidden", u"hidden", statusView(&LCDStatusViewController::availableSpaceView),
         own(&MainWindowController::touchBarView), true, false, OnClose::Quits},
        {"rescan from the results",
         [this] {
             scan({treeWithDuplicates()});
             controller().rescan();
         },
         1, u"hidden", u"hidden", u"hidden", u"disabled", statusView(&LCDStatusViewController::scanningView),
         own(&MainWindowController::touchBarScanningView), false, false, OnClose::Asks},
    };
    for (const Row &row : rows) {
        SCOPED_TRACE(row.state);
        makeWindow();
        lcd = controller().lcdStatusViewController();
        row.reach();
        finishTransitions();
        EXPECT_EQ(controller().currentStep(), row.step);
        EXPECT_EQ(buttonState(form().startButton), QString::fromUtf16(row.start));
        EXPECT_EQ(buttonState(form().clearButton), QString::fromUtf16(row.clear));
        EXPECT_EQ(buttonState(form().backButton), QString::fromUtf16(row.back));
        EXPECT_EQ(buttonState(form().nextButton), QString::fromUtf16(row.next));
        EXPECT_EQ(lcd->currentView(), row.status());
        if (row.touchBar) {
            EXPECT_EQ(touchBarTop(), row.touchBar());
        }
        EXPECT_EQ(form().contentView->acceptingDrops(), row.takesDrops);
        EXPECT_EQ(rq_isResizable(window()), row.resizable);
        EXPECT_EQ(closeOutcome(), row.onClose);
        if (row.onClose != OnClose::Quits) {
            EXPECT_TRUE(window().isVisible());
        }
        closeAlerts();
    }
}

TEST_F(MainWindowControllerTest, ProgressTitlesAndRotatingMessagesFollowTheStages)
{
    controller().showScanningView();
    LCDStatusViewController &status = *controller().lcdStatusViewController();
    StatsViewController &statistics = *controller().statsViewController();
    MainWindowController::ScanSession scan;
    scan.statsPanel = &statistics;

    controller().scanProgressHandler(scan, 0, 0.25);
    EXPECT_EQ(status.scanningTitleLabel()->text(), u"Scanning"_s);
    EXPECT_EQ(scan.messageTimer, nullptr);

    controller().scanProgressHandler(scan, 1, 0.1);
    EXPECT_EQ(status.scanningTitleLabel()->text(), u"Processing scanned files"_s);
    ASSERT_NE(scan.messageTimer, nullptr);
    EXPECT_TRUE(scan.messageTimer->repeats());
    EXPECT_DOUBLE_EQ(scan.messageTimer->interval(), 10.0);
    EXPECT_TRUE(statistics.isPulsing());
    const std::shared_ptr<RQTimer> timer = scan.messageTimer;
    // The same stage again changes nothing but the bar.
    controller().scanProgressHandler(scan, 1, 0.2);
    EXPECT_EQ(scan.messageTimer, timer);

    QString shown = status.scanningTitleLabel()->text();
    for (int tick = 0; tick < 20; ++tick) {
        timer->didFinishBlock()(*timer);
        const QString next = status.scanningTitleLabel()->text();
        EXPECT_NE(next, shown) << "tick " << tick;
        EXPECT_TRUE(MainWindowController::scanningMessages.contains(next)) << next.toStdString();
        shown = next;
    }

    controller().scanProgressHandler(scan, 2, 0.5);
    EXPECT_EQ(status.scanningTitleLabel()->text(), u"Looking for duplicates"_s);

    controller().scanDidScanFileHandler(scan, 1234);
    EXPECT_EQ(statistics.freeSpaceLabel()->text(), u"1234"_s);
    controller().scanDidFindDuplicateHandler(scan, 3, 2'500'000);
    // The fade under way ends, and no other follows.
    auto endPulse = [&statistics] {
        if (QPropertyAnimation *pulse = statistics.pulse())
            pulse->setCurrentTime(pulse->totalDuration());
    };
    endPulse();
    EXPECT_FALSE(statistics.isPulsing());
    EXPECT_EQ(statistics.usedSpaceLabel()->text(), u"3"_s);
    EXPECT_TRUE(statistics.totalSpaceLabel()->text().startsWith(u"2.5"_s)) << statistics.totalSpaceLabel()->text().toStdString();

    controller().scanCompletionHandler(scan, nullptr, MainWindowController::Groups());
    EXPECT_EQ(scan.messageTimer, nullptr);
    EXPECT_EQ(timer->timer(), nullptr);
    endPulse();
    EXPECT_FALSE(statistics.isPulsing());
}

TEST_F(MainWindowControllerTest, ScanCompletedIsNotifiedOnlyWhileTheApplicationIsBehind)
{
    struct Case
    {
        bool active;
        bool withGroups;
        bool refused;
        const char16_t *delivered;
    };
    const Case cases[] = {
        {true, true, false, nullptr},
        {true, false, false, nullptr},
        {false, false, false, u"Scan Completed / No Duplicates Found"},
        {false, false, true, u"Scan Completed / No Duplicates Found"},
        {false, true, false, u"Scan Completed / Found 2.0KB of duplicates"},
    };
    for (const Case &testCase : cases) {
        SCOPED_TRACE(testCase.delivered ? QString::fromUtf16(testCase.delivered).toStdString() : "none");
        makeWindow();
        m_notifications.delivered.clear();
        m_active = testCase.active;
        controller().showScanningView();
        MainWindowController::ScanSession scan;
        scan.statsPanel = controller().statsViewController();
        scan.paths = {u"/r"_s};
        std::optional<MainWindowController::Groups> groups;
        if (!testCase.refused)
            groups.emplace();
        if (testCase.withGroups) {
            groups->push_back(results::filesGroup(u"/r"_s, u"a.txt"_s, 2, 2000));
            controller().scanDidFindDuplicateHandler(scan, 1, 2000);
        }
        controller().scanCompletionHandler(scan, nullptr, groups);
        EXPECT_EQ(controller().hasResults(), testCase.withGroups);
        if (testCase.delivered) {
            ASSERT_EQ(m_notifications.delivered.size(), 1u);
            EXPECT_EQ(m_notifications.delivered.front(), QString::fromUtf16(testCase.delivered));
        } else {
            EXPECT_TRUE(m_notifications.delivered.empty());
        }
    }
}

TEST_F(MainWindowControllerTest, TheiPhotoAlertKeepsAVersionThatLooksLikeAPlaceholder)
{
    EXPECT_EQ(MainWindowController::unsupportediPhotoText(u"9.%1"_s, u"9.6"_s),
              u"The version of iPhoto you're running (9.%1) is not supported by Marrowick.\n\n"
              u"Marrowick currently supports iPhoto version 9.6+"_s);
    EXPECT_TRUE(MainWindowController::unsupportediPhotoText(QString(), u"%2"_s).endsWith(u"version %2+"_s));
}

TEST_F(MainWindowControllerTest, TheQuitQuestionAndItsSuppression)
{
    using Answer = std::function<void(QMessageBox &)>;
    auto button = [](const QString &title) -> Answer { return [title](QMessageBox &alert) { press(alert, title); }; };
    auto key = [](Qt::Key pressed) -> Answer { return [pressed](QMessageBox &alert) { QTest::keyClick(&alert, pressed); }; };
    struct Case
    {
        const char *name;
        bool suppressedBefore;
        Answer answer; // none: no question expected
        bool tick;
        bool quits;
        bool suppressedAfter;
    };
    const Case cases[] = {
        {"cancelled, ticked", false, button(u"Cancel"_s), true, false, false},
        {"Esc", false, key(Qt::Key_Escape), false, false, false},
        {"quit", false, button(u"Quit"_s), false, true, false},
        {"Return", false, key(Qt::Key_Return), false, true, false},
        {"quit, ticked", false, button(u"Quit"_s), true, true, true},
        {"suppressed", true, nullptr, false, true, true},
    };
    for (const Case &testCase : cases) {
        SCOPED_TRACE(testCase.name);
        m_defaults.setObject(testCase.suppressedBefore ? QVariant(true) : QVariant(), MainWindowController::suppressQuitAlertKey);
        makeWindow();
        controller().showScanningView();
        const int terminationsBefore = m_terminations;
        window().close();
        QMessageBox *alert = shownAlert();
        if (testCase.answer) {
            ASSERT_NE(alert, nullptr);
            EXPECT_EQ(alert->text(), u"Are you sure you want to quit marrowick-tests?"_s);
            EXPECT_EQ(alert->windowModality(), Qt::ApplicationModal);
            ASSERT_NE(alert->checkBox(), nullptr);
            alert->checkBox()->setChecked(testCase.tick);
            testCase.answer(*alert);
        } else {
            EXPECT_EQ(alert, nullptr);
        }
        processEventsFor(10);
        EXPECT_EQ(m_terminations > terminationsBefore, testCase.quits);
        EXPECT_EQ(window().isVisible(), !testCase.quits);
        EXPECT_EQ(m_defaults.boolForKey(MainWindowController::suppressQuitAlertKey), testCase.suppressedAfter);
        closeAlerts();
    }
}

// Only "Go Back" leaves the results; Cancel, Esc and an alert ended without a button stay.
TEST_F(MainWindowControllerTest, TheBackAlertGoesBackOnlyByItsFirstButton)
{
    struct Case
    {
        const char *name;
        std::function<void(QMessageBox &)> answer;
        qint64 step;
    };
    const Case cases[] = {
        {"Go Back", [](QMessageBox &alert) { press(alert, u"Go Back"_s); }, 0},
        {"Cancel", [](QMessageBox &alert) { press(alert, u"Cancel"_s); }, 1},
        {"Return", [](QMessageBox &alert) { QTest::keyClick(&alert, Qt::Key_Return); }, 0},
        {"Esc", [](QMessageBox &alert) { QTest::keyClick(&alert, Qt::Key_Escape); }, 1},
        {"no button", [](QMessageBox &alert) { alert.done(0); }, 1},
    };
    for (const Case &testCase : cases) {
        SCOPED_TRACE(testCase.name);
        makeWindow();
        scan({treeWithDuplicates()});
        QTest::mouseClick(form().backButton, Qt::LeftButton);
        QMessageBox *alert = waitForAlert();
        ASSERT_NE(alert, nullptr);
        EXPECT_EQ(alert->text(), u"Are you sure you want to go back?"_s);
        EXPECT_EQ(alert->informativeText(), u"All progress will be lost and you will need to rescan."_s);
        testCase.answer(*alert);
        processEventsUntil([] { return shownAlert() == nullptr; }, 2000);
        EXPECT_EQ(controller().currentStep(), testCase.step);
        EXPECT_EQ(controller().hasResults() && testCase.step == 1, testCase.step == 1);
    }
}

// Back, New Scan and Rescan only beep while a scan runs, and Back without results leads to
// step 0 at once.
TEST_F(MainWindowControllerTest, NavigationWaitsForTheScanToEnd)
{
    const QString tree = treeWithoutDuplicates();
    choose({tree});
    controller().goNext();
    ASSERT_TRUE(controller().isScanning());
    controller().goBack();
    controller().startAgain();
    controller().rescan();
    EXPECT_EQ(controller().currentStep(), 1);
    EXPECT_TRUE(controller().isScanning());
    ASSERT_TRUE(processEventsUntil([this] { return !controller().isScanning(); }));
    QTest::mouseClick(form().backButton, Qt::LeftButton);
    EXPECT_EQ(controller().currentStep(), 0);
    EXPECT_EQ(shownAlert(), nullptr);
    // Rescan scans the last folders again, from any step.
    controller().rescan();
    EXPECT_TRUE(controller().isScanning());
    EXPECT_EQ(controller().lastScanPaths(), QStringList{tree});
}

// Mend: a second Start between the end of the quit-applications sheet and the delayed start
// used to start a second finder, whose state the first one's completion then ended.
TEST_F(MainWindowControllerTest, AStartPendingBehindTheQuitApplicationsSheetCountsAsScanning)
{
    m_applications.launchPhotos();
    choose({treeWithDuplicates()});
    QTest::mouseClick(form().startButton, Qt::LeftButton);
    RQQuitAppsWindowController *sheet = controller().quitAppsWindowController();
    ASSERT_NE(sheet, nullptr);
    EXPECT_TRUE(sheet->window()->isVisible());
    EXPECT_TRUE(controller().isScanning());

    m_applications.quitAll();
    sheet->updateRunningApplications();
    // The sheet has ended; it reports 0.3 s later and the scan starts 0.3 s after that. Start is
    // pressed again meanwhile.
    EXPECT_FALSE(sheet->window()->isVisible());
    controller().goNext();
    controller().actuallyStartScanningWithPaths({treeWithoutDuplicates()});
    EXPECT_EQ(controller().duplicateFinder(), nullptr);
    EXPECT_EQ(controller().quitAppsWindowController(), sheet);

    ASSERT_TRUE(processEventsUntil([this] { return controller().duplicateFinder() != nullptr; }));
    const std::shared_ptr<RQDuplicateFinder> finder = controller().duplicateFinder();
    ASSERT_TRUE(processEventsUntil([this] { return !controller().isScanning(); }));
    EXPECT_EQ(controller().duplicateFinder(), finder);
    EXPECT_TRUE(controller().hasResults());
    EXPECT_EQ(controller().lcdStatusViewController()->currentView(),
              controller().lcdStatusViewController()->finishedView());
    EXPECT_TRUE(processEventsUntil([this] { return controller().quitAppsWindowController() == nullptr; }));
}

// Mend: the 0.5 s clean-up after a sheet dropped whichever sheet was current by then.
TEST_F(MainWindowControllerTest, TheCleanUpAfterACancelledSheetLeavesALaterSheetAlone)
{
    m_applications.launchPhotos();
    choose({treeWithDuplicates()});
    controller().goNext();
    RQQuitAppsWindowController *first = controller().quitAppsWindowController();
    ASSERT_NE(first, nullptr);
    first->cancel();
    EXPECT_FALSE(controller().isScanning());
    EXPECT_EQ(controller().currentStep(), 0);

    controller().goNext();
    RQQuitAppsWindowController *second = controller().quitAppsWindowController();
    ASSERT_NE(second, nullptr);
    EXPECT_NE(second, first);
    processEventsFor(700);
    EXPECT_EQ(controller().quitAppsWindowController(), second);
    EXPECT_TRUE(second->window()->isVisible());
    second->cancel();
}

// Mend: the no-results screen takes drops, and Back used to forget them.
TEST_F(MainWindowControllerTest, FoldersDroppedOnTheNoResultsScreenWaitAtStep0)
{
    const QString scanned = treeWithoutDuplicates();
    scan({scanned});
    ASSERT_TRUE(form().contentView->acceptingDrops());
    const QString dropped = m_folder.makeFolder(u"later"_s);
    choose({dropped});
    // Nothing of step 0 shows at step 1.
    EXPECT_FALSE(form().clearButton->isVisibleTo(&window()));
    EXPECT_FALSE(form().startButton->isVisibleTo(&window()));

    QTest::mouseClick(form().backButton, Qt::LeftButton);
    EXPECT_EQ(controller().currentStep(), 0);
    EXPECT_EQ(form().selectLabel->text(), u"2 folders selected"_s);
    EXPECT_TRUE(form().startButton->isEnabled());
    EXPECT_TRUE(form().clearButton->isVisibleTo(&window()));
    QTest::mouseClick(form().startButton, Qt::LeftButton);
    ASSERT_TRUE(processEventsUntil([this] { return !controller().isScanning(); }));
    QStringList scannedNow = controller().lastScanPaths();
    scannedNow.sort();
    EXPECT_EQ(scannedNow, QStringList({dropped, scanned}));
}

// The window-modal removal sheet must end by its own buttons: a close request meanwhile
// neither closes the window nor asks anything.
TEST_F(MainWindowControllerTest, ClosingWhileTheRemovalSheetIsOpenDoesNothing)
{
    openRemovalSheet();
    window().close();
    QCloseEvent close;
    QCoreApplication::sendEvent(&window(), &close);
    processEventsFor(20);
    EXPECT_TRUE(window().isVisible());
    EXPECT_EQ(shownAlert(), nullptr);
    EXPECT_EQ(m_terminations, 0);
    EXPECT_TRUE(controller().finalizeWindowController()->window()->isVisible());
}

TEST_F(MainWindowControllerTest, StepZeroShowsTheChosenFolders)
{
    const QString one = m_folder.makeFolder(u"Pictures"_s);
    const QString two = m_folder.makeFolder(u"Music"_s);
    EXPECT_EQ(form().selectLabel->text(), u"Select a folder"_s);
    EXPECT_FALSE(form().addImageView->isVisibleTo(&window()));
    choose({one});
    EXPECT_EQ(form().selectLabel->text(), u"Pictures"_s);
    EXPECT_TRUE(form().addImageView->isVisibleTo(&window()));
    choose({two});
    EXPECT_EQ(form().selectLabel->text(), u"2 folders selected"_s);
    controller().addScanPaths({m_folder.makeFolder(u"Videos"_s)});
    EXPECT_EQ(form().selectLabel->text(), u"3 folders selected"_s);
    QTest::mouseClick(form().clearButton, Qt::LeftButton);
    EXPECT_EQ(form().selectLabel->text(), u"Select a folder"_s);
    EXPECT_FALSE(form().startButton->isEnabled());
    EXPECT_FALSE(form().clearButton->isVisibleTo(&window()));
}

TEST_F(MainWindowControllerTest, TabAndReturnFollowTheShownButtons)
{
    window().activateWindow();
    ASSERT_TRUE(QTest::qWaitForWindowActive(&window()));
    auto chain = [this] {
        form().contentView->setFocus();
        QStringList names;
        for (int step = 0; step < 4; ++step) {
            QWidget *focus = QApplication::focusWidget();
            names.append(focus ? focus->objectName() : u"none"_s);
            QTest::keyClick(focus ? focus : &window(), Qt::Key_Tab);
        }
        return names;
    };
    choose({treeWithDuplicates()});
    EXPECT_EQ(chain(), QStringList({u"contentView"_s, u"clearButton"_s, u"startButton"_s, u"contentView"_s}));

    form().contentView->setFocus();
    QTest::keyClick(form().contentView, Qt::Key_Return);
    ASSERT_TRUE(controller().isScanning());
    ASSERT_TRUE(processEventsUntil([this] { return !controller().isScanning(); }));
    form().nextButton->setFocus();
    QStringList results;
    for (int step = 0; step < 2; ++step) {
        results.append(QApplication::focusWidget()->objectName());
        QTest::keyClick(QApplication::focusWidget(), Qt::Key_Tab);
    }
    EXPECT_EQ(results, QStringList({u"nextButton"_s, u"backButton"_s}));
    QTest::keyClick(QApplication::focusWidget(), Qt::Key_Return);
    EXPECT_EQ(controller().currentStep(), 2);
    EXPECT_FALSE(form().startButton->accessibleName().isEmpty());
    EXPECT_FALSE(form().contentView->accessibleName().isEmpty());
}

// Quitting while a large tree is scanned: the window's teardown stops the finder, waits for
// it and lets the computer sleep again, and nothing of the scan reaches the window afterwards.
TEST_F(MainWindowControllerTest, QuittingDuringAScanStopsTheFinderAndWaitsForIt)
{
    // 200,000 names for 400 files, each made with one system call: writing 200,000 files took
    // minutes under the sanitizers.
    const QString root = m_folder.makeFolder(u"huge"_s);
    for (int folder = 0; folder < 400; ++folder) {
        const QByteArray folderPath = QStringLiteral("%1/f%2").arg(root).arg(folder).toLocal8Bit();
        ASSERT_EQ(::mkdir(folderPath.constData(), 0700), 0);
        const QByteArray original = m_folder.writeFile(u"originals/%1"_s.arg(folder), "x").toLocal8Bit();
        for (int file = 0; file < 500; ++file) {
            const QByteArray name = folderPath + "/n" + QByteArray::number(file);
            ASSERT_EQ(::link(original.constData(), name.constData()), 0) << name.constData();
        }
    }
    choose({root});
    controller().goNext();
    const std::shared_ptr<RQDuplicateFinder> finder = controller().duplicateFinder();
    ASSERT_NE(finder, nullptr);
    EXPECT_TRUE(m_insomniac.enabled());
    ASSERT_TRUE(processEventsUntil([&] { return finder->totalFilesScanned() > 0; }));

    controller().cancelScanAndWait();
    EXPECT_TRUE(finder->isCancelled());
    EXPECT_FALSE(controller().isScanning());
    EXPECT_FALSE(m_insomniac.enabled());
    const QString counted = controller().statsViewController()->freeSpaceLabel()->text();
    processEventsFor(50);
    EXPECT_EQ(controller().statsViewController()->freeSpaceLabel()->text(), counted);
    EXPECT_EQ(controller().lcdStatusViewController()->currentView(),
              controller().lcdStatusViewController()->scanningView());
    EXPECT_LT(finder->totalFilesScanned(), 200'000);

    // The same through the window's destruction, with a second scan under way.
    controller().rescan();
    const std::shared_ptr<RQDuplicateFinder> second = controller().duplicateFinder();
    ASSERT_NE(second, finder);
    m_controller.reset();
    EXPECT_TRUE(second->isCancelled());
    EXPECT_FALSE(m_insomniac.enabled());
    processEventsFor(20);
}

// A missing screen is a programming error: a debug build stops on it; a release build says so
// in the log and keeps the screen it shows.
TEST_F(MainWindowControllerTest, ANullScreenChangesNothing)
{
#ifdef QT_NO_DEBUG
    static QStringList messages;
    messages.clear();
    const QtMessageHandler previous = qInstallMessageHandler(
        [](QtMsgType, const QMessageLogContext &, const QString &message) { messages.append(message); });
    QWidget *shown = controller().currentView();
    controller().setCurrentView(nullptr);
    qInstallMessageHandler(previous);
    EXPECT_EQ(controller().currentView(), shown);
    EXPECT_TRUE(shown->isVisible());
    EXPECT_TRUE(messages.contains(u"This must be a non-nil argument"_s)) << messages.join(u'|').toStdString();
#else
    GTEST_FLAG_SET(death_test_style, "threadsafe");
    EXPECT_DEATH(controller().setCurrentView(nullptr), "This must be a non-nil argument");
#endif
}

// The window takes each screen's size around it: toolbar, bottom bar and a menu bar given by
// the application before the window is shown.
TEST_F(MainWindowControllerTest, EachScreenGetsItsOwnSize)
{
    m_controller.reset();
    m_controller = std::make_unique<MainWindowController>();
    controller().setPreferences(m_preferences);
    controller().setUserDefaults(m_defaults);
    controller().setInsomniacHelper(m_insomniac);
    controller().mainWindow()->menuBar()->addMenu(u"File"_s);
    controller().showWindow();
    QCoreApplication::sendPostedEvents(nullptr, QEvent::LayoutRequest);
    EXPECT_EQ(form().backgroundView->size(), QSize(600, 340));

    controller().showScanningView();
    finishTransitions();
    QCoreApplication::sendPostedEvents(nullptr, QEvent::LayoutRequest);
    EXPECT_EQ(form().backgroundView->size(), QSize(600, 150));
}

// Mend: the status panel keeps the results browser's title between scans, so a second pass
// through the results showed (and logged) the last removal's total until the browser's delayed
// total replaced it.
TEST_F(MainWindowControllerTest, ASecondPassThroughTheResultsShowsItsOwnTitleAtOnce)
{
    openRemovalSheet();
    controller().finalizeWindowController()->didClickCancelButton();
    ASSERT_TRUE(processEventsUntil([this] { return !controller().showingFinalizeWindow(); }));
    controller().showFinishedView(2048, 1, false);
    controller().rescan();
    ASSERT_TRUE(processEventsUntil([this] { return !controller().isScanning(); }));
    ASSERT_TRUE(controller().hasResults());
    QLabel *title = controller().lcdStatusViewController()->selectTitleLabel();
    ASSERT_TRUE(title->text().endsWith(u" will be made available"_s)) << title->text().toStdString();

    // No event is processed between Next and the checks, so no timer of the browser runs.
    controller().goNext();
    EXPECT_EQ(controller().currentStep(), 2);
    EXPECT_EQ(title->text(), u"Select files to remove"_s);
    EXPECT_EQ(buttonState(form().nextButton), u"disabled"_s);
}

// Mend: the window grows around its centre when the results come in, which took its frame off
// the screen's top-left where no window manager puts it back.
TEST_F(MainWindowControllerTest, AWindowGrowingAtTheScreensCornerStaysOnTheScreen)
{
    scan({treeWithDuplicates()});
    finishTransitions();
    const QRect available = window().screen()->availableGeometry();
    window().move(available.topLeft());
    ASSERT_EQ(window().frameGeometry().topLeft(), available.topLeft());

    controller().goNext();
    finishTransitions();
    EXPECT_EQ(controller().currentStep(), 2);
    EXPECT_GT(window().width(), 600);
    EXPECT_TRUE(available.contains(window().frameGeometry()))
        << window().frameGeometry().x() << "," << window().frameGeometry().y() << " "
        << window().frameGeometry().width() << "x" << window().frameGeometry().height();
}

// Return and Enter, sent through the window as the window system sends them, press the enabled
// one of Start and Next, unless the focus widget takes Return itself; with neither enabled they
// do only what the focus widget does with them.
TEST_F(MainWindowControllerTest, ReturnPressesTheEnabledDefaultButtonUnlessTheFocusTakesIt)
{
    struct Row
    {
        const char *state;
        std::function<void()> reach;
        std::function<QWidget *()> focus;
        qint64 stepAfter;
        bool sheetOpen;
        bool chooserOpen;
    };
    auto browserForm = [this] { return controller().duplicatesViewController()->form(); };
    auto toResults = [this] {
        scan({treeWithDuplicates()});
        controller().goNext();
        finishTransitions();
    };
    auto toTickedResults = [this, toResults] {
        toResults();
        tickFirstCopies();
    };
    const Row rows[] = {
        {"start, nothing chosen, focus on the window", [] {}, [this] { return &window(); }, 0, false, false},
        {"start, nothing chosen, focus on the drop area", [] {}, [this] { return form().contentView; }, 0, false,
         true},
        {"start, a folder chosen, focus on the drop area", [this] { choose({treeWithDuplicates()}); },
         [this] { return form().contentView; }, 1, false, false},
        {"no results", [this] { scan({treeWithoutDuplicates()}); }, [this] { return &window(); }, 1, false, false},
        {"results", [this] { scan({treeWithDuplicates()}); }, [this] { return form().nextButton; }, 2, false,
         false},
        {"browser, nothing ticked, focus in the preview", toResults,
         [browserForm] { return browserForm()->previewView; }, 2, false, false},
        {"browser, nothing ticked, focus on the groups", toResults,
         [browserForm] { return browserForm()->filesTableView; }, 2, false, false},
        {"browser, ticked, focus in the search field", toTickedResults,
         [browserForm] { return browserForm()->searchField; }, 2, false, false},
        {"browser, ticked, focus in the copies", toTickedResults,
         [browserForm] { return browserForm()->detailsTableView; }, 2, false, false},
        {"browser, ticked, focus on the screen", toTickedResults,
         [this] { return controller().duplicatesViewController()->view(); }, 2, true, false},
    };
    for (const Qt::Key key : {Qt::Key_Return, Qt::Key_Enter}) {
        for (const Row &row : rows) {
            SCOPED_TRACE(row.state);
            SCOPED_TRACE(key == Qt::Key_Return ? "Return" : "Enter");
            makeWindow();
            window().activateWindow();
            ASSERT_TRUE(QTest::qWaitForWindowActive(&window()));
            row.reach();
            row.focus()->setFocus();
            QTest::keyClick(window().windowHandle(), key,
                            key == Qt::Key_Enter ? Qt::KeypadModifier : Qt::NoModifier);
            EXPECT_EQ(controller().currentStep(), row.stepAfter);
            EXPECT_EQ(controller().showingFinalizeWindow(), row.sheetOpen);
            QFileDialog *chooser = window().findChild<QFileDialog *>();
            EXPECT_EQ(chooser && chooser->isVisible(), row.chooserOpen);
            if (chooser)
                chooser->reject();
            if (controller().isScanning()) {
                ASSERT_TRUE(processEventsUntil([this] { return !controller().isScanning(); }));
            }
            closeAlerts();
        }
    }
}

// A chosen system folder is never scanned: the screen names it, saying whether anything else
// was compared, and the other folders are scanned without it.
TEST_F(MainWindowControllerTest, RefusedSystemFoldersAreNamedAndTheOthersScanned)
{
    struct Row
    {
        const char *what;
        QStringList chosen;
        bool withTree;
        qint64 groups;
        QString line;
    };
    const Row rows[] = {
        {"one system folder", {u"/etc"_s}, false, 0,
         u"These folders were not scanned because they are system folders: /etc"_s},
        {"two system folders", {u"/etc"_s, u"/usr/share"_s}, false, 0,
         u"These folders were not scanned because they are system folders: /etc, /usr/share"_s},
        {"a system folder and a tree", {u"/etc"_s}, true, 1,
         u"These folders were left out because they are system folders: /etc"_s},
        {"a tree alone", {}, true, 1, QString()},
    };
    for (const Row &row : rows) {
        SCOPED_TRACE(row.what);
        makeWindow();
        QStringList chosen = row.chosen;
        if (row.withTree)
            chosen.append(treeWithDuplicates());
        scan(chosen);
        finishTransitions();
        EXPECT_EQ(controller().hasResults(), row.groups > 0);
        EXPECT_EQ(form().statusLabel->isVisibleTo(&window()), !row.line.isEmpty());
        if (!row.line.isEmpty()) {
            QStringList named = form().statusLabel->text().section(u": "_s, 1).split(u", "_s);
            named.sort();
            QStringList expected = row.line.section(u": "_s, 1).split(u", "_s);
            expected.sort();
            EXPECT_EQ(form().statusLabel->text().section(u": "_s, 0, 0), row.line.section(u": "_s, 0, 0));
            EXPECT_EQ(named, expected);
        }
    }
}
