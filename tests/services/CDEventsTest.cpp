#include "services/CDEvents.h"

#include "support/EventLoop.h"
#include "support/TemporaryFolder.h"

#include <gtest/gtest.h>

#include <QCoreApplication>
#include <QDir>
#include <QFile>
#include <QThread>

#include <functional>
#include <memory>
#include <vector>

using namespace Qt::StringLiterals;

namespace {

using EventPointer = std::shared_ptr<const CDEvent>;

int openDescriptors()
{
    return int(QDir(u"/proc/self/fd"_s).entryList(QDir::AllEntries | QDir::NoDotAndDotDot | QDir::System).size());
}

QList<QUrl> urls(const QStringList &paths)
{
    QList<QUrl> list;
    for (const QString &path : paths)
        list.append(QUrl::fromLocalFile(path));
    return list;
}

class CDEventsTest : public ::testing::Test
{
protected:
    void SetUp() override { m_root = m_folder.makeFolder(u"a"_s); }

    // A watcher of the given folders (the test's "a" by default) that keeps every event.
    std::unique_ptr<CDEvents> watch(const QStringList &paths = {}, const QStringList &excluded = {},
                                    bool ignoreSubDirectories = false)
    {
        return std::make_unique<CDEvents>(
            urls(paths.isEmpty() ? QStringList{m_root} : paths), recorder(),
            QThread::currentThread(), CDEvents::sinceNow, 0.05, ignoreSubDirectories,
            urls(excluded), CDEvents::defaultStreamCreationFlags);
    }

    CDEvents::EventBlock recorder()
    {
        return [this](CDEvents &, const EventPointer &event) {
            m_events.push_back(event);
            m_threads.push_back(QThread::currentThread());
        };
    }

    QString path(const QString &relative) const { return m_root + u'/' + relative; }

    EventPointer eventFor(const QString &eventPath, quint32 flags = 0) const
    {
        for (const EventPointer &event : m_events) {
            if (event->URL().toLocalFile() == eventPath && (event->flags() & flags) == flags)
                return event;
        }
        return nullptr;
    }

    // Waits for an event of the path that carries all the flags.
    bool arrives(const QString &eventPath, quint32 flags = 0) const
    {
        return processEventsUntil([&] { return eventFor(eventPath, flags) != nullptr; });
    }

    TemporaryFolder m_folder;
    QString m_root;
    std::vector<EventPointer> m_events;
    std::vector<QThread *> m_threads;
};

} // namespace

TEST_F(CDEventsTest, ChangesArriveWithTheirFlagsInBatchesOnTheWatchersThread)
{
    m_folder.writeFile(u"a/old"_s, "old");
    m_folder.writeFile(u"a/doomed"_s, "x");
    m_folder.writeFile(u"a/moved"_s, "x");
    const auto watcher = watch();

    struct Case
    {
        const char *name;
        std::function<void()> change;
        QString path;
        quint32 flags;
    };
    const Case cases[] = {
        {"file made", [&] { m_folder.writeFile(u"a/new"_s, "n"); }, path(u"new"_s),
         CDEvent::Created | CDEvent::IsFile},
        {"file written", [&] {
             QFile file(path(u"old"_s));
             ASSERT_TRUE(file.open(QIODevice::Append));
             file.write("more");
         }, path(u"old"_s), CDEvent::Modified | CDEvent::IsFile},
        {"permissions", [&] { QFile::setPermissions(path(u"old"_s), QFile::ReadOwner); },
         path(u"old"_s), CDEvent::InodeMetadataModified | CDEvent::IsFile},
        {"file removed", [&] { QFile::remove(path(u"doomed"_s)); }, path(u"doomed"_s),
         CDEvent::Removed | CDEvent::IsFile},
        {"renamed from", [&] { QFile::rename(path(u"moved"_s), path(u"renamed"_s)); },
         path(u"moved"_s), CDEvent::Renamed | CDEvent::IsFile},
        {"renamed to", [] {}, path(u"renamed"_s), CDEvent::Renamed | CDEvent::IsFile},
        {"folder made", [&] { m_folder.makeFolder(u"a/folder"_s); }, path(u"folder"_s),
         CDEvent::Created | CDEvent::IsDir},
        {"link made", [&] { m_folder.makeSymlink(u"a/link"_s, path(u"old"_s)); },
         path(u"link"_s), CDEvent::Created | CDEvent::IsSymlink},
    };
    for (const Case &entry : cases) {
        entry.change();
        EXPECT_TRUE(arrives(entry.path, entry.flags)) << entry.name;
    }

    for (std::size_t index = 1; index < m_events.size(); ++index)
        EXPECT_LT(m_events[index - 1]->identifier(), m_events[index]->identifier());
    EXPECT_EQ(CDEvents::currentEventIdentifier(), m_events.back()->identifier());
    for (QThread *thread : m_threads)
        EXPECT_EQ(thread, QCoreApplication::instance()->thread());
}

TEST_F(CDEventsTest, ChangesOfOnePathWithinTheLatencyBecomeOneEvent)
{
    const auto watcher = watch();
    m_folder.writeFile(u"a/file"_s, "1");
    QFile::remove(path(u"file"_s));
    watcher->flushSynchronously();
    ASSERT_EQ(m_events.size(), 1u);
    EXPECT_TRUE(m_events[0]->isCreated());
    EXPECT_TRUE(m_events[0]->isRemoved());
}

TEST_F(CDEventsTest, FoldersThatAppearAreWatchedWithWhatTheyAlreadyHold)
{
    const auto watcher = watch();
    m_folder.makeFolder(u"a/b"_s);
    ASSERT_TRUE(arrives(path(u"b"_s), CDEvent::Created | CDEvent::IsDir));
    m_folder.writeFile(u"a/b/inside"_s, "x");
    EXPECT_TRUE(arrives(path(u"b/inside"_s), CDEvent::Created | CDEvent::IsFile));

    // Made in one go, before the watcher could watch the new folders.
    m_folder.writeFile(u"a/x/y/z/deep"_s, "x");
    EXPECT_TRUE(arrives(path(u"x/y/z/deep"_s), CDEvent::Created | CDEvent::IsFile));
    m_folder.writeFile(u"a/x/y/z/later"_s, "x");
    EXPECT_TRUE(arrives(path(u"x/y/z/later"_s), CDEvent::Created));

    // A folder moved away is no longer watched; moved back in, it is again.
    ASSERT_TRUE(QFile::rename(path(u"b"_s), m_folder.filePath(u"outside"_s)));
    ASSERT_TRUE(arrives(path(u"b"_s), CDEvent::Renamed | CDEvent::IsDir));
    m_folder.writeFile(u"outside/unseen"_s, "x");
    ASSERT_TRUE(QFile::rename(m_folder.filePath(u"outside"_s), path(u"back"_s)));
    ASSERT_TRUE(arrives(path(u"back"_s), CDEvent::Renamed));
    m_folder.writeFile(u"a/back/seen"_s, "x");
    EXPECT_TRUE(arrives(path(u"back/seen"_s), CDEvent::Created));
    EXPECT_EQ(eventFor(m_folder.filePath(u"outside/unseen"_s)), nullptr);
}

TEST_F(CDEventsTest, ExclusionsDropEveryPathThatBeginsWithTheirs)
{
    m_folder.makeFolder(u"a/tmp"_s);
    const auto watcher = watch({}, {path(u"tmp"_s)});
    m_folder.writeFile(u"a/tmp/x"_s, "x");
    m_folder.writeFile(u"a/tmpfile"_s, "x");
    QFile::setPermissions(path(u"tmp"_s), QFile::ReadOwner | QFile::WriteOwner | QFile::ExeOwner);
    m_folder.writeFile(u"a/kept"_s, "x");
    ASSERT_TRUE(arrives(path(u"kept"_s)));
    watcher->flushSynchronously();
    for (const EventPointer &event : m_events)
        EXPECT_FALSE(event->URL().toLocalFile().startsWith(path(u"tmp"_s))) << event->description().toStdString();
    EXPECT_EQ(watcher->excludedURLs(), urls({path(u"tmp"_s)}));
}

TEST_F(CDEventsTest, IgnoringSubfoldersDeliversOnlyEventsOfTheWatchedFolders)
{
    m_folder.makeFolder(u"a/b"_s);
    const auto watcher = watch({}, {}, true);
    QFile::setPermissions(path(u"b"_s), QFile::ReadOwner | QFile::WriteOwner | QFile::ExeOwner);
    m_folder.writeFile(u"a/file"_s, "x");
    QFile::setPermissions(m_root, QFile::ReadOwner | QFile::WriteOwner | QFile::ExeOwner);
    ASSERT_TRUE(arrives(m_root, CDEvent::InodeMetadataModified | CDEvent::IsDir));
    watcher->flushSynchronously();
    for (const EventPointer &event : m_events)
        EXPECT_EQ(event->URL().toLocalFile(), m_root) << event->description().toStdString();
}

TEST_F(CDEventsTest, TheLastEventIsTheLastOneDeliveredInTheBatch)
{
    const auto watcher = watch({}, {path(u"z"_s)});
    EXPECT_EQ(watcher->lastEvent(), nullptr);
    m_folder.writeFile(u"a/1"_s, "x");
    m_folder.writeFile(u"a/2"_s, "x");
    m_folder.writeFile(u"a/z"_s, "x");
    watcher->flushSynchronously();
    ASSERT_EQ(m_events.size(), 2u);
    EXPECT_EQ(watcher->lastEvent(), m_events[1]);
    EXPECT_EQ(watcher->lastEvent()->URL().toLocalFile(), path(u"2"_s));
}

TEST_F(CDEventsTest, WatchedFoldersThatAreRemovedOrRenamedAreReportedAndTheRestGoesOn)
{
    const int before = openDescriptors();
    {
        const QString moved = m_folder.makeFolder(u"moved"_s);
        const QString removed = m_folder.makeFolder(u"removed/inner"_s).section(u'/', 0, -2);
        const auto watcher = watch({moved, removed, m_root});
        ASSERT_TRUE(QFile::rename(moved, m_folder.filePath(u"moved-away"_s)));
        ASSERT_TRUE(QDir(removed).removeRecursively());
        EXPECT_TRUE(arrives(moved, CDEvent::RootChanged));
        EXPECT_TRUE(arrives(removed, CDEvent::RootChanged));

        m_folder.writeFile(u"a/still"_s, "x");
        EXPECT_TRUE(arrives(path(u"still"_s), CDEvent::Created));
        m_folder.writeFile(u"moved-away/unseen"_s, "x");
        watcher->flushSynchronously();
        EXPECT_EQ(eventFor(m_folder.filePath(u"moved-away/unseen"_s)), nullptr);
        EXPECT_EQ(eventFor(moved + u"/unseen"_s), nullptr);
    }
    EXPECT_EQ(openDescriptors(), before);
}

TEST_F(CDEventsTest, WrongArgumentsAndUnwatchableFoldersRaiseAndLeakNothing)
{
    struct Case
    {
        const char *name;
        std::function<void()> make;
        const char *reason;
    };
    const QString invalid = u"Invalid arguments passed to CDEvents init-method."_s;
    const QString failed = u"Failed to create event stream."_s;
    QThread otherThread;
    const CDEvents::EventBlock block = recorder();
    const QList<QUrl> folders = urls({m_root});
    const auto nowhere = urls({m_folder.filePath(u"missing"_s)});
    const Case cases[] = {
        {"no folders", [&] { std::make_unique<CDEvents>(QList<QUrl>(), block); }, "invalid"},
        {"no block", [&] { std::make_unique<CDEvents>(folders, CDEvents::EventBlock()); }, "invalid"},
        {"no delegate",
         [&] { std::make_unique<CDEvents>(folders, static_cast<CDEventsDelegate *>(nullptr)); },
         "invalid"},
        {"another thread", [&] { std::make_unique<CDEvents>(folders, block, &otherThread); }, "invalid"},
        {"missing folder", [&] { std::make_unique<CDEvents>(nowhere, block); }, "failed"},
        {"not a local folder",
         [&] { std::make_unique<CDEvents>(QList<QUrl>{QUrl(u"https://example.invalid/"_s)}, block); },
         "failed"},
    };
    const int before = openDescriptors();
    for (const Case &entry : cases) {
        const bool expectInvalid = QByteArray(entry.reason) == "invalid";
        try {
            entry.make();
            ADD_FAILURE() << entry.name << ": nothing raised";
        } catch (const std::invalid_argument &error) {
            EXPECT_TRUE(expectInvalid) << entry.name;
            EXPECT_EQ(QString::fromUtf8(error.what()), invalid) << entry.name;
        } catch (const CDEventsEventStreamCreationFailureException &error) {
            EXPECT_FALSE(expectInvalid) << entry.name;
            EXPECT_EQ(QString::fromUtf8(error.what()), failed) << entry.name;
        }
    }
    EXPECT_EQ(openDescriptors(), before);
}

namespace {

class RecordingDelegate final : public CDEventsDelegate
{
public:
    void URLWatcher(CDEvents &, const EventPointer &event) override { events.push_back(event); }
    std::vector<EventPointer> events;
};

} // namespace

TEST_F(CDEventsTest, DelegatesReceiveEventsAndCopiesWatchAlikeWithoutTheDelegate)
{
    RecordingDelegate delegate;
    CDEvents watcher(urls({m_root}), &delegate);
    EXPECT_EQ(watcher.delegate(), &delegate);
    EXPECT_EQ(watcher.notificationLatency(), 3.0);
    EXPECT_EQ(watcher.sinceEventIdentifier(), CDEvents::sinceNow);
    EXPECT_EQ(watcher.streamCreationFlags(), 5u);
    EXPECT_FALSE(watcher.ignoreEventsFromSubDirectories());
    EXPECT_TRUE(watcher.description().contains(QUrl::fromLocalFile(m_root).toString()));

    const auto copy = watcher.copy();
    EXPECT_EQ(copy->delegate(), nullptr);
    EXPECT_EQ(copy->watchedURLs(), watcher.watchedURLs());
    EXPECT_EQ(copy->notificationLatency(), watcher.notificationLatency());
    EXPECT_EQ(copy->streamCreationFlags(), watcher.streamCreationFlags());

    m_folder.writeFile(u"a/file"_s, "x");
    watcher.flushSynchronously();
    copy->flushSynchronously();
    ASSERT_EQ(delegate.events.size(), 1u);
    EXPECT_EQ(delegate.events[0]->URL().toLocalFile(), path(u"file"_s));
}

TEST_F(CDEventsTest, ABlockMayDestroyItsWatcher)
{
    std::unique_ptr<CDEvents> watcher;
    int calls = 0;
    watcher = std::make_unique<CDEvents>(urls({m_root}), [&](CDEvents &, const EventPointer &) {
        ++calls;
        watcher.reset();
    }, QThread::currentThread(), CDEvents::sinceNow, 0.0, false, QList<QUrl>(), 5u);
    for (const QString &name : {u"1"_s, u"2"_s, u"3"_s})
        m_folder.writeFile(u"a/"_s + name, "x");
    EXPECT_TRUE(processEventsUntil([&] { return watcher == nullptr; }));
    processEventsFor(50);
    EXPECT_EQ(calls, 1);
}

TEST_F(CDEventsTest, FlushingAsynchronouslyDeliversOnALaterTurn)
{
    const auto watcher = std::make_unique<CDEvents>(urls({m_root}), recorder());
    m_folder.writeFile(u"a/file"_s, "x");
    watcher->flushAsynchronously();
    EXPECT_TRUE(m_events.empty());
    EXPECT_TRUE(arrives(path(u"file"_s), CDEvent::Created));
}

TEST(CDEventTest, EachFlagBitAnswersItsOwnQuestion)
{
    using Question = bool (CDEvent::*)() const;
    const Question questions[] = {
        &CDEvent::mustRescanSubDirectories, &CDEvent::isUserDropped, &CDEvent::isKernelDropped,
        &CDEvent::isEventIdentifiersWrapped, &CDEvent::isHistoryDone, &CDEvent::isRootChanged,
        &CDEvent::didVolumeMount, &CDEvent::didVolumeUnmount, &CDEvent::isCreated,
        &CDEvent::isRemoved, &CDEvent::isInodeMetadataModified, &CDEvent::isRenamed,
        &CDEvent::isModified, &CDEvent::isFinderInfoModified, &CDEvent::didChangeOwner,
        &CDEvent::isXattrModified, &CDEvent::isFile, &CDEvent::isDir, &CDEvent::isSymlink,
    };
    const QUrl url = QUrl::fromLocalFile(u"/a"_s);
    for (std::size_t bit = 0; bit < std::size(questions); ++bit) {
        const CDEvent event(1, QDateTime::currentDateTime(), url, 1u << bit);
        for (std::size_t other = 0; other < std::size(questions); ++other)
            EXPECT_EQ((event.*questions[other])(), other == bit) << bit << " " << other;
        EXPECT_FALSE(event.isGenericChange());
    }
    EXPECT_TRUE(CDEvent(1, QDateTime(), url, 0).isGenericChange());
}

TEST(CDEventTest, KeyedCodingKeepsEveryFieldAndRejectsWhatIsIncomplete)
{
    const QDateTime date(QDate(2026, 12, 10), QTime(7, 55, 49), Qt::UTC);
    const auto event = CDEvent::eventWithIdentifier(42, date, QUrl::fromLocalFile(u"/a/b c%4"_s),
                                                    CDEvent::Created | CDEvent::IsFile);
    const auto decoded = CDEvent::decode(event->encode());
    ASSERT_NE(decoded, nullptr);
    EXPECT_EQ(decoded->identifier(), 42u);
    EXPECT_EQ(decoded->date(), date);
    EXPECT_EQ(decoded->URL(), event->URL());
    EXPECT_EQ(decoded->flags(), event->flags());

    QVariantMap incomplete = event->encode();
    incomplete.remove(u"URL"_s);
    EXPECT_EQ(CDEvent::decode(incomplete), nullptr);
    QVariantMap wrongType = event->encode();
    wrongType.insert(u"flags"_s, u"many"_s);
    EXPECT_EQ(CDEvent::decode(wrongType), nullptr);

    EXPECT_TRUE(event->description().endsWith(
        u" { identifier = 42, URL = file:///a/b c%254, flags = 65792, date = 2026-12-10 07:55:49 +0000 }>"_s))
        << event->description().toStdString();
}
