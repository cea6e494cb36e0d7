#include "platform/gui/FolderChooser.h"

#include "platform/gui/ShouldEnableProxyModel.h"

#include "support/EventLoop.h"
#include "support/TemporaryFolder.h"

#include <gtest/gtest.h>

#include <QAbstractItemModelTester>
#include <QDialogButtonBox>
#include <QFileDialog>
#include <QFileSystemModel>
#include <QLineEdit>
#include <QListView>
#include <QPointer>
#include <QPushButton>
#include <QStandardItemModel>
#include <QTest>

#include <memory>
#include <optional>

using namespace Qt::StringLiterals;

namespace {

// Three folders and a file; the folder "refused" is what the predicate turns down.
class FolderChooserTest : public ::testing::Test
{
protected:
    void SetUp() override
    {
        for (const QString &name : {u"alpha"_s, u"beta"_s, u"refused"_s})
            m_folder.makeFolder(name);
        m_folder.writeFile(u"notes.txt"_s, "text"_ba);
        m_window.resize(500, 400);
        m_window.show();
    }

    static bool shouldEnable(const QString &path)
    {
        return QFileInfo(path).isDir() && !path.endsWith(u"/refused"_s);
    }

    // Opens the chooser on the temporary folder and waits until its entries are listed.
    QFileDialog *openChooser()
    {
        QFileDialog *dialog = FolderChooser::open(&m_window, shouldEnable, [this](const QStringList &paths) {
            m_chosen = paths;
        });
        dialog->setDirectory(m_folder.path());
        m_list = dialog->findChild<QListView *>(u"listView"_s);
        EXPECT_NE(m_list, nullptr);
        EXPECT_TRUE(processEventsUntil([&] { return entry(u"notes.txt"_s).isValid(); }));
        return dialog;
    }

    QModelIndex entry(const QString &name) const
    {
        const QAbstractItemModel *model = m_list->model();
        const QModelIndex root = m_list->rootIndex();
        for (int row = 0; row < model->rowCount(root); ++row) {
            const QModelIndex index = model->index(row, 0, root);
            if (index.data().toString() == name)
                return index;
        }
        return {};
    }

    void ctrlClick(const QString &name) const
    {
        const QRect area = m_list->visualRect(entry(name));
        QTest::mouseClick(m_list->viewport(), Qt::LeftButton, Qt::ControlModifier, area.center());
    }

    TemporaryFolder m_folder;
    QWidget m_window;
    QListView *m_list = nullptr;
    std::optional<QStringList> m_chosen;
};

} // namespace

TEST_F(FolderChooserTest, IsASheetOfOurOwnDialogInFolderModeWithTheChooseButton)
{
    QFileDialog *dialog = openChooser();
    ASSERT_NE(dialog, nullptr);
    EXPECT_TRUE(dialog->isVisible());
    EXPECT_EQ(dialog->parentWidget(), &m_window);
    EXPECT_EQ(dialog->windowModality(), Qt::WindowModal);
    EXPECT_EQ(dialog->fileMode(), QFileDialog::Directory);
    EXPECT_TRUE(dialog->testOption(QFileDialog::DontUseNativeDialog));
    EXPECT_TRUE(dialog->testOption(QFileDialog::ReadOnly));
    EXPECT_EQ(dialog->labelText(QFileDialog::Accept), u"Choose"_s);
    EXPECT_EQ(m_list->selectionMode(), QAbstractItemView::ExtendedSelection);
    dialog->reject();
}

TEST_F(FolderChooserTest, RefusedEntriesAreDisabled)
{
    QFileDialog *dialog = openChooser();
    const struct
    {
        QString name;
        bool enabled;
    } cases[] = {{u"alpha"_s, true}, {u"beta"_s, true}, {u"refused"_s, false}, {u"notes.txt"_s, false}};
    for (const auto &entryCase : cases) {
        const Qt::ItemFlags flags = entry(entryCase.name).flags();
        EXPECT_EQ(flags.testFlag(Qt::ItemIsEnabled), entryCase.enabled) << entryCase.name.toStdString();
        EXPECT_EQ(flags.testFlag(Qt::ItemIsSelectable), entryCase.enabled) << entryCase.name.toStdString();
    }
    dialog->reject();
}

TEST_F(FolderChooserTest, SeveralFoldersAreChosenInTheOrderPickedAndRefusedOnesCannotBe)
{
    const QPointer<QFileDialog> dialog = openChooser();
    for (const QString &name : {u"beta"_s, u"refused"_s, u"alpha"_s, u"notes.txt"_s})
        ctrlClick(name);
    QPushButton *choose = dialog->findChild<QDialogButtonBox *>()->button(QDialogButtonBox::Open);
    ASSERT_NE(choose, nullptr);
    EXPECT_EQ(choose->text(), u"Choose"_s);
    EXPECT_TRUE(choose->isEnabled());
    QTest::mouseClick(choose, Qt::LeftButton);

    ASSERT_TRUE(m_chosen.has_value());
    EXPECT_EQ(*m_chosen, QStringList({m_folder.filePath(u"beta"_s), m_folder.filePath(u"alpha"_s)}));
    EXPECT_TRUE(processEventsUntil([&] {
        QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
        return dialog.isNull();
    }));
}

TEST_F(FolderChooserTest, ATypedRefusedFolderIsLeftOutAndCancellingChoosesNothing)
{
    QFileDialog *typed = openChooser();
    auto *name = typed->findChild<QLineEdit *>(u"fileNameEdit"_s);
    ASSERT_NE(name, nullptr);
    QTest::keyClicks(name, u"refused"_s);
    static_cast<QDialog *>(typed)->accept();
    ASSERT_TRUE(m_chosen.has_value());
    EXPECT_TRUE(m_chosen->isEmpty());

    m_chosen.reset();
    QFileDialog *cancelled = openChooser();
    ctrlClick(u"alpha"_s);
    cancelled->reject();
    ASSERT_TRUE(m_chosen.has_value());
    EXPECT_TRUE(m_chosen->isEmpty());
}

TEST(ShouldEnableProxyModelTest, StaysAConsistentModelWhileItsSourceChanges)
{
    // The file-system model would make the tester walk the whole disk; a small tree of paths
    // stands in for it.
    QStandardItemModel source;
    auto item = [](const QString &path) {
        auto *entry = new QStandardItem(path.section(u'/', -1));
        entry->setData(path, QFileSystemModel::FilePathRole);
        return entry;
    };
    ShouldEnableProxyModel proxy([](const QString &path) { return !path.endsWith(u".txt"_s); });
    proxy.setSourceModel(&source);
    QAbstractItemModelTester tester(&proxy, QAbstractItemModelTester::FailureReportingMode::Fatal);
    QStandardItem *inner = item(u"/inner"_s);
    source.appendRow(inner);
    inner->appendRow(item(u"/inner/deeper"_s));
    inner->appendRow(item(u"/inner/file.txt"_s));
    source.removeRow(0, source.index(0, 0));

    const QModelIndex innerIndex = proxy.index(0, 0);
    ASSERT_EQ(proxy.rowCount(innerIndex), 1);
    EXPECT_TRUE(innerIndex.flags().testFlag(Qt::ItemIsEnabled));
    EXPECT_FALSE(proxy.index(0, 0, innerIndex).flags().testFlag(Qt::ItemIsSelectable));
    EXPECT_TRUE(ShouldEnableProxyModel({}).shouldEnable(u"/anything.txt"_s));
}
