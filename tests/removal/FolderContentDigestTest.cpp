// A folder's inside as the scan saw it against the disk after one change below its top level.
// Each change that counts also puts back the times of the folders it touched, so that only the
// entries' own records can tell it.

#include "support/RemovalFixture.h"

#include "platform/FileDescriptor.h"
#include "removal/EntryIdentity.h"
#include "removal/FolderContentDigest.h"
#include "support/Unprivileged.h"

#include <QFile>

#include <fcntl.h>
#include <functional>
#include <stdio.h>
#include <sys/stat.h>
#include <unistd.h>

using namespace Qt::StringLiterals;

namespace {

struct DigestCase
{
    const char *name;
    std::function<void(RemovalFixture &self)> change;
    bool stillAgrees;
};

void PrintTo(const DigestCase &test, std::ostream *stream)
{
    *stream << test.name;
}

struct timespec modificationTime(const QString &path)
{
    struct stat values {};
    EXPECT_EQ(::lstat(QFile::encodeName(path).constData(), &values), 0) << path.toStdString();
    return values.st_mtim;
}

void setModificationTime(const QString &path, const struct timespec &time)
{
    const struct timespec times[2] = {{0, UTIME_OMIT}, time};
    EXPECT_EQ(::utimensat(AT_FDCWD, QFile::encodeName(path).constData(), times, AT_SYMLINK_NOFOLLOW), 0)
        << path.toStdString();
}

// Runs the change and gives the folders back the times they had.
void withFolderTimesKept(RemovalFixture &self, const QStringList &folders, const std::function<void()> &change)
{
    std::vector<struct timespec> times;
    for (const QString &folder : folders)
        times.push_back(modificationTime(self.dataPath(folder)));
    change();
    for (std::size_t index = 0; index < times.size(); ++index)
        setModificationTime(self.dataPath(folders[qsizetype(index)]), times[index]);
}

const DigestCase cases[] = {
    {"NothingChanged", [](RemovalFixture &) {}, true},
    {"HiddenFileAddedTwoLevelsDown",
     [](RemovalFixture &self) {
         withFolderTimesKept(self, {u"F/sub/deeper"_s}, [&self] { self.file(u"F/sub/deeper/.new"_s, "new"); });
     },
     false},
    {"FileTimeTouchedOnly",
     [](RemovalFixture &self) {
         struct timespec time = modificationTime(self.dataPath(u"F/sub/b.txt"_s));
         ++time.tv_sec;
         setModificationTime(self.dataPath(u"F/sub/b.txt"_s), time);
     },
     false},
    {"FileReplacedByAnEqualOneOfTheSameTime",
     [](RemovalFixture &self) {
         const QString original = self.dataPath(u"F/sub/b.txt"_s);
         const struct timespec time = modificationTime(original);
         withFolderTimesKept(self, {u"F/sub"_s}, [&] {
             self.file(u"F/sub/b.new"_s, "bbbb");
             setModificationTime(self.dataPath(u"F/sub/b.new"_s), time);
             EXPECT_EQ(::rename(QFile::encodeName(self.dataPath(u"F/sub/b.new"_s)).constData(),
                                QFile::encodeName(original).constData()), 0);
         });
     },
     false},
    {"TwoFilesSwapNames",
     [](RemovalFixture &self) {
         withFolderTimesKept(self, {u"F/sub"_s, u"F/sub/deeper"_s}, [&self] {
             EXPECT_EQ(::renameat2(AT_FDCWD, QFile::encodeName(self.dataPath(u"F/sub/b.txt"_s)).constData(),
                                   AT_FDCWD, QFile::encodeName(self.dataPath(u"F/sub/deeper/c.txt"_s)).constData(),
                                   RENAME_EXCHANGE), 0);
         });
     },
     false},
    {"SubfolderSwappedForALinkToIt",
     [](RemovalFixture &self) {
         withFolderTimesKept(self, {u"F"_s}, [&self] {
             EXPECT_TRUE(QFile::rename(self.dataPath(u"F/sub"_s), self.dataPath(u"elsewhere"_s)));
             EXPECT_TRUE(QFile::link(self.dataPath(u"elsewhere"_s), self.dataPath(u"F/sub"_s)));
         });
     },
     false},
};

class FolderContentDigestTest : public RemovalFixture, public ::testing::WithParamInterface<DigestCase>
{
};

class FolderContentDigestReadTest : public RemovalFixture
{
};

// The digest of data/F on disk now; the folder must still be itself.
std::optional<std::uint64_t> digestOnDisk(RemovalFixture &self, const RQFile &folder)
{
    const FileDescriptor data(::open(QFile::encodeName(self.dataPath(QString())).constData(), O_RDONLY | O_DIRECTORY));
    RQFileIdentity identity;
    EXPECT_EQ(EntryIdentity::read(data.get(), "F", identity), 0);
    EXPECT_EQ(identity, folder.identity()) << "the folder itself changed";
    return FolderContentDigest::ofEntry(data.get(), "F", identity);
}

} // namespace

TEST_P(FolderContentDigestTest, AgreesWithTheScanOnlyWhileNothingBelowChanged)
{
    file(u"F/a.txt"_s, "aaa");
    file(u"F/sub/b.txt"_s, "bbbb");
    file(u"F/sub/deeper/c.txt"_s, "ccccc");
    ASSERT_TRUE(QFile::link(u"a.txt"_s, dataPath(u"F/link"_s)));
    scan();
    const auto folder = std::dynamic_pointer_cast<RQDirectory>(scanned(u"F/"_s));
    ASSERT_TRUE(folder);

    GetParam().change(*this);

    const std::optional<std::uint64_t> now = digestOnDisk(*this, *folder);
    const std::uint64_t seen = FolderContentDigest::ofScannedFolder(*folder);
    if (GetParam().stillAgrees)
        EXPECT_EQ(now, seen);
    else
        EXPECT_NE(now, seen);
}

INSTANTIATE_TEST_SUITE_P(Changes, FolderContentDigestTest, ::testing::ValuesIn(cases),
                         [](const auto &entry) { return std::string(entry.param.name); });

// Root reads every folder, so the case runs in a child process that has given up its privileges
// first. Taking the folder for empty would pass a deletion that cannot see what it deletes.
TEST_F(FolderContentDigestReadTest, AFolderBelowThatCannotBeReadGivesNoDigest)
{
    GTEST_FLAG_SET(death_test_style, "threadsafe");
    const auto unprivileged = [this] {
        // data/ too, which the fixture made before.
        if (::geteuid() == 0 && ::chown(QFile::encodeName(dataPath(QString())).constData(), 65534, 65534) != 0)
            ::_exit(2);
        if (!becomeNobodyOwning(m_folder.path()))
            ::_exit(2);
        file(u"F/sub/deeper/c.txt"_s, "ccccc");
        scan();
        const auto folder = scanned(u"F/"_s);
        if (!folder || ::chmod(QFile::encodeName(dataPath(u"F/sub/deeper"_s)).constData(), 0) != 0)
            ::_exit(3);
        // _exit: the child leaves the parent's objects to the parent.
        ::_exit(digestOnDisk(*this, *folder) ? 1 : 0);
    };
    EXPECT_EXIT(unprivileged(), ::testing::ExitedWithCode(0), "");
}
