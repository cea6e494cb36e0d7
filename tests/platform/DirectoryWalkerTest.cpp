#include "platform/DirectoryWalker.h"
#include "platform/WalkPaths.h"

#include "support/TemporaryFolder.h"

#include <gtest/gtest.h>

#include <QDir>
#include <QEventLoop>
#include <QFile>
#include <QThread>
#include <QTimer>

#include <cstdlib>
#include <cstring>
#include <memory>
#include <vector>

#include <fcntl.h>
#include <sys/resource.h>
#include <sys/socket.h>
#include <sys/stat.h>
#include <sys/un.h>
#include <sys/xattr.h>
#include <unistd.h>

using namespace Qt::StringLiterals;

namespace {

using Type = DirectoryEntry::Type;
using PassedOver = DirectoryEntry::PassedOver;

struct Seen
{
    PassedOver passedOver;
    Type type;
    int depth;
    QString relativePath;
};

std::vector<Seen> walkAll(const TemporaryFolder &folder, const std::function<bool(const DirectoryEntry &)> &enter = {})
{
    std::vector<Seen> seen;
    DirectoryWalker walker(folder.path());
    WalkPaths paths(folder.path());
    DirectoryEntry entry;
    const QString prefix = folder.path() + u'/';
    while (walker.next(entry)) {
        seen.push_back({entry.passedOver, entry.type, entry.depth, paths.pathOf(entry).mid(prefix.size())});
        if (enter && entry.type == Type::Directory && !enter(entry))
            walker.skipDescendants();
    }
    return seen;
}

void makeSocket(const QString &path)
{
    const int descriptor = ::socket(AF_UNIX, SOCK_STREAM, 0);
    sockaddr_un address {};
    address.sun_family = AF_UNIX;
    const QByteArray bytes = QFile::encodeName(path);
    ASSERT_LT(static_cast<std::size_t>(bytes.size()), sizeof address.sun_path);
    std::memcpy(address.sun_path, bytes.constData(), static_cast<std::size_t>(bytes.size()));
    ASSERT_EQ(::bind(descriptor, reinterpret_cast<sockaddr *>(&address), sizeof address), 0);
    ::close(descriptor);
}

} // namespace

TEST(DirectoryWalkerTest, WalksDepthFirstInNameOrderWithoutFollowingLinks)
{
    TemporaryFolder folder;
    folder.writeFile(u"b/z"_s, "zz"_ba);
    folder.writeFile(u"b/inner/y"_s, "y"_ba);
    folder.writeFile(u"a"_s, "aaa"_ba);
    folder.makeSymlink(u"b/loop"_s, u".."_s);
    folder.writeFile(u"line\nbreak"_s, "n"_ba);
    ASSERT_EQ(::mkfifo(QFile::encodeName(folder.filePath(u"c-fifo"_s)).constData(), 0600), 0);
    makeSocket(folder.filePath(u"d-socket"_s));

    const std::vector<Seen> seen = walkAll(folder);
    const std::vector<std::tuple<Type, int, QString>> expected = {
        {Type::RegularFile, 1, u"a"_s},
        {Type::Directory, 1, u"b/"_s},
        {Type::Directory, 2, u"b/inner/"_s},
        {Type::RegularFile, 3, u"b/inner/y"_s},
        {Type::SymbolicLink, 2, u"b/loop"_s},
        {Type::RegularFile, 2, u"b/z"_s},
        {Type::Other, 1, u"c-fifo"_s},
        {Type::Other, 1, u"d-socket"_s},
        {Type::RegularFile, 1, u"line\nbreak"_s},
    };
    ASSERT_EQ(seen.size(), expected.size());
    for (std::size_t index = 0; index < expected.size(); ++index) {
        EXPECT_EQ(seen[index].passedOver, PassedOver::None);
        EXPECT_EQ(seen[index].type, std::get<0>(expected[index])) << index;
        EXPECT_EQ(seen[index].depth, std::get<1>(expected[index])) << index;
        EXPECT_EQ(seen[index].relativePath, std::get<2>(expected[index])) << index;
    }
}

TEST(DirectoryWalkerTest, ReportsWhatItPassesOver)
{
    TemporaryFolder folder;
    folder.writeFile(u".hidden"_s, "h"_ba);
    folder.writeFile(u".git/config"_s, "c"_ba);
    folder.writeFile(u"shown/x"_s, "x"_ba);
    // A name that is not UTF-8 cannot be held by a path string; it is reported, never entered.
    const QByteArray badName = QFile::encodeName(folder.path()) + "/bad\xff";
    const QByteArray inside = badName + "/inside";
    ASSERT_EQ(::mkdir(badName.constData(), 0700), 0);
    ::close(::open(inside.constData(), O_CREAT | O_WRONLY, 0600));

    const std::vector<Seen> seen = walkAll(folder);
    // Qt cannot remove what it cannot name.
    ::unlink(inside.constData());
    ::rmdir(badName.constData());
    ASSERT_EQ(seen.size(), 5u);
    EXPECT_EQ(seen[0].passedOver, PassedOver::HiddenEntry);
    EXPECT_EQ(seen[1].passedOver, PassedOver::HiddenEntry);
    EXPECT_EQ(seen[2].passedOver, PassedOver::UnrepresentableName);
    EXPECT_EQ(seen[2].depth, 1);
    EXPECT_EQ(seen[3].relativePath, u"shown/"_s);
    EXPECT_EQ(seen[4].relativePath, u"shown/x"_s);
}

TEST(DirectoryWalkerTest, SkipsDescendantsOnRequest)
{
    TemporaryFolder folder;
    folder.writeFile(u"keep/a"_s, "a"_ba);
    folder.writeFile(u"skip/deep/b"_s, "b"_ba);
    const std::vector<Seen> seen =
        walkAll(folder, [](const DirectoryEntry &entry) { return entry.name != u"skip"_s; });
    ASSERT_EQ(seen.size(), 3u);
    EXPECT_EQ(seen[0].relativePath, u"keep/"_s);
    EXPECT_EQ(seen[1].relativePath, u"keep/a"_s);
    EXPECT_EQ(seen[2].relativePath, u"skip/"_s);
}

TEST(DirectoryWalkerTest, ReadsSizesDatesPackagesAndAttributeNames)
{
    TemporaryFolder folder;
    const QString file = folder.writeFile(u"Tool.APP/data"_s, QByteArray(5000, 'x'));
    folder.makeFolder(u"plain.d"_s);
    const bool hasAttributes = ::setxattr(QFile::encodeName(file).constData(), "user.com.apple.backupd.Snapshot",
                                          "1", 1, 0) == 0;

    DirectoryWalker walker(folder.path());
    DirectoryEntry entry;
    ASSERT_TRUE(walker.next(entry));
    EXPECT_EQ(entry.name, u"Tool.APP"_s);
    EXPECT_TRUE(entry.isPackage);
    ASSERT_TRUE(walker.next(entry));
    EXPECT_EQ(entry.size, 5000);
    const qint64 modifiedSeconds = entry.modificationTimeNs / 1'000'000'000;
    EXPECT_LE(std::abs(modifiedSeconds - QDateTime::currentSecsSinceEpoch()), 60);
    if (hasAttributes) {
        EXPECT_EQ(entry.extendedAttributeNames, QStringList{u"com.apple.backupd.Snapshot"_s});
    }
    ASSERT_TRUE(walker.next(entry));
    EXPECT_FALSE(entry.isPackage);
    EXPECT_FALSE(walker.next(entry));
}

// Names written to the entry without following a link, as the walk reports them (sorted); stops
// at the first the file system refuses, so a small file system gives a shorter list.
QStringList writeAttributes(const QString &path, const QStringList &names)
{
    QStringList written;
    for (const QString &name : names) {
        const QByteArray rawName = name.toUtf8();
        if (::lsetxattr(QFile::encodeName(path).constData(), rawName.constData(), "v", 1, 0) != 0)
            break;
        written.append(name.startsWith("user."_L1) ? name.mid(5) : name);
    }
    written.sort();
    return written;
}

TEST(DirectoryWalkerTest, ListsEachEntrysOwnAttributeNamesWhateverTheirNumber)
{
    TemporaryFolder folder;
    QStringList manyNames;
    qsizetype manyBytes = 0;
    for (int index = 0; index < 30; ++index) {
        manyNames.append(u"user.org.example.a-long-attribute-name-of-several-words-%1-"_s.arg(index, 2, 10, QChar(u'0'))
                         + QString(24, u'x'));
        manyBytes += manyNames.back().size() + 1;
    }
    const QString target = folder.writeFile(u"target"_s, "t"_ba);
    // User attributes are refused on links; a trusted one (as root) is the link's own.
    const QString link = folder.makeSymlink(u"link"_s, target);
    struct Case
    {
        QString name;
        QStringList expected;
    };
    const std::vector<Case> cases = {
        {u"link"_s, writeAttributes(link, {u"trusted.org.example.link"_s})},
        {u"many"_s, writeAttributes(folder.writeFile(u"many"_s, "m"_ba), manyNames)},
        {u"none"_s, {}},
        {u"one"_s, writeAttributes(folder.writeFile(u"one"_s, "o"_ba), {u"user.com.apple.backupd.Snapshot"_s})},
        {u"target"_s, writeAttributes(target, {u"user.target.only"_s, u"user.target.second"_s})},
    };
    folder.writeFile(u"none"_s, "n"_ba);
    if (cases[1].expected.size() < manyNames.size() || cases[4].expected.size() < 2)
        GTEST_SKIP() << "the file system of " << qPrintable(folder.path()) << " keeps too few user attributes";
    ASSERT_GT(manyBytes, 2500) << "several KB of names";

    DirectoryWalker walker(folder.path());
    DirectoryEntry entry;
    for (const Case &expected : cases) {
        ASSERT_TRUE(walker.next(entry));
        ASSERT_EQ(entry.name, expected.name);
        QStringList names = entry.extendedAttributeNames;
        names.removeIf([](const QString &name) { return name.startsWith("security."_L1); });
        names.sort();
        EXPECT_EQ(names, expected.expected) << qPrintable(expected.name);
    }
    EXPECT_FALSE(walker.next(entry));
}

TEST(DirectoryWalkerTest, ReadsTheIdentityOfEachEntry)
{
    TemporaryFolder folder;
    const QString first = folder.writeFile(u"a"_s, "same");
    ASSERT_EQ(::link(QFile::encodeName(first).constData(), QFile::encodeName(folder.filePath(u"b"_s)).constData()), 0);
    folder.writeFile(u"c"_s, "same");
    struct stat expected {};
    ASSERT_EQ(::stat(QFile::encodeName(first).constData(), &expected), 0);

    DirectoryWalker walker(folder.path());
    std::vector<DirectoryEntry> entries;
    for (DirectoryEntry entry; walker.next(entry);)
        entries.push_back(entry);
    ASSERT_EQ(entries.size(), 3u);
    EXPECT_EQ(entries[0].device, expected.st_dev);
    EXPECT_EQ(entries[0].inode, expected.st_ino);
    EXPECT_EQ(entries[0].modificationTimeNs,
              expected.st_mtim.tv_sec * 1000000000LL + expected.st_mtim.tv_nsec);
    EXPECT_EQ(entries[1].inode, entries[0].inode) << "a hard link is the same inode";
    EXPECT_NE(entries[2].inode, entries[0].inode);
}

TEST(DirectoryWalkerTest, RootsThatAreMissingOrLinks)
{
    TemporaryFolder folder;
    DirectoryEntry entry;
    DirectoryWalker missing(folder.filePath(u"missing"_s));
    EXPECT_FALSE(missing.next(entry));
    EXPECT_FALSE(DirectoryWalker::readEntry(folder.filePath(u"missing"_s), entry));

    folder.writeFile(u"real/a"_s, "a"_ba);
    const QString link = folder.makeSymlink(u"link"_s, folder.filePath(u"real"_s));
    ASSERT_TRUE(DirectoryWalker::readEntry(link, entry));
    EXPECT_EQ(entry.type, Type::Directory);
    EXPECT_EQ(entry.name, link);
    DirectoryWalker throughLink(link);
    ASSERT_TRUE(throughLink.next(entry));
    EXPECT_EQ(WalkPaths(link).pathOf(entry), link + u"/a"_s);
}

// A thread that starts makes its event dispatcher's wake-up descriptor, and the process aborts
// when none is left: however deep the tree, the walk leaves room for it, and passes over what it
// has no descriptor for.
TEST(DirectoryWalkerTest, LeavesDescriptorsForThreadsThatStartDuringTheWalk)
{
    GTEST_FLAG_SET(death_test_style, "threadsafe");
    const auto walkUnderALowLimit = [] {
        TemporaryFolder folder;
        QString deep = folder.path();
        for (int level = 0; level < 300; ++level)
            deep += u"/d"_s;
        if (!QDir().mkpath(deep))
            std::exit(2);
        const rlimit low {150, 150};
        if (::setrlimit(RLIMIT_NOFILE, &low) != 0)
            std::exit(2);
        DirectoryWalker::raiseDescriptorLimit();
        bool passedOver = false;
        {
            DirectoryWalker walker(folder.path());
            DirectoryEntry entry;
            while (!passedOver && walker.next(entry))
                passedOver = entry.passedOver == PassedOver::DescriptorLimit;
            // Where the walk holds the most, threads start and run an event loop.
            std::vector<std::unique_ptr<QThread>> threads;
            for (int index = 0; index < QThread::idealThreadCount(); ++index) {
                threads.push_back(std::unique_ptr<QThread>(QThread::create([] {
                    QEventLoop loop;
                    QTimer::singleShot(0, &loop, &QEventLoop::quit);
                    loop.exec();
                })));
                threads.back()->start();
            }
            for (const auto &thread : threads)
                thread->wait();
        }
        std::exit(passedOver ? 0 : 1);
    };
    EXPECT_EXIT(walkUnderALowLimit(), ::testing::ExitedWithCode(0), "");
}
