#pragma once

class AppDelegate;
class QMenuBar;

// The application's menus, File and Help, in the main window's menu bar. Their keys work from
// every window of the application (the Preferences window too), except while a window-modal
// sheet blocks the main window. Each action is named after the delegate's command it runs.
class MainMenu final
{
public:
    // Adds the menus to the bar; they run the delegate's commands, which must outlive the bar.
    static void addTo(QMenuBar &menuBar, AppDelegate &delegate);

    MainMenu() = delete;
};
