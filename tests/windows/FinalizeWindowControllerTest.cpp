#include "windows/FinalizeWindowController.h"

#include "controls/ResultRoles.h"
#include "photolibraries/RQPhotosLibrary.h"
#include "removal/RemovalError.h"
#include "platform/ScriptingBridge.h"
#include "services/Preferences.h"
#include "support/EventLoop.h"
#include "support/FakeScriptingBridge.h"
#include "support/RemovalFixture.h"
#include "windows/RemovalListModel.h"
#include "windows/SheetDialog.h"

#include <QAbstractItemModelTester>
#include <QApplication>
#include <QDBusConnection>
#include <QDesktopServices>
#include <QFile>
#include <QFileInfo>
#include <QLabel>
#include <QListView>
#include <QMessageBox>
#include <QProgressBar>
#include <QPushButton>
#include <QStackedWidget>
#include <QTest>

#include <sys/stat.h>
#include <unistd.h>

using namespace Qt::StringLiterals;

namespace {

const QString permissionsMessage = u"Could not remove this file because of a permissions issue. Delete using "
                                   u"Finder by right clicking and selecting 'Show In Finder'."_s;

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
    QWidget *page() const { return child<QStackedWidget>("stack")->currentWidget(); }

    void pressEscape() { QTest::keyClick(m_sheet->sheet(), Qt::Key_Escape); }
    bool waitFor(FinalizeWindowController::State state)
    {
        return processEventsUntil([this, state] { return m_sheet->state() == state; }, 60000);
    }
    // A folder whose entries not even root may remove.
    bool seal(const QString &relative)
    {
        if (makeImmutable(dataPath(relative)))
            return true;
        return geteuid() != 0 && ::chmod(QFile::encodeName(dataPath(relative)).constData(), 0555) == 0;
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
    if (!seal(u"copies/sealed"_s))
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
    ::chmod(QFile::encodeName(dataPath(u"copies/sealed"_s)).constData(), 0755);

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

    for (int row : {0, 1})
        list->setData(list->index(row), Qt::Unchecked, Qt::CheckStateRole);
    EXPECT_FALSE(clean->isEnabled());
    EXPECT_FALSE(copies[0]->isSelected());
    list->setData(list->index(1), Qt::Checked, Qt::CheckStateRole);
    EXPECT_TRUE(clean->isEnabled());
    EXPECT_TRUE(copies[1]->isSelected());
}

// Esc and the title-bar close never end the sheet silently.
TEST_F(FinalizeWindowControllerTest, EscapeInEachState)
{
    const auto copies = copiesWithKeptCopies({u"a.txt"_s, u"sealed/b.txt"_s});
    if (!seal(u"copies/sealed"_s))
        GTEST_SKIP() << "no folder here can refuse a removal";
    RQPhotosLibrary::sharedInstance().setCurrentLibraryPath(dataPath(u"Library.photoslibrary"_s));
    copies[0]->setInPhotosLibrary(true);
    copies[0]->setSelected(false);
    FakeScriptingBridge bridge;
    bridge.photos = std::make_shared<FakePhotos>();
    bridge.photos->running = true;

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
    ::chmod(QFile::encodeName(dataPath(u"copies/sealed"_s)).constData(), 0755);
    pressEscape();
    ASSERT_TRUE(processEventsUntil([this] { return m_completion.calls > 0; }));
    EXPECT_EQ(m_completion.totalDuplicates, 0);
    EXPECT_FALSE(m_completion.hasPhotosFiles);
    EXPECT_EQ(m_cancels, 0);
}

TEST_F(FinalizeWindowControllerTest, EscapeAndCloseInTheListActAsBack)
{
    const auto copies = copiesWithKeptCopies({u"a.txt"_s});
    for (const bool byClose : {false, true}) {
        m_cancels = 0;
        FinalizeWindowController &sheet = open({copies, false, false});
        if (byClose)
            sheet.sheet()->close();
        else
            pressEscape();
        EXPECT_EQ(m_cancels, 1) << byClose;
        EXPECT_FALSE(sheet.sheet()->isVisible());
        EXPECT_EQ(sheet.state(), FinalizeWindowController::State::Finished);
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

#include "FinalizeWindowControllerTest.moc"
