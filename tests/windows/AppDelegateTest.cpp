#include "windows/AppDelegate.h"

#include "ui_PreferencesWindowController.h"

#include "korrim/RQCWelcomeNotifications.h"
#include "windows/RQAboutViewController.h"
#include "windows/RQTouchBarController.h"

#include "AppDelegateFixture.h"

#include <QApplication>
#include <QTest>

using namespace Qt::StringLiterals;

using AppDelegateTest = AppDelegateFixture;

TEST_F(AppDelegateTest, TheMainWindowShowsOnTheLoopsFirstTurnWithTheFrameworkConfigured)
{
    delegate().finishLaunchingOnFirstTurn();
    EXPECT_EQ(delegate().mainWindowController(), nullptr);
    EXPECT_TRUE(core().calls().isEmpty());

    QCoreApplication::processEvents();
    ASSERT_NE(delegate().mainWindowController(), nullptr);
    EXPECT_TRUE(mainWindow()->isVisible());
    EXPECT_EQ(core().calls(), (QStringList{u"applicationDidLaunchWithConfig"_s, u"canShowMainWindow"_s}));
    ASSERT_TRUE(core().launchConfig().has_value());
    EXPECT_EQ(core().launchConfig()->appStoreID(), u"1480000018"_s);
    EXPECT_FALSE(core().launchConfig()->showsRunAtLoginButton());
    // Only the main window: no question, no Preferences window.
    const auto windows = QApplication::topLevelWidgets();
    EXPECT_EQ(std::count_if(windows.cbegin(), windows.cend(), [](QWidget *w) { return w->isVisible(); }), 1);
}

TEST_F(AppDelegateTest, AWelcomeWindowKeepsTheMainWindowHiddenUntilItCloses)
{
    struct Case
    {
        const char *name;
        // Posted while the framework hears of the launch, where it opens its welcome window.
        QStringList postedDuringLaunch;
        // Posted after the launch.
        QStringList postedAfterLaunch;
        bool shown;
    };
    const QString opened = RQCWelcomeNotifications::windowDidOpen();
    const QString closed = RQCWelcomeNotifications::windowDidClose();
    const Case cases[] = {
        {"no welcome window yet", {}, {}, false},
        {"opened after the launch, before the first show", {}, {opened}, false},
        {"opened and closed after the launch", {}, {opened, closed}, true},
        {"opened during the launch", {opened}, {}, false},
        {"opened during the launch, closed after it", {opened}, {closed}, true},
        {"opened and closed during the launch", {opened, closed}, {}, true},
    };
    for (const Case &entry : cases) {
        SCOPED_TRACE(entry.name);
        TearDown();
        SetUp();
        core().setCanShowMainWindow(false);
        core().setLaunchHandler([&](const RQCConfig &) {
            for (const QString &name : entry.postedDuringLaunch)
                postWelcome(name);
        });
        delegate().applicationDidFinishLaunching();
        for (const QString &name : entry.postedAfterLaunch)
            postWelcome(name);

        ASSERT_NE(delegate().mainWindowController(), nullptr);
        EXPECT_TRUE(delegate().mainWindowController()->isWindowLoaded());
        EXPECT_EQ(mainWindow()->isVisible(), entry.shown);
        if (entry.shown) {
            EXPECT_TRUE(QTest::qWaitForWindowActive(mainWindow()));
            EXPECT_EQ(QApplication::activeWindow(), mainWindow());
        }
    }
}

TEST_F(AppDelegateTest, AboutBeforePreferencesMakesOneWindowShowingAbout)
{
    delegate().applicationDidFinishLaunching();
    delegate().openAbout();
    PreferencesWindowController *controller = delegate().preferencesWindowController();
    ASSERT_NE(controller, nullptr);
    EXPECT_TRUE(preferencesWindow()->isVisible());
    EXPECT_TRUE(controller->ui().aboutAction->isChecked());
    ASSERT_NE(controller->aboutViewController(), nullptr);
    EXPECT_EQ(controller->currentView(), controller->aboutViewController()->view());

    preferencesWindow()->close();
    delegate().openPreferences();
    EXPECT_EQ(delegate().preferencesWindowController(), controller);
    EXPECT_TRUE(preferencesWindow()->isVisible());
}

TEST_F(AppDelegateTest, CloseWindowClosesOnlyAShownPreferencesWindow)
{
    delegate().applicationDidFinishLaunching();
    delegate().closeWindow();
    EXPECT_EQ(delegate().preferencesWindowController(), nullptr);
    EXPECT_TRUE(mainWindow()->isVisible());

    delegate().openPreferences();
    delegate().closeWindow();
    EXPECT_FALSE(preferencesWindow()->isVisible());
    EXPECT_TRUE(mainWindow()->isVisible());

    // Hidden already: nothing more happens.
    delegate().closeWindow();
    EXPECT_FALSE(preferencesWindow()->isVisible());
    EXPECT_TRUE(mainWindow()->isVisible());
}

TEST_F(AppDelegateTest, TheTouchBarIsMadeOnceWhereThereIsOne)
{
    EXPECT_EQ(delegate().touchBar(), nullptr);
    delegate().applicationDidFinishLaunching();
    EXPECT_EQ(RQTouchBarController::sharedController().touchBar(), nullptr);

    const TouchBarSwitchedOn touchBarOn;
    TearDown();
    SetUp();
    delegate().applicationDidFinishLaunching();
    TouchBar *bar = delegate().touchBar();
    ASSERT_NE(bar, nullptr);
    EXPECT_EQ(delegate().touchBar(), bar);
    EXPECT_EQ(RQTouchBarController::sharedController().touchBar(), bar);
    EXPECT_EQ(bar->defaultItemIdentifiers().value(0), RQTouchBarController::itemIdentifier);

    // The shared controller forgets the bar with the delegate that owns it.
    TearDown();
    EXPECT_EQ(RQTouchBarController::sharedController().touchBar(), nullptr);
    SetUp();
}
