#pragma once

#include "korrim/RQCore.h"
#include "platform/NotificationCenter.h"
#include "platform/UserDefaults.h"
#include "platform/gui/TouchBar.h"
#include "services/Preferences.h"
#include "windows/AppDelegate.h"
#include "windows/MainWindowController.h"
#include "windows/PreferencesWindowController.h"

#include "ApplicationIdentity.h"
#include "MainWindowFixture.h"
#include "support/TemporaryFolder.h"

#include <gtest/gtest.h>

#include <QMainWindow>
#include <QUrl>

#include <memory>

// Linux has no touch bar; tests switch it on for as long as this lives.
struct TouchBarSwitchedOn
{
    TouchBarSwitchedOn() { TouchBar::setAvailable(true); }
    ~TouchBarSwitchedOn() { TouchBar::setAvailable(false); }
    Q_DISABLE_COPY_MOVE(TouchBarSwitchedOn)
};

// The application's delegate over settings in a temporary folder, with the maker's framework
// stand-in recording its calls and the web pages recorded instead of opened. The main window
// reaches the power service, the notifications and the running applications through the
// main window tests' stand-ins, since they need buses that the tests do not have.
class AppDelegateFixture : public ::testing::Test
{
protected:
    void SetUp() override
    {
        core().reset();
        core().setUrlOpener([this](const QUrl &url) { m_opened.append(url); });
        m_delegate = std::make_unique<AppDelegate>(&m_preferences);
        m_delegate->setUrlOpener([this](const QUrl &url) { m_opened.append(url); });
        m_delegate->setMainWindowSetUp([this](MainWindowController &controller) {
            controller.setUserDefaults(m_defaults);
            controller.setInsomniacHelper(m_insomniac);
            controller.setRunningApplications(m_applications);
            controller.setUserNotifications(m_notifications);
        });
    }

    void TearDown() override
    {
        m_delegate.reset();
        core().reset();
        m_opened.clear();
    }

    static RQCore &core() { return RQCore::sharedInstance(); }
    AppDelegate &delegate() const { return *m_delegate; }
    QMainWindow *mainWindow() const { return delegate().mainWindowController()->mainWindow(); }
    // Once the delegate made it.
    QWidget *preferencesWindow() const { return delegate().preferencesWindowController()->window(); }
    static void postWelcome(const QString &name) { NotificationCenter::defaultCenter().post(name); }

    ApplicationIdentity m_identity;
    TemporaryFolder m_folder;
    UserDefaults m_defaults{m_folder.filePath(QStringLiteral("settings.ini"))};
    Preferences m_preferences{m_defaults, QStringLiteral(":/plists/DefaultIgnoredExtensions.plist"),
                              QStringLiteral(":/plists/IgnoreList.plist")};
    RNSInsomniacHelper m_insomniac{std::make_unique<mainwindow::FakeInhibitor>()};
    mainwindow::FakeRunningApplications m_applications;
    mainwindow::FakeNotifications m_notifications;
    std::unique_ptr<AppDelegate> m_delegate;
    QList<QUrl> m_opened;
};
