#include "windows/DuplicatesViewController.h"

#include "controls/HSFileCellView.h"
#include "controls/ResultRoles.h"
#include "controls/RQTouchBarButton.h"
#include "controls/VXTableView.h"
#include "foundation/RQTimer.h"
#include "platform/gui/FileIconProvider.h"
#include "platform/gui/PreviewPanel.h"
#include "platform/gui/PreviewView.h"
#include "platform/gui/TouchBar.h"
#include "platform/UserDefaults.h"
#include "services/Preferences.h"
#include "windows/DuplicateDetailsModel.h"
#include "windows/DuplicateGroupsProxyModel.h"
#include "windows/LCDStatusViewController.h"
#include "windows/RQTouchBarController.h"
#include "windows/StatThemeDefault.h"

#include "ResultsFixture.h"
#include "support/EventLoop.h"
#include "support/FakeFileManager.h"
#include "support/PrivateBus.h"
#include "support/ScreenCapture.h"
#include "support/TabChain.h"
#include "support/TemporaryFolder.h"

#include "ui_DuplicatesViewController.h"

#include <gtest/gtest.h>

#include <QAccessible>
#include <QApplication>
#include <QDir>
#include <QFileInfo>
#include <QHeaderView>
#include <QCheckBox>
#include <QLabel>
#include <QMenu>
#include <QMessageBox>
#include <QBuffer>
#include <QPainter>
#include <QPushButton>
#include <QScopeGuard>
#include <QSet>
#include <QSignalSpy>
#include <QSplitter>
#include <QTest>
#include <QTimer>

#include <optional>

using namespace Qt::StringLiterals;
using namespace results;

namespace {

// The browser on groups of real files in a temporary folder, shown in an active window, with
// preferences of its own.
class DuplicatesViewControllerTest : public ::testing::Test
{
protected:
    void TearDown() override
    {
        // An alert a test left open goes with its window.
        m_browser.reset();
        QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
    }

    // Copies holding their own name, or the given content.
    std::shared_ptr<RQDuplicateFiles> realGroup(const QString &name, int count, int firstDay = 0,
                                                const std::optional<QByteArray> &content = std::nullopt)
    {
        const QByteArray bytes = content.value_or(name.toUtf8());
        RQDuplicateFiles::Members members;
        for (int index = 0; index < count; ++index) {
            const QString path = m_folder.writeFile(u"c%1/%2"_s.arg(index).arg(name), bytes);
            members.push_back(file(path, double(bytes.size()), firstDay + index));
        }
        return group(members);
    }

    // The visible row of the group at that index of the scan's groups.
    int visibleRowOf(int groupIndex) const
    {
        for (int row = 0; row < m_browser->visibleGroups()->rowCount(); ++row) {
            if (m_browser->visibleGroups()->groupRow(row) == groupIndex)
                return row;
        }
        return -1;
    }

    void open(const Groups &groups, const QStringList &roots = {u"/r"_s})
    {
        m_groups = groups;
        m_browser = std::make_unique<DuplicatesViewController>(groups, roots, m_preferences);
        QWidget *view = m_browser->view();
        view->resize(900, 560);
        view->show();
        view->activateWindow();
        ASSERT_TRUE(QTest::qWaitForWindowActive(view));
        m_browser->firstRowSetUp();
    }

    Ui::DuplicatesViewController &form() { return *m_browser->form(); }

    void chooseGroups(const QList<int> &visibleRows)
    {
        QItemSelection selection;
        for (const int row : visibleRows)
            selection.select(m_browser->visibleGroups()->index(row, 0), m_browser->visibleGroups()->index(row, 0));
        form().filesTableView->selectionModel()->select(selection, QItemSelectionModel::ClearAndSelect
                                                                      | QItemSelectionModel::Rows);
    }

    // Clicks the tick box of the copy, as the user does.
    void clickTick(const std::shared_ptr<RQFile> &copy)
    {
        const int row = m_browser->detailsModel()->rowOfFile(copy.get());
        ASSERT_GE(row, 0);
        auto *delegate = static_cast<HSFileCellView *>(
            form().detailsTableView->itemDelegateForColumn(DuplicateDetailsModel::TickColumn));
        const QModelIndex tick = m_browser->detailsModel()->index(row, DuplicateDetailsModel::TickColumn);
        form().detailsTableView->scrollTo(tick);
        const QRect box = delegate->checkBoxRect(form().detailsTableView->visualRect(tick));
        QTest::mouseClick(form().detailsTableView->viewport(), Qt::LeftButton, {}, box.center());
    }

    static QMessageBox *shownAlert()
    {
        for (QWidget *widget : QApplication::allWidgets()) {
            auto *alert = qobject_cast<QMessageBox *>(widget);
            if (alert && alert->isVisible())
                return alert;
        }
        return nullptr;
    }

    // Waits for an alert, ticks its suppression box when asked, presses the button of that
    // title and answers the alert's text and informative text.
    QString answerAlert(const QString &button, bool suppress = false)
    {
        if (!processEventsUntil([] { return shownAlert() != nullptr; }))
            return u"no alert"_s;
        QMessageBox *alert = shownAlert();
        const QString text = alert->text() + u'\n' + alert->informativeText();
        if (suppress && alert->checkBox())
            alert->checkBox()->setChecked(true);
        for (QAbstractButton *candidate : alert->buttons()) {
            if (candidate->text() == button)
                QTest::mouseClick(candidate, Qt::LeftButton);
        }
        processEventsUntil([] { return shownAlert() == nullptr; });
        return text;
    }

    static bool noAlertShows()
    {
        processEventsFor(30);
        return shownAlert() == nullptr;
    }

    // Asks for confirmation before removal and answers what the completion was told.
    std::optional<bool> confirm(const QString &button)
    {
        std::optional<bool> proceed;
        m_browser->confirmWhollySelectedGroups([&](bool answer) { proceed = answer; });
        if (!proceed)
            m_lastText = answerAlert(button);
        processEventsUntil([&] { return proceed.has_value(); }, 2000);
        return proceed;
    }

    void expectSoundHandOff()
    {
        expectSoundKeptCopies(m_browser->removalHandOff().files, m_groups);
    }

    TemporaryFolder m_folder;
    UserDefaults m_defaults{m_folder.filePath(u"defaults.ini"_s)};
    Preferences m_preferences{m_defaults, u":/plists/DefaultIgnoredExtensions.plist"_s,
                              u":/plists/IgnoreList.plist"_s};
    Groups m_groups;
    std::unique_ptr<DuplicatesViewController> m_browser;
    QString m_lastText;
};

} // namespace

TEST_F(DuplicatesViewControllerTest, EachChosenGroupKeepsItsOwnOldestOrNewest)
{
    // Group a's copies are older than all of b's, so a pooled rule would tick b wholly.
    open({realGroup(u"a.txt"_s, 3, 0), realGroup(u"bb.txt"_s, 3, 10)});
    chooseGroups({0, 1});
    ASSERT_EQ(m_browser->detailsModel()->rowCount(), 6);
    QTest::mouseClick(form().keepOldestButton, Qt::LeftButton);
    EXPECT_EQ(ticks(*m_groups[0]), u".xx"_s);
    EXPECT_EQ(ticks(*m_groups[1]), u".xx"_s);
    QTest::mouseClick(form().keepNewestButton, Qt::LeftButton);
    EXPECT_EQ(ticks(*m_groups[0]), u"xx."_s);
    EXPECT_EQ(ticks(*m_groups[1]), u"xx."_s);
    EXPECT_TRUE(noAlertShows());
    expectSoundHandOff();
    QTest::mouseClick(form().selectNoneButton, Qt::LeftButton);
    EXPECT_EQ(QString(ticks(*m_groups[0]) + ticks(*m_groups[1])), u"......"_s);
}

TEST_F(DuplicatesViewControllerTest, TickingTheLastCopyOfItsOwnGroupWarns)
{
    open({realGroup(u"a.txt"_s, 2), realGroup(u"bb.txt"_s, 2)});
    chooseGroups({0, 1});
    const auto &a = m_groups[0]->duplicates();
    const auto &b = m_groups[1]->duplicates();

    // Other copies of other groups are still unticked: only the group's own copies count.
    clickTick(a[0]);
    EXPECT_TRUE(noAlertShows());
    clickTick(a[1]);
    EXPECT_TRUE(answerAlert(u"Cancel"_s).contains(u"'a.txt'"_s));
    EXPECT_EQ(ticks(*m_groups[0]), u"x."_s);
    EXPECT_EQ(m_browser->detailsModel()->index(m_browser->detailsModel()->rowOfFile(a[1].get()), 0)
                  .data(Qt::CheckStateRole).value<Qt::CheckState>(), Qt::Unchecked);

    // Said yes to, with the box ticked: no more warnings.
    clickTick(a[1]);
    answerAlert(u"Select"_s, true);
    EXPECT_EQ(ticks(*m_groups[0]), u"xx"_s);
    EXPECT_TRUE(m_preferences.suppressSelectAllWarning());
    clickTick(b[0]);
    clickTick(b[1]);
    EXPECT_TRUE(noAlertShows());

    // Next still names both groups, and Cancel opens nothing.
    EXPECT_EQ(confirm(u"Cancel"_s), std::optional<bool>(false));
    EXPECT_TRUE(m_lastText.contains(u"'a.txt' (2 copies)\n'bb.txt' (2 copies)"_s)) << m_lastText.toStdString();
    EXPECT_EQ(confirm(u"Remove Every Copy"_s), std::optional<bool>(true));
}

TEST_F(DuplicatesViewControllerTest, NoWarningWhileTheRemovalSheetIsOpen)
{
    open({realGroup(u"a.txt"_s, 2)});
    clickTick(m_groups[0]->duplicates()[0]);
    m_browser->didOpenFinalizeView();
    EXPECT_FALSE(m_browser->isKeyMonitorInstalled());
    clickTick(m_groups[0]->duplicates()[1]);
    EXPECT_TRUE(noAlertShows());
    EXPECT_EQ(ticks(*m_groups[0]), u"xx"_s);
    m_browser->didCloseFinalizeView();
    EXPECT_TRUE(m_browser->isKeyMonitorInstalled());
}

TEST_F(DuplicatesViewControllerTest, NextNamesAGroupWhoseOnlyUntickedCopyIsGone)
{
    open({realGroup(u"a.txt"_s, 3), realGroup(u"bb.txt"_s, 2)});
    setTicks(*m_groups[0], u"xx."_s);
    setTicks(*m_groups[1], u"x."_s);
    EXPECT_EQ(confirm(u"Cancel"_s), std::optional<bool>(true));
    QFile::remove(m_groups[0]->duplicates()[2]->path());
    EXPECT_EQ(confirm(u"Cancel"_s), std::optional<bool>(false));
    EXPECT_TRUE(m_lastText.contains(u"'a.txt' (3 copies)"_s));
    EXPECT_FALSE(m_lastText.contains(u"bb.txt"_s));
    expectSoundHandOff();
}

TEST_F(DuplicatesViewControllerTest, AChosenGroupThatASearchHidesLeavesTheChoice)
{
    open({realGroup(u"alpha.txt"_s, 2), realGroup(u"beta.txt"_s, 3), realGroup(u"gamma.txt"_s, 2)});
    // Sort by name, choose beta, then search for something only alpha has.
    m_browser->didChangeSort(DuplicateGroupsProxyModel::SortByName);
    m_browser->didChangeSort(DuplicateGroupsProxyModel::Ascending);
    chooseGroups({1});
    ASSERT_EQ(m_browser->detailsModel()->rowCount(), 3);
    EXPECT_EQ(m_browser->detailsModel()->fileAt(0)->fileName(), u"beta.txt"_s);

    struct Case
    {
        QString search;
        int details;
    };
    const Case cases[] = {{u"bet"_s, 3}, {u"alp"_s, 0}, {u""_s, 0}};
    for (const Case &testCase : cases) {
        QTest::keyClicks(form().searchField, QString());
        form().searchField->setText(testCase.search);
        EXPECT_EQ(m_browser->detailsModel()->rowCount(), testCase.details) << testCase.search.toStdString();
    }
    EXPECT_TRUE(form().pathLabel->text().isEmpty());
}

TEST_F(DuplicatesViewControllerTest, TheScreenReappearingOverAnEmptySearchChoosesNothing)
{
    open({realGroup(u"alpha.txt"_s, 2)});
    form().searchField->setText(u"nothing like it"_s);
    ASSERT_EQ(m_browser->visibleGroups()->rowCount(), 0);
    m_browser->rq_viewDidAppear();
    processEventsFor(300);
    m_browser->firstRowSetUp();
    EXPECT_EQ(m_browser->detailsModel()->rowCount(), 0);
}

TEST_F(DuplicatesViewControllerTest, StatusLineCountsTheExtraCopies)
{
    struct Case
    {
        std::vector<int> counts;
        QString text;
    };
    const Case cases[] = {{{3, 2, 2}, u"4 duplicates found"_s}, {{2}, u"1 duplicate found"_s}};
    for (const Case &testCase : cases) {
        Groups groups;
        for (const int count : testCase.counts)
            groups.push_back(filesGroup(u"/r"_s, u"f%1"_s.arg(groups.size()), count));
        DuplicatesViewController browser(groups, {u"/r"_s}, m_preferences);
        QLabel status;
        browser.setStatusLabel(&status);
        browser.rq_viewWillAppear();
        EXPECT_EQ(status.text(), testCase.text);
    }
}

TEST_F(DuplicatesViewControllerTest, TheTotalEnablesNextAndTitlesTheStatus)
{
    open({realGroup(u"abcd.txt"_s, 3)});
    QPushButton next;
    QPushButton touchBarNext;
    LCDStatusViewController status;
    m_browser->setLcdStatusViewController(&status);
    m_browser->setNextButton(&next);
    m_browser->setTouchBarNextButton(&touchBarNext);
    QLabel *title = status.selectTitleLabel();
    title->clear();
    m_browser->actuallyUpdateBottomToolbar();
    EXPECT_FALSE(next.isEnabled());
    EXPECT_FALSE(touchBarNext.isEnabled());
    EXPECT_EQ(title->text(), u"Select files to remove"_s);

    clickTick(m_groups[0]->duplicates()[1]);
    ASSERT_TRUE(processEventsUntil([&] { return next.isEnabled(); }));
    EXPECT_TRUE(touchBarNext.isEnabled());
    EXPECT_EQ(m_browser->selectedTotal(), 8);
    EXPECT_EQ(title->text(), u"8.00 bytes will be made available"_s);
}

// Zero-byte copies free nothing: ticking them leaves both Next buttons off and the group out
// of the hand-off.
TEST_F(DuplicatesViewControllerTest, ZeroByteTicksLeaveNextOff)
{
    open({realGroup(u"empty.txt"_s, 3, 0, QByteArray()), realGroup(u"abcd.txt"_s, 2)});
    QPushButton next;
    QPushButton touchBarNext;
    LCDStatusViewController status;
    m_browser->setLcdStatusViewController(&status);
    m_browser->setNextButton(&next);
    m_browser->setTouchBarNextButton(&touchBarNext);
    const auto &empty = m_groups[0]->duplicates();
    chooseGroups({visibleRowOf(0)});
    clickTick(empty[0]);
    clickTick(empty[2]);
    ASSERT_EQ(ticks(*m_groups[0]), u"x.x"_s);
    ASSERT_NE(m_browser->calculationDelayTimer(), nullptr);
    m_browser->calculationDelayTimer()->didFinishBlock()(*m_browser->calculationDelayTimer());
    EXPECT_FALSE(next.isEnabled());
    EXPECT_FALSE(touchBarNext.isEnabled());
    EXPECT_EQ(status.selectTitleLabel()->text(), u"Select files to remove"_s);
    EXPECT_TRUE(m_browser->removalHandOff().files.empty());

    // A copy with bytes turns Next on; the empty copies still stay out of the hand-off.
    chooseGroups({visibleRowOf(1)});
    clickTick(m_groups[1]->duplicates()[1]);
    m_browser->calculationDelayTimer()->didFinishBlock()(*m_browser->calculationDelayTimer());
    EXPECT_TRUE(next.isEnabled());
    EXPECT_TRUE(touchBarNext.isEnabled());
    const auto handedOff = m_browser->removalHandOff().files;
    ASSERT_EQ(handedOff.size(), 1u);
    EXPECT_EQ(handedOff[0], m_groups[1]->duplicates()[1]);
}

// Typing a search and clearing it again, key by key, brings back the whole list with the same
// groups chosen at the same rows.
TEST_F(DuplicatesViewControllerTest, TypingThenClearingTheSearchKeepsTheChosenRows)
{
    // By size, largest first: kiwi (4 copies), banana (3), bandana (2).
    open({realGroup(u"kiwi.txt"_s, 4), realGroup(u"banana.txt"_s, 3), realGroup(u"bandana.txt"_s, 2)});
    const auto chosenRows = [&] {
        QList<int> rows;
        for (const QModelIndex &index : form().filesTableView->selectionModel()->selectedRows())
            rows.append(index.row());
        std::sort(rows.begin(), rows.end());
        return rows;
    };
    ASSERT_EQ(visibleRowOf(1), 1);
    ASSERT_EQ(visibleRowOf(2), 2);
    chooseGroups({1, 2});
    ASSERT_EQ(m_browser->detailsModel()->rowCount(), 5);
    const QList<int> groupRows = m_browser->detailsModel()->groupRows();

    form().searchField->setFocus();
    QTest::keyClicks(form().searchField, u"BÁN"_s);
    EXPECT_EQ(m_browser->visibleGroups()->rowCount(), 2);
    EXPECT_EQ(chosenRows(), (QList<int>{0, 1}));
    EXPECT_EQ(m_browser->detailsModel()->groupRows(), groupRows);

    for (int key = 0; key < 3; ++key)
        QTest::keyClick(form().searchField, Qt::Key_Backspace);
    ASSERT_TRUE(form().searchField->text().isEmpty());
    EXPECT_EQ(m_browser->visibleGroups()->rowCount(), 3);
    EXPECT_EQ(chosenRows(), (QList<int>{1, 2}));
    EXPECT_EQ(m_browser->detailsModel()->groupRows(), groupRows);
    EXPECT_EQ(m_browser->detailsModel()->rowCount(), 5);
}

TEST_F(DuplicatesViewControllerTest, SelectAllAndDeselectAllAskUnlessTold)
{
    open({realGroup(u"a.txt"_s, 3), realGroup(u"bb.txt"_s, 2)});
    struct Case
    {
        const char *what;
        std::function<void()> action;
        QString button;
        bool suppress;
        QString ticks;
        bool suppressedAfter;
    };
    const Case cases[] = {
        {"cancelled select all, box ticked", [&] { m_browser->selectAll(); }, u"Cancel"_s, true, u"....."_s, true},
        // The preferences keep the newest copy unless told otherwise.
        {"select all without asking", [&] { m_browser->selectAll(); }, QString(), false, u"xx.x."_s, true},
        {"deselect all, answered", [&] { m_browser->deselectAll(); }, u"Deselect"_s, false, u"....."_s, true},
    };
    for (const Case &testCase : cases) {
        testCase.action();
        if (!testCase.button.isEmpty())
            answerAlert(testCase.button, testCase.suppress);
        EXPECT_TRUE(noAlertShows()) << testCase.what;
        EXPECT_EQ(QString(ticks(*m_groups[0]) + ticks(*m_groups[1])), testCase.ticks) << testCase.what;
        EXPECT_EQ(m_preferences.suppressSelectAllFilesWarning(), testCase.suppressedAfter) << testCase.what;
    }
}

TEST_F(DuplicatesViewControllerTest, CancellingAMenuRuleLeavesTheBoxUnstored)
{
    open({realGroup(u"a.txt"_s, 3)}, {m_folder.filePath(u"c0"_s), m_folder.filePath(u"c2"_s)});
    const QList<QAction *> items = m_browser->autoselectMenu()->actions();
    ASSERT_EQ(items.size(), 5);
    EXPECT_TRUE(items[2]->isSeparator());
    EXPECT_EQ(items[3]->text(), u"Keep all from 'c0'"_s);
    items[3]->trigger();
    answerAlert(u"Cancel"_s, true);
    EXPECT_FALSE(m_preferences.suppressSelectAllFilesWarning());
    EXPECT_EQ(ticks(*m_groups[0]), u"..."_s);
    items[4]->trigger();
    answerAlert(u"Select"_s);
    EXPECT_EQ(ticks(*m_groups[0]), u"xx."_s);
    expectSoundHandOff();
}

TEST_F(DuplicatesViewControllerTest, TheWholeBrowserOnSixGroups)
{
    // The groups' icons come from the provider the application installs when it starts.
    FileIconProvider::install();
    Groups groups;
    const char *const names[] = {"Holiday 2019.jpg", "Tax return.pdf", "Interview.mp4", "Theme song.mp3",
                                 "Source backup.zip", "notes.dat"};
    for (int index = 0; index < 6; ++index)
        groups.push_back(realGroup(QString::fromLatin1(names[index]), 2 + index % 3, index));
    open(groups);
    setTicks(*groups[1], u".xx"_s);
    setTicks(*groups[0], u"xx"_s);
    m_browser->actuallyUpdateBottomToolbar();
    const auto [single, twice] = ScreenCapture::save(*m_browser->view(), u"results-browser"_s);
    EXPECT_EQ(twice.size(), single.size() * 2);
    EXPECT_TRUE(form().categoryContainer->isVisible());
    // A copy shown by its icon is named once, by the labels under the pane.
    ASSERT_EQ(form().previewView->kind(), PreviewView::Kind::Summary);
    ASSERT_FALSE(form().pathLabel->text().isEmpty());
    for (const QLabel *label : form().previewView->findChildren<QLabel *>()) {
        EXPECT_FALSE(label->isVisible() && (label->text() == form().pathLabel->text() || label->text() == form().sizeLabel->text()))
            << label->text().toStdString();
    }
    // The preview pane's corner, below the preview and its labels, in the statistics panel's colour.
    const QWidget *pane = form().detailBackgroundView;
    const QPoint corner = pane->mapTo(m_browser->view(), QPoint(2, pane->height() - 3));
    const QColor theme = StatThemeDefault().backgroundColor();
    EXPECT_EQ(single.pixelColor(corner).rgb(), theme.rgb());
    EXPECT_EQ(twice.pixelColor(corner * 2).rgb(), theme.rgb());
}

TEST_F(DuplicatesViewControllerTest, RevealingAGroupOfMoreThanTwoAsksThenShowsThemInOneCall)
{
    PrivateBus bus;
    if (!bus.isRunning())
        GTEST_SKIP() << "dbus-daemon is not installed";
    FakeFileManager fileManager(bus.connect(u"file-manager"_s));
    ASSERT_TRUE(fileManager.isServing());
    open({realGroup(u"three.txt"_s, 3), realGroup(u"pair.txt"_s, 2)});
    m_browser->setFileRevealer(FileRevealer(bus.connect(u"browser"_s)));

    m_browser->showGroupInFinder(0);
    EXPECT_EQ(answerAlert(u"Cancel"_s), u"Are you sure you want to show 3 files in the file manager?\n"_s);
    m_browser->showGroupInFinder(0);
    answerAlert(u"Show"_s);
    ASSERT_TRUE(processEventsUntil([&] { return fileManager.calls.size() == 1; }));
    QStringList expected;
    for (const auto &member : m_groups[0]->duplicates())
        expected.append(QUrl::fromLocalFile(member->path()).toString(QUrl::FullyEncoded));
    EXPECT_EQ(fileManager.calls[0], expected);

    // Two copies are shown at once.
    m_browser->showGroupInFinder(1);
    EXPECT_TRUE(noAlertShows());
    ASSERT_TRUE(processEventsUntil([&] { return fileManager.calls.size() == 2; }));
    EXPECT_EQ(fileManager.calls[1].size(), 2);
}

// The reveal alert's box is stored whatever the answer; from then on a large group is shown
// without asking.
TEST_F(DuplicatesViewControllerTest, TheRevealAlertsBoxIsStoredWhateverTheAnswer)
{
    PrivateBus bus;
    if (!bus.isRunning())
        GTEST_SKIP() << "dbus-daemon is not installed";
    FakeFileManager fileManager(bus.connect(u"file-manager"_s));
    ASSERT_TRUE(fileManager.isServing());
    open({realGroup(u"three.txt"_s, 3)});
    m_browser->setFileRevealer(FileRevealer(bus.connect(u"browser"_s)));

    struct Case
    {
        QString button;
        qsizetype callsAfterAnswer;
    };
    const Case cases[] = {{u"Cancel"_s, 0}, {u"Show"_s, 1}};
    for (const Case &testCase : cases) {
        fileManager.calls.clear();
        m_preferences.setSuppressFinderWarning(false);
        m_browser->showGroupInFinder(0);
        EXPECT_TRUE(answerAlert(testCase.button, true).contains(u"show 3 files"_s));
        EXPECT_TRUE(m_preferences.suppressFinderWarning()) << testCase.button.toStdString();
        processEventsUntil([&] { return fileManager.calls.size() == testCase.callsAfterAnswer; }, 2000);
        EXPECT_EQ(fileManager.calls.size(), testCase.callsAfterAnswer) << testCase.button.toStdString();

        m_browser->showGroupInFinder(0);
        EXPECT_TRUE(noAlertShows());
        ASSERT_TRUE(processEventsUntil([&] { return fileManager.calls.size() == testCase.callsAfterAnswer + 1; }));
        EXPECT_EQ(fileManager.calls.constLast().size(), 3);
    }
}

namespace {

// Drags the splitter's first divider by the mouse to the given position along its axis.
void dragDivider(QSplitter &splitter, int position)
{
    QSplitterHandle *handle = splitter.handle(1);
    // The divider lands where the point pressed lands, less the press's offset in the handle.
    const QPoint start = handle->rect().center();
    const bool across = splitter.orientation() == Qt::Horizontal;
    const QPoint target = handle->mapFromParent(across ? QPoint(position + start.x(), handle->geometry().center().y())
                                                       : QPoint(handle->geometry().center().x(), position + start.y()));
    QTest::mousePress(handle, Qt::LeftButton, {}, start);
    QMouseEvent move(QEvent::MouseMove, target, handle->mapToGlobal(target), Qt::NoButton, Qt::LeftButton, {});
    QApplication::sendEvent(handle, &move);
    QTest::mouseRelease(handle, Qt::LeftButton, {}, target);
}

} // namespace

TEST_F(DuplicatesViewControllerTest, DividersStopAtTheirLimits)
{
    open({realGroup(u"a.txt"_s, 2)});
    m_browser->view()->resize(1200, 600);
    QSplitter &outer = *form().splitView;
    QSplitter &inner = *form().detailSplitView;
    struct Case
    {
        QSplitter *splitter;
        int dragTo;
        int firstSize;
    };
    const int innerHeight = inner.height();
    const Case cases[] = {
        {&outer, 5, DuplicatesViewController::minimumGroupsWidth},
        {&outer, 300, 300},
        {&outer, 800, DuplicatesViewController::maximumGroupsWidth},
        {&inner, innerHeight, innerHeight - DuplicatesViewController::previewReserve},
        {&inner, 200, 200},
    };
    for (const Case &testCase : cases) {
        dragDivider(*testCase.splitter, testCase.dragTo);
        EXPECT_EQ(testCase.splitter->sizes().constFirst(), testCase.firstSize) << testCase.dragTo;
    }
    // Resizing the window leaves the groups their width.
    const int groupsWidth = outer.sizes().constFirst();
    m_browser->view()->resize(1400, 600);
    EXPECT_EQ(outer.sizes().constFirst(), groupsWidth);
}

TEST_F(DuplicatesViewControllerTest, HeaderClicksSortTheCopies)
{
    open({realGroup(u"abc.txt"_s, 3)});
    setTicks(*m_groups[0], u".x."_s);
    QHeaderView *header = form().detailsTableView->horizontalHeader();
    const auto clickHeader = [&](int column) {
        const QPoint centre(header->sectionViewportPosition(column) + header->sectionSize(column) / 2, header->height() / 2);
        QTest::mouseClick(header->viewport(), Qt::LeftButton, {}, centre);
    };
    // Copies by folder: c0 is the oldest, c2 the newest; c1 is ticked.
    const auto order = [&] {
        QString folders;
        for (int row = 0; row < m_browser->detailsModel()->rowCount(); ++row)
            folders += QFileInfo(m_browser->detailsModel()->fileAt(row)->path()).dir().dirName().back();
        return folders;
    };
    struct Case
    {
        int column;
        QString order;
        Qt::SortOrder indicator;
    };
    const Case cases[] = {
        {DuplicateDetailsModel::FileColumn, u"210"_s, Qt::DescendingOrder},
        {DuplicateDetailsModel::FileColumn, u"012"_s, Qt::AscendingOrder},
        {DuplicateDetailsModel::TickColumn, u"021"_s, Qt::AscendingOrder},
        {DuplicateDetailsModel::TickColumn, u"102"_s, Qt::DescendingOrder},
    };
    ASSERT_EQ(order(), u"012"_s);
    for (const Case &testCase : cases) {
        clickHeader(testCase.column);
        EXPECT_EQ(order(), testCase.order) << testCase.column;
        EXPECT_EQ(header->sortIndicatorSection(), testCase.column);
        EXPECT_EQ(header->sortIndicatorOrder(), testCase.indicator);
    }
}

TEST_F(DuplicatesViewControllerTest, SpaceTogglesThePreviewAndControlSpaceTicks)
{
    open({realGroup(u"abc.txt"_s, 3)});
    VXTableView *copies = form().detailsTableView;
    copies->setFocus();
    copies->setCurrentIndex(m_browser->detailsModel()->index(1, DuplicateDetailsModel::FileColumn));

    QTest::keyClick(copies, Qt::Key_Space, Qt::ControlModifier);
    EXPECT_EQ(ticks(*m_groups[0]), u".x."_s);
    QTest::keyClick(copies, Qt::Key_Space, Qt::ControlModifier);
    EXPECT_EQ(ticks(*m_groups[0]), u"..."_s);

    QTest::keyClick(copies, Qt::Key_Space);
    PreviewPanel *panel = PreviewPanel::existingPanel();
    ASSERT_NE(panel, nullptr);
    EXPECT_TRUE(panel->isVisible());
    EXPECT_EQ(panel->previewView()->kind(), PreviewView::Kind::Text);
    EXPECT_EQ(panel->previewView()->content().text, u"abc.txt"_s);
    EXPECT_EQ(ticks(*m_groups[0]), u"..."_s);
    // A search that leaves nothing empties the open panel too.
    form().searchField->setText(u"nothing like it"_s);
    EXPECT_EQ(panel->previewView()->kind(), PreviewView::Kind::Nothing);
    form().searchField->clear();
    copies->setFocus();
    QTest::keyClick(copies, Qt::Key_Space);
    EXPECT_FALSE(panel->isVisible());
}

TEST_F(DuplicatesViewControllerTest, FiveTicksGiveOneTotal)
{
    open({realGroup(u"abc.txt"_s, 6)});
    std::vector<std::shared_ptr<RQTimer>> timers;
    for (int index = 0; index < 5; ++index) {
        clickTick(m_groups[0]->duplicates()[std::size_t(index)]);
        timers.push_back(m_browser->calculationDelayTimer());
    }
    EXPECT_EQ(m_browser->selectedTotal(), 0);
    for (std::size_t index = 0; index < 4; ++index)
        EXPECT_EQ(timers[index]->timer(), nullptr) << index;
    const std::shared_ptr<RQTimer> &last = timers.back();
    ASSERT_NE(last->timer(), nullptr);
    EXPECT_TRUE(last->timer()->isActive());
    EXPECT_EQ(last->interval(), 0.2);
    last->didFinishBlock()(*last);
    EXPECT_EQ(m_browser->selectedTotal(), 5 * 7);
}

TEST_F(DuplicatesViewControllerTest, OneCategoryLeavesNoCategoryBar)
{
    struct Case
    {
        QStringList names;
        bool barShown;
    };
    const Case cases[] = {
        {{u"a.jpg"_s, u"b.png"_s}, false},
        {{u"a.jpg"_s, u"b.txt"_s}, true},
    };
    for (const Case &testCase : cases) {
        Groups groups;
        for (const QString &name : testCase.names)
            groups.push_back(realGroup(name, 2));
        open(groups);
        EXPECT_EQ(!form().categoryContainer->isHidden(), testCase.barShown) << testCase.names.join(u' ').toStdString();
        EXPECT_EQ(form().splitView->mapTo(m_browser->view(), QPoint()).y() == 0, !testCase.barShown);
    }
}

TEST_F(DuplicatesViewControllerTest, TabReachesEveryControlByName)
{
    open({realGroup(u"a.jpg"_s, 2), realGroup(u"b.txt"_s, 3)});
    const QList<QAbstractButton *> categories = form().categoryContainer->findChildren<QAbstractButton *>();
    ASSERT_EQ(categories.size(), 3);
    const QList<QWidget *> reached = tabStops(categories[0]);
    // The categories are one stop, the chosen one; the arrow keys move between them.
    QList<QWidget *> expected{categories[0]};
    expected += {form().sortDropdown, form().searchField, form().filesTableView, form().detailsTableView,
                 form().selectNoneButton, form().keepOldestButton, form().keepNewestButton,
                 form().selectAllButton, form().deselectAllButton, form().autoselectButton};
    EXPECT_EQ(reached, expected);
    categories[0]->setFocus();
    QTest::keyClick(categories[0], Qt::Key_Right);
    EXPECT_EQ(QApplication::focusWidget(), categories[1]);
    expected += {categories[1], categories[2]};
    for (QWidget *control : std::as_const(expected)) {
        QAccessibleInterface *accessible = QAccessible::queryAccessibleInterface(control);
        ASSERT_NE(accessible, nullptr);
        EXPECT_FALSE(accessible->text(QAccessible::Name).isEmpty()) << control->objectName().toStdString();
    }

    // A tick reads as a checked cell of the copies table (the arrow chose images: back to all).
    QTest::mouseClick(categories[0], Qt::LeftButton);
    setTicks(*m_groups[0], u"x."_s);
    setTicks(*m_groups[1], u".x."_s);
    chooseGroups({0, 1});
    ASSERT_EQ(m_browser->detailsModel()->rowCount(), 5);
    QAccessibleInterface *table = QAccessible::queryAccessibleInterface(form().detailsTableView);
    ASSERT_NE(table, nullptr);
    ASSERT_NE(table->tableInterface(), nullptr);
    const auto *details = m_browser->detailsModel();
    for (int row = 0; row < details->rowCount(); ++row) {
        QAccessibleInterface *cell = table->tableInterface()->cellAt(row, DuplicateDetailsModel::TickColumn);
        ASSERT_NE(cell, nullptr);
        EXPECT_TRUE(cell->state().checkable);
        EXPECT_EQ(bool(cell->state().checked), details->fileAt(row)->isSelected()) << row;
    }
}

TEST_F(DuplicatesViewControllerTest, TheTouchBarCarriesTheSelectionButtonsAndNext)
{
    // Linux has no touch bar; switched on here to follow what the screen would show.
    TouchBar bar;
    RQTouchBarController &touchBar = RQTouchBarController::sharedController();
    TouchBar::setAvailable(true);
    touchBar.setTouchBar(&bar);
    touchBar.setTouchBarViews({});
    const auto switchOff = qScopeGuard([&] {
        touchBar.setTouchBar(nullptr);
        TouchBar::setAvailable(false);
    });

    open({realGroup(u"abc.txt"_s, 3)});
    QPushButton windowNext;
    m_browser->setTouchBarNextButton(&windowNext);
    QSignalSpy nextPressed(&windowNext, &QAbstractButton::clicked);
    m_browser->rq_viewDidAppear();
    QWidget *view = m_browser->touchBarView();
    ASSERT_NE(view, nullptr);
    ASSERT_EQ(bar.templateItems().size(), 1);
    EXPECT_EQ(bar.templateItems().constFirst().view(), view);

    const auto button = [&](const QString &title) {
        for (auto *candidate : view->findChildren<RQTouchBarButton *>()) {
            if (candidate->text() == title)
                return candidate;
        }
        return static_cast<RQTouchBarButton *>(nullptr);
    };
    RQTouchBarButton *next = button(u"Next"_s);
    ASSERT_NE(next, nullptr);
    view->resize(600, 40);
    view->show();
    m_browser->actuallyUpdateBottomToolbar();
    EXPECT_FALSE(next->isEnabled());

    m_preferences.setSuppressSelectAllFilesWarning(true);
    QTest::mouseClick(button(u"Select All"_s), Qt::LeftButton);
    EXPECT_EQ(ticks(*m_groups[0]), u"xx."_s);
    m_browser->actuallyUpdateBottomToolbar();
    EXPECT_TRUE(next->isEnabled());
    EXPECT_TRUE(windowNext.isEnabled());
    QTest::mouseClick(next, Qt::LeftButton);
    EXPECT_EQ(nextPressed.count(), 1);

    const auto [single, twice] = ScreenCapture::save(*view, u"results-touch-bar"_s);
    EXPECT_EQ(twice.size(), single.size() * 2);
    const QPoint inNext = next->geometry().topLeft() + QPoint(6, next->height() / 2);
    EXPECT_EQ(single.pixelColor(inNext).rgb(), RQBlueTouchBarButtonCell().backgroundColor(next->palette()).rgb());

    m_preferences.setSuppressDeselectAllFilesWarning(true);
    QTest::mouseClick(button(u"Deselect All"_s), Qt::LeftButton);
    EXPECT_EQ(ticks(*m_groups[0]), u"..."_s);
}

// A landscape picture is previewed whole in the pane, its proportions kept.
TEST_F(DuplicatesViewControllerTest, ALandscapePictureIsPreviewedWhole)
{
    FileIconProvider::install();
    QImage picture(800, 600, QImage::Format_RGB32);
    picture.fill(QColor(0x3b, 0x87, 0xcf));
    QPainter(&picture).fillRect(QRect(0, 0, 800, 60), Qt::darkGreen);
    QByteArray png;
    QBuffer buffer(&png);
    ASSERT_TRUE(buffer.open(QIODevice::WriteOnly) && picture.save(&buffer, "PNG"));
    open({realGroup(u"Lake at dawn.png"_s, 2, 0, png)});
    processEventsFor(20);
    ASSERT_EQ(form().previewView->kind(), PreviewView::Kind::Image);
    const QSize shown = form().previewView->shownImageSize();
    EXPECT_LE(shown.width(), form().previewView->width());
    EXPECT_LE(shown.height(), form().previewView->height());
    EXPECT_NEAR(double(shown.width()) / shown.height(), 800.0 / 600.0, 0.02);
    const auto [single, twice] = ScreenCapture::save(*m_browser->view(), u"results-browser-landscape-preview"_s);
    EXPECT_EQ(twice.size(), single.size() * 2);
}

// A new order keeps the chosen groups chosen, and the copies shown are theirs.
TEST_F(DuplicatesViewControllerTest, ANewOrderKeepsTheChosenGroups)
{
    open({realGroup(u"c.txt"_s, 2, 0, QByteArray(30, 'c')), realGroup(u"a.txt"_s, 2, 0, QByteArray(10, 'a')),
          realGroup(u"b.txt"_s, 2, 0, QByteArray(20, 'b'))});
    // As a click does: the row becomes the current one, and the only one chosen.
    form().filesTableView->selectionModel()->setCurrentIndex(
        m_browser->visibleGroups()->index(visibleRowOf(2), 0),
        QItemSelectionModel::ClearAndSelect | QItemSelectionModel::Rows);
    ASSERT_EQ(m_browser->detailsModel()->groupRows(), QList<int>{2});
    for (const qint64 item : {qint64(2), qint64(6), qint64(0)}) {
        SCOPED_TRACE(item);
        m_browser->didChangeSort(item);
        processEventsFor(10);
        QList<int> chosen;
        for (const QModelIndex &index : form().filesTableView->selectionModel()->selectedRows())
            chosen.append(m_browser->visibleGroups()->groupRow(index.row()));
        EXPECT_EQ(chosen, QList<int>{2});
        EXPECT_EQ(m_browser->detailsModel()->groupRows(), QList<int>{2});
        EXPECT_EQ(form().filesTableView->currentIndex().row(), visibleRowOf(2));
    }
}

// As a user meets it: a click chooses a group, the sort button's menu orders by name; the
// group stays chosen, in sight, and the copies and the preview stay its own.
TEST_F(DuplicatesViewControllerTest, SortingByNameFromTheMenuKeepsTheClickedGroup)
{
    Groups groups;
    // Sizes fall as the names rise, so the order by name turns the list over.
    for (int index = 0; index < 30; ++index)
        groups.push_back(realGroup(u"n%1.txt"_s.arg(index, 2, 10, QLatin1Char('0')), 2, 0, QByteArray(100 - index, 'x')));
    open(groups);
    VXTableView *list = form().filesTableView;
    const QRect second = list->visualRect(m_browser->visibleGroups()->index(1, 0));
    QTest::mouseClick(list->viewport(), Qt::LeftButton, {}, second.center());
    const int clicked = m_browser->visibleGroups()->groupRow(1);
    ASSERT_EQ(m_browser->detailsModel()->groupRows(), QList<int>{clicked});

    for (const char *title : {"Name", "Ascending"}) {
        SCOPED_TRACE(title);
        QTimer::singleShot(50, [title] {
            auto *menu = qobject_cast<QMenu *>(QApplication::activePopupWidget());
            if (!menu)
                return;
            for (QAction *item : menu->actions()) {
                if (item->text() == QLatin1String(title))
                    QTest::mouseClick(menu, Qt::LeftButton, {}, menu->actionGeometry(item).center());
            }
        });
        QTest::mouseClick(form().sortDropdown, Qt::LeftButton);
        processEventsFor(50);
        ASSERT_EQ(QApplication::activePopupWidget(), nullptr);

        QList<int> chosen;
        for (const QModelIndex &index : list->selectionModel()->selectedRows())
            chosen.append(m_browser->visibleGroups()->groupRow(index.row()));
        EXPECT_EQ(chosen, QList<int>{clicked});
        EXPECT_EQ(m_browser->visibleGroups()->groupRow(list->currentIndex().row()), clicked);
        EXPECT_TRUE(list->viewport()->rect().intersects(list->visualRect(list->currentIndex())));
        EXPECT_EQ(m_browser->detailsModel()->groupRows(), QList<int>{clicked});
        EXPECT_EQ(form().pathLabel->text(), m_groups[std::size_t(clicked)]->fileName());
    }
}

// Select All as a user does it: the button, then Select in the alert. Every groups row whose
// ticks changed is told so by dataChanged, so it repaints its badge wherever it lies.
TEST_F(DuplicatesViewControllerTest, SelectAllTellsEveryRowWhoseTicksChanged)
{
    Groups groups;
    for (int index = 0; index < 12; ++index)
        groups.push_back(realGroup(u"g%1.txt"_s.arg(index), 2 + index % 3));
    open(groups);
    QAbstractItemModel *shown = form().filesTableView->model();
    QSignalSpy changed(shown, &QAbstractItemModel::dataChanged);
    QTest::mouseClick(form().selectAllButton, Qt::LeftButton);
    answerAlert(u"Select"_s);

    QSet<int> covered;
    for (const QList<QVariant> &signal : std::as_const(changed)) {
        const QModelIndex top = signal[0].value<QModelIndex>();
        const QModelIndex bottom = signal[1].value<QModelIndex>();
        const QList<int> roles = signal[2].value<QList<int>>();
        if (!roles.isEmpty() && !roles.contains(GroupRowRoles::SelectedCountRole))
            continue;
        for (int row = top.row(); row <= bottom.row(); ++row)
            covered.insert(row);
    }
    for (int row = 0; row < shown->rowCount(); ++row) {
        EXPECT_GT(shown->index(row, 0).data(GroupRowRoles::SelectedCountRole).toInt(), 0) << row;
        EXPECT_TRUE(covered.contains(row)) << row;
    }
    // Ranges, not a signal per row.
    EXPECT_LE(changed.size(), 2);
}

// A file inside a ticked folder goes with the folder: its box is drawn half ticked and greyed,
// takes no click, and its tip names the folder; a copy outside any ticked folder is as before.
TEST_F(DuplicatesViewControllerTest, AFileInsideATickedFolderIsShownAsGoingWithIt)
{
    RQDuplicateFiles::Members albums;
    RQDuplicateFiles::Members photos;
    for (int index = 0; index < 2; ++index) {
        const QString path = m_folder.writeFile(u"c%1/album/photo.jpg"_s.arg(index), "picture");
        auto album = std::static_pointer_cast<RQDirectory>(folder(QFileInfo(path).path() + u'/', 7));
        album->setCreationDate(day(index));
        auto photo = file(path, 7, 10 + index);
        album->addChild(photo);
        albums.push_back(album);
        photos.push_back(photo);
    }
    photos.push_back(file(m_folder.writeFile(u"c2/photo.jpg"_s, "picture"), 7, 12));
    open({group(albums), group(photos)});
    VXTableView *list = form().filesTableView;
    QTest::mouseClick(list->viewport(), Qt::LeftButton, {}, list->visualRect(m_browser->visibleGroups()->index(0, 0)).center());
    QTest::mouseClick(list->viewport(), Qt::LeftButton, Qt::ControlModifier,
                      list->visualRect(m_browser->visibleGroups()->index(1, 0)).center());
    ASSERT_EQ(m_browser->detailsModel()->rowCount(), 5);

    clickTick(albums[0]);
    ASSERT_TRUE(albums[0]->isSelected());
    ASSERT_TRUE(noAlertShows());
    // The covered photo's box takes no click; the photo in the other, unticked album does.
    clickTick(photos[0]);
    clickTick(photos[1]);
    EXPECT_EQ(ticks(*m_groups[1]), u".x."_s);

    DuplicateDetailsModel *copies = m_browser->detailsModel();
    const auto tipOf = [&](const std::shared_ptr<RQFile> &copy) {
        return copies->index(copies->rowOfFile(copy.get()), DuplicateDetailsModel::FileColumn).data(Qt::ToolTipRole).toString();
    };
    EXPECT_TRUE(tipOf(photos[0]).contains(albums[0]->path())) << tipOf(photos[0]).toStdString();
    EXPECT_TRUE(tipOf(photos[1]).isEmpty());
    EXPECT_TRUE(tipOf(photos[2]).isEmpty());

    // Drawn: the covered box looks like neither an unticked nor a ticked one.
    auto *delegate = static_cast<HSFileCellView *>(form().detailsTableView->itemDelegateForColumn(DuplicateDetailsModel::TickColumn));
    form().detailsTableView->clearSelection();
    const auto boxOf = [&](const std::shared_ptr<RQFile> &copy) {
        const QModelIndex tick = copies->index(copies->rowOfFile(copy.get()), DuplicateDetailsModel::TickColumn);
        form().detailsTableView->scrollTo(tick);
        const QRect box = delegate->checkBoxRect(form().detailsTableView->visualRect(tick));
        return form().detailsTableView->viewport()->grab(box).toImage();
    };
    EXPECT_NE(boxOf(photos[0]), boxOf(photos[2]));
    EXPECT_NE(boxOf(photos[0]), boxOf(photos[1]));

    // Unticking the folder gives the photo its own box back.
    clickTick(albums[0]);
    EXPECT_TRUE(tipOf(photos[0]).isEmpty());
    clickTick(photos[0]);
    EXPECT_EQ(ticks(*m_groups[1]), u"xx."_s);
    clickTick(photos[0]);
    clickTick(albums[0]);
    ScreenCapture::save(*m_browser->view(), u"results-browser-covered-file"_s);
}
