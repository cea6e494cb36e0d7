#include "support/RemovalFixture.h"

#include "platform/Trash.h"
#include "removal/FileDeleter.h"

#include <QDateTime>
#include <QDir>
#include <QDirIterator>
#include <QFile>
#include <QFileInfo>
#include <QSet>

#include <cerrno>
#include <fcntl.h>
#include <sys/mount.h>
#include <unistd.h>

using namespace Qt::StringLiterals;

class TrashTest : public RemovalFixture
{
public:
    // The content of every file in the home trash, by its path there.
    Snapshot trashSnapshot() const
    {
        Snapshot entries;
        QDirIterator iterator(homeTrash(), QDir::Files | QDir::Hidden, QDirIterator::Subdirectories);
        while (iterator.hasNext()) {
            QFile file(iterator.next());
            entries.insert(file.fileName().mid(homeTrash().size()), file.open(QIODevice::ReadOnly) ? file.readAll() : "?");
        }
        return entries;
    }
};

TEST_F(TrashTest, MakesAMissingDataFolderAndItsOwnerOnlyTrash)
{
    const QString path = m_folder.writeFile(u"data/a.txt"_s, "a");
    ASSERT_FALSE(QFileInfo::exists(m_folder.filePath(u"home/.local"_s)));

    QString trashed;
    EXPECT_FALSE(Trash().moveItemToTrash(path, &trashed));

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
    EXPECT_FALSE(Trash().moveItemToTrash(path, &trashed));

    EXPECT_EQ(trashed, dataPath(u"volume/.Trash-%1/files/a.txt"_s.arg(::getuid())));
    EXPECT_TRUE(QFileInfo::exists(trashed));
    EXPECT_TRUE(trashedNames().isEmpty());
    QFile info(dataPath(u"volume/.Trash-%1/info/a.txt.trashinfo"_s.arg(::getuid())));
    ASSERT_TRUE(info.open(QIODevice::ReadOnly));
    EXPECT_TRUE(info.readAll().contains(QByteArray("\nPath=" + QFile::encodeName(path) + "\n")));
}

// A volume's shared ".Trash" is used only when it is a real folder with the sticky bit, not a
// link even to one; else the user's own ".Trash-<uid>", made owner-only.
TEST_F(TrashTest, SharedVolumeTrashIsUsedOnlyWhenSticky)
{
    if (!mountTmpfs(u"volume"_s))
        GTEST_SKIP() << "this process may not mount a file system (needs root)";
    const QString uid = QString::number(::getuid());
    const struct {
        const char *what;
        int mode;
        bool link;
        QString expected;
    } cases[] = {{"sticky", 01777, false, u"volume/.Trash/%1/files/a.txt"_s},
                 {"not sticky", 0777, false, u"volume/.Trash-%1/files/a.txt"_s},
                 {"link to a sticky folder", 01777, true, u"volume/.Trash-%1/files/a.txt"_s}};
    for (const auto &shared : cases) {
        const QString sharedPath = dataPath(u"volume/.Trash"_s);
        const QString realPath = shared.link ? dataPath(u"volume/sticky"_s) : sharedPath;
        QFile::remove(sharedPath);
        QDir(sharedPath).removeRecursively();
        QDir(realPath).removeRecursively();
        QDir(dataPath(u"volume/.Trash-"_s + uid)).removeRecursively();
        ASSERT_EQ(::mkdir(QFile::encodeName(realPath).constData(), 0700), 0);
        ASSERT_EQ(::chmod(QFile::encodeName(realPath).constData(), mode_t(shared.mode)), 0);
        if (shared.link) {
            ASSERT_TRUE(QFile::link(realPath, sharedPath));
        }
        const QString path = m_folder.writeFile(u"data/volume/a.txt"_s, "a");

        QString trashed;
        EXPECT_FALSE(Trash().moveItemToTrash(path, &trashed)) << shared.what;

        EXPECT_EQ(trashed, dataPath(shared.expected.arg(uid))) << shared.what;
        EXPECT_TRUE(QFileInfo::exists(trashed)) << shared.what;
        EXPECT_TRUE(QFileInfo::exists(QFileInfo(trashed).path() + "/../info/a.txt.trashinfo"_L1)) << shared.what;
        const QFileInfo userTrash(QFileInfo(trashed).path() + "/.."_L1);
        EXPECT_EQ(QFileInfo(userTrash.canonicalFilePath()).permissions() & 0x0077, QFileDevice::Permissions())
            << shared.what;
        EXPECT_TRUE(QDir(dataPath(u"volume/sticky"_s)).isEmpty()) << shared.what;
    }
}

// Which folder the home trash takes is judged by its file system; a bind mount of that same
// file system still cannot be renamed across, and the item then fails instead of being copied.
TEST_F(TrashTest, ItemOnABindMountOfTheHomeFileSystemFailsWithoutACopy)
{
    file(u"source/a.txt"_s, "a");
    if (!bindMount(u"source"_s, u"bound"_s))
        GTEST_SKIP() << "this process may not mount a file system (needs root)";

    const auto error = Trash().moveItemToTrash(dataPath(u"bound/a.txt"_s));

    ASSERT_TRUE(error);
    ASSERT_NE(error->underlyingError(), nullptr);
    EXPECT_EQ(error->underlyingError()->code(), EXDEV);
    EXPECT_TRUE(QFileInfo::exists(dataPath(u"source/a.txt"_s)));
    EXPECT_TRUE(trashedNames().isEmpty());
    EXPECT_TRUE(QDir(homeTrash() + "/info"_L1).isEmpty()) << "the info file of a failed move is removed";
}

TEST_F(TrashTest, MissingItemIsNoSuchFile)
{
    const auto error = Trash().moveItemToTrash(dataPath(u"nothing"_s));

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

// A bind mount shows a folder from elsewhere on the same file system: it is not the folder's
// content either.
TEST_F(FileDeleterTest, StopsAtABindMountInsideTheFolder)
{
    file(u"outside/kept.txt"_s, "kept");
    file(u"tree/a.txt"_s, "a");
    if (!bindMount(u"outside"_s, u"tree/bound"_s))
        GTEST_SKIP() << "this process may not mount a file system (needs root)";
    const Snapshot before = snapshot();

    const auto error = FileDeleter::removeItemAtPath(dataPath(u"tree"_s), FileDeleter::Kind::Folder);
    ::umount2(QFile::encodeName(dataPath(u"tree/bound"_s)).constData(), MNT_DETACH);

    EXPECT_TRUE(error);
    EXPECT_EQ(snapshot().value(u"outside/kept.txt"_s), QByteArray("F:kept"));
    expectUntouchedExcept(before, {u"tree"_s});
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

// A volume's trash folder that someone else could have planted: a link (to a folder they can
// read), or a folder of another user. Nothing may go there; the item stays where it was.
struct PlantedTrashCase
{
    const char *name;
    bool needsRoot;
    void (*plant)(const QString &volume);
};

class PlantedTrashTest : public RemovalFixture, public ::testing::WithParamInterface<PlantedTrashCase>
{
};

TEST_P(PlantedTrashTest, ItemIsNotTrashedIntoAPlantedTrashFolder)
{
    if (GetParam().needsRoot && ::getuid() != 0)
        GTEST_SKIP() << "only root can make a folder of another user";
    if (!mountTmpfs(u"volume"_s))
        GTEST_SKIP() << "this process may not mount a file system (needs root)";
    const QString volume = dataPath(u"volume"_s);
    const QString path = m_folder.writeFile(u"data/volume/a.txt"_s, "a");
    m_folder.makeFolder(u"data/volume/elsewhere/files"_s);
    m_folder.makeFolder(u"data/volume/elsewhere/info"_s);
    GetParam().plant(volume);
    const Snapshot before = snapshot();

    const auto error = Trash().moveItemToTrash(path);

    EXPECT_TRUE(error);
    expectUntouchedExcept(before, {});
    EXPECT_TRUE(QDir(volume + "/elsewhere/files"_L1).isEmpty());
}

namespace {

QString userTrash(const QString &volume)
{
    return volume + "/.Trash-"_L1 + QString::number(::getuid());
}

void linkTo(const QString &target, const QString &link)
{
    ASSERT_EQ(::symlink(QFile::encodeName(target).constData(), QFile::encodeName(link).constData()), 0);
}

void makeFolder(const QString &path, mode_t mode, uid_t owner)
{
    ASSERT_EQ(::mkdir(QFile::encodeName(path).constData(), mode), 0);
    ASSERT_EQ(::chmod(QFile::encodeName(path).constData(), mode), 0);
    ASSERT_EQ(::chown(QFile::encodeName(path).constData(), owner, owner), 0);
}

} // namespace

INSTANTIATE_TEST_SUITE_P(
    Planted, PlantedTrashTest,
    ::testing::Values(
        PlantedTrashCase{"UserTrashIsALink", false,
                         [](const QString &volume) { linkTo(volume + "/elsewhere"_L1, userTrash(volume)); }},
        PlantedTrashCase{"SharedTrashUserFolderIsALink", false,
                         [](const QString &volume) {
                             makeFolder(volume + "/.Trash"_L1, 01777, ::getuid());
                             linkTo(volume + "/elsewhere"_L1, volume + "/.Trash/"_L1 + QString::number(::getuid()));
                         }},
        PlantedTrashCase{"UserTrashFilesFolderIsALink", false,
                         [](const QString &volume) {
                             makeFolder(userTrash(volume), 0700, ::getuid());
                             makeFolder(userTrash(volume) + "/info"_L1, 0700, ::getuid());
                             linkTo(volume + "/elsewhere/files"_L1, userTrash(volume) + "/files"_L1);
                         }},
        PlantedTrashCase{"UserTrashBelongsToSomeoneElse", true,
                         [](const QString &volume) {
                             makeFolder(userTrash(volume), 0777, 4242);
                             makeFolder(userTrash(volume) + "/files"_L1, 0777, 4242);
                             makeFolder(userTrash(volume) + "/info"_L1, 0777, 4242);
                         }}),
    [](const ::testing::TestParamInfo<PlantedTrashCase> &param) { return std::string(param.param.name); });

// A trash whose info folder takes no new entry fails the item instead of trying forever.
TEST_F(TrashTest, TrashWhoseInfoFolderIsNotWritableFailsTheItem)
{
    const QString path = m_folder.writeFile(u"data/a.txt"_s, "a");
    ASSERT_FALSE(Trash::makeHomeTrash());
    m_folder.makeFolder(u"home/.local/share/Trash/files"_s);
    const QString info = m_folder.makeFolder(u"home/.local/share/Trash/info"_s);
    if (!makeImmutable(info))
        GTEST_SKIP() << "this file system cannot make a folder immutable";

    const auto error = Trash().moveItemToTrash(path);

    ASSERT_TRUE(error);
    EXPECT_EQ(error->domain(), QLatin1StringView(Trash::errorDomain));
    EXPECT_EQ(error->code(), Trash::NotWritable);
    EXPECT_TRUE(error->localizedDescription().contains(u"a.txt"_s)) << "names the item, not the trash";
    EXPECT_TRUE(QFileInfo::exists(path));
}

// Trashed items never replace what the trash already holds, whether it has an info file or
// not, and each gets the info file the trash needs to put it back.
TEST_F(TrashTest, SameNameTrashedAgainGetsANameOfItsOwn)
{
    ASSERT_FALSE(Trash::makeHomeTrash());
    m_folder.writeFile(u"home/.local/share/Trash/files/b.txt"_s, "left over");
    QStringList trashedPaths;
    for (const auto &[name, content] : {std::pair{"a.txt", "first"}, {"a.txt", "second"}, {"b.txt", "b"}}) {
        const QString path = m_folder.writeFile(u"data/"_s + QLatin1StringView(name), content);
        QString trashed;
        EXPECT_FALSE(Trash().moveItemToTrash(path, &trashed)) << name;
        EXPECT_FALSE(QFileInfo::exists(path));
        QFile moved(trashed);
        ASSERT_TRUE(moved.open(QIODevice::ReadOnly)) << name;
        EXPECT_EQ(moved.readAll(), QByteArray(content));
        QFile info(homeTrash() + "/info/"_L1 + QFileInfo(trashed).fileName() + ".trashinfo"_L1);
        ASSERT_TRUE(info.open(QIODevice::ReadOnly)) << name;
        EXPECT_TRUE(info.readAll().contains(QByteArray("Path=" + QFile::encodeName(path) + "\n")));
        trashedPaths.append(trashed);
    }
    EXPECT_EQ(QSet<QString>(trashedPaths.cbegin(), trashedPaths.cend()).size(), 3);
    QFile leftOver(homeTrash() + "/files/b.txt"_L1);
    ASSERT_TRUE(leftOver.open(QIODevice::ReadOnly));
    EXPECT_EQ(leftOver.readAll(), QByteArray("left over"));
}

// Names another program took before, in "files" alone, in "info" alone or in both, are
// passed over, however many there are, and none of them is replaced.
TEST_F(TrashTest, ManyNamesTakenBeforeArePassedOver)
{
    const struct {
        const char *where;
        bool inFiles;
        bool inInfo;
    } cases[] = {{"files only", true, false}, {"info only", false, true}, {"both", true, true}};
    for (const auto &taken : cases) {
        QDir(homeTrash()).removeRecursively();
        ASSERT_FALSE(Trash::makeHomeTrash());
        m_folder.makeFolder(u"home/.local/share/Trash/files"_s);
        const QString info = m_folder.makeFolder(u"home/.local/share/Trash/info"_s);
        for (int number = 0; number < 1200; ++number) {
            const QString name = number == 0 ? u"cover.jpg"_s : u"cover-%1.jpg"_s.arg(number);
            if (taken.inFiles)
                m_folder.writeFile(u"home/.local/share/Trash/files/"_s + name, "taken");
            if (taken.inInfo)
                m_folder.writeFile(u"home/.local/share/Trash/info/"_s + name + ".trashinfo"_L1, "taken");
        }
        const Snapshot takenBefore = trashSnapshot();

        Trash trash;
        QSet<QString> trashedPaths;
        for (int index = 0; index < 20; ++index) {
            const QString path = m_folder.writeFile(u"data/%1/cover.jpg"_s.arg(index), "new");
            QString trashed;
            ASSERT_FALSE(trash.moveItemToTrash(path, &trashed)) << taken.where << " " << index;
            QFile moved(trashed);
            ASSERT_TRUE(moved.open(QIODevice::ReadOnly)) << taken.where;
            EXPECT_EQ(moved.readAll(), QByteArray("new")) << taken.where;
            QFile itsInfo(info + u'/' + QFileInfo(trashed).fileName() + ".trashinfo"_L1);
            ASSERT_TRUE(itsInfo.open(QIODevice::ReadOnly)) << taken.where;
            EXPECT_TRUE(itsInfo.readAll().contains(QByteArray("\nPath=" + QFile::encodeName(path) + "\n"))) << taken.where;
            EXPECT_TRUE(QFileInfo(trashed).fileName().endsWith(u".jpg"_s)) << "the extension stays";
            trashedPaths.insert(trashed);
        }
        EXPECT_EQ(trashedPaths.size(), 20) << taken.where;
        const Snapshot after = trashSnapshot();
        for (auto entry = takenBefore.cbegin(); entry != takenBefore.cend(); ++entry)
            EXPECT_EQ(after.value(entry.key()), entry.value()) << taken.where << " " << qPrintable(entry.key());
    }
}

// Qt takes a dangling link of the same name in the trash for a free name; the item then fails
// and stays, and the link stays too.
TEST_F(TrashTest, DanglingLinkOfTheSameNameInTheTrashIsNotReplaced)
{
    ASSERT_FALSE(Trash::makeHomeTrash());
    m_folder.makeFolder(u"home/.local/share/Trash/files"_s);
    const QByteArray link = QFile::encodeName(homeTrash() + "/files/c.txt"_L1);
    ASSERT_EQ(::symlink("nowhere", link.constData()), 0);
    const QString path = m_folder.writeFile(u"data/c.txt"_s, "c");

    QString trashed;
    const auto error = Trash().moveItemToTrash(path, &trashed);

    EXPECT_EQ(QFileInfo::exists(path), bool(error));
    char target[16] = {};
    EXPECT_EQ(::readlink(link.constData(), target, sizeof target - 1), 7);
    EXPECT_STREQ(target, "nowhere");
}

// The info file's name is the item's plus ".trashinfo", and plus a number on a clash: a name
// too long for that fails the item instead of trying forever; one that fits goes.
TEST_F(TrashTest, NameTooLongForItsInfoFileFailsTheItem)
{
    for (const auto &[length, fits] : {std::pair{240, true}, {250, false}}) {
        const QString path = m_folder.writeFile(u"data/"_s + QString(length, u'n'), "n");

        const auto error = Trash().moveItemToTrash(path);

        EXPECT_EQ(!error, fits) << length;
        EXPECT_EQ(!QFileInfo::exists(path), fits) << length;
    }
}

// A name that only just fits the info file's name still goes when its name is taken: it is
// shortened, before a whole character, so that the number fits, and keeps its extension.
TEST_F(TrashTest, LongNameTakenInTheTrashIsShortenedToFit)
{
    for (const QString &name : QStringList{QString(241, u'n') + ".txt"_L1, QString(120, u'\u00e9') + ".txt"_L1}) {
        Trash trash;
        QStringList trashedNames;
        for (int index = 0; index < 3; ++index) {
            const QString path = m_folder.writeFile(u"data/%1/"_s.arg(index) + name, "n");
            QString trashed;
            EXPECT_FALSE(trash.moveItemToTrash(path, &trashed)) << index;
            EXPECT_TRUE(QFileInfo::exists(trashed)) << "named as it lies: " << qPrintable(trashed);
            EXPECT_TRUE(trashed.endsWith(u".txt"_s));
            EXPECT_TRUE(QFileInfo::exists(homeTrash() + "/info/"_L1 + QFileInfo(trashed).fileName() + ".trashinfo"_L1));
            trashedNames.append(QFileInfo(trashed).fileName());
        }
        EXPECT_EQ(QSet<QString>(trashedNames.cbegin(), trashedNames.cend()).size(), 3);
    }
}

// The info file says where the item came from, percent-encoded, and when it went; an info file
// already there (an item trashed and lost, or another program's) keeps its name and content.
TEST_F(TrashTest, InfoFileHoldsTheEncodedPathAndTheDateAndTakesAFreeName)
{
    ASSERT_FALSE(Trash::makeHomeTrash());
    m_folder.writeFile(u"home/.local/share/Trash/info/e f.txt.trashinfo"_s, "someone else's");
    const QString path = m_folder.writeFile(u"data/e f%\u00e9.txt"_s, "e");
    // The earlier clash shares the name without "%\u00e9", so only the plain one clashes.
    const QString clashing = m_folder.writeFile(u"data/e f.txt"_s, "clash");

    QString trashed;
    ASSERT_FALSE(Trash().moveItemToTrash(path, &trashed));
    QString trashedClash;
    ASSERT_FALSE(Trash().moveItemToTrash(clashing, &trashedClash));

    EXPECT_EQ(QFileInfo(trashed).fileName(), u"e f%\u00e9.txt"_s);
    QFile info(homeTrash() + u"/info/e f%\u00e9.txt.trashinfo"_s);
    ASSERT_TRUE(info.open(QIODevice::ReadOnly));
    const QList<QByteArray> lines = info.readAll().split('\n');
    ASSERT_EQ(lines.size(), 4) << "three lines, each ended";
    EXPECT_EQ(lines[0], QByteArray("[Trash Info]"));
    const QByteArray encodedFolder = QFile::encodeName(dataPath(QString())).toPercentEncoding("/");
    EXPECT_EQ(lines[1], "Path=" + encodedFolder + "e%20f%25%C3%A9.txt");
    ASSERT_TRUE(lines[2].startsWith("DeletionDate="));
    EXPECT_TRUE(QDateTime::fromString(QString::fromLatin1(lines[2].mid(13)), u"yyyy-MM-dd'T'HH:mm:ss"_s).isValid())
        << lines[2].constData();
    EXPECT_TRUE(lines[3].isEmpty());

    EXPECT_NE(QFileInfo(trashedClash).fileName(), u"e f.txt"_s);
    EXPECT_TRUE(QFileInfo(trashedClash).fileName().endsWith(u".txt"_s)) << "the extension stays";
    QFile other(homeTrash() + "/info/e f.txt.trashinfo"_L1);
    ASSERT_TRUE(other.open(QIODevice::ReadOnly));
    EXPECT_EQ(other.readAll(), QByteArray("someone else's"));
    QFile clashInfo(homeTrash() + "/info/"_L1 + QFileInfo(trashedClash).fileName() + ".trashinfo"_L1);
    ASSERT_TRUE(clashInfo.open(QIODevice::ReadOnly));
    EXPECT_TRUE(clashInfo.readAll().contains(QByteArray("\nPath=" + encodedFolder + "e%20f.txt\n")));
}

// A volume with no room left for the info file (no inode for it, or no block for its text)
// fails the item at once with the volume's own error; nothing moves, no info file is left.
struct FullVolumeCase
{
    const char *name;
    const char *options;
    bool fillInodes;
};

class FullTrashTest : public RemovalFixture, public ::testing::WithParamInterface<FullVolumeCase>
{
};

namespace {

// Empty files until no inode is left, or one file until no block is left.
void fill(const QString &volume, bool inodes)
{
    const QByteArray block(4096, 'x');
    for (int index = 0; index < 100000; ++index) {
        const QByteArray name = QFile::encodeName(volume + "/filler-"_L1 + QString::number(inodes ? index : 0));
        const int fd = ::open(name.constData(), O_WRONLY | O_CREAT | O_APPEND, 0600);
        if (fd < 0) {
            ASSERT_EQ(errno, ENOSPC);
            return;
        }
        const bool written = inodes || ::write(fd, block.constData(), size_t(block.size())) == block.size();
        const int writeErrno = errno;
        ::close(fd);
        if (!written) {
            ASSERT_EQ(writeErrno, ENOSPC);
            return;
        }
    }
    FAIL() << "the volume never filled";
}

} // namespace

TEST_P(FullTrashTest, FullVolumeFailsTheItemWithoutMovingIt)
{
    if (!mountTmpfs(u"volume"_s, GetParam().options))
        GTEST_SKIP() << "this process may not mount a file system (needs root); "
                        "TrashWhoseInfoFolderIsNotWritableFailsTheItem covers an info folder that takes nothing";
    const QString trash = u"data/volume/.Trash-%1"_s.arg(::getuid());
    const QString info = m_folder.makeFolder(trash + "/info"_L1);
    const QString files = m_folder.makeFolder(trash + "/files"_L1);
    const QString path = m_folder.writeFile(u"data/volume/a.txt"_s, "a");
    fill(dataPath(u"volume"_s), GetParam().fillInodes);

    const auto error = Trash().moveItemToTrash(path);

    ASSERT_TRUE(error);
    EXPECT_EQ(error->code(), Trash::NotWritable);
    ASSERT_NE(error->underlyingError(), nullptr);
    EXPECT_EQ(error->underlyingError()->code(), ENOSPC);
    EXPECT_TRUE(QFileInfo::exists(path));
    EXPECT_TRUE(QDir(info).isEmpty());
    EXPECT_TRUE(QDir(files).isEmpty());
}

INSTANTIATE_TEST_SUITE_P(Full, FullTrashTest,
                         ::testing::Values(FullVolumeCase{"NoInodeForTheInfoFile", "size=1m,nr_inodes=64", true},
                                           FullVolumeCase{"NoBlockForItsText", "size=64k", false}),
                         [](const auto &entry) { return std::string(entry.param.name); });
