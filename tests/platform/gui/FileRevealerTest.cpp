#include "platform/gui/FileRevealer.h"

#include "support/EventLoop.h"
#include "support/FakeFileManager.h"
#include "support/PrivateBus.h"
#include "support/TemporaryFolder.h"

#include <gtest/gtest.h>

#include <QApplication>
#include <QDesktopServices>
#include <QMessageBox>
#include <QObject>

#include <memory>

using namespace Qt::StringLiterals;

namespace {

// Catches what QDesktopServices would open.
class OpenedUrls final : public QObject
{
    Q_OBJECT

public:
    OpenedUrls() { QDesktopServices::setUrlHandler(u"file"_s, this, "openUrl"); }
    ~OpenedUrls() override { QDesktopServices::unsetUrlHandler(u"file"_s); }
    Q_DISABLE_COPY_MOVE(OpenedUrls)

    QList<QUrl> urls;

public Q_SLOTS:
    void openUrl(const QUrl &url) { urls.append(url); }
};

class FileRevealerTest : public ::testing::Test
{
protected:
    void SetUp() override
    {
        if (!m_bus.isRunning())
            GTEST_SKIP() << "dbus-daemon is not installed";
        m_paths = {m_folder.writeFile(u"one/a.txt"_s, "a"), m_folder.writeFile(u"two/b.txt"_s, "b"),
                   m_folder.writeFile(u"one/c d.txt"_s, "c")};
    }

    PrivateBus m_bus;
    TemporaryFolder m_folder;
    QStringList m_paths;
    OpenedUrls m_opened;
};

} // namespace

TEST_F(FileRevealerTest, OneCallShowsEveryFile)
{
    FakeFileManager fileManager(m_bus.connect(u"file-manager"_s));
    ASSERT_TRUE(fileManager.isServing());
    FileRevealer(m_bus.connect(u"revealer"_s)).revealPaths(m_paths);
    ASSERT_TRUE(processEventsUntil([&] { return !fileManager.calls.isEmpty(); }));
    processEventsFor(50);
    ASSERT_EQ(fileManager.calls.size(), 1);
    EXPECT_EQ(fileManager.calls[0], (QStringList{QUrl::fromLocalFile(m_paths[0]).toString(QUrl::FullyEncoded),
                                                 QUrl::fromLocalFile(m_paths[1]).toString(QUrl::FullyEncoded),
                                                 QUrl::fromLocalFile(m_paths[2]).toString(QUrl::FullyEncoded)}));
    EXPECT_TRUE(fileManager.calls[0][2].endsWith(u"one/c%20d.txt"_s));
    EXPECT_TRUE(m_opened.urls.isEmpty());
}

TEST_F(FileRevealerTest, WithoutAFileManagerEachParentFolderOpensOnce)
{
    const QList<QUrl> folders = {QUrl::fromLocalFile(m_folder.filePath(u"one"_s)),
                                 QUrl::fromLocalFile(m_folder.filePath(u"two"_s))};
    // No file manager on the bus, and no bus at all.
    const QDBusConnection connections[] = {m_bus.connect(u"revealer"_s), QDBusConnection(u"no such bus"_s)};
    for (const QDBusConnection &connection : connections) {
        m_opened.urls.clear();
        FileRevealer(connection).revealPaths(m_paths);
        ASSERT_TRUE(processEventsUntil([&] { return m_opened.urls.size() >= 2; }));
        EXPECT_EQ(m_opened.urls, folders);
    }
}

// With no file manager and nothing to open a folder, an alert on the window names the folder.
TEST(FileRevealerAlertTest, AFolderThatCannotBeOpenedIsNamedInAnAlert)
{
    TemporaryFolder folder;
    const QString path = folder.writeFile(u"one/a.txt"_s, "a");
    QWidget window;
    window.show();
    FileRevealer(QDBusConnection(u"no such bus"_s)).revealPaths({path}, &window);
    QMessageBox *alert = nullptr;
    ASSERT_TRUE(processEventsUntil([&] { return (alert = window.findChild<QMessageBox *>()) && alert->isVisible(); }));
    EXPECT_EQ(alert->text(), u"The file manager could not be opened."_s);
    EXPECT_TRUE(alert->informativeText().contains(folder.filePath(u"one"_s))) << alert->informativeText().toStdString();
    alert->done(0);

    // Without a window to tell, nothing is shown.
    FileRevealer(QDBusConnection(u"no such bus"_s)).revealPaths({path});
    processEventsFor(20);
    for (QWidget *widget : QApplication::topLevelWidgets())
        EXPECT_FALSE(qobject_cast<QMessageBox *>(widget) && widget->isVisible());
}

TEST(FileRevealerFoldersTest, AFolderIsShownInItsParent)
{
    EXPECT_EQ(FileRevealer::parentFolders({QUrl::fromLocalFile(u"/a/b/"_s), QUrl::fromLocalFile(u"/a/c"_s),
                                           QUrl::fromLocalFile(u"/d"_s)}),
              (QList<QUrl>{QUrl::fromLocalFile(u"/a"_s), QUrl::fromLocalFile(u"/"_s)}));
}

#include "FileRevealerTest.moc"
