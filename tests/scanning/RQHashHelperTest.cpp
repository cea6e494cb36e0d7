#include "support/TemporaryFolder.h"

#include "support/PageCache.h"

#include "platform/DirectoryWalker.h"
#include "scanning/RQHashHelper.h"
#include "scanning/Sha1Hasher.h"

#include <gtest/gtest.h>

#include <QFile>

#include <sys/stat.h>
#include <unistd.h>

using namespace Qt::StringLiterals;

TEST(RQHashHelperTest, StringAndDataDigestsMatchTheStandardVectors)
{
    EXPECT_EQ(RQHashHelper::sha1ForString(u"abc"_s), u"a9993e364706816aba3e25717850c26c9cd0d89d"_s);
    EXPECT_EQ(RQHashHelper::sha1ForString(QString()), u"da39a3ee5e6b4b0d3255bfef95601890afd80709"_s);
    EXPECT_EQ(RQHashHelper::sha1ForData("abc"_ba), u"a9993e364706816aba3e25717850c26c9cd0d89d"_s);
    // Strings are digested as UTF-8.
    EXPECT_EQ(RQHashHelper::sha1ForString(u"é"_s), RQHashHelper::sha1ForData("\xc3\xa9"_ba));
}

TEST(RQHashHelperTest, FileDigestEqualsTheDigestOfItsBytesForEveryChunkBoundary)
{
    TemporaryFolder folder;
    for (qsizetype size : {0, 1, 4095, 4096, 4097, 3 * 4096, 100000}) {
        QByteArray content(size, '\0');
        for (qsizetype index = 0; index < size; ++index)
            content[index] = static_cast<char>(index * 31 + 7);
        const QString path = folder.writeFile(u"file-%1"_s.arg(size), content);
        const QString expected = RQHashHelper::sha1ForData(content);
        EXPECT_EQ(RQHashHelper::sha1ForFileWithPath(path), expected) << size;
        for (std::size_t chunk : {std::size_t(0), std::size_t(1), std::size_t(7), std::size_t(65536)})
            EXPECT_EQ(sha1DigestForFileAtPath(path, chunk)->toHex(), expected) << size << " " << chunk;
    }
}

TEST(RQHashHelperTest, WhatIsNotAReadableRegularFileHasNoDigest)
{
    TemporaryFolder folder;
    const QString target = folder.writeFile(u"target"_s, "content"_ba);
    const QString link = folder.makeSymlink(u"link"_s, target);
    const QString fifo = folder.filePath(u"fifo"_s);
    ASSERT_EQ(::mkfifo(QFile::encodeName(fifo).constData(), 0600), 0);

    EXPECT_TRUE(RQHashHelper::sha1ForFileWithPath(folder.filePath(u"missing"_s)).isNull());
    EXPECT_TRUE(RQHashHelper::sha1ForFileWithPath(folder.path()).isNull()) << "a folder";
    EXPECT_TRUE(RQHashHelper::sha1ForFileWithPath(link).isNull()) << "links are never followed";
    EXPECT_TRUE(RQHashHelper::sha1ForFileWithPath(fifo).isNull()) << "must not block on a FIFO";
    EXPECT_TRUE(RQHashHelper::sha1ForFileWithPath(u"/dev/zero"_s).isNull()) << "a device";
}

TEST(RQHashHelperTest, UnreadableFileHasNoDigest)
{
    if (::geteuid() == 0)
        GTEST_SKIP() << "root reads files whatever their permissions";
    TemporaryFolder folder;
    const QString path = folder.writeFile(u"secret"_s, "content"_ba);
    ASSERT_EQ(::chmod(QFile::encodeName(path).constData(), 0), 0);
    EXPECT_TRUE(RQHashHelper::sha1ForFileWithPath(path).isNull());
}

// A range whose bytes are not in memory is read from the disk whole, whatever part of it is in
// memory, and says whether its first bytes had to come from there.
TEST(RQHashHelperTest, ARangeFromTheDiskHasTheDigestOfItsBytesAndSaysWhetherItCameFromThere)
{
    TemporaryFolder folder;
    constexpr qint64 chunk = 64 * 1024;
    constexpr qint64 size = 5 * chunk + 123;
    QByteArray content(size, '\0');
    for (qsizetype index = 0; index < size; ++index)
        content[index] = static_cast<char>(index * 131 + index / 4096);
    struct Case
    {
        const char *name;
        qint64 evictedFrom; // to the end; -1: nothing
        qint64 from;
        qint64 to;
        bool fromDisk;
    };
    const Case cases[] = {
        {"in memory", -1, 0, size, false},
        {"on disk", 0, 0, size, true},
        {"the first block, on disk", 0, 0, chunk, true},
        {"in memory for less than a chunk, then on disk", 8192, 0, size, false},
        {"in memory up to the second range, which is on disk", chunk, chunk, size, true},
        {"on disk from within the second range", 2 * chunk, chunk, size, false},
    };
    const QString path = folder.writeFile(u"file"_s, content);
    DirectoryEntry walked;
    ASSERT_TRUE(DirectoryWalker::readEntry(path, walked));
    const RQFileIdentity identity {walked.device, walked.inode, size, walked.modificationTimeNs,
                                   RQFileIdentity::Kind::RegularFile};
    for (const Case &read : cases) {
        SCOPED_TRACE(read.name);
        ASSERT_EQ(sha1DigestForFileAtPath(path, 0)->toHex(), RQHashHelper::sha1ForData(content)) << "all in memory";
        if (read.evictedFrom >= 0 && !evictFromMemory(path, read.evictedFrom))
            GTEST_SKIP() << "this file system keeps files in memory";
        Sha1Hasher hasher;
        std::optional<FileVersion> version;
        bool fromDisk = !read.fromDisk;
        EXPECT_EQ(hashFileRange(path, chunk, identity, size, read.from, read.to, hasher, version, {}, &fromDisk),
                  FileRangeRead::Read);
        EXPECT_EQ(hasher.finish().toHex(), RQHashHelper::sha1ForData(content.mid(read.from, read.to - read.from)));
        EXPECT_EQ(fromDisk, read.fromDisk);
    }
}
