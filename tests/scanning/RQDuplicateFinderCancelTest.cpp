#include "scanning/RQDuplicateFinder.h"
#include "scanning/RQHashHelper.h"
#include "scanning/Sha1Hasher.h"

#include "support/EventLoop.h"
#include "support/TemporaryFolder.h"

#include <QDir>
#include <QFile>

#include <gtest/gtest.h>

#include <iostream>
#include <fcntl.h>
#include <memory>
#include <thread>
#include <unistd.h>

using namespace Qt::StringLiterals;

namespace {

// Every callback a scan may run, counted, with the count at the moment of cancelling kept.
struct CallbackCounter
{
    void attach(RQDuplicateFinder &finder)
    {
        finder.setCompletionBlock([this](const auto &, const auto &) {
            ++count;
            completed = true;
        });
        finder.setFailureBlock([this](const auto &) { ++count; });
        finder.setProgressBlock([this](qint64, double) { ++count; });
        finder.setDidScanFileBlock([this](qint64 total) {
            ++count;
            scanned = total;
        });
        finder.setDidFindDuplicateBlock([this](qint64, double) { ++count; });
    }

    int count = 0;
    qint64 scanned = 0;
    bool completed = false;
};

// folders × filesPerFolder files of one byte each, all of one size so that every one is digested.
// Each is a hard link to one of two files per folder kept in originals, outside the tree: one
// system call a file, where writing each took minutes for 200,000 on a loaded machine.
void makeTree(const QString &root, const QString &originals, int folders, int filesPerFolder)
{
    for (int folder = 0; folder < folders; ++folder) {
        const QString folderPath = root + u"/d%1"_s.arg(folder);
        ASSERT_TRUE(QDir().mkpath(folderPath));
        QByteArray sources[2];
        for (int variant = 0; variant < 2; ++variant) {
            sources[variant] = QFile::encodeName(originals + u"/d%1-%2"_s.arg(folder).arg(variant));
            const int descriptor = ::open(sources[variant].constData(), O_WRONLY | O_CREAT | O_CLOEXEC, 0644);
            ASSERT_GE(descriptor, 0);
            const char byte = static_cast<char>('a' + variant);
            ASSERT_EQ(::write(descriptor, &byte, 1), 1);
            ::close(descriptor);
        }
        for (int file = 0; file < filesPerFolder; ++file) {
            const QByteArray path = QFile::encodeName(folderPath + u"/f%1"_s.arg(file));
            ASSERT_EQ(::link(sources[file % 2].constData(), path.constData()), 0) << path.constData();
        }
    }
}

} // namespace

TEST(RQDuplicateFinderCancelTest, QuitDuringAScanOfALargeTreeRunsNoFurtherCallback)
{
    TemporaryFolder folder;
    const TemporaryFolder originals;
    makeTree(folder.path(), originals.path(), 400, 500);

    CallbackCounter counter;
    auto finder = RQDuplicateFinder::duplicateFinderWithPaths({folder.path()}, 0);
    counter.attach(*finder);
    finder->start();
    ASSERT_TRUE(processEventsUntil([&counter] { return counter.scanned > 0 || counter.completed; }));

    // As the main window does when the program quits: cancel, from another thread too, and wait.
    std::thread other([&finder] { finder->cancel(); });
    finder->cancel();
    other.join();
    const int countAtCancel = counter.count;
    finder->waitUntilFinished();
    processEventsFor(100);
    EXPECT_EQ(counter.count, countAtCancel);
    EXPECT_FALSE(counter.completed);
    std::cout << "[ info ] items scanned before the cancel took hold: " << finder->totalFilesScanned() << " of 200401\n";
}

TEST(RQDuplicateFinderCancelTest, ACancelledScanReadsNothingAndWaitingWithoutAScanReturns)
{
    TemporaryFolder folder;
    const TemporaryFolder originals;
    makeTree(folder.path(), originals.path(), 2, 3);
    CallbackCounter counter;
    auto finder = RQDuplicateFinder::duplicateFinderWithPaths({folder.path()}, 0);
    finder->waitUntilFinished();
    counter.attach(*finder);
    finder->cancel();
    finder->start();
    finder->waitUntilFinished();
    processEventsFor(50);
    EXPECT_EQ(finder->totalFilesScanned(), 0) << "no entry is walked";
    EXPECT_EQ(counter.count, 0);

    // The same tree scanned to its end still finds its copies.
    CallbackCounter whole;
    auto complete = RQDuplicateFinder::duplicateFinderWithPaths({folder.path()}, 0);
    complete->setDidScanFileBlock([&whole](qint64 total) { whole.scanned = total; });
    std::optional<RQDuplicateFinder::Groups> groups;
    complete->setCompletionBlock([&](const auto &, const auto &found) {
        groups = found;
        whole.completed = true;
    });
    complete->start();
    ASSERT_TRUE(processEventsUntil([&whole] { return whole.completed; }));
    complete->waitUntilFinished();
    ASSERT_TRUE(groups.has_value());
    EXPECT_FALSE(groups->empty());
}

TEST(RQDuplicateFinderCancelTest, DigestsStopBeforeTheNextChunk)
{
    TemporaryFolder folder;
    const QString path = folder.writeFile(u"big"_s, QByteArray(3 * 64 * 1024, 'x'));
    constexpr qint64 size = 3 * 64 * 1024;
    int asked = 0;
    Sha1Hasher stopped;
    std::optional<FileVersion> version;
    EXPECT_EQ(hashFileRange(path, 64 * 1024, {}, size, 0, size, stopped, version, [&asked] { return ++asked > 2; }),
              FileRangeRead::Stopped);
    EXPECT_EQ(asked, 3) << "asked before each chunk until it stopped";
    Sha1Hasher whole;
    EXPECT_EQ(hashFileRange(path, 64 * 1024, {}, size, 0, size, whole, version, [] { return false; }),
              FileRangeRead::Read);
    EXPECT_EQ(whole.finish(), Sha1Hasher::digest(QByteArray(size, 'x').constData(), size));
}
