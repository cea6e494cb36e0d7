#include "ScanFixture.h"

#include "photolibraries/InstalledApplication.h"
#include "photolibraries/RQPhotosLibrary.h"
#include "photolibraries/RQiPhotoLibrary.h"

#include "platform/ParallelFor.h"

#include "scanning/RQDirectory.h"
#include "scanning/RQDuplicateFinderScan.h"
#include "scanning/RQDuplicateFinderWalk.h"
#include "scanning/RQSymbolicLink.h"

#include "support/LogCapture.h"
#include "support/Unprivileged.h"

#include <QCoreApplication>
#include <QDir>
#include <QFile>
#include <QThread>
#include <QUrl>

#include <algorithm>
#include <cstdio>

#include <sys/mount.h>
#include <sys/resource.h>
#include <sys/stat.h>
#include <sys/xattr.h>

using namespace Qt::StringLiterals;

namespace {

// Runs the walk alone, so that the tree can be looked at before the later stages release it.
class RQDuplicateFinderWalkTest : public ScanFixture
{
protected:
    ~RQDuplicateFinderWalkTest() override
    {
        // The finder's reports are queued for the main thread; they run while it still lives.
        QCoreApplication::sendPostedEvents();
    }

    std::shared_ptr<RQDirectory> walk(const QStringList &roots, double minimumFileSize = 0,
                                      const Configure &configure = {})
    {
        m_finder = RQDuplicateFinder::duplicateFinderWithPaths(roots, minimumFileSize);
        if (configure)
            configure(*m_finder);
        m_accepted = RQDuplicateFinderWalk(*m_finder, m_scan).walkRoots();
        QCoreApplication::sendPostedEvents();
        return m_scan.roots.empty() ? nullptr : m_scan.roots.front();
    }

    static std::shared_ptr<RQFile> child(const RQDirectory &folder, const QString &name)
    {
        for (const auto &item : folder.children()) {
            if (item->fileName() == name)
                return item;
        }
        return nullptr;
    }

    static std::shared_ptr<RQDirectory> folder(const RQDirectory &parent, const QString &name)
    {
        return std::dynamic_pointer_cast<RQDirectory>(child(parent, name));
    }

    std::shared_ptr<RQDuplicateFinder> m_finder;
    RQDuplicateFinderScan m_scan;
    bool m_accepted = false;
};

} // namespace

TEST_F(RQDuplicateFinderWalkTest, MinimumSizeLeavesSmallFilesOutButCountsTheirBytes)
{
    write(u"top/small"_s, 19999, 's');
    write(u"top/exact"_s, 20000, 'e');
    const auto root = walk({this->root(u"top"_s)}, 20000);
    ASSERT_TRUE(root);
    EXPECT_TRUE(m_accepted);
    ASSERT_EQ(root->children().size(), 1u);
    EXPECT_EQ(root->children().front()->fileName(), u"exact"_s);
    EXPECT_EQ(root->fileSize(), 39999);
    EXPECT_DOUBLE_EQ(root->ignoredSize(), 19999);
    EXPECT_TRUE(root->contentNotCompared());
    EXPECT_EQ(m_finder->totalFilesScanned(), 1);
}

TEST_F(RQDuplicateFinderWalkTest, KeepsEveryKindOfEntryButOnlyDigestsRegularFiles)
{
    write(u"top/empty"_s, QByteArray());
    write(u"top/Tool.app/Contents/binary"_s, 10, 'b');
    makeSymlink(u"top/link"_s, u"empty"_s);
    ASSERT_EQ(::mkfifo(QFile::encodeName(root(u"top/pipe"_s)).constData(), 0600), 0);
    write(u"top/.hidden"_s, 10, 'h');
    write(u"top/sub/.config/settings"_s, 10, 'c');

    const auto top = walk({root(u"top"_s)});
    ASSERT_TRUE(top);
    EXPECT_TRUE(top->contentNotCompared()) << "a hidden file inside";
    const auto package = folder(*top, u"Tool.app"_s);
    ASSERT_TRUE(package);
    EXPECT_TRUE(package->isPackage());
    EXPECT_FALSE(package->contentNotCompared()) << "its entries were all seen";
    const auto contents = folder(*package, u"Contents"_s);
    ASSERT_TRUE(contents);
    EXPECT_TRUE(contents->inPackage());
    const auto binary = child(*contents, u"binary"_s);
    ASSERT_TRUE(binary);
    EXPECT_TRUE(binary->inPackage());
    EXPECT_TRUE(std::dynamic_pointer_cast<RQSymbolicLink>(child(*top, u"link"_s)));
    EXPECT_TRUE(child(*top, u"pipe"_s));
    EXPECT_FALSE(child(*top, u".hidden"_s));
    const auto sub = folder(*top, u"sub"_s);
    ASSERT_TRUE(sub);
    EXPECT_TRUE(sub->children().empty());
    EXPECT_TRUE(sub->contentNotCompared()) << "a hidden folder inside";
    EXPECT_EQ(m_scan.digests.filesAdded(), 2) << "the two regular files";
    EXPECT_EQ(m_finder->totalFilesScanned(), 7);
}

// The walk stores no URL in its items; each answers the file URL of its path all the same,
// names that a URL has to escape included.
TEST_F(RQDuplicateFinderWalkTest, EveryItemAnswersTheFileUrlOfItsPath)
{
    write(u"top/sub dir/100% #1?.txt"_s, 10, 'f');
    makeSymlink(u"top/sub dir/link"_s, u"100% #1?.txt"_s);
    ASSERT_TRUE(walk({root(u"top"_s)}));
    QStringList kinds;
    m_scan.forEachItem([&kinds](const auto &item) {
        const std::string what = item->path().toStdString();
        EXPECT_EQ(item->fileURL(), QUrl::fromLocalFile(item->path())) << what;
        EXPECT_EQ(item->fileURL().toLocalFile(), item->path()) << what;
        EXPECT_EQ(item->previewItemURL(), item->fileURL()) << what;
        kinds.append(item->isDirectory() ? u"folder"_s : std::dynamic_pointer_cast<RQSymbolicLink>(item) ? u"link"_s : u"file"_s);
    });
    kinds.sort();
    EXPECT_EQ(kinds, (QStringList{u"file"_s, u"folder"_s, u"folder"_s, u"link"_s}));
}

TEST_F(RQDuplicateFinderWalkTest, IgnoredFolderStaysWithItsSubfoldersAndSize)
{
    write(u"top/ignored/a"_s, 1000, 'a');
    write(u"top/ignored/deeper/b"_s, 2000, 'b');
    write(u"top/kept.txt"_s, 300, 'k');
    write(u"top/skipped.zip"_s, 400, 'z');
    const auto top = walk({root(u"top"_s)}, 0, [this](RQDuplicateFinder &finder) {
        finder.setIgnoredPaths({root(u"top/ignored"_s)});
        finder.setIgnoredExtensions({u"zip"_s});
    });
    ASSERT_TRUE(top);
    const auto ignored = folder(*top, u"ignored"_s);
    ASSERT_TRUE(ignored);
    ASSERT_EQ(ignored->children().size(), 1u);
    const auto deeper = folder(*ignored, u"deeper"_s);
    ASSERT_TRUE(deeper);
    EXPECT_TRUE(deeper->children().empty());
    EXPECT_EQ(ignored->fileSize(), 3000);
    EXPECT_TRUE(child(*top, u"kept.txt"_s));
    EXPECT_FALSE(child(*top, u"skipped.zip"_s));
    EXPECT_EQ(top->fileSize(), 3700);
    EXPECT_TRUE(top->contentNotCompared());
}

TEST_F(RQDuplicateFinderWalkTest, RootsThatDoNotExistGiveEmptyRoots)
{
    write(u"real/file"_s, 10, 'f');
    const auto first = walk({root(u"missing"_s), root(u"real"_s)});
    ASSERT_TRUE(first);
    EXPECT_TRUE(first->children().empty());
    EXPECT_EQ(first->path(), root(u"missing/"_s));
    EXPECT_EQ(m_scan.itemCount, 3);
    ASSERT_EQ(m_scan.roots.size(), 2u);
    EXPECT_EQ(m_scan.roots[1]->path(), root(u"real/"_s));
}

TEST_F(RQDuplicateFinderWalkTest, FirstPhotosLibraryRootIsTakenWhole)
{
    RQPhotosLibrary &photos = RQPhotosLibrary::sharedInstance();
    photos.checkIsSupported(registryWithApplication(u"com.apple.Photos"_s, u"5.0"_s));
    photos.reset();
    write(u"First.photoslibrary/database/Photos.sqlite"_s, 100, 'd');
    write(u"Second.photoslibrary/originals/a.jpg"_s, 100, 'o');
    walk({root(u"First.photoslibrary"_s), root(u"Second.photoslibrary"_s)});
    photos.checkIsSupported(ApplicationRegistry());
    const QString firstPath = photos.currentLibraryPath();
    photos.reset();

    EXPECT_EQ(firstPath, root(u"First.photoslibrary/"_s));
    EXPECT_EQ(m_scan.itemCount, 4);
    ASSERT_EQ(m_scan.roots.size(), 2u);
    for (const auto &libraryRoot : m_scan.roots) {
        ASSERT_EQ(libraryRoot->children().size(), 1u);
        const auto library = std::dynamic_pointer_cast<RQDirectory>(libraryRoot->children().front());
        ASSERT_TRUE(library);
        EXPECT_EQ(library->path(), libraryRoot->path());
        EXPECT_TRUE(library->isPhotosLibrary());
        // Only media come in; the library's own files are never walked or compared.
        EXPECT_TRUE(library->children().empty());
        EXPECT_TRUE(library->contentNotCompared());
    }
}

// iPhoto's libraries are the folders of the recent list in HOME. The walk takes the media of a
// library's AlbumData.xml only where the installed iPhoto is of a supported version, else it
// notes that it skipped one; it never walks a library's own files. The shared iPhoto object
// reads HOME once, so the cases run in a child process that sets HOME before it is made.
TEST_F(RQDuplicateFinderWalkTest, IPhotoLibrariesGiveTheirMediaOnlyForASupportedIPhoto)
{
    GTEST_FLAG_SET(death_test_style, "threadsafe");
    const auto walkTheHome = [this] {
        const QString pictures = root(u"home/Pictures"_s);
        const QString master = write(u"home/Pictures/iPhoto Library/Masters/a.jpg"_s, 10, 'a');
        write(u"home/Pictures/iPhoto Library/Thumbnails/a.jpg"_s, 10, 'a');
        write(u"home/Pictures/iPhoto Library/AlbumData.xml"_s,
              "<plist version=\"1.0\"><dict><key>Master Image List</key><dict><key>1</key><dict>"
              "<key>ImagePath</key><string>" + master.toUtf8() + "</string></dict></dict></dict></plist>");
        write(u"home/Pictures/Unreadable Library/AlbumData.xml"_s, "not a property list"_ba);
        write(u"home/Pictures/Unreadable Library/Masters/b.jpg"_s, 10, 'b');
        QByteArray recent = "<plist version=\"1.0\"><dict><key>iPhotoRecentDatabases</key><array>";
        for (const QString &entry : QStringList{pictures + u"/iPhoto Library/AlbumData.xml"_s, pictures + u"/Unreadable Library"_s})
            recent += "<string>" + QUrl::fromLocalFile(entry).toEncoded() + "</string>";
        write(u"home/Library/Preferences/com.apple.iApps.plist"_s, recent + "</array></dict></plist>");
        qputenv("HOME", QFile::encodeName(root(u"home"_s)));

        const QStringList folders{u"home/Pictures/"_s, u"home/Pictures/Unreadable Library/ library"_s,
                                  u"home/Pictures/iPhoto Library/ library"_s};
        const struct
        {
            const char *iPhoto;
            ApplicationRegistry registry;
            QStringList media;
        } cases[] = {
            {"9.6.1", registryWithApplication(u"com.apple.iPhoto"_s, u"9.6.1"_s),
             {u"home/Pictures/iPhoto Library/Masters/a.jpg in iPhoto"_s}},
            {"8.1.2", registryWithApplication(u"com.apple.iPhoto"_s, u"8.1.2"_s), {}},
            {"not installed", ApplicationRegistry(), {}},
        };
        for (const auto &testCase : cases) {
            SCOPED_TRACE(testCase.iPhoto);
            RQiPhotoLibrary::sharedInstance().checkIphotoSupported(testCase.registry);
            const auto finder = RQDuplicateFinder::duplicateFinderWithPaths({pictures}, 0);
            RQDuplicateFinderScan scan;
            RQDuplicateFinderWalk(*finder, scan).walkRoots();
            QCoreApplication::sendPostedEvents();

            QStringList items;
            scan.forEachItem([&](const auto &item) {
                const auto folder = std::dynamic_pointer_cast<RQDirectory>(item);
                items.append(relative(item->path()) + (item->inIPhotoLibrary() ? u" in iPhoto"_s : QString())
                             + (folder && folder->isIPhotoLibrary() ? u" library"_s : QString()));
                if (!folder) {
                    EXPECT_EQ(item->fileURL(), QUrl::fromLocalFile(master)) << "a medium keeps the URL it was made from";
                }
            });
            items.sort();
            // The parent shows only what the child writes to its error stream.
            std::fprintf(stderr, "%s: %s; skipped %d\n", testCase.iPhoto, qPrintable(items.join(u"; "_s)),
                         int(finder->skippedIphoto()));
            EXPECT_EQ(items, folders + testCase.media);
            EXPECT_EQ(scan.digests.filesAdded(), testCase.media.size());
            EXPECT_EQ(finder->skippedIphoto(), testCase.media.isEmpty());
        }
        QDir(m_folder.path()).removeRecursively();
        std::exit(::testing::Test::HasFailure() ? 1 : 0);
    };
    EXPECT_EXIT(walkTheHome(), ::testing::ExitedWithCode(0), "");
}

TEST_F(RQDuplicateFinderWalkTest, BackupsAreLeftOutByTheirAttributes)
{
    write(u"top/backup/inside"_s, 10, 'b');
    write(u"top/kept"_s, 10, 'k');
    const QByteArray backup = QFile::encodeName(root(u"top/backup"_s));
    if (::setxattr(backup.constData(), "user.com.apple.backupd.SnapshotVolumeUUID", "1", 1, 0) != 0)
        GTEST_SKIP() << "the file system keeps no user attributes";
    const auto top = walk({root(u"top"_s)});
    ASSERT_TRUE(top);
    EXPECT_FALSE(folder(*top, u"backup"_s));
    EXPECT_TRUE(child(*top, u"kept"_s));
    EXPECT_TRUE(top->contentNotCompared());
}

// Where even the hard limit is too low, the folder that could not be opened is named. The walk's
// helpers and the digests run on threads of the high-priority pool, which are all started before
// the limit is lowered (a thread started past it aborts inside GLib), so nothing else needs a
// descriptor once the limit is reached.
TEST_F(RQDuplicateFinderWalkTest, FolderLeftForLackOfDescriptorsIsLogged)
{
    GTEST_FLAG_SET(death_test_style, "threadsafe");
    const auto withFewDescriptors = [this] {
        const QString deep = u"deep"_s + u"/d"_s.repeated(100);
        write(deep + u"/f"_s, 10, 'f');
        parallelFor(QThread::idealThreadCount(), [](qsizetype) { QThread::msleep(20); }, DispatchPriority::High);
        const auto open = static_cast<rlim_t>(QDir(u"/proc/self/fd"_s).entryList(QDir::AllEntries | QDir::System).size());
        const rlimit few {open + 30, open + 30};
        if (::setrlimit(RLIMIT_NOFILE, &few) != 0)
            std::exit(2);
        const LogCapture log;
        const auto top = walk({root(u"deep"_s)});
        const QString prefix = u"[DEBUG] Cannot open a folder for lack of file descriptors: "_s + root(u"deep/d/"_s);
        const QStringList lines = log.lines();
        const bool logged = std::any_of(lines.cbegin(), lines.cend(), [&prefix](const QString &line) { return line.startsWith(prefix); });
        // The digest threads wait for files until the stream ends; exit waits for the threads.
        m_scan.digests.finish({});
        QDir(m_folder.path()).removeRecursively();
        std::exit(top && logged ? 0 : 1);
    };
    EXPECT_EXIT(withFewDescriptors(), ::testing::ExitedWithCode(0), "");
}

namespace {

// Shows a folder again at another place for as long as it lives; mounting needs root.
class BindMount final
{
public:
    BindMount(const QString &source, const QString &target)
        : m_target(QFile::encodeName(target)),
          m_mounted(::mount(QFile::encodeName(source).constData(), m_target.constData(), nullptr, MS_BIND, nullptr) == 0)
    {
    }
    ~BindMount()
    {
        if (m_mounted)
            ::umount2(m_target.constData(), MNT_DETACH);
    }
    BindMount(const BindMount &) = delete;
    BindMount &operator=(const BindMount &) = delete;

    bool isMounted() const { return m_mounted; }

private:
    QByteArray m_target;
    bool m_mounted;
};

} // namespace

// A folder met a second time through a bind mount is the folder already walked: it is left out,
// with a log line, and the folder holding it is never offered as a copy of anything.
TEST_F(RQDuplicateFinderWalkTest, FolderMetTwiceIsWalkedOnce)
{
    struct Row
    {
        const char *source;
        const char *mountPoint;
        const char *holder;
    };
    const Row rows[] = {{"top/src", "top/src-again", "top"}, {"top", "top/src/loop", "top/src"}};
    for (const Row &row : rows) {
        SCOPED_TRACE(row.mountPoint);
        QDir(root(u"top"_s)).removeRecursively();
        write(u"top/src/a.txt"_s, 10, 'a');
        write(u"top/src/inner/b.txt"_s, 10, 'b');
        makeFolder(QString::fromLatin1(row.mountPoint));
        const BindMount mount(root(QString::fromLatin1(row.source)), root(QString::fromLatin1(row.mountPoint)));
        if (!mount.isMounted())
            GTEST_SKIP() << "this process may not mount a file system (needs root)";
        const auto finder = RQDuplicateFinder::duplicateFinderWithPaths({root(u"top"_s)}, 0);
        RQDuplicateFinderScan scan;
        LogCapture log;

        RQDuplicateFinderWalk(*finder, scan).walkRoots();
        QCoreApplication::sendPostedEvents();

        QStringList paths;
        std::vector<std::shared_ptr<RQFile>> items;
        scan.forEachItem([&](const auto &item) {
            paths.append(relative(item->path()));
            items.push_back(item);
        });
        EXPECT_FALSE(paths.contains(QString::fromLatin1(row.mountPoint) + u'/')) << paths.join(u' ').toStdString();
        EXPECT_EQ(paths.filter(u"b.txt"_s).size(), 1) << paths.join(u' ').toStdString();
        const QString holder = root(QString::fromLatin1(row.holder)) + u'/';
        const auto found = std::find_if(items.cbegin(), items.cend(),
                                        [&holder](const auto &item) { return item->path() == holder; });
        ASSERT_NE(found, items.cend());
        EXPECT_TRUE(std::static_pointer_cast<RQDirectory>(*found)->contentNotCompared());
        EXPECT_EQ(log.lines().filter(u"Skipping"_s), QStringList{u"[DEBUG] Skipping a folder already met at another path: "_s
                                           + root(QString::fromLatin1(row.mountPoint)) + u'/'});
    }
}

namespace {

// The walk's result as text: the tree from the root (each item's kind, name, size and marks,
// children in their order), then every item in the order the walk added it, then its counts.
class WalkedTree final
{
public:
    WalkedTree(const QString &root, int readers)
    {
        const auto finder = RQDuplicateFinder::duplicateFinderWithPaths({root}, 0);
        RQDuplicateFinderScan scan;
        RQDuplicateFinderWalk(*finder, scan, readers).walkRoots();
        QCoreApplication::sendPostedEvents();
        if (scan.roots.empty())
            return;
        addTree(*scan.roots.front(), 0);
        scan.forEachItem([this](const auto &item) { m_lines.append(item->path()); });
        m_lines.append(u"files %1 added %2 to digest %3 scanned %4"_s.arg(scan.allFilesCount)
                           .arg(scan.digests.filesAdded())
                           .arg(scan.digests.filesToDigest())
                           .arg(finder->totalFilesScanned()));
    }

    const QStringList &lines() const { return m_lines; }

private:
    void addTree(const RQFile &item, int depth)
    {
        const auto *folder = dynamic_cast<const RQDirectory *>(&item);
        QString line = QString(depth, u' ') + item.fileName() + u' ' + QString::number(item.fileSize());
        line += folder ? u" folder"_s : dynamic_cast<const RQSymbolicLink *>(&item) ? u" link"_s : u" file"_s;
        if (folder && folder->contentNotCompared())
            line += u" not-compared"_s;
        if (folder)
            line += u" ignored " + QString::number(folder->ignoredSize());
        m_lines.append(line);
        if (folder) {
            for (const auto &child : folder->children())
                addTree(*child, depth + 1);
        }
    }

    QStringList m_lines;
};

} // namespace

// Folders are read ahead of the walk by other threads, but the tree is made in the walk's order:
// the same names, order, marks and counts with one reading thread and with many. Root reads
// every folder, so the case runs in a child process that has given up its privileges first.
TEST_F(RQDuplicateFinderWalkTest, TreeIsTheSameWhateverTheNumberOfReadingThreads)
{
    GTEST_FLAG_SET(death_test_style, "threadsafe");
    const auto unprivileged = [this] {
        if (!becomeNobodyOwning(m_folder.path()))
            std::exit(2);
        for (int folder = 0; folder < 30; ++folder) {
            for (int file = 0; file < 60; ++file)
                write(u"top/wide-%1/sub-%2/file-%3"_s.arg(folder).arg(file % 4).arg(file), file * 7 % 50, 'w');
        }
        write(u"top/chain"_s + u"/c"_s.repeated(40) + u"/end"_s, 10, 'e');
        makeFolder(u"top/empty/inner-empty"_s);
        makeSymlink(u"top/links/to-chain"_s, u"../chain"_s);
        makeSymlink(u"top/links/nowhere"_s, u"missing"_s);
        write(u"top/links/.hidden"_s, 10, 'h');
        write(u"top/locked/inner/x"_s, 10, 'x');
        ::chmod(QFile::encodeName(root(u"top/locked"_s)).constData(), 0);
        write(u"top/backup/deep/er/y"_s, 10, 'y');
        const QByteArray backup = QFile::encodeName(root(u"top/backup"_s));
        ::setxattr(backup.constData(), "user.com.apple.backupd.SnapshotVolumeUUID", "1", 1, 0);

        const QStringList alone = WalkedTree(root(u"top"_s), 1).lines();
        bool same = alone.size() > 2000;
        for (const int readers : {2, 8, 32}) {
            for (int round = 0; round < 3; ++round) {
                const QStringList shared = WalkedTree(root(u"top"_s), readers).lines();
                if (shared != alone) {
                    std::fprintf(stderr, "%d readers: %lld lines against %lld\n", readers,
                                 static_cast<long long>(shared.size()), static_cast<long long>(alone.size()));
                    same = false;
                }
            }
        }
        ::chmod(QFile::encodeName(root(u"top/locked"_s)).constData(), 0700);
        // The fixture is what it means to be: an unreadable folder, a folder left out, a hidden file.
        const bool marked = alone.contains(u" locked 0 folder not-compared ignored 0"_s)
                            && alone.filter(u"backup"_s).isEmpty()
                            && alone.contains(u" links 0 folder not-compared ignored 0"_s);
        QDir(m_folder.path()).removeRecursively();
        std::exit(same && marked ? 0 : 1);
    };
    EXPECT_EXIT(unprivileged(), ::testing::ExitedWithCode(0), "");
}
