#include "support/RemovalFixture.h"

#include "photolibraries/RQPhotosLibrary.h"
#include "removal/RemovalError.h"
#include "services/Preferences.h"
#include "support/EventLoop.h"
#include "support/LogCapture.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QSet>

#include <functional>

#include <sys/mount.h>
#include <sys/statvfs.h>
#include <unistd.h>

using namespace Qt::StringLiterals;

namespace {

bool onDisk(const QString &path)
{
    return QFileInfo(path).exists() || QFileInfo(path).isSymLink();
}

} // namespace

class KMHSFileRemoverTest : public RemovalFixture
{
};

class KMHSFileRemoverRoadTest : public RemovalFixture, public ::testing::WithParamInterface<bool>
{
};

// Files, a folder holding a link to a folder outside it, and a link as an item: each goes as
// a whole and nothing a link points at is touched.
TEST_P(KMHSFileRemoverRoadTest, RemovesExactlyTheGivenItems)
{
    const bool useTrash = GetParam();
    file(u"kept/original.txt"_s, "original");
    file(u"kept/folder/inner.txt"_s, "inner");
    const auto single = file(u"copies/a.txt"_s, "aaaa");
    const auto tree = folder(u"copies/tree"_s);
    tree->addChild(file(u"copies/tree/b.txt"_s, "bb"));
    tree->addChild(file(u"copies/tree/deeper/c.txt"_s, "c"));
    m_folder.makeSymlink(u"data/copies/tree/outside"_s, dataPath(u"kept/folder"_s));
    const QString linkPath = m_folder.makeSymlink(u"data/copies/link"_s, dataPath(u"kept/original.txt"_s));
    const auto link = RQFile::fileWithPath(linkPath);
    const Snapshot before = snapshot();

    const Outcome outcome = remove({single, tree, link}, useTrash);

    EXPECT_TRUE(outcome.errors.isEmpty());
    EXPECT_EQ(outcome.totalRemoved, 3);
    EXPECT_EQ(outcome.spaceFreed, 7u);
    for (const QString &gone : {u"copies/a.txt"_s, u"copies/tree"_s, u"copies/link"_s})
        EXPECT_FALSE(onDisk(dataPath(gone))) << gone.toStdString();
    expectUntouchedExcept(before, {u"copies/a.txt"_s, u"copies/tree"_s, u"copies/link"_s});
    if (useTrash) {
        EXPECT_EQ(trashedNames(), (QStringList{u"a.txt"_s, u"link"_s, u"tree"_s}));
        EXPECT_TRUE(QFileInfo::exists(homeTrash() + "/info/a.txt.trashinfo"_L1));
        EXPECT_TRUE(QFileInfo(homeTrash() + "/files/tree/outside"_L1).isSymLink());
    } else {
        EXPECT_TRUE(trashedNames().isEmpty());
    }
}

INSTANTIATE_TEST_SUITE_P(TrashAndDelete, KMHSFileRemoverRoadTest, ::testing::Bool(),
                         [](const auto &entry) { return entry.param ? "Trash" : "Delete"; });

// What really fails, also for root: a failure is recorded under the item's key, with a code
// the removal sheet understands; the item stays and counts neither as removed nor as freed.
struct FaultCase
{
    const char *name;
    bool useTrash;
    // Makes the item to remove; false skips (the fault cannot be made here).
    std::function<bool(RemovalFixture &self, std::shared_ptr<RQFile> &item, QString &skipReason)> make;
    qint64 code;
};

class KMHSFileRemoverFaultTest : public RemovalFixture, public ::testing::WithParamInterface<FaultCase>
{
};

namespace {

bool immutableFile(RemovalFixture &self, std::shared_ptr<RQFile> &item, QString &skip)
{
    item = self.file(u"copies/locked.txt"_s, "locked");
    skip = u"the file system cannot mark a file immutable"_s;
    return self.makeImmutable(item->path());
}

bool fileInImmutableFolder(RemovalFixture &self, std::shared_ptr<RQFile> &item, QString &skip)
{
    item = self.file(u"copies/sealed/x.txt"_s, "x");
    skip = u"the file system cannot mark a folder immutable"_s;
    return self.makeImmutable(self.dataPath(u"copies/sealed"_s));
}

bool folderWithImmutableFile(RemovalFixture &self, std::shared_ptr<RQFile> &item, QString &skip)
{
    item = self.folder(u"copies/tree"_s);
    self.file(u"copies/tree/a.txt"_s, "a");
    const auto locked = self.file(u"copies/tree/locked.txt"_s, "locked");
    skip = u"the file system cannot mark a file immutable"_s;
    return self.makeImmutable(locked->path());
}

bool fileOnReadOnlyVolume(RemovalFixture &self, std::shared_ptr<RQFile> &item, QString &skip)
{
    skip = u"this process may not mount a file system (needs root)"_s;
    if (!self.mountTmpfs(u"readonly"_s))
        return false;
    item = self.file(u"readonly/x.txt"_s, "x");
    self.remountReadOnly(u"readonly"_s);
    return true;
}

bool fileThatBecameAFolder(RemovalFixture &self, std::shared_ptr<RQFile> &item, QString &)
{
    item = RQFile::fileWithPath(self.dataPath(u"copies/was-a-file"_s));
    item->setFileSize(4);
    self.file(u"copies/was-a-file/now-inside.txt"_s, "keep");
    return true;
}

bool folderThatBecameALink(RemovalFixture &self, std::shared_ptr<RQFile> &item, QString &)
{
    self.file(u"kept/target/keep.txt"_s, "keep");
    item = RQDirectory::fileWithPath(self.dataPath(u"copies/was-a-folder"_s));
    self.m_folder.makeSymlink(u"data/copies/was-a-folder"_s, self.dataPath(u"kept/target"_s));
    return true;
}

} // namespace

TEST_P(KMHSFileRemoverFaultTest, FailedItemStaysWithItsErrorAndIsNotCounted)
{
    const FaultCase &fault = GetParam();
    std::shared_ptr<RQFile> item;
    QString skipReason;
    if (!fault.make(*this, item, skipReason))
        GTEST_SKIP() << skipReason.toStdString();
    const auto fine = file(u"copies/fine.txt"_s, "fine");
    const Snapshot before = snapshot();

    const Outcome outcome = remove({item, fine}, fault.useTrash);

    ASSERT_EQ(outcome.errors.size(), 1);
    ASSERT_TRUE(outcome.errors.contains(item->path()));
    const RQError &error = outcome.errors.value(item->path());
    EXPECT_EQ(error.domain(), u"NSCocoaErrorDomain"_s);
    EXPECT_EQ(error.code(), fault.code);
    ASSERT_NE(error.underlyingError(), nullptr);
    EXPECT_EQ(error.underlyingError()->domain(), u"NSPOSIXErrorDomain"_s);
    EXPECT_EQ(outcome.totalRemoved, 1);
    // A folder that went in part freed what went; any other failed item freed nothing.
    EXPECT_EQ(outcome.spaceFreed, bytesThatLeft(before));
    if (!item->isDirectory()) {
        EXPECT_EQ(outcome.spaceFreed, 4u);
    }
    EXPECT_EQ(outcome.progress.last(), (KMHSDetails{2, 2}));
    EXPECT_FALSE(onDisk(fine->path()));
    EXPECT_TRUE(onDisk(item->path()));
    // A folder item that failed inside may have lost part of its content; nothing else may.
    expectUntouchedExcept(before, {u"copies/fine.txt"_s, item->isDirectory() ? u"copies/tree"_s : QString()});
}

INSTANTIATE_TEST_SUITE_P(
    Faults, KMHSFileRemoverFaultTest,
    ::testing::Values(FaultCase{"ImmutableFileDeleted", false, immutableFile, 513},
                      FaultCase{"ImmutableFileTrashed", true, immutableFile, 513},
                      FaultCase{"ImmutableParentDeleted", false, fileInImmutableFolder, 513},
                      FaultCase{"ImmutableParentTrashed", true, fileInImmutableFolder, 513},
                      FaultCase{"ImmutableFileInFolderDeleted", false, folderWithImmutableFile, 513},
                      FaultCase{"ReadOnlyVolumeDeleted", false, fileOnReadOnlyVolume, 642},
                      FaultCase{"ReadOnlyVolumeTrashed", true, fileOnReadOnlyVolume, 642},
                      FaultCase{"FileThatBecameAFolderDeleted", false, fileThatBecameAFolder, 512},
                      FaultCase{"FileThatBecameAFolderTrashed", true, fileThatBecameAFolder, 512},
                      FaultCase{"FolderThatBecameALinkDeleted", false, folderThatBecameALink, 512},
                      FaultCase{"FolderThatBecameALinkTrashed", true, folderThatBecameALink, 512}),
    [](const auto &entry) { return std::string(entry.param.name); });

TEST_F(KMHSFileRemoverTest, FailedFolderIsKeyedByItsPathAndNotCounted)
{
    const auto tree = folder(u"copies/tree"_s);
    tree->addChild(file(u"copies/tree/a.txt"_s, "a"));
    const auto locked = file(u"copies/tree/locked.txt"_s, "locked");
    tree->addChild(locked);
    if (!makeImmutable(locked->path()))
        GTEST_SKIP() << "the file system cannot mark a file immutable";
    const Snapshot before = snapshot();

    const Outcome outcome = remove({tree}, false);

    ASSERT_TRUE(tree->path().endsWith(u'/'));
    EXPECT_EQ(outcome.errors.keys(), QStringList{tree->path()});
    EXPECT_EQ(outcome.totalRemoved, 0);
    // Whatever went before the locked file stopped the removal is freed, and only that.
    EXPECT_EQ(outcome.spaceFreed, bytesThatLeft(before));
    EXPECT_EQ(outcome.spaceFreed, QFileInfo::exists(dataPath(u"copies/tree/a.txt"_s)) ? 0u : 1u);
    EXPECT_TRUE(QFileInfo::exists(locked->path()));
}

TEST_F(KMHSFileRemoverTest, TrashRecordsEveryFailureOfAChunkForItsOwnItem)
{
    KMHSFileRemover::FileList files;
    QStringList lockedPaths;
    for (int index = 0; index < 6; ++index) {
        files.push_back(file(u"copies/%1.txt"_s.arg(index), "12345"));
        if (index % 3 == 1) {
            if (!makeImmutable(files.back()->path()))
                GTEST_SKIP() << "the file system cannot mark a file immutable";
            lockedPaths.append(files.back()->path());
        }
    }

    const Outcome outcome = remove(files, true);

    QStringList failed = outcome.errors.keys();
    failed.sort();
    EXPECT_EQ(failed, lockedPaths);
    EXPECT_EQ(outcome.totalRemoved, 4);
    EXPECT_EQ(outcome.spaceFreed, 20u);
    EXPECT_EQ(trashedNames(), (QStringList{u"0.txt"_s, u"2.txt"_s, u"3.txt"_s, u"5.txt"_s}));
}

TEST_F(KMHSFileRemoverTest, TrashFolderThatCannotBeMadeFailsEveryItemAndMovesNothing)
{
    const QString blocker = m_folder.writeFile(u"blocker"_s, "a file where a folder should be");
    qputenv("XDG_DATA_HOME", (blocker + "/share"_L1).toLocal8Bit());
    const auto first = file(u"copies/a.txt"_s, "a");
    const auto second = file(u"copies/b.txt"_s, "b");
    const Snapshot before = snapshot();

    const Outcome outcome = remove({first, second}, true);

    EXPECT_EQ(outcome.errors.size(), 2);
    for (const auto &item : {first, second}) {
        EXPECT_EQ(outcome.errors.value(item->path()).domain(), QLatin1StringView(RemovalError::errorDomain));
        EXPECT_EQ(outcome.errors.value(item->path()).code(), RemovalError::TrashNotWritable);
    }
    EXPECT_EQ(outcome.totalRemoved, 0);
    expectUntouchedExcept(before, {});
    EXPECT_EQ(snapshot(), before);
}

// Each item goes to the trash of its own volume: a home trash that cannot be made fails only the
// items of the home trash's file system, and says that the Trash could not be written.
TEST_F(KMHSFileRemoverTest, HomeTrashThatCannotBeMadeFailsOnlyItsOwnVolumesItems)
{
    if (!mountTmpfs(u"volume"_s))
        GTEST_SKIP() << "this process may not mount a file system (needs root)";
    const struct {
        const char *what;
        const char *blocker;
        const char *dataFolder;
    } cases[] = {{"a file where the data folder should be", "blocker", "blocker/share"},
                 {"a file where the trash folder should be", "share/Trash", "share"}};
    for (const auto &home : cases) {
        QDir(m_folder.filePath(u"share"_s)).removeRecursively();
        QFile::remove(m_folder.filePath(u"blocker"_s));
        m_folder.writeFile(QString::fromLatin1(home.blocker), "a file");
        qputenv("XDG_DATA_HOME", m_folder.filePath(QString::fromLatin1(home.dataFolder)).toLocal8Bit());
        const auto onHome = file(u"copies/a.txt"_s, "a");
        const auto onVolume = file(u"volume/b.txt"_s, "bb");

        const Outcome outcome = remove({onHome, onVolume}, true);

        ASSERT_EQ(outcome.errors.keys(), QStringList{onHome->path()}) << home.what;
        const RQError error = outcome.errors.value(onHome->path());
        EXPECT_EQ(error.domain(), QLatin1StringView(RemovalError::errorDomain)) << home.what;
        EXPECT_EQ(error.code(), RemovalError::TrashNotWritable) << home.what;
        ASSERT_NE(error.underlyingError(), nullptr) << "the reason stays underneath";
        EXPECT_EQ(error.underlyingError()->code(), ENOTDIR) << home.what;
        EXPECT_EQ(outcome.totalRemoved, 1) << home.what;
        EXPECT_EQ(outcome.spaceFreed, 2u) << home.what;
        EXPECT_TRUE(onDisk(onHome->path())) << home.what;
        const QString volumeTrash = dataPath(u"volume/.Trash-%1"_s.arg(::getuid()));
        EXPECT_TRUE(QFileInfo::exists(volumeTrash + "/files/b.txt"_L1)) << home.what;
        EXPECT_TRUE(QFileInfo::exists(volumeTrash + "/info/b.txt.trashinfo"_L1)) << home.what;
        QDir(volumeTrash).removeRecursively();
    }
}

TEST_F(KMHSFileRemoverTest, HundredAndTwentyItemsGoInThreeChunks)
{
    KMHSFileRemover::FileList files;
    for (int index = 0; index < 120; ++index)
        files.push_back(file(u"copies/%1.txt"_s.arg(index, 3, 10, QChar(u'0')), "xy"));
    file(u"kept.txt"_s, "kept");
    const Snapshot before = snapshot();

    const Outcome outcome = remove(files, true);

    ASSERT_EQ(outcome.progress.size(), 3);
    EXPECT_EQ(outcome.progress.last(), (KMHSDetails{120, 120}));
    EXPECT_EQ(outcome.totalRemoved, 120);
    EXPECT_EQ(outcome.spaceFreed, 240u);
    EXPECT_EQ(trashedNames().size(), 120);
    expectUntouchedExcept(before, {u"copies"_s});
}

// Folders of photos each hold a "cover.jpg": every one goes to the one trash, however many
// share the name, each with the info file that says where it came from.
TEST_F(KMHSFileRemoverTest, ManyItemsOfOneNameAllGoToTheTrash)
{
    constexpr int count = 1100;
    KMHSFileRemover::FileList files;
    QSet<QByteArray> origins;
    for (int index = 0; index < count; ++index) {
        files.push_back(file(u"albums/%1/cover.jpg"_s.arg(index), "jpg"));
        origins.insert("Path=" + QFile::encodeName(files.back()->path()).toPercentEncoding("/"));
    }

    const Outcome outcome = remove(files, true);

    EXPECT_TRUE(outcome.errors.isEmpty()) << outcome.errors.size() << " failed";
    EXPECT_EQ(outcome.totalRemoved, count);
    const QStringList trashed = trashedNames();
    EXPECT_EQ(trashed.size(), count);
    QSet<QByteArray> infoPaths;
    for (const QString &name : trashed) {
        QFile info(homeTrash() + "/info/"_L1 + name + ".trashinfo"_L1);
        ASSERT_TRUE(info.open(QIODevice::ReadOnly)) << qPrintable(name);
        infoPaths.insert(info.readAll().split('\n').value(1));
    }
    EXPECT_TRUE(infoPaths == origins) << "each item has one info file with its own path";
}

TEST_F(KMHSFileRemoverTest, NetworkItemsAreDeletedEvenWithTrashOn)
{
    const auto plain = file(u"copies/plain.txt"_s, "p");
    const auto network = file(u"share/remote.txt"_s, "r");
    network->setIsNetworkItem(true);

    const Outcome outcome = remove({plain, network}, true);

    EXPECT_TRUE(outcome.errors.isEmpty());
    EXPECT_FALSE(onDisk(network->path()));
    EXPECT_EQ(trashedNames(), QStringList{u"plain.txt"_s});
    EXPECT_EQ(outcome.progress.size(), 2);
}

TEST_F(KMHSFileRemoverTest, MissingItemIsSkippedUncountedAndUnreported)
{
    const auto present = file(u"copies/present.txt"_s, "here");
    const auto missing = file(u"copies/missing.txt"_s, "gone");
    ASSERT_TRUE(QFile::remove(missing->path()));

    const Outcome outcome = remove({present, missing}, false);

    EXPECT_TRUE(outcome.errors.isEmpty());
    EXPECT_EQ(outcome.totalRemoved, 1);
    EXPECT_EQ(outcome.progress.last(), (KMHSDetails{1, 2}));
}

// An item inside a listed folder is not an item of its own: the folder takes it along and
// answers for it, whichever of the two comes first.
TEST_P(KMHSFileRemoverRoadTest, ItemInsideAListedFolderGoesWithTheFolder)
{
    const auto tree = folder(u"copies/tree"_s);
    const auto inner = file(u"copies/tree/inner.txt"_s, "inner");
    tree->addChild(inner);
    file(u"kept.txt"_s, "kept");
    const Snapshot before = snapshot();

    const Outcome outcome = remove({inner, tree, inner}, GetParam());

    EXPECT_TRUE(outcome.errors.isEmpty());
    EXPECT_EQ(outcome.totalRemoved, 1);
    EXPECT_EQ(outcome.spaceFreed, 5u);
    EXPECT_EQ(outcome.progress.last(), (KMHSDetails{1, 1}));
    EXPECT_FALSE(onDisk(tree->path()));
    expectUntouchedExcept(before, {u"copies/tree"_s});
}

TEST_F(KMHSFileRemoverTest, EmptyListCompletesWithNothing)
{
    const Outcome outcome = remove({}, true);

    EXPECT_TRUE(outcome.progress.isEmpty());
    EXPECT_TRUE(outcome.errors.isEmpty());
    EXPECT_EQ(outcome.totalRemoved, 0);
    EXPECT_EQ(outcome.spaceFreed, 0u);
}

TEST_F(KMHSFileRemoverTest, RunsWithoutADelegate)
{
    Preferences::sharedPreferences().setUseTrash(false);
    Preferences::sharedPreferences().setUseHardLinks(false);
    const auto item = file(u"copies/a.txt"_s, "a");
    file(u"kept.txt"_s, "kept");
    const Snapshot before = snapshot();
    {
        KMHSFileRemover remover;
        remover.removeFiles({item});
    }
    processEventsFor(20);

    EXPECT_FALSE(onDisk(item->path()));
    expectUntouchedExcept(before, {u"copies/a.txt"_s});
}

// The kept copy is never touched; a link takes a removed item's place, and only a removed one's.
TEST_F(KMHSFileRemoverTest, LinksReplaceRemovedItemsOnly)
{
    const auto kept = file(u"kept/original.txt"_s, "same");
    const auto keptFolder = folder(u"kept/folder"_s);
    file(u"kept/folder/inside.txt"_s, "inside");
    const auto copy = file(u"copies/copy.txt"_s, "same");
    const auto copyFolder = folder(u"copies/folder"_s);
    file(u"copies/folder/inside.txt"_s, "inside");
    const auto lockedCopy = file(u"copies/locked.txt"_s, "same");
    for (const auto &item : {copy, lockedCopy})
        item->setAliasDestinationFile(kept);
    copyFolder->setAliasDestinationFile(keptFolder);
    const auto noDestination = file(u"copies/alone.txt"_s, "alone");
    if (!makeImmutable(lockedCopy->path()))
        GTEST_SKIP() << "the file system cannot mark a file immutable";
    const Snapshot before = snapshot();

    LogCapture log;
    const Outcome outcome = remove({copy, copyFolder, lockedCopy, noDestination}, true, true);

    EXPECT_EQ(outcome.errors.keys(), QStringList{lockedCopy->path()});
    EXPECT_EQ(QFileInfo(copy->path()).symLinkTarget(), kept->path());
    EXPECT_EQ(QFileInfo(dataPath(u"copies/folder"_s)).symLinkTarget(), dataPath(u"kept/folder"_s));
    EXPECT_FALSE(QFileInfo(lockedCopy->path()).isSymLink());
    EXPECT_FALSE(onDisk(noDestination->path()));
    expectUntouchedExcept(before, {u"copies"_s});
    EXPECT_EQ(snapshot().value(u"copies/locked.txt"_s), QByteArray("F:same"));
    EXPECT_TRUE(log.lines().isEmpty());
}

// A link needs an inode of its own: on a volume that has none left once the item lies in the
// volume's trash, the item stays removed and the link that could not be made is only logged.
TEST_F(KMHSFileRemoverTest, LinkThatCannotBeMadeIsLoggedOnly)
{
    if (!mountTmpfs(u"volume"_s, "size=1m,nr_inodes=100"))
        GTEST_SKIP() << "this process may not mount a file system (needs root)";
    const auto kept = file(u"volume/kept.txt"_s, "same");
    const auto copy = file(u"volume/copy.txt"_s, "same");
    copy->setAliasDestinationFile(kept);
    // The trash folder, its "files" and "info" folders and the info file take the last four.
    const QByteArray volume = QFile::encodeName(dataPath(u"volume"_s));
    struct statvfs values {};
    ASSERT_EQ(::statvfs(volume.constData(), &values), 0);
    const QByteArray options = "size=1m,nr_inodes=" + QByteArray::number(quint64(values.f_files - values.f_ffree + 4));
    ASSERT_EQ(::mount("tmpfs", volume.constData(), "tmpfs", MS_REMOUNT, options.constData()), 0);

    LogCapture log;
    const Outcome outcome = remove({copy}, true, true);

    EXPECT_TRUE(outcome.errors.isEmpty());
    EXPECT_EQ(outcome.totalRemoved, 1);
    EXPECT_EQ(outcome.spaceFreed, 4u);
    EXPECT_FALSE(onDisk(copy->path()));
    EXPECT_EQ(log.lines(), QStringList{u"[DEBUG] Could not make alias for file: %1, with destination: %2"_s.arg(
                               copy->description(), kept->description())});
    EXPECT_EQ(snapshot().value(u"volume/kept.txt"_s), QByteArray("F:same"));
}

TEST_F(KMHSFileRemoverTest, PhotosLibraryCountIsThePhotosListLength)
{
    const auto photo = file(u"Library.photoslibrary/a.jpg"_s, "p");
    photo->setInPhotosLibrary(true);

    remove({photo}, false);

    EXPECT_EQ(RQPhotosLibrary::sharedInstance().photosFilesRemoved(), 1u);
    EXPECT_TRUE(onDisk(photo->path()));
}

// The removal's flags are its own: preferences saying Trash and links change nothing.
TEST_F(KMHSFileRemoverTest, PreferencesDoNotReachARemoval)
{
    Preferences::sharedPreferences().setUseTrash(true);
    Preferences::sharedPreferences().setUseHardLinks(true);
    const auto kept = file(u"kept.txt"_s, "same");
    const auto copy = file(u"copies/copy.txt"_s, "same");
    scan();
    const auto item = scanned(u"copies/copy.txt"_s);
    item->setAliasDestinationFile(scanned(u"kept.txt"_s));

    const Outcome outcome = remove({item}, false, false);

    Preferences::sharedPreferences().setUseTrash(false);
    Preferences::sharedPreferences().setUseHardLinks(false);
    EXPECT_EQ(outcome.totalRemoved, 1);
    EXPECT_FALSE(onDisk(copy->path()));
    EXPECT_TRUE(trashedNames().isEmpty());
}

// Two names of one 200-byte file deleted or trashed: its bytes leave their place only with the last
// name, and not at all while a name stays elsewhere.
TEST_F(KMHSFileRemoverTest, BytesOfAFileWithManyNamesCountOnceWithTheLastName)
{
    const QByteArray content(200, 'x');
    const struct {
        const char *what;
        QStringList removed;
        quint64 freed;
    } cases[] = {
        {"both names", {u"b/x"_s, u"c/x"_s}, 200},
        {"one name, one stays", {u"b/x"_s}, 0},
    };
    for (const bool useTrash : {false, true}) {
        for (const auto &test : cases) {
            QDir(dataPath(QString())).removeRecursively();
            file(u"b/x"_s, content);
            QDir().mkpath(dataPath(u"c"_s));
            ASSERT_EQ(::link(QFile::encodeName(dataPath(u"b/x"_s)).constData(),
                             QFile::encodeName(dataPath(u"c/x"_s)).constData()), 0);
            KMHSFileRemover::FileList files;
            for (const QString &path : test.removed)
                files.push_back(RQFile::fileWithPath(dataPath(path)));

            const Outcome outcome = remove(files, useTrash);

            EXPECT_TRUE(outcome.errors.isEmpty()) << test.what << (useTrash ? ", trashed" : ", deleted");
            EXPECT_EQ(outcome.spaceFreed, test.freed) << test.what << (useTrash ? ", trashed" : ", deleted");
        }
    }
}

// The link takes a deleted item's place before the item is deleted: a folder whose deletion stops
// part way takes its place back from the link, and no link is left.
TEST_F(KMHSFileRemoverTest, FolderThatStopsPartWayTakesItsPlaceBackFromItsLink)
{
    const auto kept = folder(u"kept/tree"_s);
    file(u"kept/tree/locked.txt"_s, "locked");
    const auto tree = folder(u"copies/tree"_s);
    const auto locked = file(u"copies/tree/locked.txt"_s, "locked");
    tree->addChild(locked);
    tree->setAliasDestinationFile(kept);
    if (!makeImmutable(locked->path()))
        GTEST_SKIP() << "the file system cannot mark a file immutable";
    const Snapshot before = snapshot();

    LogCapture log;
    const Outcome outcome = remove({tree}, false, true);

    EXPECT_EQ(outcome.errors.keys(), QStringList{tree->path()});
    EXPECT_FALSE(QFileInfo(dataPath(u"copies/tree"_s)).isSymLink());
    expectUntouchedExcept(before, {});
    EXPECT_EQ(QDir(dataPath(u"copies"_s)).entryList(QDir::AllEntries | QDir::Hidden | QDir::NoDotAndDotDot),
              QStringList{u"tree"_s});
    EXPECT_TRUE(log.lines().isEmpty()) << log.lines().join(u'\n').toStdString();
}
