#include "windows/MainMenu.h"

#include "ui_MainWindowController.h"
#include "ui_PreferencesWindowController.h"

#include "foundation/ApplicationConstants.h"
#include "platform/gui/AlertSheet.h"
#include "scanning/RQDuplicateFiles.h"
#include "windows/DuplicateGroupsModel.h"
#include "windows/DuplicatesViewController.h"
#include "windows/FinalizeWindowController.h"
#include "windows/RQAboutViewController.h"

#include "AppDelegateFixture.h"
#include "support/EventLoop.h"
#include "support/ScreenCapture.h"

#include <QAbstractAnimation>
#include <QAction>
#include <QApplication>
#include <QMenu>
#include <QMenuBar>
#include <QMessageBox>
#include <QSet>
#include <QSignalSpy>
#include <QTest>
#include <QTimer>

#include <functional>

using namespace Qt::StringLiterals;

namespace {

// The exit code of the event loop when the command did not end it.
constexpr int loopKeptRunning = 2;

// A launched application whose menu is tried item by item.
class MainMenuTest : public AppDelegateFixture
{
protected:
    void SetUp() override
    {
        AppDelegateFixture::SetUp();
        // The test's files are small.
        m_preferences.setMinFileSize(0);
        delegate().applicationDidFinishLaunching();
        ASSERT_TRUE(QTest::qWaitForWindowExposed(mainWindow()));
        activate(mainWindow());
    }

    static void activate(QWidget *window)
    {
        window->activateWindow();
        QApplication::setActiveWindow(window);
        EXPECT_TRUE(QTest::qWaitForWindowActive(window));
    }

    MainWindowController &mainWindowController() const { return *delegate().mainWindowController(); }
    QMenuBar *menuBar() const { return mainWindow()->menuBar(); }
    QAction *action(const QString &name) const { return menuBar()->findChild<QAction *>(name); }
    QMenu *menuOf(const QString &name) const
    {
        for (QAction *menuAction : menuBar()->actions()) {
            if (menuAction->menu() && menuAction->menu()->actions().contains(action(name)))
                return menuAction->menu();
        }
        return nullptr;
    }

    // Scans the test's folder, which holds a pair of equal files, and waits for the scan's end.
    void scanToTheEnd() const
    {
        m_folder.writeFile(u"one.txt"_s, "the same text"_ba);
        m_folder.writeFile(u"two.txt"_s, "the same text"_ba);
        mainWindowController().startScanningWithPaths({m_folder.path()});
        ASSERT_TRUE(mainWindowController().isScanning());
        ASSERT_TRUE(processEventsUntil([this] { return !mainWindowController().isScanning(); }));
    }

    // Runs the application's event loop around the act, as the running program does; answers
    // the loop's exit code: 0 when the act ended the application, loopKeptRunning otherwise.
    static int runLoopAround(const std::function<void()> &act)
    {
        QTimer start;
        start.setSingleShot(true);
        QObject::connect(&start, &QTimer::timeout, &start, [&] {
            act();
            QTimer::singleShot(0, &start, [] { QCoreApplication::exit(loopKeptRunning); });
        });
        start.start(0);
        return QApplication::exec();
    }

    // Opens the item's menu from the menu bar and clicks the item, as a person does.
    void clickMenuItem(const QString &name) const
    {
        QMenu *menu = menuOf(name);
        ASSERT_NE(menu, nullptr);
        QTest::mouseClick(menuBar(), Qt::LeftButton, {}, menuBar()->actionGeometry(menu->menuAction()).center());
        ASSERT_TRUE(QTest::qWaitForWindowExposed(menu));
        QTest::mouseClick(menu, Qt::LeftButton, {}, menu->actionGeometry(action(name)).center());
    }
};

QString withoutMnemonic(QString text)
{
    return text.remove(u'&');
}

// Pixels dark enough to be text, in an area given in points.
int darkPixels(const QImage &image, const QRect &area)
{
    const QRect pixels = QRect(area.topLeft() * image.devicePixelRatio(), area.size() * image.devicePixelRatio())
                             .intersected(image.rect());
    int count = 0;
    for (int y = pixels.top(); y <= pixels.bottom(); ++y) {
        for (int x = pixels.left(); x <= pixels.right(); ++x)
            count += QColor(image.pixel(x, y)).lightness() < 110 ? 1 : 0;
    }
    return count;
}

} // namespace

// What each item shows, its key, and that it reaches its command: through the menu and, where
// it has one, through its key in the main window.
TEST_F(MainMenuTest, EachItemReachesItsCommandFromTheMenuAndItsKey)
{
    struct Item
    {
        QString name;
        QString text;
        QKeySequence key;
        // Puts the application where the command shows.
        std::function<void()> prepare;
        // Whether the command ran.
        std::function<bool()> reached;
    };
    const auto preferencesShown = [this] {
        return delegate().preferencesWindowController() && preferencesWindow()->isVisible();
    };
    const auto opened = [this](const QUrl &address) { return m_opened == QList<QUrl>{address}; };
    std::shared_ptr<RQDuplicateFinder> lastFinder;
    const Item items[] = {
        // Folders chosen are forgotten.
        {u"newScan"_s, u"New Scan"_s, QKeySequence(u"Ctrl+N"_s),
         [this] {
             mainWindowController().addScanPaths({m_folder.path()});
             ASSERT_TRUE(mainWindowController().form()->startButton->isEnabled());
         },
         [this] {
             return mainWindowController().currentStep() == 0
                    && !mainWindowController().form()->startButton->isEnabled();
         }},
        // The last scan's folders are scanned again, by a new finder.
        {u"rescan"_s, u"Rescan"_s, QKeySequence(u"Ctrl+R"_s),
         [this, &lastFinder] {
             scanToTheEnd();
             lastFinder = mainWindowController().duplicateFinder();
         },
         [this, &lastFinder] {
             return mainWindowController().duplicateFinder() && mainWindowController().duplicateFinder() != lastFinder
                    && mainWindowController().lastScanPaths() == QStringList{m_folder.path()};
         }},
        {u"openPreferences"_s, u"Preferences…"_s, QKeySequence(u"Ctrl+,"_s), {}, preferencesShown},
        {u"closeWindow"_s, u"Close Window"_s, QKeySequence(u"Ctrl+W"_s),
         [this] {
             delegate().openPreferences();
             activate(mainWindow());
         },
         [&] { return !preferencesShown() && mainWindow()->isVisible(); }},
        // Quit is reached when the loop ends, which runLoopAround reports.
        {u"quit"_s, u"Quit Marrowick"_s, QKeySequence(u"Ctrl+Q"_s), {}, [] { return true; }},
        {u"help"_s, u"Marrowick Help"_s, QKeySequence(u"F1"_s), {},
         [&] { return opened(ApplicationConstants::supportAddress()); }},
        {u"rateApp"_s, u"Rate Marrowick"_s, {}, {},
         [&] { return core().calls() == QStringList{u"rateApp"_s} && opened(ApplicationConstants::ratingAddress()); }},
        {u"followROVAQUIN"_s, u"Follow Rovaquin"_s, {}, {},
         [&] { return opened(ApplicationConstants::socialAddress()); }},
        {u"joinMailingList"_s, u"Join Mailing List"_s, {}, {},
         [&] {
             return core().calls() == QStringList{u"showWindow"_s}
                    && opened(ApplicationConstants::mailingListAddress());
         }},
        {u"openAbout"_s, u"About Marrowick"_s, {}, {},
         [&] {
             PreferencesWindowController *preferences = delegate().preferencesWindowController();
             // From the menu the window takes the pane's size at once; only the toolbar animates.
             const auto *resize = preferencesWindow()->findChild<QAbstractAnimation *>(
                 u"rq_contentSizeAnimation"_s, Qt::FindDirectChildrenOnly);
             return preferencesShown() && preferences->ui().aboutAction->isChecked()
                    && preferences->currentView() == preferences->aboutViewController()->view()
                    && (!resize || resize->state() == QAbstractAnimation::Stopped);
         }},
    };
    enum class Way { Menu, Key };
    for (const Item &item : items) {
        for (const Way way : {Way::Menu, Way::Key}) {
            if (way == Way::Key && item.key.isEmpty())
                continue;
            SCOPED_TRACE(item.name.toStdString() + (way == Way::Menu ? " from the menu" : " by its key"));
            TearDown();
            SetUp();
            QAction *menuItem = action(item.name);
            ASSERT_NE(menuItem, nullptr);
            EXPECT_EQ(withoutMnemonic(menuItem->text()), item.text);
            EXPECT_EQ(menuItem->shortcut(), item.key);
            EXPECT_EQ(menuItem->shortcutContext(), Qt::ApplicationShortcut);
            if (item.prepare)
                item.prepare();
            core().reset();
            core().setUrlOpener([this](const QUrl &url) { m_opened.append(url); });
            m_opened.clear();
            QSignalSpy triggered(menuItem, &QAction::triggered);

            const int exitCode = runLoopAround([&] {
                if (way == Way::Menu)
                    clickMenuItem(item.name);
                else
                    QTest::keySequence(mainWindow(), item.key);
            });
            EXPECT_EQ(triggered.count(), 1);
            EXPECT_EQ(exitCode == 0, item.name == u"quit"_s);
            EXPECT_TRUE(item.reached());
        }
    }
}

// Every menu and every item has a mnemonic, and none is used twice in one menu.
TEST_F(MainMenuTest, EveryMenuAndItemHasItsOwnMnemonic)
{
    const auto mnemonic = [](const QString &text) {
        const qsizetype at = text.indexOf(u'&');
        return at >= 0 && at + 1 < text.size() ? text.at(at + 1).toLower() : QChar();
    };
    QSet<QChar> menus;
    for (QAction *menuAction : menuBar()->actions()) {
        SCOPED_TRACE(menuAction->text().toStdString());
        ASSERT_NE(menuAction->menu(), nullptr);
        EXPECT_FALSE(mnemonic(menuAction->text()).isNull());
        EXPECT_FALSE(menus.contains(mnemonic(menuAction->text())));
        menus.insert(mnemonic(menuAction->text()));
        QSet<QChar> items;
        for (QAction *item : menuAction->menu()->actions()) {
            if (item->isSeparator())
                continue;
            SCOPED_TRACE(item->text().toStdString());
            EXPECT_FALSE(mnemonic(item->text()).isNull());
            EXPECT_FALSE(items.contains(mnemonic(item->text())));
            items.insert(mnemonic(item->text()));
        }
    }
    EXPECT_EQ(menus.size(), 2);
}

// Quit, Close Window and Preferences answer in the Preferences window too.
TEST_F(MainMenuTest, TheWindowKeysWorkFromThePreferencesWindow)
{
    for (const QString &name : {u"openPreferences"_s, u"closeWindow"_s, u"quit"_s}) {
        SCOPED_TRACE(name.toStdString());
        TearDown();
        SetUp();
        delegate().openPreferences();
        activate(preferencesWindow());
        QSignalSpy triggered(action(name), &QAction::triggered);

        const int exitCode = runLoopAround([&] { QTest::keySequence(preferencesWindow(), action(name)->shortcut()); });
        EXPECT_EQ(triggered.count(), 1);
        EXPECT_EQ(exitCode == 0, name == u"quit"_s);
        EXPECT_EQ(preferencesWindow()->isVisible(), name != u"closeWindow"_s);
    }
}

// While an alert is open on the main window, no key reaches the menu, from either window.
TEST_F(MainMenuTest, NoKeyWorksWhileAnAlertIsOpenOnTheMainWindow)
{
    delegate().openPreferences();
    activate(mainWindow());
    // The sheet keeps the alert until it is answered.
    auto *alert = new QMessageBox(QMessageBox::Warning, u"Marrowick"_s, u"An alert"_s);
    rq_beginSheetModalForWindow(alert, mainWindow(), {});
    ASSERT_TRUE(processEventsUntil([&] { return alert->isVisible(); }));
    QList<QAction *> items;
    for (QAction *item : menuBar()->findChildren<QAction *>()) {
        if (!item->shortcut().isEmpty())
            items.append(item);
    }
    ASSERT_EQ(items.size(), 6);
    for (QWidget *window : {static_cast<QWidget *>(alert), preferencesWindow()}) {
        activate(window);
        for (QAction *item : items) {
            SCOPED_TRACE(item->objectName().toStdString());
            QSignalSpy triggered(item, &QAction::triggered);
            m_opened.clear();
            EXPECT_EQ(runLoopAround([&] { QTest::keySequence(window, item->shortcut()); }), loopKeptRunning);
            EXPECT_EQ(triggered.count(), 0);
            EXPECT_TRUE(m_opened.isEmpty());
        }
    }
    EXPECT_TRUE(preferencesWindow()->isVisible());
    alert->reject();
}

// Quit during a scan ends the application at once, without the main window's question, and
// the scan is cancelled as the main window goes.
TEST_F(MainMenuTest, QuitDuringAScanEndsTheApplicationAndCancelsTheScan)
{
    for (int index = 0; index < 50; ++index)
        m_folder.writeFile(u"files/%1.txt"_s.arg(index), QByteArray(4096, char('a' + index % 3)));
    std::shared_ptr<RQDuplicateFinder> finder;
    const int exitCode = runLoopAround([&] {
        mainWindowController().startScanningWithPaths({m_folder.path()});
        finder = mainWindowController().duplicateFinder();
        // The scan's end reaches the main thread only after this turn.
        ASSERT_TRUE(mainWindowController().isScanning());
        QTest::keySequence(mainWindow(), QKeySequence(u"Ctrl+Q"_s));
    });
    EXPECT_EQ(exitCode, 0);
    ASSERT_NE(finder, nullptr);
    EXPECT_TRUE(mainWindowController().isScanning());
    const auto windows = QApplication::topLevelWidgets();
    EXPECT_TRUE(std::none_of(windows.cbegin(), windows.cend(), [](QWidget *window) {
        return window->isVisible() && qobject_cast<QMessageBox *>(window);
    }));
    EXPECT_TRUE(mainWindow()->findChildren<QMessageBox *>().isEmpty());

    m_delegate.reset();
    EXPECT_TRUE(finder->isCancelled());
}

// The main window with the Help menu open, kept as a picture; every item's text is drawn.
TEST_F(MainMenuTest, TheHelpMenuOpenOverTheMainWindow)
{
    QMenu *help = menuOf(u"help"_s);
    ASSERT_NE(help, nullptr);
    QTest::mouseClick(menuBar(), Qt::LeftButton, {}, menuBar()->actionGeometry(help->menuAction()).center());
    ASSERT_TRUE(QTest::qWaitForWindowExposed(help));

    const auto [single, twice] = ScreenCapture::save(*mainWindow(), u"main-window-help-menu"_s, {help});
    const QPoint menuOffset = help->mapToGlobal(QPoint(0, 0)) - mainWindow()->mapToGlobal(QPoint(0, 0));
    for (const QImage &image : {single, twice}) {
        SCOPED_TRACE(image.devicePixelRatio());
        const QRect title = menuBar()->actionGeometry(help->menuAction()).translated(menuBar()->mapTo(mainWindow(), QPoint(0, 0)));
        EXPECT_GT(darkPixels(image, title), 10);
        for (QAction *item : help->actions()) {
            if (item->isSeparator())
                continue;
            SCOPED_TRACE(item->text().toStdString());
            EXPECT_GT(darkPixels(image, help->actionGeometry(item).translated(menuOffset)), 20);
        }
    }
    help->close();
}

// While files are being removed, Quit is refused: the remover would be cut off between two
// files. Once the removal has ended, Quit ends the application again.
TEST_F(MainMenuTest, QuitIsRefusedWhileFilesAreRemoved)
{
    m_preferences.setUseTrash(false);
    scanToTheEnd();
    mainWindowController().goNext();
    DuplicatesViewController &browser = *mainWindowController().duplicatesViewController();
    for (const auto &group : browser.groupsModel()->groups())
        group->duplicates().front()->setSelected(true);
    browser.actuallyUpdateBottomToolbar();
    mainWindowController().goNext();
    FinalizeWindowController *sheet = mainWindowController().finalizeWindowController();
    ASSERT_NE(sheet, nullptr);
    ASSERT_TRUE(processEventsUntil([&] { return sheet->window()->isVisible(); }));

    const int exitCode = runLoopAround([&] {
        sheet->didClickFinishedButton();
        // The removal's end reaches the main thread only after this turn.
        ASSERT_TRUE(mainWindowController().isRemoving());
        delegate().quit();
    });
    EXPECT_EQ(exitCode, loopKeptRunning);

    ASSERT_TRUE(processEventsUntil([this] { return !mainWindowController().isRemoving(); }));
    EXPECT_EQ(runLoopAround([this] { delegate().quit(); }), 0);
}
