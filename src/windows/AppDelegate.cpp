#include "windows/AppDelegate.h"

#include "foundation/ApplicationConstants.h"
#include "korrim/RQCConfig.h"
#include "korrim/RQCWelcomeNotifications.h"
#include "korrim/RQCore.h"
#include "platform/NotificationCenter.h"
#include "platform/gui/TouchBar.h"
#include "services/Preferences.h"
#include "windows/MainMenu.h"
#include "windows/MainWindowController.h"
#include "windows/PreferencesWindowController.h"
#include "windows/RQTouchBarController.h"

#include <QApplication>
#include <QMainWindow>
#include <QMenuBar>

AppDelegate::AppDelegate(Preferences *preferences, QObject *parent)
    : QObject(parent)
    , m_preferences(preferences)
    , m_openUrl(desktopUrlOpener())
{
}

AppDelegate::~AppDelegate() = default;

void AppDelegate::finishLaunchingOnFirstTurn()
{
    QMetaObject::invokeMethod(this, &AppDelegate::applicationDidFinishLaunching,
                              Qt::QueuedConnection);
}

void AppDelegate::applicationDidFinishLaunching()
{
    if (TouchBar *bar = touchBar())
        RQTouchBarController::sharedController().setTouchBar(bar);
    addRQCNotificationObservers();
    configureMakersFramework();
    MainWindowController &mainWindow = madeMainWindowController();
    if (RQCore::sharedInstance().canShowMainWindow())
        mainWindow.showWindow();
}

TouchBar *AppDelegate::touchBar()
{
    if (!TouchBar::isAvailable())
        return nullptr;
    if (!m_touchBar)
        m_touchBar = std::make_unique<TouchBar>();
    return m_touchBar.get();
}

void AppDelegate::addRQCNotificationObservers()
{
    NotificationCenter &center = NotificationCenter::defaultCenter();
    center.addObserver(RQCWelcomeNotifications::windowDidOpen(), nullptr, this,
                       [this](const Notification &) { welcomeWindowDidOpen(); });
    center.addObserver(RQCWelcomeNotifications::windowDidClose(), nullptr, this,
                       [this](const Notification &) { welcomeWindowDidClose(); });
}

void AppDelegate::configureMakersFramework()
{
    RQCConfig config;
    config.setAppStoreID(QString::number(ApplicationConstants::storeIdentifier));
    config.setShowsRunAtLoginButton(false);
    RQCore::sharedInstance().applicationDidLaunchWithConfig(config);
}

// A welcome window that the framework opens while it hears of the launch comes before the
// launch sequence makes the main window; the window is made then, so that it is hidden too.
MainWindowController &AppDelegate::madeMainWindowController()
{
    if (!m_mainWindowController) {
        m_mainWindowController = std::make_unique<MainWindowController>();
        if (m_preferences)
            m_mainWindowController->setPreferences(*m_preferences);
        if (m_mainWindowSetUp)
            m_mainWindowSetUp(*m_mainWindowController);
        // The menu lives in the main window's menu bar, so the window is built at once.
        MainMenu::addTo(*m_mainWindowController->mainWindow()->menuBar(), *this);
    }
    return *m_mainWindowController;
}

void AppDelegate::welcomeWindowDidOpen()
{
    madeMainWindowController().orderOut();
}

void AppDelegate::welcomeWindowDidClose()
{
    MainWindowController &mainWindow = madeMainWindowController();
    mainWindow.showWindow();
    mainWindow.mainWindow()->activateWindow();
}

void AppDelegate::openPreferences()
{
    if (!m_preferencesWindowController) {
        Preferences &preferences = m_preferences ? *m_preferences : Preferences::sharedPreferences();
        m_preferencesWindowController = std::make_unique<PreferencesWindowController>(preferences);
    }
    m_preferencesWindowController->showWindow();
}

void AppDelegate::openAbout()
{
    openPreferences();
    m_preferencesWindowController->openAbout();
}

void AppDelegate::newScan()
{
    if (m_mainWindowController)
        m_mainWindowController->startAgain();
}

void AppDelegate::rescan()
{
    if (m_mainWindowController)
        m_mainWindowController->rescan();
}

void AppDelegate::quit()
{
    if (m_mainWindowController && m_mainWindowController->isRemoving()) {
        QApplication::beep();
        return;
    }
    // exit, not quit: quit would first ask every window to close, and the main window asks
    // its quit question on close.
    QCoreApplication::exit(0);
}

void AppDelegate::help()
{
    m_openUrl(ApplicationConstants::supportAddress());
}

void AppDelegate::rateApp()
{
    RQCore::sharedInstance().rateApp();
}

void AppDelegate::followROVAQUIN()
{
    m_openUrl(ApplicationConstants::socialAddress());
}

void AppDelegate::joinMailingList()
{
    RQCore::sharedInstance().showWindow();
}

void AppDelegate::closeWindow()
{
    if (!m_preferencesWindowController)
        return;
    QWidget *window = m_preferencesWindowController->window();
    if (window->isVisible())
        window->close();
}
