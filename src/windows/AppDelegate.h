#pragma once

#include "platform/gui/UrlOpener.h"

#include <QObject>

#include <functional>
#include <memory>

class MainWindowController;
class Preferences;
class PreferencesWindowController;
class TouchBar;

// The application's delegate: runs the launch sequence, keeps the main window controller for
// the life of the process and the Preferences window controller once it is made, follows the
// maker's welcome window and carries out the menu's commands. Main thread only.
//
// Launch sequence, in this order: the touch bar (where there is one) goes to the shared touch
// bar controller; the welcome observers are added; the maker's framework is told of the launch
// with its configuration; the main window controller is made and the menu put in its window;
// the main window is shown when the framework allows it. Observing before the framework hears
// of the launch means a welcome window it opens then is already followed.
class AppDelegate final : public QObject
{
    Q_OBJECT
    Q_DISABLE_COPY_MOVE(AppDelegate)

public:
    // The settings the windows show and use, which must outlive the delegate; null means the
    // shared settings, first reached when a window needs them.
    explicit AppDelegate(Preferences *preferences = nullptr, QObject *parent = nullptr);
    ~AppDelegate() override;

    // Runs the launch sequence on the event loop's next turn, never inside the call.
    void finishLaunchingOnFirstTurn();
    void applicationDidFinishLaunching();

    // The application's one touch bar, made on the first call; null where the system has none.
    TouchBar *touchBar();

    // Made by the launch sequence; null before.
    MainWindowController *mainWindowController() const { return m_mainWindowController.get(); }
    // Made by the first Preferences or About command; null before.
    PreferencesWindowController *preferencesWindowController() const
    {
        return m_preferencesWindowController.get();
    }

    // The menu's commands.
    void openPreferences();
    void openAbout();
    void newScan();
    void rescan();
    // Ends the application at once, without a question; a running scan is cancelled as the
    // main window goes. Refused with a beep while files are being removed.
    void quit();
    void help();
    void rateApp();
    void followROVAQUIN();
    void joinMailingList();
    // Closes the Preferences window when it shows; never the main window.
    void closeWindow();

    // How the Help pages are opened; the desktop's browser unless a test says otherwise.
    void setUrlOpener(UrlOpener opener) { m_openUrl = std::move(opener); }
    // Runs on the main window controller as soon as it is made, before its window is built,
    // so that tests can hand it the services it reaches.
    using MainWindowSetUp = std::function<void(MainWindowController &controller)>;
    void setMainWindowSetUp(MainWindowSetUp setUp) { m_mainWindowSetUp = std::move(setUp); }

private:
    void addRQCNotificationObservers();
    void configureMakersFramework();
    MainWindowController &madeMainWindowController();
    void welcomeWindowDidOpen();
    void welcomeWindowDidClose();

    Preferences *m_preferences = nullptr;
    // Destroyed from the last: the Preferences window, then the main window, whose teardown
    // cancels a running scan, then the touch bar the shared controller only points to.
    std::unique_ptr<TouchBar> m_touchBar;
    std::unique_ptr<MainWindowController> m_mainWindowController;
    std::unique_ptr<PreferencesWindowController> m_preferencesWindowController;
    UrlOpener m_openUrl;
    MainWindowSetUp m_mainWindowSetUp;
};
