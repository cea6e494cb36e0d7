#include "windows/FinalizeWindowController.h"

#include "controls/ResultRoles.h"
#include "controls/ResultsNotifications.h"
#include "controls/WindowContentSize.h"
#include "platform/NotificationCenter.h"
#include "photolibraries/RQPhotosLibrary.h"
#include "removal/RemovalError.h"
#include "platform/ScriptingBridge.h"
#include "services/Preferences.h"
#include "platform/gui/FileRevealer.h"
#include "platform/gui/PreviewPanel.h"
#include "platform/gui/PreviewView.h"
#include "support/EventLoop.h"
#include "support/FakeFileManager.h"
#include "support/FakeScriptingBridge.h"
#include "support/PrivateBus.h"
#include "support/RemovalFixture.h"
#include "support/TabChain.h"
#include "windows/DuplicateDetailsModel.h"
#include "windows/RemovalListModel.h"
#include "windows/SheetDialog.h"

#include <QAbstractItemModelTester>
#include <QAccessible>
#include <QApplication>
#include <QDBusConnection>
#include <QDesktopServices>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QGraphicsOpacityEffect>
#include <QLabel>
#include <QListView>
#include <QMenu>
#include <QMessageBox>
#include <QProgressBar>
#include <QPushButton>
#include <QStackedWidget>
#include <QTest>
#include <QTimer>

using namespace Qt::StringLiterals;

namespace {

const QString permissionsMessage = u"Could not remove this file because of a permissions issue. Delete using "
                                   u"the file manager by right clicking and selecting 'Show in File Manager'."_s;

struct Completion
{
    int calls = 0;
    double totalFreed = -1;
    qint64 totalDuplicates = -1;
    bool hasPhotosFiles = false;
};

// Catches the folders the sheet opens.
class FolderCatcher final : public QObject
{
    Q_OBJECT

public:
    FolderCatcher() { QDesktopServices::setUrlHandler(u"file"_s, this, "open"); }
    ~FolderCatcher() override { QDesktopServices::unsetUrlHandler(u"file"_s); }
    Q_DISABLE_COPY_MOVE(FolderCatcher)

    Q_INVOKABLE void open(const QUrl &url) { urls.append(url); }

    QList<QUrl> urls;
};

// Records the text a label shows each time it is painted.
class PaintedTexts final : public QObject
{
public:
    explicit PaintedTexts(QLabel *label) : m_label(label) { label->installEventFilter(this); }

    bool eventFilter(QObject *watched, QEvent *event) override
    {
        if (watched == m_label && event->type() == QEvent::Paint)
            texts.append(m_label->text());
        return false;
    }

    QStringList texts;

private:
    QLabel *m_label;
};

} // namespace

// A sheet over a parent window, opened on real files, with what its blocks heard.
class FinalizeWindowControllerTest : public RemovalFixture
{
public:
    void TearDown() override
    {
        m_sheet.reset();
        RQPhotosLibrary::sharedInstance().reset();
        RemovalFixture::TearDown();
    }

    FinalizeWindowController &open(RemovalHandOff handOff)
    {
        m_sheet = FinalizeWindowController::controllerWithSelectedFiles(handOff);
        m_sheet->setParentWindow(&m_parent);
        m_sheet->setDidCancelBlock([this] { ++m_cancels; });
        m_sheet->setDidCompleteBlock([this](double freed, qint64 removed, bool photos) {
            m_completion = {m_completion.calls + 1, freed, removed, photos};
        });
        m_parent.show();
        m_sheet->beginSheet();
        return *m_sheet;
    }

    template <typename Widget = QPushButton>
    Widget *child(const char *name) const
    {
        auto *widget = m_sheet->sheet()->findChild<Widget *>(QString::fromLatin1(name));
        EXPECT_NE(widget, nullptr) << name;
        return widget;
    }
    QString progressText() const { return child<QLabel>("progressStatusLabel")->text(); }
    QListView *list() const { return child<QListView>("tableView"); }
    // The menu a right click at that point of the list pops up, or null.
    QMenu *contextMenuAt(const QPoint &point) const
    {
        QContextMenuEvent request(QContextMenuEvent::Mouse, point, list()->viewport()->mapToGlobal(point));
        QApplication::sendEvent(list()->viewport(), &request);
        return qobject_cast<QMenu *>(QApplication::activePopupWidget());
    }
    // The sheet's window made the active one, as the user's keys reach it.
    void activate()
    {
        m_sheet->sheet()->activateWindow();
        ASSERT_TRUE(QTest::qWaitForWindowActive(m_sheet->sheet()));
    }
    // A Photos library was scanned, the first copy lies in it, unticked, and Photos runs.
    void putFirstInRunningPhotos(const KMHSFileRemover::FileList &copies, FakeScriptingBridge &bridge)
    {
        RQPhotosLibrary::sharedInstance().setCurrentLibraryPath(dataPath(u"Library.photoslibrary"_s));
        copies[0]->setInPhotosLibrary(true);
        copies[0]->setSelected(false);
        bridge.photos = std::make_shared<FakePhotos>();
        bridge.photos->running = true;
    }
    // Two copies: the first, unticked, in the running Photos, the second in a folder that refuses
    // its removal. None when no folder here can refuse one.
    KMHSFileRemover::FileList photosItemAndSealedItem(FakeScriptingBridge &bridge)
    {
        auto copies = copiesWithKeptCopies({u"a.txt"_s, u"sealed/b.txt"_s});
        if (!sealFolder(u"copies/sealed"_s))
            return {};
        putFirstInRunningPhotos(copies, bridge);
        return copies;
    }
    // Waits for the sheet's outcome: it counts exactly the files marked gone, and only they left.
    void expectOutcome(const KMHSFileRemover::FileList &files, const std::vector<bool> &gone)
    {
        ASSERT_TRUE(processEventsUntil([this] { return m_completion.calls > 0; }));
        EXPECT_EQ(m_completion.totalDuplicates, std::count(gone.begin(), gone.end(), true));
        for (std::size_t index = 0; index < files.size(); ++index)
            EXPECT_EQ(QFileInfo::exists(files[index]->path()), !gone[index]) << index;
    }
    // Copies whose kept copies were met by a scan, as the remover's guard wants them.
    KMHSFileRemover::FileList scannedCopies(const QStringList &names)
    {
        copiesWithKeptCopies(names);
        scan();
        KMHSFileRemover::FileList copies;
        for (const QString &name : names) {
            copies.push_back(scanned(u"copies/"_s + name));
            copies.back()->setSelected(true);
            copies.back()->setAliasDestinationFile(scanned(u"kept/"_s + name));
        }
        return copies;
    }
    QWidget *page() const { return child<QStackedWidget>("stack")->currentWidget(); }

    void pressEscape() { QTest::keyClick(m_sheet->sheet(), Qt::Key_Escape); }
    bool waitFor(FinalizeWindowController::State state)
    {
        return processEventsUntil([this, state] { return m_sheet->state() == state; }, 60000);
    }
    // Copies under copies/, each with its kept copy under kept/.
    KMHSFileRemover::FileList copiesWithKeptCopies(const QStringList &names)
    {
        KMHSFileRemover::FileList copies;
        for (const QString &name : names) {
            const QByteArray content = name.toUtf8().repeated(100);
            const auto kept = file(u"kept/"_s + QFileInfo(name).fileName(), content);
            copies.push_back(file(u"copies/"_s + name, content));
            copies.back()->setAliasDestinationFile(kept);
            copies.back()->setSelected(true);
        }
        return copies;
    }

    QWidget m_parent;
    std::unique_ptr<FinalizeWindowController> m_sheet;
    int m_cancels = 0;
    Completion m_completion;
};

class FinalizeWindowControllerRemovalTest : public FinalizeWindowControllerTest,
                                             public ::testing::WithParamInterface<bool>
{
};

// Three ticked, one cannot go: the list afterwards is exactly that file with its message, and
// only what went is counted and handed back.
TEST_P(FinalizeWindowControllerRemovalTest, ReportsWhatHappenedOnDisk)
{
    const bool useTrash = GetParam();
    const auto copies = copiesWithKeptCopies({u"a.txt"_s, u"b.txt"_s, u"sealed/c.txt"_s});
    if (!sealFolder(u"copies/sealed"_s))
        GTEST_SKIP() << "no folder here can refuse a removal";
    const Snapshot before = snapshot();
    // The hand-off's flags hold whatever the preferences say while the sheet is up.
    Preferences::sharedPreferences().setUseTrash(!useTrash);
    Preferences::sharedPreferences().setUseHardLinks(true);

    FinalizeWindowController &sheet = open({copies, useTrash, false});
    QStringList progress;
    QObject::connect(child<QProgressBar>("progressIndicator"), &QProgressBar::valueChanged, &m_parent,
                     [this, &progress] { progress.append(progressText()); });
    child("cleanButton")->click();
    ASSERT_TRUE(waitFor(FinalizeWindowController::State::Failures));
    Preferences::sharedPreferences().setUseTrash(false);
    Preferences::sharedPreferences().setUseHardLinks(false);

    ASSERT_FALSE(progress.isEmpty());
    EXPECT_EQ(progress.last(), u"Files Removed: 3, Files Remaining: 0"_s);
    EXPECT_EQ(child<QProgressBar>("progressIndicator")->value(), 3);
    EXPECT_EQ(progressText(), u"Finished!"_s);
    RemovalListModel *list = sheet.listModel();
    ASSERT_EQ(list->rowCount(), 1);
    EXPECT_EQ(list->fileAt(0), copies[2]);
    const QModelIndex row = list->index(0);
    EXPECT_EQ(row.data(FileRowRoles::CreationDateTextRole).toString(), permissionsMessage);
    EXPECT_TRUE(row.data(FileRowRoles::HasIssueRole).toBool());
    EXPECT_FALSE(list->flags(row).testFlag(Qt::ItemIsUserCheckable));
    EXPECT_EQ(child("cleanButton")->text(), u"Close"_s);
    EXPECT_TRUE(child("cleanButton")->isDefault());
    EXPECT_TRUE(child("backButton")->isHidden());
    EXPECT_EQ(m_completion.calls, 0);

    child("cleanButton")->click();
    ASSERT_TRUE(processEventsUntil([this] { return m_completion.calls > 0; }));
    EXPECT_EQ(m_completion.calls, 1);
    EXPECT_EQ(m_completion.totalDuplicates, 2);
    EXPECT_EQ(m_completion.totalFreed, double(bytesThatLeft(before)));
    EXPECT_EQ(bytesThatLeft(before), quint64(copies[0]->fileSize() + copies[1]->fileSize()));
    EXPECT_FALSE(sheet.sheet()->isVisible());
    expectUntouchedExcept(before, {u"copies/a.txt"_s, u"copies/b.txt"_s});
    EXPECT_FALSE(QFileInfo(copies[0]->path()).isSymLink());
    EXPECT_EQ(trashedNames().size(), useTrash ? 2 : 0);
}

INSTANTIATE_TEST_SUITE_P(TrashOnAndOff, FinalizeWindowControllerRemovalTest, ::testing::Bool(),
                         [](const auto &entry) { return entry.param ? "Trash" : "Delete"; });

// A kept copy deleted before Clean: its copy fails with the remover's own text and stays;
// with links on, the other copy's link points at its kept copy.
TEST_F(FinalizeWindowControllerTest, KeptCopyGoneFailsWithTheRemoversText)
{
    const auto copies = copiesWithKeptCopies({u"a.txt"_s, u"b.txt"_s});
    const auto folderCopy = folder(u"copies/tree"_s);
    file(u"copies/tree/x.txt"_s, "x");
    folderCopy->setSelected(true);
    scan();
    KMHSFileRemover::FileList scannedCopies;
    for (const QString &relative : {u"copies/a.txt"_s, u"copies/b.txt"_s, u"copies/tree/"_s}) {
        scannedCopies.push_back(scanned(relative));
        ASSERT_TRUE(scannedCopies.back()) << relative.toStdString();
        scannedCopies.back()->setSelected(true);
    }
    scannedCopies[0]->setAliasDestinationFile(scanned(u"kept/a.txt"_s));
    scannedCopies[1]->setAliasDestinationFile(scanned(u"kept/b.txt"_s));

    FinalizeWindowController &sheet = open({scannedCopies, false, true});
    EXPECT_EQ(sheet.listModel()->index(2).data(FileRowRoles::FileNameRole).toString(), dataPath(u"copies/tree"_s));
    ASSERT_TRUE(QFile::remove(dataPath(u"kept/a.txt"_s)));
    child("cleanButton")->click();
    ASSERT_TRUE(waitFor(FinalizeWindowController::State::Failures));

    ASSERT_EQ(sheet.listModel()->rowCount(), 1);
    EXPECT_EQ(sheet.listModel()->fileAt(0), scannedCopies[0]);
    EXPECT_EQ(sheet.listModel()->index(0).data(FileRowRoles::CreationDateTextRole).toString(),
              RemovalError::error(RemovalError::KeptCopyGone).localizedDescription());
    EXPECT_TRUE(QFileInfo(dataPath(u"copies/a.txt"_s)).isFile());
    EXPECT_FALSE(QFileInfo(dataPath(u"copies/a.txt"_s)).isSymLink());
    EXPECT_EQ(QFileInfo(dataPath(u"copies/b.txt"_s)).symLinkTarget(), dataPath(u"kept/b.txt"_s));
    EXPECT_FALSE(QFileInfo::exists(dataPath(u"copies/tree"_s)));
    child("cleanButton")->click();
    ASSERT_TRUE(processEventsUntil([this] { return m_completion.calls > 0; }));
    EXPECT_EQ(m_completion.totalDuplicates, 2);
}

TEST_F(FinalizeWindowControllerTest, TicksEnableClean)
{
    const auto copies = copiesWithKeptCopies({u"a.txt"_s, u"b.txt"_s});
    FinalizeWindowController &sheet = open({copies, false, false});
    RemovalListModel *list = sheet.listModel();
    QPushButton *clean = child("cleanButton");
    EXPECT_TRUE(clean->isEnabled());
    EXPECT_TRUE(clean->isDefault());

    QPushButton *touchBarClean = nullptr;
    for (auto *button : sheet.touchBarView()->findChildren<QPushButton *>()) {
        if (button->text() == u"Clean"_s)
            touchBarClean = button;
    }
    ASSERT_NE(touchBarClean, nullptr);
    EXPECT_TRUE(touchBarClean->isEnabled());

    for (int row : {0, 1})
        list->setData(list->index(row), Qt::Unchecked, Qt::CheckStateRole);
    EXPECT_FALSE(clean->isEnabled());
    EXPECT_FALSE(touchBarClean->isEnabled());
    EXPECT_FALSE(copies[0]->isSelected());
    list->setData(list->index(1), Qt::Checked, Qt::CheckStateRole);
    EXPECT_TRUE(clean->isEnabled());
    EXPECT_TRUE(touchBarClean->isEnabled());
    EXPECT_TRUE(copies[1]->isSelected());
    // The touch bar's Clean does what the sheet's does.
    touchBarClean->click();
    expectOutcome(copies, {false, true});
}

// Esc and the title-bar close never end the sheet silently.
TEST_F(FinalizeWindowControllerTest, EscapeInEachState)
{
    FakeScriptingBridge bridge;
    const auto copies = photosItemAndSealedItem(bridge);
    if (copies.empty())
        GTEST_SKIP() << "no folder here can refuse a removal";

    FinalizeWindowController &sheet = open({copies, false, false});
    child("cleanButton")->click();
    ASSERT_EQ(sheet.state(), FinalizeWindowController::State::PhotosStep);
    EXPECT_TRUE(child("photosButton")->isDefault());
    pressEscape();
    EXPECT_EQ(sheet.state(), FinalizeWindowController::State::List);
    EXPECT_EQ(m_cancels, 0);

    child("cleanButton")->click();
    child("photosButton")->click();
    ASSERT_EQ(sheet.state(), FinalizeWindowController::State::Removing);
    pressEscape();
    sheet.sheet()->close();
    EXPECT_TRUE(sheet.sheet()->isVisible());
    // A quit is refused while the removal runs.
    QEvent quit(QEvent::Quit);
    QCoreApplication::sendEvent(qApp, &quit);
    EXPECT_FALSE(quit.isAccepted());
    EXPECT_TRUE(sheet.isRemoving());

    ASSERT_TRUE(waitFor(FinalizeWindowController::State::Failures));
    pressEscape();
    ASSERT_TRUE(processEventsUntil([this] { return m_completion.calls > 0; }));
    EXPECT_EQ(m_completion.totalDuplicates, 0);
    EXPECT_FALSE(m_completion.hasPhotosFiles);
    EXPECT_EQ(m_cancels, 0);
}

TEST_F(FinalizeWindowControllerTest, BackEscapeAndCloseInTheListEndTheSheetOnce)
{
    const auto copies = copiesWithKeptCopies({u"a.txt"_s});
    enum class Way { Back, Escape, Close };
    for (const Way way : {Way::Back, Way::Escape, Way::Close}) {
        m_cancels = 0;
        FinalizeWindowController &sheet = open({copies, false, false});
        switch (way) {
        case Way::Back:
            QTest::mouseClick(child<QPushButton>("backButton"), Qt::LeftButton);
            break;
        case Way::Escape:
            pressEscape();
            break;
        case Way::Close:
            sheet.sheet()->close();
            break;
        }
        EXPECT_EQ(m_cancels, 1) << int(way);
        EXPECT_FALSE(sheet.sheet()->isVisible()) << int(way);
        EXPECT_EQ(sheet.state(), FinalizeWindowController::State::Finished) << int(way);
    }
    EXPECT_TRUE(QFileInfo(copies[0]->path()).isFile());
}

// The Photos step: shown for an unticked Photos item too, straight to removal without a
// library, the alert while Photos is not running, Back to the list.
TEST_F(FinalizeWindowControllerTest, PhotosStep)
{
    auto copies = copiesWithKeptCopies({u"a.txt"_s, u"b.txt"_s});
    copies[0]->setInPhotosLibrary(true);
    copies[0]->setSelected(false);
    FakeScriptingBridge bridge;

    FinalizeWindowController &sheet = open({copies, false, false});
    child("cleanButton")->click();
    EXPECT_EQ(sheet.state(), FinalizeWindowController::State::Removing) << "no library: straight to removal";
    ASSERT_TRUE(processEventsUntil([this] { return m_completion.calls > 0; }));
    EXPECT_FALSE(m_completion.hasPhotosFiles);

    copies[1] = file(u"copies/b2.txt"_s, "b2");
    copies[1]->setSelected(true);
    RQPhotosLibrary::sharedInstance().setCurrentLibraryPath(dataPath(u"Library.photoslibrary"_s));
    FinalizeWindowController &second = open({copies, false, false});
    child("cleanButton")->click();
    ASSERT_EQ(second.state(), FinalizeWindowController::State::PhotosStep);
    EXPECT_EQ(page(), child<QWidget>("photosInfoView"));

    child("photosButton")->click();
    QMessageBox *alert = nullptr;
    ASSERT_TRUE(processEventsUntil([&] {
        alert = second.sheet()->findChild<QMessageBox *>();
        return alert && alert->isVisible();
    }));
    EXPECT_EQ(alert->text(), u"You must open the Photos app first and select 'All Photos' section from the sidebar."_s);
    EXPECT_EQ(alert->windowModality(), Qt::WindowModal);
    alert->reject();
    processEventsFor(10);
    EXPECT_EQ(second.state(), FinalizeWindowController::State::PhotosStep);

    child("photosBackButton")->click();
    EXPECT_EQ(second.state(), FinalizeWindowController::State::List);
    EXPECT_EQ(page(), child<QWidget>("tableContainerView"));
    EXPECT_TRUE(QFileInfo(copies[1]->path()).isFile());
}

// A removal with nothing ticked never hands back an earlier removal's Photos answer.
TEST_F(FinalizeWindowControllerTest, NothingTickedHandsBackNoPhotos)
{
    RQPhotosLibrary::sharedInstance().setHasPhotosFilesSelected(true);
    const auto copies = copiesWithKeptCopies({u"a.txt"_s});
    copies[0]->setSelected(false);
    FinalizeWindowController &sheet = open({copies, false, false});
    // Clean is disabled with nothing ticked; the key path is the same action.
    sheet.didClickFinishedButton();
    ASSERT_TRUE(processEventsUntil([this] { return m_completion.calls > 0; }));
    EXPECT_FALSE(m_completion.hasPhotosFiles);
    EXPECT_EQ(m_completion.totalDuplicates, 0);
    EXPECT_TRUE(QFileInfo(copies[0]->path()).isFile());
}

// Ten thousand rows list at once: rows are painted, not made of widgets.
TEST_F(FinalizeWindowControllerTest, ManyRowsNeedNoWidgets)
{
    KMHSFileRemover::FileList files;
    for (int i = 0; i < 10000; ++i) {
        files.push_back(RQFile::fileWithPath(dataPath(u"f%1"_s.arg(i))));
        files.back()->setSelected(true);
    }
    FinalizeWindowController &sheet = open({files, false, false});
    EXPECT_EQ(sheet.listModel()->rowCount(), 10000);
    EXPECT_LT(sheet.sheet()->findChildren<QWidget *>().size(), 100);
    QAbstractItemModelTester tester(sheet.listModel(), QAbstractItemModelTester::FailureReportingMode::Fatal);
}

// Keys in the list: Ctrl+Space ticks the current row, Space stays with the preview.
TEST_F(FinalizeWindowControllerTest, ControlSpaceTicksTheCurrentRow)
{
    const auto copies = copiesWithKeptCopies({u"a.txt"_s, u"b.txt"_s});
    FinalizeWindowController &sheet = open({copies, false, false});
    auto *list = child<QListView>("tableView");
    list->setCurrentIndex(sheet.listModel()->index(1));
    list->setFocus();

    QTest::keyClick(list, Qt::Key_Space, Qt::ControlModifier);
    EXPECT_FALSE(copies[1]->isSelected());
    EXPECT_TRUE(copies[0]->isSelected());
    QTest::keyClick(list, Qt::Key_Space, Qt::ControlModifier);
    EXPECT_TRUE(copies[1]->isSelected());
}

// Without a file manager on the bus, Show in Finder opens the file's folder.
TEST_F(FinalizeWindowControllerTest, DoubleClickShowsTheFilesFolder)
{
    if (QDBusConnection::sessionBus().isConnected())
        GTEST_SKIP() << "a session bus is there; its file manager would be asked";
    FolderCatcher folders;
    const auto copies = copiesWithKeptCopies({u"a.txt"_s});
    FinalizeWindowController &sheet = open({copies, false, false});
    auto *list = child<QListView>("tableView");
    list->setCurrentIndex(sheet.listModel()->index(0));
    emit list->doubleClicked(sheet.listModel()->index(0));
    ASSERT_TRUE(processEventsUntil([&folders] { return !folders.urls.isEmpty(); }, 2000));
    EXPECT_EQ(folders.urls, QList<QUrl>{QUrl::fromLocalFile(dataPath(u"copies"_s))});
}

// Tab reaches every button of the page shown, and Return presses the page's default button
// wherever the focus is: Clean in the list, Continue on the Photos step.
TEST_F(FinalizeWindowControllerTest, TabReachesEveryButtonAndReturnPressesTheDefault)
{
    const auto copies = copiesWithKeptCopies({u"a.txt"_s, u"b.txt"_s});
    FakeScriptingBridge bridge;
    putFirstInRunningPhotos(copies, bridge);
    FinalizeWindowController &sheet = open({copies, false, false});
    activate();

    EXPECT_EQ(tabStops(list()), (QList<QWidget *>{list(), child("backButton"), child("cleanButton")}));
    child("backButton")->setFocus();
    QTest::keyClick(child("backButton"), Qt::Key_Return);
    ASSERT_EQ(sheet.state(), FinalizeWindowController::State::PhotosStep);
    EXPECT_EQ(m_cancels, 0);

    EXPECT_EQ(tabStops(child("photosBackButton")),
              (QList<QWidget *>{child("photosBackButton"), child("supportButton"), child("openPhotosButton"),
                                child("photosButton")}));
    child("photosBackButton")->setFocus();
    QTest::keyClick(child("photosBackButton"), Qt::Key_Return);
    EXPECT_NE(sheet.state(), FinalizeWindowController::State::List);
    expectOutcome(copies, {false, true});
}

// Assistive technologies read each row by its path and its tick, a failed row by its path and
// its message; Return then presses Close.
TEST_F(FinalizeWindowControllerTest, RowsReadTheirPathTickAndFailure)
{
    const auto copies = scannedCopies({u"a.txt"_s, u"b.txt"_s});
    copies[1]->setSelected(false);
    FinalizeWindowController &sheet = open({copies, false, false});
    activate();
    const auto rowNamed = [this](int row) {
        QAccessibleInterface *table = QAccessible::queryAccessibleInterface(list());
        return table ? table->child(row) : nullptr;
    };
    for (int row : {0, 1}) {
        QAccessibleInterface *cell = rowNamed(row);
        ASSERT_NE(cell, nullptr) << row;
        EXPECT_EQ(cell->text(QAccessible::Name), copies[std::size_t(row)]->path()) << row;
        EXPECT_TRUE(cell->state().checkable) << row;
        EXPECT_EQ(bool(cell->state().checked), row == 0) << row;
        // Under the path, the creation date as the results show it ("---" without one).
        EXPECT_EQ(sheet.listModel()->index(row).data(FileRowRoles::CreationDateTextRole).toString(),
                  DuplicateDetailsModel::creationDateText(copies[std::size_t(row)]->creationDate()));
    }
    for (const char *button : {"backButton", "cleanButton"})
        EXPECT_FALSE(QAccessible::queryAccessibleInterface(child(button))->text(QAccessible::Name).isEmpty());

    copies[1]->setSelected(true);
    ASSERT_TRUE(QFile::remove(dataPath(u"kept/a.txt"_s)));
    QTest::keyClick(list(), Qt::Key_Return);
    ASSERT_TRUE(waitFor(FinalizeWindowController::State::Failures));
    ASSERT_EQ(sheet.listModel()->rowCount(), 1);
    // Offscreen no assistive technology is active, so Qt sends the list's reset to no cache of
    // rows; one that asks now reads the list afresh.
    QAccessible::deleteAccessibleInterface(QAccessible::uniqueId(QAccessible::queryAccessibleInterface(list())));
    QAccessibleInterface *failed = rowNamed(0);
    ASSERT_NE(failed, nullptr);
    EXPECT_EQ(failed->text(QAccessible::Name),
              copies[0]->path() + u", "_s + RemovalError::error(RemovalError::KeptCopyGone).localizedDescription());
    EXPECT_FALSE(failed->state().checkable);
    EXPECT_FALSE(failed->state().checked);
    EXPECT_FALSE(copies[0]->isSelected());

    list()->setFocus();
    QTest::keyClick(list(), Qt::Key_Return);
    expectOutcome(copies, {false, true});
}

// Show in Finder asks the file manager on the bus: a double click for its row, the context
// menu for the selected rows, or for the clicked row alone when it lies outside the selection.
TEST_F(FinalizeWindowControllerTest, ShowInFinderAsksTheFileManager)
{
    PrivateBus bus;
    if (!bus.isRunning())
        GTEST_SKIP() << "dbus-daemon is not installed";
    FakeFileManager fileManager(bus.connect(u"file-manager"_s));
    ASSERT_TRUE(fileManager.isServing());
    const auto copies = copiesWithKeptCopies({u"a.txt"_s, u"b.txt"_s, u"c d.txt"_s});
    FinalizeWindowController &sheet = open({copies, false, false});
    sheet.setFileRevealer(FileRevealer(bus.connect(u"sheet"_s)));
    activate();
    const auto uri = [&](int row) { return QUrl::fromLocalFile(copies[std::size_t(row)]->path()).toString(QUrl::FullyEncoded); };
    const auto rowCentre = [&](int row) { return list()->visualRect(sheet.listModel()->index(row)).center(); };

    // Through the window, as the platform delivers it: two clicks that Qt reads as a double click.
    QTest::mouseDClick(sheet.sheet()->windowHandle(), Qt::LeftButton, {},
                       list()->viewport()->mapTo(sheet.sheet(), rowCentre(1)));
    ASSERT_TRUE(processEventsUntil([&] { return fileManager.calls.size() == 1; }));
    EXPECT_EQ(fileManager.calls[0], QStringList{uri(1)});

    QItemSelectionModel *selection = list()->selectionModel();
    selection->select(sheet.listModel()->index(0), QItemSelectionModel::ClearAndSelect);
    selection->select(sheet.listModel()->index(2), QItemSelectionModel::Select);
    const QPoint below(rowCentre(2).x(), list()->visualRect(sheet.listModel()->index(2)).bottom() + 20);
    struct Case
    {
        QPoint at;
        bool enabled;
        QStringList shown;
    };
    const Case cases[] = {
        {rowCentre(2), true, {uri(0), uri(2)}},
        {rowCentre(1), true, {uri(1)}},
        {below, true, {uri(0), uri(2)}},
    };
    for (const Case &testCase : cases) {
        fileManager.calls.clear();
        QMenu *menu = contextMenuAt(testCase.at);
        ASSERT_NE(menu, nullptr);
        ASSERT_EQ(menu->actions().size(), 1);
        QAction *reveal = menu->actions().constFirst();
        EXPECT_EQ(reveal->isEnabled(), testCase.enabled);
        QTest::mouseClick(menu, Qt::LeftButton, {}, menu->actionGeometry(reveal).center());
        ASSERT_TRUE(processEventsUntil([&] { return fileManager.calls.size() == 1; }));
        EXPECT_EQ(fileManager.calls[0], testCase.shown);
    }

    // Nothing selected and no row under the pointer: nothing to show.
    selection->clearSelection();
    QMenu *menu = contextMenuAt(below);
    ASSERT_NE(menu, nullptr);
    EXPECT_FALSE(menu->actions().constFirst()->isEnabled());
    menu->close();
}

// Space previews the current row in the shared panel, the arrows in the panel move the row,
// and Space hides it again; no tick changes on the way.
TEST_F(FinalizeWindowControllerTest, SpacePreviewsTheCurrentRow)
{
    const auto copies = copiesWithKeptCopies({u"a.txt"_s, u"b.txt"_s});
    FinalizeWindowController &sheet = open({copies, false, false});
    activate();
    list()->setFocus();
    list()->setCurrentIndex(sheet.listModel()->index(0));

    QTest::keyClick(list(), Qt::Key_Space);
    PreviewPanel *panel = PreviewPanel::existingPanel();
    ASSERT_NE(panel, nullptr);
    EXPECT_TRUE(panel->isVisible());
    EXPECT_EQ(panel->previewView()->kind(), PreviewView::Kind::Text);
    EXPECT_TRUE(panel->previewView()->content().text.startsWith(u"a.txta.txt"_s));

    QTest::keyClick(panel, Qt::Key_Down);
    EXPECT_EQ(list()->currentIndex().row(), 1);
    EXPECT_TRUE(panel->previewView()->content().text.startsWith(u"b.txtb.txt"_s));

    list()->setFocus();
    QTest::keyClick(list(), Qt::Key_Space);
    EXPECT_FALSE(panel->isVisible());
    EXPECT_TRUE(copies[0]->isSelected());
    EXPECT_TRUE(copies[1]->isSelected());
}

// A long removal runs off the main thread: the event loop keeps turning and the progress text
// is painted with counts between the first and the last while the files go.
TEST_F(FinalizeWindowControllerTest, ProgressStaysLiveDuringALongRemoval)
{
    constexpr int count = 5000;
    KMHSFileRemover::FileList files;
    for (int index = 0; index < count; ++index) {
        files.push_back(file(u"many/f%1.txt"_s.arg(index), "x"));
        files.back()->setSelected(true);
    }
    FinalizeWindowController &sheet = open({files, false, false});
    PaintedTexts painted(child<QLabel>("progressStatusLabel"));
    QList<int> values;
    QObject::connect(child<QProgressBar>("progressIndicator"), &QProgressBar::valueChanged, &m_parent,
                     [&values](int value) { values.append(value); });
    int turnsWhileRemoving = 0;
    QTimer turn;
    QObject::connect(&turn, &QTimer::timeout, &m_parent, [&] {
        if (!sheet.isRemoving())
            return;
        // The files belong to the removal now: the list's tick key changes none of them.
        if (++turnsWhileRemoving == 1)
            QTest::keyClick(list(), Qt::Key_Space, Qt::ControlModifier);
    });
    list()->setCurrentIndex(sheet.listModel()->index(0));
    turn.start(0);

    child("cleanButton")->click();
    ASSERT_TRUE(processEventsUntil([this] { return m_completion.calls > 0; }, 120000));
    turn.stop();

    EXPECT_EQ(m_completion.totalDuplicates, count);
    EXPECT_GE(turnsWhileRemoving, 2);
    EXPECT_TRUE(files[0]->isSelected());
    ASSERT_FALSE(values.isEmpty());
    EXPECT_TRUE(std::is_sorted(values.begin(), values.end()));
    EXPECT_EQ(values.constLast(), count);
    const auto between = [](const QString &text) {
        return text.startsWith(u"Files Removed: "_s) && !text.startsWith(u"Files Removed: 0,"_s)
            && !text.endsWith(u"Files Remaining: 0"_s);
    };
    EXPECT_TRUE(std::any_of(painted.texts.begin(), painted.texts.end(), between)) << painted.texts.join(u" | "_s).toStdString();
    EXPECT_TRUE(QDir(dataPath(u"many"_s)).isEmpty());
}

#include "FinalizeWindowControllerTest.moc"

// A row marked as one that cannot be removed unticks its file and says so, once per file, as a
// tick does: the totals behind the list follow.
TEST_F(FinalizeWindowControllerTest, AFailedRowTellsThatItsTickWentOff)
{
    const auto copies = scannedCopies({u"a.txt"_s, u"b.txt"_s});
    FinalizeWindowController &sheet = open({copies, false, false});
    std::vector<const void *> toggled;
    QObject context;
    NotificationCenter::defaultCenter().addObserver(RQDidToggleSelectedNotification, nullptr, &context,
                                                    [&toggled](const Notification &notification) {
                                                        toggled.push_back(notification.object);
                                                    });
    ASSERT_TRUE(QFile::remove(dataPath(u"kept/a.txt"_s)));
    child<QPushButton>("cleanButton")->click();
    ASSERT_TRUE(waitFor(FinalizeWindowController::State::Failures));
    ASSERT_EQ(sheet.listModel()->rowCount(), 1);
    EXPECT_FALSE(copies[0]->isSelected());
    EXPECT_EQ(toggled, std::vector<const void *>{copies[0].get()});
}

namespace {

// The page's own size: its preferred width, and the height its wrapped texts need there.
QSize ownSize(const QWidget &page)
{
    const int width = page.sizeHint().width();
    return {width, page.hasHeightForWidth() ? page.heightForWidth(width) : page.sizeHint().height()};
}

// The last opacity the page's fade gave it, and whether it started transparent.
struct FadeSeen
{
    bool startedTransparent = false;
    qreal last = -1;
};

} // namespace

// Each page change, made by keys: the sheet ends at the page's own size with the page faded in
// and its texts whole; the Photos step and the removal hold the sheet's size (so does the list
// once back from the Photos step), the failures list takes a drag to a larger size.
TEST_F(FinalizeWindowControllerTest, EachPageSizesTheSheetFadesInAndSaysWhetherItResizes)
{
    FakeScriptingBridge bridge;
    const auto copies = photosItemAndSealedItem(bridge);
    if (copies.empty())
        GTEST_SKIP() << "no folder here can refuse a removal";
    FinalizeWindowController &sheet = open({copies, false, false});
    QWidget *window = sheet.sheet();
    activate();
    // The key, then the new page's fade watched until every change has run its course.
    const auto press = [&](Qt::Key key, FinalizeWindowController::State expected) {
        const QWidget *before = page();
        QTest::keyClick(window->windowHandle(), key);
        EXPECT_EQ(sheet.state(), expected);
        auto seen = std::make_shared<FadeSeen>();
        if (page() != before) {
            auto *effect = qobject_cast<QGraphicsOpacityEffect *>(page()->graphicsEffect());
            EXPECT_NE(effect, nullptr) << "the new page fades in";
            if (effect) {
                seen->startedTransparent = effect->opacity() == 0;
                QObject::connect(effect, &QGraphicsOpacityEffect::opacityChanged, window,
                                 [seen](qreal opacity) { seen->last = opacity; });
            }
        }
        EXPECT_TRUE(processEventsUntilAnimationsEnd(*window));
        return seen;
    };
    const auto expectSettledOnItsPage = [&](const char *step, const FadeSeen *fade) {
        EXPECT_EQ(window->size(), ownSize(*page())) << step;
        EXPECT_TRUE(page()->isVisible()) << step;
        EXPECT_EQ(page()->graphicsEffect(), nullptr) << step << ": drawn without the effect once opaque";
        if (fade) {
            EXPECT_TRUE(fade->startedTransparent) << step;
            EXPECT_EQ(fade->last, 1.0) << step;
        }
        for (const QLabel *label : page()->findChildren<QLabel *>()) {
            if (label->isVisible() && label->wordWrap()) {
                EXPECT_GE(label->height(), label->heightForWidth(label->width())) << step << ": text cut";
            }
        }
    };
    // A drag of the frame asks the window for another size; a held sheet keeps its own.
    const auto takesADrag = [window] {
        const QSize before = window->size();
        window->resize(before + QSize(60, 40));
        QCoreApplication::processEvents();
        const bool taken = window->size() == before + QSize(60, 40);
        window->resize(before);
        QCoreApplication::processEvents();
        return taken;
    };

    expectSettledOnItsPage("list", nullptr);
    const QSize listSize = window->size();
    EXPECT_TRUE(rq_isResizable(*window));

    auto fade = press(Qt::Key_Return, FinalizeWindowController::State::PhotosStep);
    expectSettledOnItsPage("Photos step", fade.get());
    EXPECT_NE(window->size(), listSize);
    EXPECT_FALSE(rq_isResizable(*window));
    EXPECT_FALSE(takesADrag());

    fade = press(Qt::Key_Escape, FinalizeWindowController::State::List);
    expectSettledOnItsPage("back on the list", fade.get());
    EXPECT_EQ(window->size(), listSize);
    EXPECT_FALSE(rq_isResizable(*window));

    press(Qt::Key_Return, FinalizeWindowController::State::PhotosStep);
    QTest::keyClick(window->windowHandle(), Qt::Key_Return);
    EXPECT_EQ(sheet.state(), FinalizeWindowController::State::Removing);
    EXPECT_FALSE(rq_isResizable(*window));
    ASSERT_TRUE(waitFor(FinalizeWindowController::State::Failures));
    EXPECT_TRUE(processEventsUntilAnimationsEnd(*window));
    expectSettledOnItsPage("failures", nullptr);
    EXPECT_TRUE(rq_isResizable(*window));
    EXPECT_LT(window->minimumSize().width(), window->maximumSize().width());
    EXPECT_LT(window->minimumSize().height(), window->maximumSize().height());
    EXPECT_TRUE(takesADrag());
}
