#include "windows/MainWindowController.h"

#include "controls/AnimationUtilities.h"
#include "controls/AppColors.h"
#include "controls/KMTouchBarProgressIndicator.h"
#include "controls/MWSpaceLabel.h"
#include "controls/WindowContentSize.h"
#include "foundation/RQDispatch.h"
#include "foundation/RQTimer.h"
#include "photolibraries/RQPhotosLibrary.h"
#include "photolibraries/RQiPhotoLibrary.h"
#include "platform/NotificationCenter.h"
#include "platform/UserDefaults.h"
#include "platform/gui/AlertSheet.h"
#include "platform/gui/FileIconProvider.h"
#include "platform/gui/ImageLoader.h"
#include "platform/gui/RunningApplications.h"
#include "platform/gui/UserNotifications.h"
#include "scanning/RQIgnoreList.h"
#include "services/Preferences.h"
#include "services/RNSInsomniacHelper.h"
#include "windows/DuplicatesViewController.h"
#include "windows/FinalizeWindowController.h"
#include "windows/FinishedViewController.h"
#include "windows/LCDStatusViewController.h"
#include "windows/RQQuitAppsWindowController.h"
#include "windows/RQTouchBarController.h"
#include "windows/StatsViewController.h"
#include "windows/WindowsLogging.h"

#include "ui_MainWindowController.h"

#include <QAccessible>
#include <QApplication>
#include <QCheckBox>
#include <QCloseEvent>
#include <QFileInfo>
#include <QGuiApplication>
#include <QHBoxLayout>
#include <QMainWindow>
#include <QMessageBox>
#include <QPushButton>
#include <QRandomGenerator>
#include <QAbstractItemView>
#include <QAbstractSpinBox>
#include <QComboBox>
#include <QKeyEvent>
#include <QLineEdit>
#include <QPlainTextEdit>
#include <QTextEdit>
#include <QToolBar>
#include <QVBoxLayout>

using namespace Qt::StringLiterals;

const QString MainWindowController::suppressQuitAlertKey = u"SuppressQuitAlert"_s;
const QStringList MainWindowController::scanningMessages = {
    u"Generating file hashes"_s, u"This could take a while"_s, u"Still going..."_s,
    u"Don't worry, we haven't frozen!"_s, u"So, how's your day so far?"_s,
};

namespace {

const QString photosBundleIdentifier = u"com.apple.Photos"_s;
const QString scanAgainNotification = u"ScanAgain"_s;
// The platform's default duration of a view's fade.
constexpr int fadeMilliseconds = 250;
constexpr qreal imageRatio = 2.0;
constexpr int statusPanelWidth = 380;

QString enabledText(const QWidget *widget)
{
    return widget->isEnabled() ? u"enabled"_s : u"disabled"_s;
}

QPixmap namedPixmap(const QString &name, const QSize &size)
{
    return ImageLoader::imageNamed(name).pixmap(size, imageRatio);
}

// The shared layers, reached only when nothing was set in their place.
template <typename Layer>
Layer &orShared(Layer *given, Layer &(*shared)())
{
    return given ? *given : shared();
}

} // namespace

MainWindowController::MainWindowController(QObject *parent)
    : RQWindowController(parent),
      m_isActive([] { return QGuiApplication::applicationState() == Qt::ApplicationActive; }),
      m_terminate([] { QCoreApplication::quit(); })
{
    NotificationCenter::defaultCenter().addObserver(scanAgainNotification, nullptr, this,
                                                    [this](const Notification &) { startAgain(); });
}

MainWindowController::~MainWindowController()
{
    cancelScanAndWait();
    // The window goes first, with the screens placed in it, while their controllers still live.
    if (isWindowLoaded())
        delete window();
}

QMainWindow *MainWindowController::mainWindow()
{
    return qobject_cast<QMainWindow *>(window());
}

void MainWindowController::showWindow()
{
    QMainWindow *shown = mainWindow();
    // A menu bar given after the window was built takes its height from the screen otherwise.
    if (!shown->isVisible())
        rq_setContentSize(*shown, windowSizeForScreen(m_currentScreenSize), false);
    shown->show();
    shown->raise();
    shown->activateWindow();
    if (!m_shownBefore)
        logStep0();
    m_shownBefore = true;
}

void MainWindowController::orderOut()
{
    mainWindow()->hide();
}

bool MainWindowController::isRemoving() const
{
    return m_finalizeWindowController && m_finalizeWindowController->isRemoving();
}

QWidget *MainWindowController::loadWindow()
{
    return loadForm<QMainWindow>(m_form);
}

void MainWindowController::windowDidLoad()
{
    Ui::MainWindowController &outlets = *m_form;
    outlets.backgroundView->setBackgroundColor(vx_linedBackgroundColor());
    auto *screenLayout = new QVBoxLayout(outlets.backgroundView);
    screenLayout->setContentsMargins(0, 0, 0, 0);
    outlets.dropView->hide();
    outlets.finishedToolbar->hide();
    outlets.contentView->setDelegate(this);
    outlets.contentView->setFocusPolicy(Qt::StrongFocus);
    makeTouchBarViews();
    placeStatusPanel();
    connectActions();
    window()->installEventFilter(this);
    outlets.contentView->installEventFilter(this);
    // The window takes the size of each screen; only the results let the user resize it.
    rq_removeResizing(*mainWindow());
    setCurrentView(outlets.dropView);
    reset();
    RQTouchBarController::sharedController().pushTouchBarView(m_touchBarView.get());
}

void MainWindowController::placeStatusPanel()
{
    m_lcdStatusViewController = std::make_shared<LCDStatusViewController>();
    QToolBar *toolbar = m_form->toolbar;
    auto *leading = new QWidget(toolbar);
    leading->setSizePolicy(QSizePolicy::Expanding, QSizePolicy::Preferred);
    auto *trailing = new QWidget(toolbar);
    trailing->setSizePolicy(QSizePolicy::Expanding, QSizePolicy::Preferred);
    toolbar->addWidget(leading);
    // Wide enough for the longest title, "Done! Click next to see the results.".
    QWidget *panel = m_lcdStatusViewController->view();
    panel->setFixedWidth(statusPanelWidth);
    toolbar->addWidget(panel);
    toolbar->addWidget(trailing);
}

void MainWindowController::makeTouchBarViews()
{
    auto makeView = [] { return std::make_unique<QWidget>(); };
    m_touchBarView = makeView();
    auto *start = new QPushButton(u"Start Scan"_s, m_touchBarView.get());
    connect(start, &QPushButton::clicked, this, &MainWindowController::goNext);
    m_touchBarStartScanButton = start;
    m_touchBarScanningView = makeView();
    auto *scanning = new QHBoxLayout(m_touchBarScanningView.get());
    m_touchBarProgressIndicator = new KMTouchBarProgressIndicator(m_touchBarScanningView.get());
    scanning->addWidget(m_touchBarProgressIndicator);
    scanning->addWidget(new QLabel(u"Scanning"_s, m_touchBarScanningView.get()));
    m_touchBarFinishedScanningView = makeView();
    new QLabel(u"Scan complete"_s, m_touchBarFinishedScanningView.get());
    m_touchBarResultsView = makeView();
    auto *next = new QPushButton(u"Next"_s, m_touchBarResultsView.get());
    connect(next, &QPushButton::clicked, this, &MainWindowController::goNext);
    m_touchBarResultsNextButton = next;
    m_touchBarNoResultsView = makeView();
    new QLabel(u"No duplicates found"_s, m_touchBarNoResultsView.get());
}

void MainWindowController::connectActions()
{
    Ui::MainWindowController &outlets = *m_form;
    connect(outlets.startButton, &QAbstractButton::clicked, this, &MainWindowController::goNext);
    connect(outlets.nextButton, &QAbstractButton::clicked, this, &MainWindowController::goNext);
    connect(outlets.backButton, &QAbstractButton::clicked, this, &MainWindowController::goBack);
    connect(outlets.clearButton, &QAbstractButton::clicked, this, &MainWindowController::clear);
}

namespace {

bool isReturnKey(const QKeyEvent &key)
{
    const Qt::KeyboardModifiers modifiers = key.modifiers() & ~Qt::KeypadModifier;
    return (key.key() == Qt::Key_Return || key.key() == Qt::Key_Enter) && modifiers == Qt::NoModifier;
}

// Fields, lists and the like act on Return themselves; it is theirs even when they let it pass.
bool usesReturnKey(const QWidget *widget)
{
    return qobject_cast<const QLineEdit *>(widget) || qobject_cast<const QAbstractItemView *>(widget)
        || qobject_cast<const QAbstractSpinBox *>(widget) || qobject_cast<const QComboBox *>(widget)
        || qobject_cast<const QTextEdit *>(widget) || qobject_cast<const QPlainTextEdit *>(widget);
}

} // namespace

bool MainWindowController::pressDefaultButton(const QKeyEvent &key)
{
    if (!isReturnKey(key) || usesReturnKey(QApplication::focusWidget()))
        return false;
    for (QAbstractButton *button : {static_cast<QAbstractButton *>(m_form->startButton),
                                    static_cast<QAbstractButton *>(m_form->nextButton)}) {
        if (button->isVisibleTo(window()) && button->isEnabled()) {
            button->click();
            return true;
        }
    }
    return false;
}

// MARK: Screens

void MainWindowController::setCurrentView(QWidget *view)
{
    if (view == m_currentView)
        return;
    if (!view) {
        Q_ASSERT_X(false, "MainWindowController::setCurrentView", "This must be a non-nil argument");
        qCWarning(windowsLog) << "This must be a non-nil argument";
        return;
    }
    const bool animate = m_currentView != nullptr;
    detachCurrentView();
    QMainWindow &shown = *mainWindow();
    m_currentScreenSize = view->size();
    rq_setContentSize(shown, windowSizeForScreen(m_currentScreenSize), animate && shown.isVisible());
    m_form->backgroundView->layout()->addWidget(view);
    view->show();
    if (animate)
        fadeIn(view);
    m_currentView = view;
}

void MainWindowController::detachCurrentView()
{
    QWidget *old = m_currentView;
    if (!old)
        return;
    if (m_screenTransition)
        m_screenTransition->stop();
    old->setGraphicsEffect(nullptr);
    old->hide();
    m_form->backgroundView->layout()->removeWidget(old);
    // A screen of a controller goes back to it; the window keeps its own screen.
    if (old != m_form->dropView)
        old->setParent(nullptr);
    m_currentView = nullptr;
    m_currentViewOwner.reset();
}

QSize MainWindowController::windowSizeForScreen(const QSize &screenSize)
{
    // The window is the screen plus what surrounds it: menu bar, toolbar and bottom bar.
    int chrome = m_form->bottomBar->maximumHeight();
    if (!m_form->toolbar->isHidden())
        chrome += m_form->toolbar->sizeHint().height();
    if (const QWidget *menu = mainWindow()->menuWidget(); menu && !menu->isHidden())
        chrome += menu->sizeHint().height();
    return screenSize + QSize(0, chrome);
}

void MainWindowController::fadeIn(QWidget *view)
{
    m_screenTransition = rq_fadeIn(*view, fadeMilliseconds);
}

void MainWindowController::setCurrentViewController(const std::shared_ptr<RQViewController> &controller)
{
    if (controller == m_currentViewController)
        return;
    const std::shared_ptr<RQViewController> old = m_currentViewController;
    if (old)
        old->rq_viewWillDisappear();
    if (controller) {
        controller->rq_viewWillAppear();
        setCurrentView(controller->view());
        m_currentViewOwner = controller;
        controller->rq_viewDidAppear();
    }
    if (old)
        old->rq_viewDidDisappear();
    m_currentViewController = controller;
}

void MainWindowController::reset()
{
    Ui::MainWindowController &outlets = *m_form;
    RQTouchBarController::sharedController().setTouchBarViews({m_touchBarView.get()});
    m_currentStep = 0;
    outlets.contentView->setAcceptingDrops(true);
    outlets.contentView->setFocusPolicy(Qt::StrongFocus);
    m_lcdStatusViewController->showAvailableSpaceView();
    outlets.finishedToolbar->hide();
    outlets.backButton->hide();
    outlets.startButton->show();
    outlets.startButton->setEnabled(false);
    m_touchBarStartScanButton->setEnabled(false);
    outlets.nextButton->hide();
    outlets.nextButton->setEnabled(false);
    m_touchBarResultsNextButton->setEnabled(false);
    outlets.clearButton->setEnabled(false);
    outlets.clearButton->hide();
    outlets.statusLabel->hide();
    resetOpenButton();
    m_duplicateFinder.reset();
    m_scanPaths.reset();
    outlets.contentView->clear();
}

void MainWindowController::resetPostTransition(bool keepStatistics)
{
    m_duplicateFinder.reset();
    m_duplicatesViewController.reset();
    m_finalizeWindowController.reset();
    m_finishedViewController.reset();
    if (!keepStatistics)
        m_statsViewController.reset();
}

QStringList MainWindowController::chosenPaths() const
{
    QSet<QString> paths = m_form->contentView->filePaths().value_or(QSet<QString>());
    if (m_scanPaths)
        paths.unite(*m_scanPaths);
    return QStringList(paths.cbegin(), paths.cend());
}

void MainWindowController::enableNextButtonIfNeeded()
{
    Ui::MainWindowController &outlets = *m_form;
    const QStringList paths = chosenPaths();
    const bool any = !paths.isEmpty();
    // Folders dropped at another step wait for step 0, whose buttons they light up.
    if (m_currentStep == 0) {
        outlets.clearButton->setEnabled(any);
        outlets.clearButton->setVisible(any);
        outlets.startButton->setEnabled(any);
        m_touchBarStartScanButton->setEnabled(any);
    }
    if (any)
        showChosenFolders(paths);
    else
        resetOpenButton();
    if (m_currentStep == 0)
        logStep0();
}

void MainWindowController::showChosenFolders(const QStringList &paths)
{
    Ui::MainWindowController &outlets = *m_form;
    outlets.addImageView->show();
    const QSize imageSize = outlets.dropImageView->maximumSize();
    if (paths.size() == 1) {
        const QString &path = paths.constFirst();
        outlets.selectLabel->setText(QFileInfo(path).fileName().isEmpty() ? path : QFileInfo(path).fileName());
        const QIcon icon = FileIconProvider::iconForFile(path);
        outlets.dropImageView->setPixmap(icon.isNull() ? namedPixmap(u"icon-generic-folder"_s, imageSize)
                                                       : icon.pixmap(imageSize, imageRatio));
    } else {
        outlets.selectLabel->setText(u"%1 folders selected"_s.arg(paths.size()));
        // The selected variant: here every system answers as a current one does.
        outlets.dropImageView->setPixmap(namedPixmap(u"icon-generic-folder-multiple-tamsel"_s, imageSize));
    }
}

void MainWindowController::resetOpenButton()
{
    Ui::MainWindowController &outlets = *m_form;
    outlets.dropImageView->setPixmap(namedPixmap(u"icon-add"_s, outlets.dropImageView->maximumSize()));
    outlets.selectLabel->setText(u"Select a folder"_s);
    outlets.addImageView->hide();
    outlets.addImageView->setPixmap(namedPixmap(u"icon-add"_s, outlets.addImageView->maximumSize()));
}

void MainWindowController::clear()
{
    m_scanPaths.reset();
    m_form->contentView->clear();
    enableNextButtonIfNeeded();
}

void MainWindowController::addScanPaths(const QStringList &paths)
{
    if (!m_scanPaths)
        m_scanPaths.emplace();
    for (const QString &path : paths)
        m_scanPaths->insert(path);
    enableNextButtonIfNeeded();
}

void MainWindowController::goNext()
{
    switch (m_currentStep) {
    case 0:
        startScanning();
        break;
    case 1:
        // Only the results lead on; the button is disabled otherwise, Return and the touch bar
        // must not get round that.
        if (m_duplicatesViewController && !isScanning())
            showDuplicatesView();
        break;
    case 2:
        showFinalizeView();
        break;
    default:
        break;
    }
}

void MainWindowController::goBack()
{
    if (m_currentStep == 2) {
        showScanningView();
    } else if (m_currentStep == 1 && !m_hasResults) {
        if (isScanning())
            QApplication::beep();
        else
            startAgainKeepingDrops();
    } else if (m_currentStep == 1) {
        askBeforeGoingBack();
    }
}

void MainWindowController::askBeforeGoingBack()
{
    auto *alert = new QMessageBox(QMessageBox::Warning, QString(), u"Are you sure you want to go back?"_s,
                                  QMessageBox::NoButton, window());
    alert->setInformativeText(u"All progress will be lost and you will need to rescan."_s);
    rq_addButtonWithTitle(*alert, u"Go Back"_s);
    alert->setEscapeButton(rq_addButtonWithTitle(*alert, u"Cancel"_s));
    rq_beginSheetModalForWindow(alert, window(), [controller = QPointer(this)](qint64 returnCode) {
        // Only "Go Back" leaves; Cancel, Esc and an alert closed without a button stay.
        if (MainWindowController *self = controller.data(); self && returnCode == AlertFirstButtonReturn)
            self->startAgain();
    });
    logScreen(int(m_currentStep), u"alert", {{u"message"_s, alert->text()}});
}

void MainWindowController::startAgainKeepingDrops()
{
    // Folders dropped on the no-results screen are kept for the next scan.
    const std::optional<QSet<QString>> dropped = m_form->contentView->filePaths();
    startAgain();
    if (dropped && !dropped->isEmpty()) {
        m_form->contentView->setFilePaths(dropped);
        enableNextButtonIfNeeded();
    }
}

void MainWindowController::startAgain()
{
    if (m_showingFinalizeWindow || isScanning()) {
        QApplication::beep();
        return;
    }
    reset();
    setCurrentView(m_form->dropView);
    setCurrentViewController(nullptr);
    resetPostTransition();
    logStep0();
}

void MainWindowController::rescan()
{
    if (m_showingFinalizeWindow || isScanning() || m_lastScanPaths.isEmpty()) {
        QApplication::beep();
        return;
    }
    reset();
    resetPostTransition(true);
    startScanningWithPaths(m_lastScanPaths);
}

void MainWindowController::showScanningView()
{
    Ui::MainWindowController &outlets = *m_form;
    QMainWindow &shown = *mainWindow();
    m_currentStep = 1;
    outlets.contentView->setFocusPolicy(Qt::NoFocus);
    rq_removeResizing(shown);
    rq_disableFullScreen(shown);
    if (m_statsViewController && !m_isScanning) {
        m_lcdStatusViewController->showFinishedView();
        RQTouchBarController::sharedController().pushTouchBarView(m_touchBarFinishedScanningView.get());
        outlets.nextButton->setEnabled(true);
    } else {
        if (!m_statsViewController)
            m_statsViewController = std::make_shared<StatsViewController>();
        m_lcdStatusViewController->showScanningView();
        RQTouchBarController::sharedController().pushTouchBarView(m_touchBarScanningView.get());
        outlets.nextButton->setEnabled(false);
    }
    outlets.statusLabel->setText(QString());
    setCurrentViewController(m_statsViewController);
    logStep1(m_isScanning ? u"scanning" : u"results");
}

void MainWindowController::showDuplicatesView()
{
    Ui::MainWindowController &outlets = *m_form;
    RQTouchBarController::sharedController().pushTouchBarView(m_touchBarResultsView.get());
    m_currentStep = 2;
    DuplicatesViewController &browser = *m_duplicatesViewController;
    browser.setLcdStatusViewController(m_lcdStatusViewController.get());
    browser.setStatusLabel(outlets.statusLabel);
    browser.setNextButton(outlets.nextButton);
    browser.setTouchBarNextButton(m_touchBarResultsNextButton);
    outlets.statusLabel->show();
    // The panel still holds the title of an earlier pass through this step; the browser writes
    // its own title and Next buttons at once (and logs them) rather than after its delay.
    browser.actuallyUpdateBottomToolbar();
    m_lcdStatusViewController->showSelectView();
    // A size change still under way would pin the window again when it ends.
    rq_setContentSize(*mainWindow(), rq_contentSize(*mainWindow()), false);
    rq_makeResizable(*mainWindow());
    rq_enableFullScreen(*mainWindow());
    setCurrentViewController(m_duplicatesViewController);
}

void MainWindowController::showFinalizeView()
{
    if (m_showingFinalizeWindow || !m_duplicatesViewController)
        return;
    m_duplicatesViewController->confirmWhollySelectedGroups([controller = QPointer(this)](bool proceed) {
        if (MainWindowController *self = controller.data(); self && proceed)
            self->openRemovalSheet();
    });
}

void MainWindowController::openRemovalSheet()
{
    if (m_showingFinalizeWindow || !m_duplicatesViewController)
        return;
    DuplicatesViewController &browser = *m_duplicatesViewController;
    browser.didOpenFinalizeView();
    m_showingFinalizeWindow = true;
    const RemovalHandOff handOff = browser.removalHandOff();
    m_finalizeWindowController = FinalizeWindowController::controllerWithSelectedFiles(handOff);
    FinalizeWindowController &sheet = *m_finalizeWindowController;
    const QPointer<MainWindowController> controller(this);
    sheet.setDidCompleteBlock([controller](double totalFreed, qint64 totalDuplicates, bool hasPhotosDupes) {
        if (MainWindowController *self = controller.data()) {
            self->m_showingFinalizeWindow = false;
            self->showFinishedView(totalFreed, totalDuplicates, hasPhotosDupes);
        }
    });
    sheet.setDidCancelBlock([controller] {
        if (MainWindowController *self = controller.data())
            self->removalSheetWasCancelled();
    });
    sheet.setParentWindow(window());
    sheet.beginSheet();
    logScreen(2, u"sheet", {{u"rows"_s, QString::number(handOff.files.size())}});
}

void MainWindowController::removalSheetWasCancelled()
{
    RQTouchBarController::sharedController().setTouchBarViews({m_touchBarResultsView.get()});
    m_showingFinalizeWindow = false;
    if (m_duplicatesViewController)
        m_duplicatesViewController->didCloseFinalizeView();
    logStep2();
}

void MainWindowController::showFinishedView(double totalFreed, qint64 totalDuplicates, bool hasPhotosDupes)
{
    Ui::MainWindowController &outlets = *m_form;
    QMainWindow &shown = *mainWindow();
    m_currentStep = 4;
    outlets.statusLabel->hide();
    outlets.backButton->hide();
    outlets.nextButton->hide();
    rq_removeResizing(shown);
    rq_disableFullScreen(shown);
    m_lcdStatusViewController->showCongratsView();
    m_finishedViewController = FinishedViewController::controllerWithTotalFreed(totalFreed, totalDuplicates, hasPhotosDupes);
    m_finishedViewController->setParentWindow(&shown);
    setCurrentView(m_finishedViewController->view());
    m_currentViewOwner = m_finishedViewController;
    outlets.finishedToolbar->show();
    m_duplicatesViewController.reset();
    // The sheet is still on its way out of the callback that led here.
    RQDispatchAsyncMain([finished = std::move(m_finalizeWindowController)] {});
    logScreen(4, u"finished", {{u"title"_s, m_finishedViewController->titleLabel()->text()},
                               {u"size"_s, m_finishedViewController->view()->findChild<MWSpaceLabel *>()->text()}});
}

// MARK: Scan

void MainWindowController::startScanningWithPaths(const QStringList &paths)
{
    m_scanPaths = QSet<QString>(paths.cbegin(), paths.cend());
    startScanning();
}

void MainWindowController::startScanning()
{
    if (isScanning())
        return;
    RQPhotosLibrary::sharedInstance().setCurrentLibraryPath(QString());
    const QStringList paths = chosenPaths();
    m_quitAppsWindowController = std::make_shared<RQQuitAppsWindowController>(
        m_runningApplications ? *m_runningApplications : RunningApplications::system());
    m_quitAppsWindowController->setApplications({photosBundleIdentifier});
    if (!m_quitAppsWindowController->shouldDisplay()) {
        actuallyStartScanningWithPaths(paths);
        m_quitAppsWindowController.reset();
        return;
    }
    beginScanAfterQuittingApplications(paths);
}

void MainWindowController::beginScanAfterQuittingApplications(const QStringList &paths)
{
    // Until the sheet has reported and the delayed start has run, a start is under way.
    m_startPending = true;
    RQQuitAppsWindowController &sheet = *m_quitAppsWindowController;
    sheet.beginSheetForWindow(window());
    logScreen(int(m_currentStep), u"quit-apps", {{u"rows"_s, QString::number(sheet.appsToClose().size())}});
    sheet.setCompletionBlock([controller = QPointer(this), own = QPointer(&sheet), paths](bool cancelled) {
        if (MainWindowController *self = controller.data())
            self->quitApplicationsSheetDidEnd(own, paths, cancelled);
    });
}

void MainWindowController::quitApplicationsSheetDidEnd(const QPointer<RQQuitAppsWindowController> &sheet,
                                                       const QStringList &paths, bool cancelled)
{
    const QPointer<MainWindowController> controller(this);
    if (cancelled) {
        m_startPending = false;
    } else {
        RQDispatchAfterMain([controller, paths] {
            if (MainWindowController *self = controller.data()) {
                self->m_startPending = false;
                self->actuallyStartScanningWithPaths(paths);
            }
        }, startDelay);
    }
    // Only this sheet's controller goes; a later start may have made its own meanwhile.
    RQDispatchAfterMain([controller, sheet] {
        MainWindowController *self = controller.data();
        if (self && sheet && self->m_quitAppsWindowController.get() == sheet.data())
            self->m_quitAppsWindowController.reset();
    }, quitAppsReleaseDelay);
}

void MainWindowController::actuallyStartScanningWithPaths(const QStringList &paths)
{
    if (paths.isEmpty() || isScanning())
        return;
    Ui::MainWindowController &outlets = *m_form;
    RQTouchBarController::sharedController().pushTouchBarView(m_touchBarScanningView.get());
    m_touchBarProgressIndicator->startAnimation();
    window()->activateWindow();
    m_isScanning = true;
    showScanningView();
    m_lastScanPaths = paths;
    outlets.clearButton->hide();
    outlets.startButton->hide();
    outlets.nextButton->show();
    outlets.nextButton->setEnabled(false);
    StatsViewController &statistics = *m_statsViewController;
    statistics.setTotalDuplicatesFound(0);
    statistics.setTotalFilesScanned(0);
    statistics.totalSpaceLabel()->setIntegerValue(0);
    const Preferences &settings = preferences();
    insomniacHelper().enableForDuration(-1);
    // A system folder among the roots would end the whole scan; the others are scanned without
    // it. When all are system folders the finder refuses them itself.
    const QStringList refused = systemFoldersAmong(paths);
    QStringList scanned = paths;
    if (refused.size() < paths.size())
        scanned.removeIf([&refused](const QString &path) { return refused.contains(path); });
    m_duplicateFinder = RQDuplicateFinder::duplicateFinderWithPaths(scanned, settings.minFileSize());
    m_duplicateFinder->setIgnoredExtensions(settings.ignoreList());
    m_duplicateFinder->setIgnoredPaths(settings.ignoredPaths());
    outlets.contentView->setAcceptingDrops(false);
    m_scan = std::make_shared<ScanSession>();
    m_scan->statsPanel = m_statsViewController.get();
    m_scan->paths = scanned;
    m_scan->refusedPaths = refused;
    m_hasResults = false;
    installScanCallbacks(*m_duplicateFinder);
    m_duplicateFinder->start();
}

void MainWindowController::installScanCallbacks(RQDuplicateFinder &finder)
{
    // Each callback reaches the window only while its own scan is the current one.
    const QPointer<MainWindowController> controller(this);
    const std::shared_ptr<ScanSession> scan = m_scan;
    auto current = [controller, scan]() -> MainWindowController * {
        MainWindowController *self = controller.data();
        return self && self->m_scan == scan ? self : nullptr;
    };
    finder.setCompletionBlock([scan, current](const std::shared_ptr<RQDuplicateFinder> &engine,
                                              const std::optional<Groups> &groups) {
        if (MainWindowController *self = current())
            self->scanCompletionHandler(*scan, engine, groups);
    });
    finder.setProgressBlock([scan, current](qint64 stage, double fraction) {
        if (MainWindowController *self = current())
            self->scanProgressHandler(*scan, stage, fraction);
    });
    finder.setDidScanFileBlock([scan, current](qint64 count) {
        if (MainWindowController *self = current())
            self->scanDidScanFileHandler(*scan, count);
    });
    finder.setDidFindDuplicateBlock([scan, current](qint64 count, double bytes) {
        if (MainWindowController *self = current())
            self->scanDidFindDuplicateHandler(*scan, count, bytes);
    });
    finder.setFailureBlock([scan, current](const std::optional<RQError> &) {
        if (MainWindowController *self = current())
            self->scanFailureHandler(*scan);
    });
}

void MainWindowController::scanProgressHandler(ScanSession &scan, qint64 stage, double fraction)
{
    LCDStatusViewController &status = *m_lcdStatusViewController;
    status.setProgress(fraction);
    if (stage == scan.stage)
        return;
    if (stage == 2) {
        status.scanningTitleLabel()->setText(u"Looking for duplicates"_s);
    } else if (stage == 1) {
        status.stopScanningTimer();
        status.scanningTitleLabel()->setText(u"Processing scanned files"_s);
        stopMessageTimer(scan);
        scan.messageTimer = RQTimer::timerWithInterval(messageInterval, true, QVariant(),
                                                       [controller = QPointer(this)](RQTimer &) {
                                                           if (MainWindowController *self = controller.data())
                                                               self->rotateScanningMessage();
                                                       });
        if (scan.statsPanel)
            scan.statsPanel->startFlashingTotalDuplicates();
    }
    scan.stage = stage;
    if (stage == 1 || stage == 2)
        logStep1(u"scanning");
}

void MainWindowController::rotateScanningMessage()
{
    m_lcdStatusViewController->scanningTitleLabel()->setText(randomScanningMessage());
}

QString MainWindowController::randomScanningMessage() const
{
    const QString shown = m_lcdStatusViewController->scanningTitleLabel()->text();
    QString message;
    do {
        message = scanningMessages.at(qsizetype(QRandomGenerator::global()->generate() % scanningMessages.size()));
    } while (message == shown);
    return message;
}

void MainWindowController::scanDidScanFileHandler(ScanSession &scan, qint64 totalFilesScanned)
{
    if (scan.statsPanel)
        scan.statsPanel->setTotalFilesScanned(totalFilesScanned);
}

void MainWindowController::scanDidFindDuplicateHandler(ScanSession &scan, qint64 totalDuplicates, double totalBytes)
{
    if (!scan.statsPanel)
        return;
    scan.statsPanel->stopFlashingTotalDuplicates();
    scan.statsPanel->setTotalDuplicatesFound(totalDuplicates);
    scan.statsPanel->setTotalSpaceBytes(totalBytes);
}

void MainWindowController::stopMessageTimer(ScanSession &scan)
{
    if (scan.messageTimer)
        scan.messageTimer->invalidate();
    scan.messageTimer.reset();
}

void MainWindowController::scanCompletionHandler(ScanSession &scan, const std::shared_ptr<RQDuplicateFinder> &finder,
                                                 const std::optional<Groups> &groups)
{
    Ui::MainWindowController &outlets = *m_form;
    const bool foundGroups = groups && !groups->empty();
    if (foundGroups)
        m_hasResults = true;
    insomniacHelper().disable();
    m_isScanning = false;
    m_touchBarProgressIndicator->stopAnimation();
    RQTouchBarController::sharedController().pushTouchBarView(m_touchBarFinishedScanningView.get());
    m_lcdStatusViewController->showFinishedView();
    QApplication::alert(window());
    stopMessageTimer(scan);
    if (scan.statsPanel)
        scan.statsPanel->stopFlashingTotalDuplicates();
    if (finder && finder->skippedIphoto())
        showUnsupportediPhotoAlert();
    notifyScanCompleted(foundGroups);
    showRefusedFolders(scan);
    if (!foundGroups) {
        showNoResultsState();
        return;
    }
    m_lcdStatusViewController->finishedTitleLabel()->setText(u"Done! Click next to see the results."_s);
    outlets.backButton->show();
    outlets.nextButton->show();
    outlets.nextButton->setEnabled(true);
    m_touchBarResultsNextButton->setEnabled(true);
    m_duplicatesViewController = std::make_shared<DuplicatesViewController>(*groups, scan.paths, preferences());
    logStep1(u"results");
}

QStringList MainWindowController::systemFoldersAmong(const QStringList &paths)
{
    const std::unique_ptr<RQIgnoreList> rules = RQIgnoreList::ignoreList();
    QStringList systemFolders;
    for (const QString &path : paths) {
        if (rules->pathIsChildOfSystemPath(RQDuplicateFinder::resolvedPath(path)))
            systemFolders.append(path);
    }
    return systemFolders;
}

QString MainWindowController::refusedFoldersText(const QStringList &refused, bool noneScanned)
{
    if (refused.isEmpty())
        return QString();
    const QString format = noneScanned ? u"These folders were not scanned because they are system folders: %1"_s
                                       : u"These folders were left out because they are system folders: %1"_s;
    return format.arg(refused.join(u", "_s));
}

void MainWindowController::showRefusedFolders(const ScanSession &scan)
{
    QLabel *label = m_form->statusLabel;
    label->setText(refusedFoldersText(scan.refusedPaths, scan.paths == scan.refusedPaths));
    label->setToolTip(label->text());
    label->setVisible(!scan.refusedPaths.isEmpty());
}

void MainWindowController::notifyScanCompleted(bool foundGroups)
{
    if (m_isActive())
        return;
    UserNotifications &notifications = userNotifications();
    if (!notifications.isAvailable())
        return;
    const QString subtitle = foundGroups && m_statsViewController
                                 ? u"Found %1 of duplicates"_s.arg(m_statsViewController->totalSpaceLabel()->text())
                                 : u"No Duplicates Found"_s;
    notifications.deliver(u"Scan Completed"_s, subtitle);
}

void MainWindowController::showUnsupportediPhotoAlert()
{
    const RQiPhotoLibrary &iPhoto = RQiPhotoLibrary::sharedInstance();
    auto *alert = new QMessageBox(QMessageBox::Warning, QString(), u"Could not scan iPhoto library"_s,
                                  QMessageBox::NoButton, window());
    alert->setInformativeText(unsupportediPhotoText(iPhoto.iPhotoVersion(), iPhoto.iPhotoSupportedVersion()));
    alert->setEscapeButton(rq_addButtonWithTitle(*alert, u"Okay"_s));
    rq_beginSheetModalForWindow(alert, window(), AlertCompletionHandler());
    logScreen(int(m_currentStep), u"alert", {{u"message"_s, alert->text()}});
}

QString MainWindowController::unsupportediPhotoText(const QString &installedVersion, const QString &supportedVersion)
{
    // One substitution for both, so a version that holds "%1" stays as it is.
    return u"The version of iPhoto you're running (%1) is not supported by Marrowick.\n\nMarrowick currently supports iPhoto version %2+"_s
        .arg(installedVersion, supportedVersion);
}

void MainWindowController::scanFailureHandler(ScanSession &)
{
    m_isScanning = false;
    showNoResultsState();
}

void MainWindowController::showNoResultsState()
{
    RQTouchBarController::sharedController().pushTouchBarView(m_touchBarNoResultsView.get());
    m_form->contentView->setAcceptingDrops(true);
    m_lcdStatusViewController->showNoDuplicatesView();
    m_form->backButton->show();
    logStep1(u"no-results");
}

void MainWindowController::cancelScanAndWait()
{
    m_startPending = false;
    if (m_scan)
        stopMessageTimer(*m_scan);
    if (m_duplicateFinder) {
        m_duplicateFinder->cancel();
        m_duplicateFinder->waitUntilFinished();
    }
    if (m_isScanning) {
        m_isScanning = false;
        insomniacHelper().disable();
    }
}

// MARK: Drops

void MainWindowController::dropViewFileWasDropped(RQDropView &)
{
    m_form->dropZoneView->stopAnimation();
    enableNextButtonIfNeeded();
}

void MainWindowController::dropViewDidEnter(RQDropView &)
{
    m_form->dropZoneView->startAnimation();
}

void MainWindowController::dropViewDidExit(RQDropView &)
{
    m_form->dropZoneView->stopAnimation();
}

// MARK: Closing

bool MainWindowController::eventFilter(QObject *watched, QEvent *event)
{
    // Start and Next are the window's default buttons: the key reaches them on its way up from
    // the focus widget, or before the drop area, which opens the chooser on Return otherwise.
    if ((watched == window() || watched == m_form->contentView) && event->type() == QEvent::KeyPress
        && pressDefaultButton(static_cast<const QKeyEvent &>(*event)))
        return true;
    if (watched == window() && event->type() == QEvent::Close && !m_terminating) {
        if (closeRequested())
            return RQWindowController::eventFilter(watched, event);
        event->ignore();
        return true;
    }
    // The drop area opens the folder chooser only where folders are chosen.
    if (watched == m_form->contentView && m_currentStep != 0
        && (event->type() == QEvent::MouseButtonRelease || event->type() == QEvent::KeyPress))
        return true;
    return RQWindowController::eventFilter(watched, event);
}

bool MainWindowController::closeRequested()
{
    // The removal sheet ends by its own buttons; while it is open closing does nothing.
    if (m_showingFinalizeWindow)
        return false;
    if (m_currentStep == 0 || m_currentStep == 4 || userDefaults().boolForKey(suppressQuitAlertKey)) {
        m_terminating = true;
        // Quitting closes every window, this one too, which it cannot do while this close
        // is still being handled.
        RQDispatchAsyncMain([controller = QPointer(this)] {
            if (MainWindowController *self = controller.data())
                self->m_terminate();
        });
        return true;
    }
    askBeforeQuitting();
    return false;
}

void MainWindowController::askBeforeQuitting()
{
    if (m_quitAlert) {
        m_quitAlert->raise();
        return;
    }
    auto *alert = new QMessageBox(QMessageBox::Warning, QString(),
                                  u"Are you sure you want to quit %1?"_s.arg(QCoreApplication::applicationName()),
                                  QMessageBox::NoButton, window());
    alert->setAttribute(Qt::WA_DeleteOnClose);
    alert->setWindowModality(Qt::ApplicationModal);
    QPushButton *quit = alert->addButton(u"Quit"_s, QMessageBox::AcceptRole);
    alert->setDefaultButton(quit);
    alert->setEscapeButton(alert->addButton(u"Cancel"_s, QMessageBox::RejectRole));
    alert->setCheckBox(new QCheckBox(u"Do not ask again"_s, alert));
    connect(alert, &QMessageBox::finished, this, [this, alert, quit] {
        if (alert->clickedButton() != quit)
            return;
        if (alert->checkBox()->isChecked()) {
            userDefaults().setObject(true, suppressQuitAlertKey);
            userDefaults().synchronize();
        }
        confirmQuit();
    });
    m_quitAlert = alert;
    alert->show();
    logScreen(int(m_currentStep), u"alert", {{u"message"_s, alert->text()}});
}

void MainWindowController::confirmQuit()
{
    m_terminating = true;
    window()->close();
    m_terminate();
}

// MARK: Logging

void MainWindowController::logStep0()
{
    logScreen(0, u"start", {{u"label"_s, m_form->selectLabel->text()}, {u"start"_s, enabledText(m_form->startButton)}});
}

void MainWindowController::logStep2()
{
    logScreen(2, u"select", {{u"status"_s, statusTitle()}, {u"next"_s, enabledText(m_form->nextButton)}});
}

void MainWindowController::logStep1(QStringView state)
{
    ScreenFields fields = {{u"status"_s, statusTitle()}};
    if (m_statsViewController) {
        fields += {{u"scanned"_s, m_statsViewController->freeSpaceLabel()->text()},
                   {u"duplicates"_s, m_statsViewController->usedSpaceLabel()->text()},
                   {u"size"_s, m_statsViewController->totalSpaceLabel()->text()}};
    }
    fields += {{u"back"_s, m_form->backButton->isVisibleTo(window()) ? u"shown"_s : u"hidden"_s},
               {u"next"_s, enabledText(m_form->nextButton)}};
    logScreen(1, state, fields);
}

QString MainWindowController::statusTitle() const
{
    QAccessibleInterface *panel = QAccessible::queryAccessibleInterface(m_lcdStatusViewController->view());
    return panel ? panel->text(QAccessible::Name) : QString();
}

// MARK: Layers

Preferences &MainWindowController::preferences() const
{
    return orShared(m_preferences, &Preferences::sharedPreferences);
}

UserDefaults &MainWindowController::userDefaults() const
{
    return orShared(m_userDefaults, &UserDefaults::standardUserDefaults);
}

RNSInsomniacHelper &MainWindowController::insomniacHelper() const
{
    return orShared(m_insomniacHelper, &RNSInsomniacHelper::sharedHelper);
}

UserNotifications &MainWindowController::userNotifications() const
{
    return orShared(m_userNotifications, &UserNotifications::shared);
}
