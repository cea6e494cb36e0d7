#pragma once

#include "controls/RQDropViewDelegate.h"
#include "scanning/RQDuplicateFinder.h"
#include "windows/RQWindowController.h"

#include <QAbstractAnimation>
#include <QMessageBox>
#include <QPointer>
#include <QSet>
#include <QStringList>

#include <functional>
#include <memory>
#include <optional>

class DuplicatesViewController;
class KMTouchBarProgressIndicator;
class QAbstractButton;
class FinalizeWindowController;
class FinishedViewController;
class LCDStatusViewController;
class Preferences;
class QMainWindow;
class QKeyEvent;
class RNSInsomniacHelper;
class RQQuitAppsWindowController;
class RQTimer;
class RQViewController;
class RunningApplications;
class StatsViewController;
class UserDefaults;
class UserNotifications;
namespace Ui {
class MainWindowController;
}

// The main window and the way through it: 0 choose folders, 1 scan and statistics, 2 results
// (with the removal sheet over it), 4 finished. It starts the scan, turns the finder's
// callbacks into the status and statistics panels, hands the results to the removal sheet and
// the removal's totals to the finished screen, and asks before the window closes in the middle
// of the work. Closing the window ends the application.
//
// The finder's callbacks reach the window through a weak pointer and the scan's own session,
// and only while that scan is the current one. Destroying the controller cancels a running scan,
// waits for it and lets the computer sleep again. Main thread only.
class MainWindowController final : public RQWindowController, private RQDropViewDelegate
{
    Q_OBJECT
    Q_DISABLE_COPY_MOVE(MainWindowController)

public:
    using Groups = RQDuplicateFinder::Groups;

    // What one scan's callbacks share: made at the scan's start, main thread only.
    struct ScanSession
    {
        // The last stage the progress callback saw.
        qint64 stage = 0;
        // Rotates the status title from stage 1 until the scan ends.
        std::shared_ptr<RQTimer> messageTimer;
        // The statistics panel that was current when the scan started.
        QPointer<StatsViewController> statsPanel;
        // The folders the scan was started with.
        QStringList paths;
        // The chosen folders that are system folders; all of paths when nothing else was chosen.
        QStringList refusedPaths;
    };

    static const QString suppressQuitAlertKey;
    static const QStringList scanningMessages;
    static constexpr double messageInterval = 10.0;
    // After the quit-applications sheet reports, the scan starts after this delay and the
    // sheet's controller is let go after the longer one.
    static constexpr double startDelay = 0.3;
    static constexpr double quitAppsReleaseDelay = 0.5;

    explicit MainWindowController(QObject *parent = nullptr);
    ~MainWindowController() override;

    // The window, built on first use. Its menu bar is left to the application.
    QMainWindow *mainWindow();
    // Builds, shows and raises the window.
    void showWindow();
    // Hides the window without closing it.
    void orderOut();

    // Where the controller reaches the rest of the system; the shared ones by default. Set
    // before the window is built; each must outlive the controller.
    void setPreferences(Preferences &preferences) { m_preferences = &preferences; }
    void setUserDefaults(UserDefaults &defaults) { m_userDefaults = &defaults; }
    void setInsomniacHelper(RNSInsomniacHelper &helper) { m_insomniacHelper = &helper; }
    void setRunningApplications(RunningApplications &applications) { m_runningApplications = &applications; }
    void setUserNotifications(UserNotifications &notifications) { m_userNotifications = &notifications; }
    // Whether the application is in front; by default the application state.
    void setActiveProbe(std::function<bool()> probe) { m_isActive = std::move(probe); }
    // Ends the application once closing the window is confirmed; by default QCoreApplication::quit.
    void setTerminateHandler(std::function<void()> handler) { m_terminate = std::move(handler); }

    // Actions of the buttons and the menu.
    void goNext();
    void goBack();
    void clear();
    // New Scan: back to step 0 with nothing chosen; a beep during a scan or the removal sheet.
    void startAgain();
    // The last folders again; a beep during a scan or the removal sheet, or without folders.
    void rescan();
    void addScanPaths(const QStringList &paths);

    qint64 currentStep() const { return m_currentStep; }
    // A scan runs, or one is about to start once the quit-applications sheet has reported.
    bool isScanning() const { return m_isScanning || m_startPending; }
    bool hasResults() const { return m_hasResults; }
    bool showingFinalizeWindow() const { return m_showingFinalizeWindow; }
    // The removal sheet is removing files, so the application must not quit.
    bool isRemoving() const;
    QStringList lastScanPaths() const { return m_lastScanPaths; }
    // Stops a running scan and returns once nothing of it runs; sleep is allowed again.
    void cancelScanAndWait();

    // Screens.
    void setCurrentView(QWidget *view);
    void setCurrentViewController(const std::shared_ptr<RQViewController> &controller);
    QWidget *currentView() const { return m_currentView; }
    RQViewController *currentViewController() const { return m_currentViewController.get(); }
    void reset();
    void resetPostTransition(bool keepStatistics = false);
    void enableNextButtonIfNeeded();
    void showScanningView();
    void showDuplicatesView();
    void showFinalizeView();
    void showFinishedView(double totalFreed, qint64 totalDuplicates, bool hasPhotosDupes);

    // The scan.
    void startScanningWithPaths(const QStringList &paths);
    void startScanning();
    void actuallyStartScanningWithPaths(const QStringList &paths);
    // The chosen folders that lie in a system folder, which a scan refuses.
    static QStringList systemFoldersAmong(const QStringList &paths);
    // The line that names them; noneScanned when they were all that was chosen. Empty for none.
    static QString refusedFoldersText(const QStringList &refused, bool noneScanned);
    // The explanation of the alert about an iPhoto version the scan cannot read.
    static QString unsupportediPhotoText(const QString &installedVersion, const QString &supportedVersion);
    // One of the rotating messages, never the one the status title shows now.
    QString randomScanningMessage() const;
    const std::shared_ptr<ScanSession> &currentScan() const { return m_scan; }

    // The finder's callbacks, as the current scan's callbacks run them.
    void scanProgressHandler(ScanSession &scan, qint64 stage, double fraction);
    void scanDidScanFileHandler(ScanSession &scan, qint64 totalFilesScanned);
    void scanDidFindDuplicateHandler(ScanSession &scan, qint64 totalDuplicates, double totalBytes);
    // groups: none when the scan refused its folders, which counts as none found.
    void scanCompletionHandler(ScanSession &scan, const std::shared_ptr<RQDuplicateFinder> &finder,
                               const std::optional<Groups> &groups);
    void scanFailureHandler(ScanSession &scan);
    void showNoResultsState();

    // The window's controllers and views, for the application and for tests; null until made.
    Ui::MainWindowController *form() const { return m_form.get(); }
    LCDStatusViewController *lcdStatusViewController() const { return m_lcdStatusViewController.get(); }
    StatsViewController *statsViewController() const { return m_statsViewController.get(); }
    DuplicatesViewController *duplicatesViewController() const { return m_duplicatesViewController.get(); }
    FinalizeWindowController *finalizeWindowController() const { return m_finalizeWindowController.get(); }
    FinishedViewController *finishedViewController() const { return m_finishedViewController.get(); }
    RQQuitAppsWindowController *quitAppsWindowController() const { return m_quitAppsWindowController.get(); }
    const std::shared_ptr<RQDuplicateFinder> &duplicateFinder() const { return m_duplicateFinder; }
    QWidget *touchBarView() const { return m_touchBarView.get(); }
    QWidget *touchBarScanningView() const { return m_touchBarScanningView.get(); }
    QWidget *touchBarFinishedScanningView() const { return m_touchBarFinishedScanningView.get(); }
    QWidget *touchBarResultsView() const { return m_touchBarResultsView.get(); }
    QWidget *touchBarNoResultsView() const { return m_touchBarNoResultsView.get(); }
    QAbstractButton *touchBarStartScanButton() const { return m_touchBarStartScanButton; }
    QAbstractButton *touchBarResultsNextButton() const { return m_touchBarResultsNextButton; }
    // The fade of the screen switched in, while it runs.
    QAbstractAnimation *screenTransition() const { return m_screenTransition; }

protected:
    QWidget *loadWindow() override;
    void windowDidLoad() override;
    bool eventFilter(QObject *watched, QEvent *event) override;

private:
    void dropViewFileWasDropped(RQDropView &dropView) override;
    void dropViewDidEnter(RQDropView &dropView) override;
    void dropViewDidExit(RQDropView &dropView) override;

    void makeTouchBarViews();
    void connectActions();
    void placeStatusPanel();
    QSize windowSizeForScreen(const QSize &screenSize);
    void detachCurrentView();
    void fadeIn(QWidget *view);
    void resetOpenButton();
    void showChosenFolders(const QStringList &paths);
    QStringList chosenPaths() const;
    // Presses the enabled one of Start and Next for Return or Enter, unless the focus widget
    // takes Return itself; whether it did.
    bool pressDefaultButton(const QKeyEvent &key);
    void startAgainKeepingDrops();
    void askBeforeGoingBack();
    void beginScanAfterQuittingApplications(const QStringList &paths);
    void quitApplicationsSheetDidEnd(const QPointer<RQQuitAppsWindowController> &sheet, const QStringList &paths,
                                     bool cancelled);
    void rotateScanningMessage();
    void openRemovalSheet();
    void removalSheetWasCancelled();
    void installScanCallbacks(RQDuplicateFinder &finder);
    void stopMessageTimer(ScanSession &scan);
    void notifyScanCompleted(bool foundGroups);
    void showRefusedFolders(const ScanSession &scan);
    void showUnsupportediPhotoAlert();
    // Whether the window may close now; otherwise it stays, maybe with the quit question.
    bool closeRequested();
    void askBeforeQuitting();
    void confirmQuit();
    void logStep0();
    void logStep1(QStringView state);
    void logStep2();
    QString statusTitle() const;

    Preferences &preferences() const;
    UserDefaults &userDefaults() const;
    RNSInsomniacHelper &insomniacHelper() const;
    UserNotifications &userNotifications() const;

    std::unique_ptr<Ui::MainWindowController> m_form;
    qint64 m_currentStep = 0;
    QPointer<QWidget> m_currentView;
    // The size the shown screen asked for when it was switched in.
    QSize m_currentScreenSize;
    // Keeps the controller of the shown view alive while its view is in the window.
    std::shared_ptr<RQViewController> m_currentViewOwner;
    std::shared_ptr<RQViewController> m_currentViewController;
    bool m_hasResults = false;
    bool m_isScanning = false;
    bool m_startPending = false;
    bool m_showingFinalizeWindow = false;
    bool m_terminating = false;
    bool m_shownBefore = false;
    std::shared_ptr<RQDuplicateFinder> m_duplicateFinder;
    std::shared_ptr<ScanSession> m_scan;
    std::shared_ptr<LCDStatusViewController> m_lcdStatusViewController;
    std::shared_ptr<StatsViewController> m_statsViewController;
    std::shared_ptr<DuplicatesViewController> m_duplicatesViewController;
    std::shared_ptr<FinalizeWindowController> m_finalizeWindowController;
    std::shared_ptr<FinishedViewController> m_finishedViewController;
    std::shared_ptr<RQQuitAppsWindowController> m_quitAppsWindowController;
    std::optional<QSet<QString>> m_scanPaths;
    QStringList m_lastScanPaths;
    QPointer<QAbstractAnimation> m_screenTransition;
    QPointer<QMessageBox> m_quitAlert;

    std::unique_ptr<QWidget> m_touchBarView;
    std::unique_ptr<QWidget> m_touchBarScanningView;
    std::unique_ptr<QWidget> m_touchBarFinishedScanningView;
    std::unique_ptr<QWidget> m_touchBarResultsView;
    std::unique_ptr<QWidget> m_touchBarNoResultsView;
    QAbstractButton *m_touchBarStartScanButton = nullptr;
    QAbstractButton *m_touchBarResultsNextButton = nullptr;
    KMTouchBarProgressIndicator *m_touchBarProgressIndicator = nullptr;

    Preferences *m_preferences = nullptr;
    UserDefaults *m_userDefaults = nullptr;
    RNSInsomniacHelper *m_insomniacHelper = nullptr;
    RunningApplications *m_runningApplications = nullptr;
    UserNotifications *m_userNotifications = nullptr;
    std::function<bool()> m_isActive;
    std::function<void()> m_terminate;
};
