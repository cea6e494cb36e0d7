#include "ScanFixture.h"

#include "scanning/RQDuplicateFiles.h"
#include "scanning/RQFile.h"
#include "scanning/RQHashHelper.h"

#include "platform/FileDescriptor.h"
#include "platform/GlobalQueue.h"

#include "support/LogCapture.h"
#include "support/Unprivileged.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>

#include <cerrno>
#include <cstring>
#include <fcntl.h>
#include <string>
#include <vector>
#include <sys/resource.h>
#include <sys/stat.h>
#include <unistd.h>

using namespace Qt::StringLiterals;

namespace {

class RQDuplicateFinderTest : public ScanFixture
{
};

struct RootCase
{
    QStringList given;
    QStringList kept;
    QStringList logLines;
};

void expectRootsKept(const std::vector<RootCase> &cases)
{
    for (const RootCase &rootCase : cases) {
        const LogCapture log;
        const auto finder = RQDuplicateFinder::duplicateFinderWithPaths(rootCase.given, 0);
        EXPECT_EQ(finder->paths(), rootCase.kept) << rootCase.given.join(u' ').toStdString();
        EXPECT_EQ(log.lines(), rootCase.logLines);
    }
}

} // namespace

TEST_F(RQDuplicateFinderTest, DropsNestedAndRepeatedRoots)
{
    const std::vector<RootCase> cases = {
        {{u"/a"_s, u"/a/b"_s}, {u"/a"_s}, {u"[DEBUG] Ignoring path: /a/b because it's a child of /a"_s}},
        {{u"/a/b"_s, u"/a"_s}, {u"/a"_s}, {u"[DEBUG] Ignoring path: /a/b because it's a child of /a"_s}},
        {{u"/a"_s, u"/a/"_s}, {u"/a"_s}, {u"[DEBUG] Ignoring path: /a/ because it's a child of /a"_s}},
        {{u"/a/"_s, u"/a"_s}, {u"/a/"_s}, {u"[DEBUG] Ignoring path: /a because it's a child of /a/"_s}},
        // An empty root would be walked as "/".
        {{u""_s, u"/a"_s}, {u"/a"_s}, {u"[DEBUG] Ignoring path:  because it's empty"_s}},
        {{u"/a"_s, u""_s}, {u"/a"_s}, {u"[DEBUG] Ignoring path:  because it's empty"_s}},
        {{u"/a"_s, u"/ab"_s, u"/a/b/c"_s, u"/a/b"_s},
         {u"/a"_s, u"/ab"_s},
         {u"[DEBUG] Ignoring path: /a/b/c because it's a child of /a"_s,
          u"[DEBUG] Ignoring path: /a/b because it's a child of /a"_s}},
    };
    expectRootsKept(cases);
}

TEST_F(RQDuplicateFinderTest, RootReachedThroughALinkIsNotScannedTwice)
{
    write(u"real/sub/f"_s, 3000, 'f');
    write(u"real/sub/g"_s, 3100, 'g');
    makeSymlink(u"link"_s, u"real/sub"_s);
    const LogCapture log;
    const ScanReports reports = scan({root(u"real"_s), root(u"link"_s)});
    // Offering real/sub and link as copies would remove the only copy through the link.
    EXPECT_EQ(groupsOf(reports), QStringList());
    EXPECT_TRUE(log.contains(u"[DEBUG] Ignoring path: %1 because it's a child of %2"_s.arg(root(u"link"_s),
                                                                                          root(u"real"_s))));
}

TEST_F(RQDuplicateFinderTest, RootsAreNestedOnlyByWhereTheyLead)
{
    makeFolder(u"top/A"_s);
    makeFolder(u"other"_s);
    makeFolder(u"outside"_s);
    makeSymlink(u"top/lnk"_s, root(u"outside"_s));
    const std::vector<RootCase> cases = {
        // Beside top, though its text begins with top's.
        {{root(u"top"_s), root(u"top/../other"_s)}, {root(u"top"_s), root(u"other"_s)}, {}},
        // top itself: dropped as a repeat, top stays.
        {{root(u"top"_s), root(u"top/A/.."_s)},
         {root(u"top"_s)},
         {u"[DEBUG] Ignoring path: %1 because it's a child of %2"_s.arg(root(u"top"_s), root(u"top"_s))}},
        // Leads outside top, where the walk of top never goes.
        {{root(u"top"_s), root(u"top/lnk"_s)}, {root(u"top"_s), root(u"top/lnk"_s)}, {}},
        {{root(u"top//A/./"_s), root(u"other/.//"_s)}, {root(u"top/A/"_s), root(u"other/"_s)}, {}},
    };
    expectRootsKept(cases);
}

TEST_F(RQDuplicateFinderTest, ARootWhoseNameIsNotUtf8IsRefusedNotReplaced)
{
    // "r" and the byte 0xff, as text "r" and U+FFFD, which encoded back names this folder.
    write(u"r\uFFFD/a"_s, 3000, 'a');
    write(u"r\uFFFD/b"_s, 3000, 'a');
    const QString given = root(u"r\uFFFD"_s);
    const LogCapture log;
    const ScanReports reports = scan({given});
    EXPECT_EQ(groupsOf(reports), QStringList());
    EXPECT_TRUE(log.contains(u"[DEBUG] Ignoring path: %1 because its name is not valid UTF-8"_s.arg(given)));
}

TEST_F(RQDuplicateFinderTest, RelativeRootsNameTheirMembersFromTheAbsoluteFolder)
{
    // Two links that name one file, one by a relative and one by an absolute target, make
    // their folders copies only when the relative one is read against a real folder.
    write(u"P/f"_s, 3000, 'f');
    write(u"Q/f"_s, 3000, 'f');
    write(u"t/x"_s, 10, 'x');
    makeSymlink(u"P/l"_s, u"../t/x"_s);
    makeSymlink(u"Q/l"_s, root(u"t/x"_s));
    const QString previous = QDir::currentPath();
    ASSERT_TRUE(QDir::setCurrent(root(u""_s)));
    const ScanReports reports = scan({u"P"_s, u"./Q"_s});
    QDir::setCurrent(previous);
    EXPECT_EQ(groupsOf(reports), QStringList{u"P/ | Q/"_s});
}

TEST_F(RQDuplicateFinderTest, EmptyRootListFailsAtOnceThenCompletesEmpty)
{
    const ScanReports reports = scan({});
    EXPECT_TRUE(reports.failed);
    EXPECT_TRUE(reports.failedBeforeStartReturned);
    ASSERT_TRUE(reports.completed);
    ASSERT_TRUE(reports.groups.has_value());
    EXPECT_TRUE(reports.groups->empty());
}

TEST_F(RQDuplicateFinderTest, SystemOrIgnoredRootEndsTheScanWithNoList)
{
    write(u"ignored/a"_s, 100, 'a');
    write(u"ignored/b"_s, 100, 'a');
    write(u"other/c"_s, 100, 'a');
    makeSymlink(u"to-system"_s, u"/usr/share"_s);
    makeSymlink(u"to-ignored"_s, u"ignored"_s);
    // A root is judged by where it leads, not by its text.
    const std::vector<std::pair<QString, QStringList>> cases = {
        {u"/usr/share/"_s, {}},
        {root(u"ignored"_s), {root(u"ignored"_s)}},
        {root(u"to-system"_s), {}},
        {root(u"to-ignored"_s), {root(u"ignored"_s)}},
    };
    for (const auto &[refused, ignoredPaths] : cases) {
        const LogCapture log;
        const ScanReports reports = scan({root(u"other"_s), refused}, 0, [&ignoredPaths](RQDuplicateFinder &finder) {
            finder.setIgnoredPaths(ignoredPaths);
        });
        ASSERT_TRUE(reports.completed);
        EXPECT_FALSE(reports.groups.has_value());
        ASSERT_FALSE(reports.progress.empty());
        EXPECT_EQ(reports.progress.back(), (std::pair<qint64, double>(0, 1.0)));
        for (const auto &[step, value] : reports.progress)
            EXPECT_EQ(step, 0);
        EXPECT_TRUE(log.contains(u"[DEBUG] Path is a system path or is ignored not even going to try to scan. "_s + refused));
    }
}

TEST_F(RQDuplicateFinderTest, RootThroughASystemFolderNameIsScannedWhereItLies)
{
    write(u"real/a"_s, 100, 'a');
    write(u"real/b"_s, 100, 'a');
    write(u"real/sub/c"_s, 100, 'a');
    const QString through = u"/usr/.."_s + root(u"real"_s);
    const ScanReports reports = scan({through});
    ASSERT_TRUE(reports.groups.has_value());
    ASSERT_EQ(reports.groups->size(), 1u);
    QStringList members;
    for (const auto &member : reports.groups->front()->duplicates())
        members.append(member->path());
    members.sort();
    // Named from where the root leads: the root is cleaned once, at the start.
    const QString real = root(u"real"_s);
    EXPECT_EQ(members, (QStringList{real + u"/a"_s, real + u"/b"_s, real + u"/sub/c"_s}));
}

// A refused root ends the scan while the digests of the roots before it may still run. They are
// stopped and waited for before the completion is posted: the caller may end the program on it,
// and a digest still reading then uses the hashing library while it is torn down.
TEST_F(RQDuplicateFinderTest, RefusedScanHasStoppedReadingWhenItCompletes)
{
    // Large enough that reading them outlasts the rest of the scan; holes, so they take no disk.
    for (const QString &name : {u"r/a/f"_s, u"r/b/f"_s}) {
        QFile file(write(name, QByteArray()));
        ASSERT_TRUE(file.resize(qint64(128) << 20));
    }
    const ScanReports reports = scan({root(u"r"_s), u"/usr/"_s});
    ASSERT_TRUE(reports.completed);
    EXPECT_FALSE(reports.groups.has_value());
    EXPECT_EQ(reports.filesOpenAtCompletion, QStringList());
}

// On a machine with one core the scan's thread is the pool's only one, so the digest threads
// it asked for never start; a scan that ends early must not wait for them.
TEST_F(RQDuplicateFinderTest, RefusedScanLeavesNoThreadWaitingWhenThePoolHasOneThread)
{
    write(u"other/a"_s, 100, 'a');
    write(u"other/b"_s, 100, 'a');
    QThreadPool &pool = static_cast<GlobalQueue &>(DispatchQueue::global(DispatchPriority::High)).pool();
    ASSERT_TRUE(pool.waitForDone(10000));
    const int threads = pool.maxThreadCount();
    pool.setMaxThreadCount(1);
    const ScanReports refused = scan({root(u"other"_s), u"/usr/share/"_s});
    EXPECT_TRUE(pool.waitForDone(10000)) << "a pool thread is still waiting";
    const ScanReports next = scan({root(u"other"_s)});
    pool.setMaxThreadCount(threads);
    ASSERT_TRUE(refused.completed);
    EXPECT_FALSE(refused.groups.has_value());
    EXPECT_EQ(groupsOf(next), QStringList{u"other/a | other/b"_s});
}

TEST_F(RQDuplicateFinderTest, ThreeEqualFilesMakeOneGroupWithTwoExtraCopies)
{
    for (const QString &name : {u"one"_s, u"sub/two"_s, u"three"_s})
        write(name, 30000, 'q');
    write(u"other"_s, 30000, 'q', 'r');
    const ScanReports reports = scan({root(u""_s)}, 20000);
    ASSERT_EQ(groupsOf(reports), QStringList{u"one | sub/two | three"_s});
    const auto &group = *reports.groups->front();
    EXPECT_EQ(group.count(), 3);
    EXPECT_EQ(group.fileSize(), 30000);
    EXPECT_EQ(group.totalSize(), 90000);
    ASSERT_FALSE(reports.found.empty());
    EXPECT_EQ(reports.found.back(), (std::pair<qint64, double>(2, 60000)));
    EXPECT_FALSE(reports.failed);
    EXPECT_FALSE(reports.reportAfterCompletion);
}

// A scan of many groups reports the duplicates' totals a few times, not once per group, and the
// last report is the exact sum over the groups.
TEST_F(RQDuplicateFinderTest, DuplicateTotalsAreCoalescedAndEndExact)
{
    constexpr int groupCount = 2000;
    for (int group = 0; group < groupCount; ++group) {
        for (int copy = 0; copy < 2 + group % 3; ++copy)
            write(u"%1/%2"_s.arg(group % 40).arg(group * 4 + copy), 1 + group, 'd');
    }
    const ScanReports reports = scan({root(u""_s)});
    ASSERT_TRUE(reports.groups);
    ASSERT_EQ(reports.groups->size(), std::size_t(groupCount));
    qint64 extraCopies = 0;
    double extraBytes = 0;
    for (const auto &group : *reports.groups) {
        extraCopies += group->count() - 1;
        extraBytes += group->totalSize() - group->fileSize();
    }
    ASSERT_FALSE(reports.found.empty());
    EXPECT_EQ(reports.found.back(), (std::pair<qint64, double>(extraCopies, extraBytes)));
    EXPECT_LT(reports.found.size(), std::size_t(groupCount / 10));
    EXPECT_TRUE(std::is_sorted(reports.found.cbegin(), reports.found.cend()));
    EXPECT_FALSE(reports.reportAfterCompletion);
}

TEST_F(RQDuplicateFinderTest, NamesOfOneFileAreNotItsCopies)
{
    // Removing one name of a file frees nothing, and leaves the content where it was.
    const QString original = write(u"linked/original"_s, 3000, 'o');
    ASSERT_EQ(::link(QFile::encodeName(original).constData(), QFile::encodeName(root(u"linked/second"_s)).constData()), 0);
    const QString named = write(u"copied/named"_s, 3100, 'n');
    ASSERT_EQ(::link(QFile::encodeName(named).constData(), QFile::encodeName(root(u"copied/other-name"_s)).constData()), 0);
    write(u"copied/copy"_s, 3100, 'n');
    const ScanReports reports = scan({root(u""_s)});
    EXPECT_EQ(groupsOf(reports), QStringList{u"copied/copy | copied/named"_s});
    ASSERT_FALSE(reports.found.empty());
    EXPECT_EQ(reports.found.back(), (std::pair<qint64, double>(1, 3100)));
}

TEST_F(RQDuplicateFinderTest, MinimumSizeAndEmptyFiles)
{
    write(u"small-1"_s, 19999, 's');
    write(u"small-2"_s, 19999, 's');
    write(u"exact-1"_s, 20000, 'e');
    write(u"exact-2"_s, 20000, 'e');
    write(u"empty-1"_s, QByteArray());
    write(u"empty-2"_s, QByteArray());
    EXPECT_EQ(groupsOf(scan({root(u""_s)}, 20000)), QStringList{u"exact-1 | exact-2"_s});
    // Without a minimum the small files count, and empty files still never group.
    EXPECT_EQ(groupsOf(scan({root(u""_s)}, 0)), (QStringList{u"exact-1 | exact-2"_s, u"small-1 | small-2"_s}));
}

TEST_F(RQDuplicateFinderTest, EqualFoldersMakeOneGroupWithoutNestedGroups)
{
    for (const QString &copy : {u"A"_s, u"B"_s}) {
        write(copy + u"/x"_s, 3000, 'x');
        write(copy + u"/sub/y"_s, 4000, 'y');
        write(copy + u"/sub/z"_s, 4000, 'z');
    }
    write(u"C/x"_s, 3000, 'x');
    const ScanReports reports = scan({root(u""_s)});
    // A/x and B/x lie in duplicate folders; C/x, a copy outside them, is offered with A/x.
    ASSERT_EQ(groupsOf(reports), (QStringList{u"A/ | B/"_s, u"A/x | C/x"_s}));
    const auto folders = std::find_if(reports.groups->cbegin(), reports.groups->cend(),
                                      [](const auto &group) { return group->isDirectory(); });
    ASSERT_NE(folders, reports.groups->cend());
    EXPECT_EQ((*folders)->fileSize(), 11000);
    EXPECT_EQ(reports.found.back(), (std::pair<qint64, double>(2, 11000 + 3000)));
}

TEST_F(RQDuplicateFinderTest, FoldersAreCopiesOnlyUnderTheSameNames)
{
    // Removing a "copy" that holds its content under other names would lose those names.
    write(u"one/a/x"_s, 3000, 'x');
    write(u"one/b/y"_s, 3000, 'x');
    write(u"two/c/p"_s, 3100, 'X');
    write(u"two/c/q"_s, 3200, 'Y');
    write(u"two/d/q"_s, 3100, 'X');
    write(u"two/d/r"_s, 3200, 'Y');
    write(u"three/e/k"_s, 3300, 'k');
    write(u"three/f/k"_s, 3300, 'k');
    EXPECT_EQ(groupsOf(scan({root(u""_s)})),
              (QStringList{u"one/a/x | one/b/y"_s, u"three/e/ | three/f/"_s, u"two/c/p | two/d/q"_s,
                           u"two/c/q | two/d/r"_s}));
}

TEST_F(RQDuplicateFinderTest, CopiesOutsideDuplicateFoldersAreOfferedWithACopyInside)
{
    // A1 and A2 are copies; B/c copies A1/c, and D/d/bn copies c/bn.
    for (const QString &folder : {u"A1/c"_s, u"A2/c"_s, u"B/c"_s}) {
        write(folder + u"/bn"_s, 3000, 'b');
        write(folder + u"/cx"_s, 3100, 'c');
    }
    write(u"B/b-only"_s, 3200, 'o');
    write(u"D/d/bn"_s, 3000, 'b');
    write(u"D/d/d-only"_s, 3300, 'd');
    const ScanReports reports = scan({root(u""_s)});
    EXPECT_EQ(groupsOf(reports), (QStringList{u"A1/ | A2/"_s, u"A1/c/ | B/c/"_s, u"A1/c/bn | D/d/bn"_s}));
    ASSERT_FALSE(reports.found.empty());
    EXPECT_EQ(reports.found.back(), (std::pair<qint64, double>(3, 6100 + 6100 + 3000)));
}

TEST_F(RQDuplicateFinderTest, FolderAndFileNeverShareAGroup)
{
    // A file that holds a folder's child record without its kind (the name, a NUL and the
    // child's digest text), and is as large as the folder, must not pass for that folder.
    const QString inside = write(u"F/c"_s, 42, 'c');
    write(u"T"_s, "c\0"_ba + RQHashHelper::sha1ForFileWithPath(inside).toLatin1());
    EXPECT_EQ(groupsOf(scan({root(u""_s)})), QStringList());
}

TEST_F(RQDuplicateFinderTest, AFileThatReadsAsAFoldersDigestInputIsNoFolder)
{
    // X/d is a file whose bytes are what Y/d, a folder holding f, gives its folder's digest:
    // the name "f", a NUL, the kind's letter where the folder records one, and the digest of
    // f. Both are as large as f, so only the kind in X's and Y's own records tells them apart.
    const std::vector<QByteArray> recordStarts = {"f\0"_ba, "f\0f"_ba};
    for (std::size_t index = 0; index < recordStarts.size(); ++index) {
        const QString base = u"case%1/"_s.arg(index);
        const qsizetype size = recordStarts[index].size() + 40;
        const QByteArray content(size, 'c');
        write(base + u"Y/d/f"_s, content);
        write(base + u"X/d"_s, recordStarts[index] + RQHashHelper::sha1ForData(content).toLatin1());
    }
    EXPECT_EQ(groupsOf(scan({root(u""_s)})), QStringList());
}

TEST_F(RQDuplicateFinderTest, FoldersAreOfferedOnlyWhenEverythingInThemWasCompared)
{
    // Each pair differs only in something the scan does not compare by content.
    write(u"hidden/A/f"_s, 25000, 'f');
    write(u"hidden/B/f"_s, 25000, 'f');
    write(u"hidden/A/.git/HEAD"_s, "one"_ba);
    write(u"hidden/B/.git/HEAD"_s, "two"_ba);
    write(u"small/A/g"_s, 25000, 'g');
    write(u"small/B/g"_s, 25000, 'g');
    write(u"small/A/note"_s, 100, 'a');
    write(u"small/B/note"_s, 100, 'b');
    const ScanReports reports = scan({root(u""_s)}, 20000);
    EXPECT_EQ(groupsOf(reports), (QStringList{u"hidden/A/f | hidden/B/f"_s, u"small/A/g | small/B/g"_s}));
}

TEST_F(RQDuplicateFinderTest, PackagesAreComparedWholeNotByTheirContents)
{
    for (const QString &copy : {u"one"_s, u"two"_s}) {
        write(copy + u"/Tool.app/Contents/binary"_s, 5000, 'b');
        write(copy + u"/Tool.app/Contents/Info"_s, 700, 'i');
    }
    write(u"one/elsewhere"_s, 700, 'i');
    write(u"two/extra"_s, 10, 'e');
    // The package copies group; their files never do, not even with an equal file outside.
    EXPECT_EQ(groupsOf(scan({root(u"one"_s), root(u"two"_s)})), QStringList{u"one/Tool.app/ | two/Tool.app/"_s});
}

TEST_F(RQDuplicateFinderTest, FoldersBelowTheMinimumAreNotOffered)
{
    for (const QString &copy : {u"A"_s, u"B"_s}) {
        write(copy + u"/p"_s, 6000, 'p');
        write(copy + u"/q"_s, 7000, 'q');
    }
    const ScanReports reports = scan({root(u""_s)}, 20000);
    ASSERT_TRUE(reports.groups.has_value());
    EXPECT_TRUE(reports.groups->empty());
}

TEST_F(RQDuplicateFinderTest, SpecialFilesLinksAndOddNames)
{
    for (const QString &copy : {u"links/A"_s, u"links/B"_s}) {
        write(copy + u"/f"_s, 2000, 'f');
        makeSymlink(copy + u"/to-f"_s, u"../f"_s);
        makeSymlink(copy + u"/loop"_s, u".."_s);
    }
    for (const QString &copy : {u"fifo/A"_s, u"fifo/B"_s}) {
        write(copy + u"/g"_s, 2100, 'g');
        ASSERT_EQ(::mkfifo(QFile::encodeName(root(copy + u"/pipe"_s)).constData(), 0600), 0);
    }
    write(u"names/line\nbreak"_s, 2200, 'n');
    write(u"names/100% #1?"_s, 2200, 'n');

    const ScanReports reports = scan({root(u""_s)});
    // Links count by the place they name and are never followed; a FIFO is never read, so its
    // folders are not offered, and names stay exactly as they are.
    EXPECT_EQ(groupsOf(reports), (QStringList{u"fifo/A/g | fifo/B/g"_s, u"links/A/ | links/B/"_s,
                                              u"names/100% #1? | names/line\nbreak"_s}));
}

TEST_F(RQDuplicateFinderTest, LinksAreEqualWhenTheyNameTheSamePlaceAndAddNoBytes)
{
    // The same text naming each locale's own file: the folders are not copies.
    for (const QString &language : {u"de"_s, u"fr"_s}) {
        write(language + u"/LC_MESSAGES/m"_s, 2000, language.at(0).toLatin1());
        write(language + u"/LC_TIME/common"_s, 2100, 'c');
        makeSymlink(language + u"/LC_TIME/m"_s, u"../LC_MESSAGES/m"_s);
    }
    // Other texts naming one place: the folders are copies, of the file's bytes alone.
    for (const auto &[side, target] : {std::pair(u"one"_s, u"../target"_s), std::pair(u"two"_s, u"./../../same/target"_s)}) {
        write(u"same/"_s + side + u"/f"_s, 2200, 's');
        makeSymlink(u"same/"_s + side + u"/relative"_s, target);
        makeSymlink(u"same/"_s + side + u"/absolute"_s, u"/usr//share/"_s);
    }
    const ScanReports reports = scan({root(u""_s)});
    EXPECT_EQ(groupsOf(reports), (QStringList{u"de/LC_TIME/common | fr/LC_TIME/common"_s, u"same/one/ | same/two/"_s}));
    ASSERT_FALSE(reports.found.empty());
    EXPECT_EQ(reports.found.back(), (std::pair<qint64, double>(2, 2100 + 2200)));
}

TEST_F(RQDuplicateFinderTest, NamesThatAreNotUtf8AreSkippedWithALogLine)
{
    write(u"A/kept"_s, 2300, 'k');
    write(u"B/kept"_s, 2300, 'k');
    std::vector<QByteArray> oddFiles;
    for (const char *copy : {"A", "B"}) {
        const QByteArray odd = QFile::encodeName(root(QString::fromLatin1(copy))) + "/odd\xff";
        const int descriptor = ::open(odd.constData(), O_CREAT | O_WRONLY, 0600);
        ASSERT_GE(descriptor, 0);
        ASSERT_EQ(::write(descriptor, copy, 1), 1);
        ::close(descriptor);
        oddFiles.push_back(odd);
    }
    const LogCapture log;
    const ScanReports reports = scan({root(u""_s)});
    for (const QByteArray &odd : oddFiles)
        ::unlink(odd.constData());

    // The folders differ only in the skipped files, so they are not offered.
    EXPECT_EQ(groupsOf(reports), QStringList{u"A/kept | B/kept"_s});
    EXPECT_TRUE(log.contains(u"[DEBUG] Skipping an entry whose name is not valid UTF-8 in "_s + root(u"A/"_s)));
    EXPECT_TRUE(log.contains(u"[DEBUG] Skipping an entry whose name is not valid UTF-8 in "_s + root(u"B/"_s)));
}

TEST_F(RQDuplicateFinderTest, ProgressRunsThroughTheStepsInOrder)
{
    for (int index = 0; index < 40; ++index)
        write(u"files/%1"_s.arg(index), 1000 + index % 20, 'p');
    write(u"unique"_s, 99, 'u');
    const ScanReports reports = scan({root(u""_s)});
    ASSERT_GE(reports.progress.size(), 5u);
    EXPECT_EQ(reports.progress.front(), (std::pair<qint64, double>(0, 1.0 / 6.0)));
    EXPECT_EQ(reports.progress.back(), (std::pair<qint64, double>(5, 1.0)));
    std::vector<qint64> steps;
    for (std::size_t index = 1; index < reports.progress.size(); ++index) {
        const auto [step, value] = reports.progress[index];
        const auto [previousStep, previousValue] = reports.progress[index - 1];
        EXPECT_GE(step, previousStep);
        EXPECT_GT(value, previousValue);
        // Step s reports values between (s + 1) / 6 and (s + 2) / 6.
        EXPECT_GT(value, (double(step) + 1) / 6.0 - 1e-12);
        EXPECT_LE(value, (double(step) + 2) / 6.0 + 1e-12);
        if (steps.empty() || steps.back() != step)
            steps.push_back(step);
    }
    // Step 4 reports 5/6, which the end of step 3 has already reported.
    EXPECT_EQ(steps, (std::vector<qint64>{1, 2, 3, 5}));
    ASSERT_FALSE(reports.scanned.empty());
    EXPECT_EQ(reports.scanned.back(), 42) << "41 files and their folder";
    EXPECT_TRUE(std::is_sorted(reports.scanned.cbegin(), reports.scanned.cend()));
}

// The walk and the digests run on other threads, but every callback reaches the main one; a
// failure, which only an empty list gives, comes at once on the caller's (here the main) thread.
TEST_F(RQDuplicateFinderTest, EveryCallbackArrivesOnTheMainThread)
{
    for (const QString &copy : {u"A"_s, u"B"_s}) {
        for (int index = 0; index < 200; ++index)
            write(copy + u"/%1"_s.arg(index), 100 + index, char('a' + index % 26));
    }
    const ScanReports reports = scan({root(u"A"_s), root(u"B"_s)});
    EXPECT_FALSE(reports.progress.empty());
    EXPECT_FALSE(reports.scanned.empty());
    EXPECT_FALSE(reports.found.empty());
    EXPECT_TRUE(reports.completed);
    EXPECT_EQ(reports.offMainThread, QStringList());

    const ScanReports failed = scan({});
    EXPECT_TRUE(failed.failed);
    EXPECT_TRUE(failed.completed);
    EXPECT_EQ(failed.offMainThread, QStringList());
}

// The walk holds a descriptor for each open folder of its branch, so a deep tree needs more than
// the usual soft limit allows.
TEST_F(RQDuplicateFinderTest, DeepTreesAreWalkedBeyondTheSoftDescriptorLimit)
{
    rlimit original {};
    ASSERT_EQ(::getrlimit(RLIMIT_NOFILE, &original), 0);
    if (original.rlim_max != RLIM_INFINITY && original.rlim_max < 1024)
        GTEST_SKIP() << "the hard limit leaves no room";
    const QString deep = u"deep"_s + u"/d"_s.repeated(300);
    write(deep + u"/f"_s, 2000, 'f');
    write(u"top-f"_s, 2000, 'f');
    const rlimit lowered {200, original.rlim_max};
    ASSERT_EQ(::setrlimit(RLIMIT_NOFILE, &lowered), 0);
    const ScanReports reports = scan({root(u""_s)});
    ::setrlimit(RLIMIT_NOFILE, &original);
    EXPECT_EQ(groupsOf(reports), QStringList{deep + u"/f | top-f"_s});
}

// The superuser reads everything, so when the tests run as root this case runs in a child
// process that has given up its privileges first.
TEST_F(RQDuplicateFinderTest, FilesBeyondTheLongestPathTheSystemTakesAreDigested)
{
    // Two equal trees whose files lie more than PATH_MAX bytes down, made folder by folder, as
    // no call takes their whole paths: one group of the two trees, not one of each file pair.
    const auto makeDeepTree = [this](const char *top) {
        int folder = ::open(QFile::encodeName(m_folder.path()).constData(), O_RDONLY | O_DIRECTORY | O_CLOEXEC);
        std::vector<std::string> names = {top};
        names.resize(26, std::string(200, 'd'));
        for (const std::string &name : names) {
            ::mkdirat(folder, name.c_str(), 0700);
            const int next = ::openat(folder, name.c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC);
            ::close(folder);
            folder = next;
        }
        for (const char *file : {"f", "g"}) {
            const FileDescriptor descriptor(::openat(folder, file, O_WRONLY | O_CREAT | O_CLOEXEC, 0600));
            const std::string content(3000, *file);
            EXPECT_EQ(::write(descriptor.get(), content.data(), content.size()), ssize_t(content.size()));
        }
        ::close(folder);
    };
    // Each level moved up beside the top, so that the folder's removal meets short paths only.
    const auto flatten = [this](const QString &top) {
        const QString level(200, u'd');
        QString current = top;
        for (int index = 1; QFileInfo::exists(root(current + u'/' + level)); ++index) {
            const QString moved = top + u'-' + QString::number(index);
            ASSERT_TRUE(QFile::rename(root(current + u'/' + level), root(moved)));
            current = moved;
        }
    };
    makeDeepTree("A");
    makeDeepTree("B");
    const QStringList groups = groupsOf(scan({root(u""_s)}));
    flatten(u"A"_s);
    flatten(u"B"_s);
    EXPECT_EQ(groups, QStringList{u"A/ | B/"_s});
}

TEST_F(RQDuplicateFinderTest, UnreadableFoldersAndFilesArePassedOver)
{
    GTEST_FLAG_SET(death_test_style, "threadsafe");
    const auto unprivileged = [this] {
        if (!becomeNobodyOwning(m_folder.path()))
            std::exit(2);
        for (const QString &copy : {u"A"_s, u"B"_s}) {
            write(copy + u"/x"_s, 2400, 'x');
            write(copy + u"/locked/y"_s, 2500, 'y');
            ::chmod(QFile::encodeName(root(copy + u"/locked"_s)).constData(), 0);
        }
        for (const QString &copy : {u"C"_s, u"D"_s}) {
            write(copy + u"/readable"_s, 2600, 'r');
            ::chmod(QFile::encodeName(write(copy + u"/secret"_s, 2700, 's')).constData(), 0);
        }
        const LogCapture log;
        const QStringList groups = groupsOf(scan({root(u""_s)}));
        for (const QString &copy : {u"A"_s, u"B"_s})
            ::chmod(QFile::encodeName(root(copy + u"/locked"_s)).constData(), 0700);
        const QStringList expected = {u"A/x | B/x"_s, u"C/readable | D/readable"_s};
        if (groups != expected)
            std::fprintf(stderr, "groups: %s\n", qPrintable(groups.join(u", "_s)));
        // Each passed over with one line that names it and why.
        const QString denied = QString::fromLocal8Bit(std::strerror(EACCES));
        bool logged = true;
        for (const QString &copy : {u"A"_s, u"B"_s})
            logged = logged && log.contains(u"[DEBUG] Cannot list %1/: %2"_s.arg(root(copy + u"/locked"_s), denied));
        for (const QString &copy : {u"C"_s, u"D"_s}) {
            logged = logged && log.contains(u"[DEBUG] Cannot read %1: %2; it is left out"_s.arg(
                                   root(copy + u"/secret"_s), denied));
        }
        if (!logged)
            std::fprintf(stderr, "log: %s\n", qPrintable(log.lines().join(u"\n"_s)));
        QDir(m_folder.path()).removeRecursively();
        std::exit(groups == expected && logged ? 0 : 1);
    };
    EXPECT_EXIT(unprivileged(), ::testing::ExitedWithCode(0), "");
}
