#include "scanning/RQDuplicateFinderDigests.h"

#include "ScanFixture.h"
#include "platform/DirectoryWalker.h"
#include "scanning/Sha1Hasher.h"
#include "scanning/RQDuplicateFinderGrouping.h"
#include "scanning/RQDuplicateFinderScan.h"
#include "scanning/RQDuplicateFinderWalk.h"
#include "scanning/RQFile.h"
#include "scanning/RQHashHelper.h"

#include "support/LogCapture.h"
#include "support/PageCache.h"
#include "support/TemporaryFolder.h"

#include <gtest/gtest.h>

#include <QCoreApplication>
#include <QDir>
#include <QFile>

#include <algorithm>
#include <atomic>
#include <cstdio>
#include <fcntl.h>
#include <sys/stat.h>
#include <utility>

using namespace Qt::StringLiterals;

namespace {

// Reports come from several threads at once; keeps the largest.
void keepLargest(std::atomic<qsizetype> &largest, qsizetype value)
{
    qsizetype current = largest.load();
    while (current < value && !largest.compare_exchange_weak(current, value)) {
    }
}

} // namespace

TEST(RQDuplicateFinderDigestsTest, OnlyFilesThatShareASizeAreRead)
{
    const TemporaryFolder folder;
    const std::vector<std::pair<QString, QByteArray>> contents = {
        {u"a"_s, "1234567890"_ba}, {u"b"_s, "12345678901234567890"_ba}, {u"c"_s, "abcdefghij"_ba},
        {u"d"_s, "x"_ba},          {u"e"_s, "y"_ba},                     {u"f"_s, "0987654321"_ba},
        {u"empty"_s, ""_ba},
    };
    std::vector<std::shared_ptr<RQFile>> files;
    RQDuplicateFinderDigests digests(64 * 1024, 64 * 1024);
    for (const auto &[name, content] : contents) {
        files.push_back(fileOfSize(folder.writeFile(name, content), double(content.size())));
        digests.addFile(*files.back());
    }
    std::atomic<qsizetype> last = 0;
    digests.finish([&last](qsizetype digested) { keepLargest(last, digested); });

    EXPECT_EQ(digests.filesAdded(), 7);
    EXPECT_EQ(digests.filesToDigest(), 6);
    QStringList digested;
    for (std::size_t index = 0; index < files.size(); ++index) {
        if (files[index]->contentDigest())
            digested.append(contents[index].first);
    }
    EXPECT_EQ(digested, (QStringList{u"a"_s, u"c"_s, u"d"_s, u"e"_s, u"f"_s, u"empty"_s}));
    EXPECT_EQ(files[0]->fileHash(), RQHashHelper::sha1ForData(contents[0].second));
    EXPECT_EQ(files[6]->fileHash(), RQHashHelper::sha1ForData(QByteArray()));
    EXPECT_EQ(last.load(), 6);
}

TEST(RQDuplicateFinderDigestsTest, FilesThatChangedSinceTheWalkKeepNoDigest)
{
    TemporaryFolder folder;
    const QByteArray content(300000, 'c');
    struct Case
    {
        QString name;
        std::function<void(const QString &path)> change;
        bool digested;
    };
    const std::vector<Case> cases = {
        {u"unchanged"_s, [](const QString &) {}, true},
        {u"unchanged-copy"_s, [](const QString &) {}, true},
        {u"vanished"_s, [](const QString &path) { QFile::remove(path); }, false},
        {u"now-a-link"_s,
         [&folder](const QString &path) {
             QFile::remove(path);
             QFile::link(folder.filePath(u"unchanged"_s), path);
         },
         false},
        {u"now-a-fifo"_s,
         [](const QString &path) {
             QFile::remove(path);
             ::mkfifo(QFile::encodeName(path).constData(), 0600);
         },
         false},
        {u"now-a-folder"_s,
         [](const QString &path) {
             QFile::remove(path);
             QDir().mkdir(path);
         },
         false},
        {u"emptied"_s, [](const QString &path) { QFile(path).resize(0); }, false},
        {u"grown"_s, [](const QString &path) { QFile(path).resize(300001); }, false},
    };
    std::vector<std::shared_ptr<RQFile>> files;
    for (const Case &change : cases) {
        const QString path = folder.writeFile(change.name, content);
        files.push_back(fileOfSize(path, double(content.size())));
        change.change(path);
    }
    RQDuplicateFinderDigests digests(64 * 1024, 64 * 1024);
    for (const auto &file : files)
        digests.addFile(*file);
    std::atomic<qsizetype> last = 0;
    const LogCapture log;
    digests.finish([&last](qsizetype digested) { keepLargest(last, digested); });
    EXPECT_EQ(last.load(), qsizetype(cases.size()));
    for (const QString &resized : {u"emptied"_s, u"grown"_s})
        EXPECT_TRUE(log.contains(u"[DEBUG] The size of %1 changed during the scan; it is left out"_s.arg(folder.filePath(resized))));
    for (std::size_t index = 0; index < cases.size(); ++index) {
        EXPECT_EQ(files[index]->contentDigest().has_value(), cases[index].digested) << cases[index].name.toStdString();
    }
    EXPECT_EQ(files[0]->fileHash(), RQHashHelper::sha1ForData(content));
}

TEST(RQDuplicateFinderDigestsTest, AnAbandonedStreamStopsCleanly)
{
    const TemporaryFolder folder;
    std::vector<std::shared_ptr<RQFile>> files;
    {
        RQDuplicateFinderDigests digests(64 * 1024, 64 * 1024);
        for (int index = 0; index < 200; ++index) {
            files.push_back(fileOfSize(folder.writeFile(QString::number(index), QByteArray(5000, 'a')), 5000));
            digests.addFile(*files.back());
        }
    }
    // Whatever was read before the end is right; the rest stays without a digest.
    for (const auto &file : files) {
        if (file->contentDigest()) {
            EXPECT_EQ(file->fileHash(), RQHashHelper::sha1ForData(QByteArray(5000, 'a')));
        }
    }
}

// Files whose bytes are on the disk, not in memory, are read by more threads, from the first
// one on; some in memory among them end those threads' reading, not the stream: every file gets
// the digest of its bytes, once, in a stream that is finished and in one that is abandoned.
TEST(RQDuplicateFinderDigestsTest, FilesFromTheDiskAndFromMemoryAllGetTheDigestOfTheirBytes)
{
    const TemporaryFolder folder;
    struct Written
    {
        QByteArray content;
        std::shared_ptr<RQFile> file;
    };
    // Pairs of one size, below and above the first block; every third pair stays in memory.
    const auto writeFiles = [&folder](const QString &prefix) {
        std::vector<Written> written;
        for (int pair = 0; pair < 60; ++pair) {
            const qsizetype size = pair % 2 == 0 ? 1000 + pair : 64 * 1024 + 5000 + pair;
            for (int copy = 0; copy < 2; ++copy) {
                // Some copies differ in their last byte, so that both are read whole.
                QByteArray content(size, static_cast<char>('a' + pair % 26));
                if (pair % 5 == 0 && copy == 1)
                    content.back() = 'Z';
                const QString path = folder.writeFile(u"%1-%2-%3"_s.arg(prefix).arg(pair).arg(copy), content);
                if (pair % 3 != 0 && !evictFromMemory(path))
                    return std::vector<Written>();
                written.push_back({content, fileOfSize(path, double(size))});
            }
        }
        return written;
    };

    const std::vector<Written> finished = writeFiles(u"finished"_s);
    if (finished.empty())
        GTEST_SKIP() << "this file system keeps files in memory";
    RQDuplicateFinderDigests digests(64 * 1024, 64 * 1024);
    for (const Written &file : finished)
        digests.addFile(*file.file);
    std::atomic<qsizetype> last = 0;
    digests.finish([&last](qsizetype digested) { keepLargest(last, digested); });
    EXPECT_EQ(last.load(), qsizetype(finished.size()));
    for (const Written &file : finished) {
        SCOPED_TRACE(file.file->path().toStdString());
        ASSERT_TRUE(file.file->contentDigest().has_value());
        EXPECT_EQ(file.file->fileHash(), RQHashHelper::sha1ForData(file.content));
    }

    const std::vector<Written> abandoned = writeFiles(u"abandoned"_s);
    {
        RQDuplicateFinderDigests digestsLeft(64 * 1024, 64 * 1024);
        for (const Written &file : abandoned)
            digestsLeft.addFile(*file.file);
    }
    for (const Written &file : abandoned) {
        if (file.file->contentDigest()) {
            EXPECT_EQ(file.file->fileHash(), RQHashHelper::sha1ForData(file.content)) << file.file->path().toStdString();
        }
    }
}

// Files larger than the first block that share a size: only those whose first blocks are equal
// are read on, and each gets the digest of its whole content; one alone by its first block keeps
// none, as a file of a size met once.
TEST(RQDuplicateFinderDigestsTest, OnlyFilesEqualInTheirFirstBlockAreReadWhole)
{
    const TemporaryFolder folder;
    const qsizetype size = 200000;
    const QByteArray base(size, 'b');
    const auto changedAt = [&base](qsizetype where) {
        QByteArray changed = base;
        changed[where] = 'x';
        return changed;
    };
    struct Case
    {
        QString name;
        QByteArray content;
        bool digested;
    };
    const std::vector<Case> cases = {
        {u"base"_s, base, true},
        {u"copy"_s, base, true},
        {u"last-byte-differs"_s, changedAt(size - 1), true},
        {u"differs-after-the-first-block"_s, changedAt(64 * 1024), true},
        {u"first-byte-differs"_s, changedAt(0), false},
        {u"differs-at-the-end-of-the-first-block"_s, changedAt(64 * 1024 - 1), false},
    };
    std::vector<std::shared_ptr<RQFile>> files;
    RQDuplicateFinderDigests digests(64 * 1024, 64 * 1024);
    for (const Case &file : cases) {
        files.push_back(fileOfSize(folder.writeFile(file.name, file.content), double(size)));
        digests.addFile(*files.back());
    }
    std::atomic<qsizetype> last = 0;
    digests.finish([&last](qsizetype digested) { keepLargest(last, digested); });

    EXPECT_EQ(last.load(), qsizetype(cases.size()));
    for (std::size_t index = 0; index < cases.size(); ++index) {
        SCOPED_TRACE(cases[index].name.toStdString());
        ASSERT_EQ(files[index]->contentDigest().has_value(), cases[index].digested);
        if (cases[index].digested) {
            EXPECT_EQ(files[index]->fileHash(), RQHashHelper::sha1ForData(cases[index].content));
        }
    }
}

// A file replaced by rename after its first block was read (an atomic save) would otherwise get
// a digest of one version's first block and the other's tail, equal to a file it never held.
TEST(RQDuplicateFinderDigestsTest, AFileReplacedBetweenItsTwoReadsKeepsNoDigest)
{
    const TemporaryFolder folder;
    const qsizetype tail = 100000;
    const QByteArray firstBlock(64 * 1024, 'H');
    const QString copied = folder.writeFile(u"Y"_s, firstBlock + QByteArray(tail, '2'));
    const QString replaced = folder.writeFile(u"X"_s, firstBlock + QByteArray(tail, '1'));
    const QString staged = folder.writeFile(u"staged"_s, QByteArray(64 * 1024, 'h') + QByteArray(tail, '2'));
    const double size = double(firstBlock.size() + tail);
    const std::vector<std::shared_ptr<RQFile>> files = {fileOfSize(copied, size), fileOfSize(replaced, size)};
    RQDuplicateFinderDigests digests(64 * 1024, 64 * 1024);
    for (const auto &file : files)
        digests.addFile(*file);
    // The first report comes before any read, the second once the first blocks are read and
    // before either file is read on.
    std::atomic<int> reports = 0;
    const LogCapture log;
    digests.finish([&](qsizetype) {
        if (++reports == 2) {
            ASSERT_EQ(::rename(QFile::encodeName(staged).constData(), QFile::encodeName(replaced).constData()), 0);
        }
    });

    ASSERT_GE(reports.load(), 2);
    EXPECT_FALSE(files[1]->contentDigest().has_value());
    EXPECT_TRUE(log.contains(u"[DEBUG] The size of %1 changed during the scan; it is left out"_s.arg(replaced)));
    EXPECT_NE(files[0]->fileHash(), files[1]->fileHash());
}

// A range read checks the open file against the walk's identity, against the version an
// earlier range came from, and against itself once read: a file written while it was read
// (same size, new times) would mix two versions.
TEST(RQDuplicateFinderDigestsTest, ARangeIsReadOnlyFromTheFileTheWalkAndTheFirstRangeSaw)
{
    const TemporaryFolder folder;
    const qint64 size = 3 * 64 * 1024;
    const QString path = folder.writeFile(u"file"_s, QByteArray(size, 'x'));
    const QString other = folder.writeFile(u"other"_s, QByteArray(size, 'x'));
    // Times in the past, so that a write now gives new ones even within the clock's tick.
    const timespec past[2] = {{1'000'000'000, 0}, {1'000'000'000, 0}};
    ASSERT_EQ(::utimensat(AT_FDCWD, QFile::encodeName(path).constData(), past, 0), 0);
    DirectoryEntry walked;
    ASSERT_TRUE(DirectoryWalker::readEntry(path, walked));
    const RQFileIdentity identity {walked.device, walked.inode, size, walked.modificationTimeNs,
                                   RQFileIdentity::Kind::RegularFile};
    const auto readRange = [&](const QString &at, qint64 from, std::optional<FileVersion> &version,
                               const std::function<bool()> &duringRead = {}) {
        Sha1Hasher hasher;
        return hashFileRange(at, 64 * 1024, identity, size, from, size, hasher, version, duringRead);
    };

    std::optional<FileVersion> version;
    EXPECT_EQ(readRange(path, 0, version), FileRangeRead::Read);
    ASSERT_TRUE(version.has_value());
    EXPECT_EQ(readRange(path, 64 * 1024, version), FileRangeRead::Read) << "the same file again";
    std::optional<FileVersion> none;
    EXPECT_EQ(readRange(other, 0, none), FileRangeRead::SizeChanged) << "another file than the walk saw";
    std::optional<FileVersion> otherVersion = version;
    otherVersion->changeTimeNs += 1;
    EXPECT_EQ(readRange(path, 64 * 1024, otherVersion), FileRangeRead::SizeChanged) << "another version";
    std::optional<FileVersion> written;
    const auto writeOnce = [&path, written = false]() mutable {
        if (!std::exchange(written, true)) {
            QFile file(path);
            EXPECT_TRUE(file.open(QIODevice::ReadWrite));
            file.seek(size - 1);
            file.write("y");
        }
        return false;
    };
    EXPECT_EQ(readRange(path, 0, written, writeOnce), FileRangeRead::SizeChanged) << "written while read";
}

class RQDuplicateFinderFirstBlockTest : public ScanFixture
{
protected:
    // The groups of a whole scan of the folder, with the first-block step of the given size.
    QStringList groupsWithFirstBlock(std::size_t firstBlockSize) const
    {
        const auto finder = RQDuplicateFinder::duplicateFinderWithPaths({root(u"tree"_s)}, 0);
        RQDuplicateFinderScan scan(nullptr, firstBlockSize);
        EXPECT_TRUE(RQDuplicateFinderWalk(*finder, scan).walkRoots());
        scan.digests.finish({});
        ScanReports reports;
        reports.groups = RQDuplicateFinderGrouping(*finder, scan).findGroups();
        QCoreApplication::sendPostedEvents();
        return groupsOf(reports);
    }
};

// Same-size files that differ in the first byte, in the last byte and not at all, below and
// above the first block's size, in folders that are copies and in folders that are not: the
// first-block step changes no group.
TEST_F(RQDuplicateFinderFirstBlockTest, GroupsAreTheSameWithAndWithoutTheFirstBlockStep)
{
    for (const qsizetype size : {qsizetype(1000), qsizetype(64 * 1024), qsizetype(64 * 1024 + 1), qsizetype(200000)}) {
        const QString name = QString::number(size);
        for (const QString &folder : {u"tree/equal-1/"_s, u"tree/equal-2/"_s}) {
            write(folder + name + u"-same"_s, size, 's');
            write(folder + name + u"-first"_s, u"F"_s.toLatin1() + QByteArray(size - 1, 's'));
            write(folder + name + u"-last"_s, size, 's', 'L');
        }
        write(u"tree/unequal-1/"_s + name + u"-same"_s, size, 's');
        write(u"tree/unequal-1/"_s + name + u"-near"_s, u"G"_s.toLatin1() + QByteArray(size - 1, 's'));
        write(u"tree/unequal-2/"_s + name + u"-same"_s, size, 's');
        write(u"tree/unequal-2/"_s + name + u"-near"_s, size, 's', 'M');
        write(u"tree/loose/"_s + name + u"-alone-by-first"_s, u"H"_s.toLatin1() + QByteArray(size - 1, 's'));
    }

    const QStringList whole = groupsWithFirstBlock(0);
    EXPECT_EQ(groupsWithFirstBlock(RQDuplicateFinder::firstBlockSize), whole);
    EXPECT_TRUE(whole.contains(u"tree/equal-1/ | tree/equal-2/"_s)) << whole.join(u'\n').toStdString();
    EXPECT_TRUE(whole.contains(u"tree/unequal-1/200000-same | tree/unequal-2/200000-same"_s))
        << whole.join(u'\n').toStdString();
}
