#include "RemovalFixture.h"

#include "platform/Trash.h"
#include "removal/FileDeleter.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>

#include <cerrno>
#include <unistd.h>

using namespace Qt::StringLiterals;

class TrashTest : public RemovalFixture
{
};

TEST_F(TrashTest, MakesAMissingDataFolderAndItsOwnerOnlyTrash)
{
    const QString path = m_folder.writeFile(u"data/a.txt"_s, "a");
    ASSERT_FALSE(QFileInfo::exists(m_folder.filePath(u"home/.local"_s)));

    QString trashed;
    EXPECT_FALSE(Trash::moveItemToTrash(path, &trashed));

    EXPECT_EQ(trashed, homeTrash() + "/files/a.txt"_L1);
    EXPECT_EQ(QFileInfo(homeTrash()).permissions() & 0x0077, QFileDevice::Permissions());
    QFile moved(trashed);
    ASSERT_TRUE(moved.open(QIODevice::ReadOnly));
    EXPECT_EQ(moved.readAll(), QByteArray("a"));
}

TEST_F(TrashTest, ItemOnAnotherVolumeGoesToThatVolumesTrash)
{
    if (!mountTmpfs(u"volume"_s))
        GTEST_SKIP() << "this process may not mount a file system (needs root)";
    const QString path = m_folder.writeFile(u"data/volume/dir/a.txt"_s, "a");

    QString trashed;
    EXPECT_FALSE(Trash::moveItemToTrash(path, &trashed));

    EXPECT_EQ(trashed, dataPath(u"volume/.Trash-%1/files/a.txt"_s.arg(::getuid())));
    EXPECT_TRUE(QFileInfo::exists(trashed));
    EXPECT_TRUE(trashedNames().isEmpty());
}

TEST_F(TrashTest, MissingItemIsNoSuchFile)
{
    const auto error = Trash::moveItemToTrash(dataPath(u"nothing"_s));

    ASSERT_TRUE(error);
    EXPECT_EQ(error->code(), RQError::NSFileNoSuchFileError);
    EXPECT_FALSE(QFileInfo::exists(homeTrash())) << "nothing to trash, so no trash was made";
}

class FileDeleterTest : public RemovalFixture
{
};

TEST_F(FileDeleterTest, MissingItemIsNoSuchFile)
{
    for (const auto kind : {FileDeleter::Kind::File, FileDeleter::Kind::Folder}) {
        const auto error = FileDeleter::removeItemAtPath(dataPath(u"nothing"_s), kind);
        ASSERT_TRUE(error);
        EXPECT_EQ(error->code(), RQError::NSFileNoSuchFileError);
    }
}

// Another file system mounted inside a folder is not the folder's content.
TEST_F(FileDeleterTest, StopsAtAFileSystemMountedInsideTheFolder)
{
    file(u"tree/a.txt"_s, "a");
    if (!mountTmpfs(u"tree/mounted"_s))
        GTEST_SKIP() << "this process may not mount a file system (needs root)";
    file(u"tree/mounted/other.txt"_s, "other");
    const Snapshot before = snapshot();

    const auto error = FileDeleter::removeItemAtPath(dataPath(u"tree"_s), FileDeleter::Kind::Folder);

    ASSERT_TRUE(error);
    ASSERT_NE(error->underlyingError(), nullptr);
    EXPECT_EQ(error->underlyingError()->code(), EXDEV);
    EXPECT_EQ(snapshot().value(u"tree/mounted/other.txt"_s), QByteArray("F:other"));
    expectUntouchedExcept(before, {u"tree/a.txt"_s});
}

struct ErrnoCase
{
    int errnoValue;
    qint64 code;
};

class RQErrorTest : public ::testing::TestWithParam<ErrnoCase>
{
};

TEST_P(RQErrorTest, FileSystemErrorCarriesTheSheetsCodeAndTheErrnoUnderneath)
{
    const RQError error = RQError::fileSystemError(GetParam().errnoValue, u"/data/a.txt"_s);

    EXPECT_EQ(error.domain(), u"NSCocoaErrorDomain"_s);
    EXPECT_EQ(error.code(), GetParam().code);
    EXPECT_TRUE(error.localizedDescription().contains(u"a.txt"_s));
    ASSERT_NE(error.underlyingError(), nullptr);
    EXPECT_EQ(error.underlyingError()->domain(), u"NSPOSIXErrorDomain"_s);
    EXPECT_EQ(error.underlyingError()->code(), GetParam().errnoValue);
    EXPECT_FALSE(error.underlyingError()->localizedDescription().isEmpty());
}

INSTANTIATE_TEST_SUITE_P(Errno, RQErrorTest,
                         ::testing::Values(ErrnoCase{ENOENT, 4}, ErrnoCase{EACCES, 513}, ErrnoCase{EPERM, 513},
                                           ErrnoCase{EROFS, 642}, ErrnoCase{EXDEV, 512}, ErrnoCase{EISDIR, 512},
                                           ErrnoCase{EBUSY, 512}));
