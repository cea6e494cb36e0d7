// Removals of scanned items when the list or the disk is not what a plain removal expects: the
// copy that stays listed too, changed or gone, a folder seen twice through a bind mount, a folder
// swapped for a link, content rewritten, a folder's inside changed below its top level, items
// listed twice or inside a listed folder. Each case
// runs in the four modes; after it the whole tree is compared with what it was.

#include "support/RemovalFixture.h"

#include "removal/RemovalError.h"

#include <QDir>
#include <QFile>
#include <QSet>

#include <functional>

using namespace Qt::StringLiterals;

namespace {

enum class Mode { Trash, Delete, TrashAndLink, DeleteAndLink };

bool usesTrash(Mode mode)
{
    return mode == Mode::Trash || mode == Mode::TrashAndLink;
}

bool makesLinks(Mode mode)
{
    return mode == Mode::TrashAndLink || mode == Mode::DeleteAndLink;
}

// One item of the list and the copy that stays, by path relative to data/ (folders end in "/").
struct Listed
{
    QString item;
    QString keptCopy;
};

using Failures = QMap<QString, RemovalError::Code>;

struct AfterScanCase
{
    const char *name;
    std::vector<Listed> list;
    // Changes the disk between the scan and the removal; false skips the case (skip says why).
    std::function<bool(RemovalFixture &self, Mode mode, QString &skip)> afterScan;
    // The items that must fail, and why; every other item must go.
    Failures failures;
    // Where link modes differ.
    std::optional<Failures> failuresWithLinks;
    qint64 removed;
    // Made before the scan, beside the shared tree; false skips the case.
    std::function<bool(RemovalFixture &self, QString &skip)> beforeScan = {};
};

void PrintTo(const AfterScanCase &test, std::ostream *stream)
{
    *stream << test.name;
}

void PrintTo(Mode mode, std::ostream *stream)
{
    *stream << int(mode);
}

const QByteArray xContent = QByteArrayLiteral("the content of x, the same in every copy");
const QByteArray yContent = QByteArrayLiteral("the content of y, also in every copy but longer than x");
const QByteArray zContent = QByteArrayLiteral("the content of z, one level down in every copy");

// A/, B/ and C/ hold the same three files, one in a subfolder; outside/x.txt has other content.
void makeSharedTree(RemovalFixture &self)
{
    for (const QString &folder : {u"A"_s, u"B"_s, u"C"_s}) {
        self.file(folder + u"/x.txt"_s, xContent);
        self.file(folder + u"/y.txt"_s, yContent);
        self.file(folder + u"/sub/z.txt"_s, zContent);
    }
    self.file(u"outside/x.txt"_s, "outside, never listed");
}

bool nothingChanges(RemovalFixture &, Mode, QString &)
{
    return true;
}

bool removeKeptCopy(RemovalFixture &self, Mode, QString &)
{
    return QFile::remove(self.dataPath(u"A/x.txt"_s));
}

bool rewriteKeptCopy(RemovalFixture &self, Mode, QString &)
{
    self.file(u"A/x.txt"_s, "the kept copy, rewritten after the scan");
    return true;
}

bool swapFolderForLink(RemovalFixture &self, Mode, QString &)
{
    return QDir(self.dataPath(u"B"_s)).removeRecursively()
        && QFile::link(self.dataPath(u"outside"_s), self.dataPath(u"B"_s));
}

bool rewriteItem(RemovalFixture &self, Mode, QString &)
{
    self.file(u"B/x.txt"_s, "new content, written after the scan");
    return true;
}

// A file deep in a listed folder rewritten: the folder itself is still the one the scan saw.
bool rewriteFileInsideFolder(RemovalFixture &self, Mode, QString &)
{
    self.file(u"B/y.txt"_s, "37 bytes, where 54 were when scanned.");
    return true;
}

// Below the top level of a listed folder, which itself keeps its time.
bool addFileDeepInsideFolder(RemovalFixture &self, Mode, QString &)
{
    self.file(u"B/sub/new.txt"_s, "written after the scan");
    return true;
}

bool rewriteFileDeepInsideFolder(RemovalFixture &self, Mode, QString &)
{
    self.file(u"B/sub/z.txt"_s, "rewritten in place after the scan");
    return true;
}

// The kept folder loses a file below its top level: its own time stays.
bool removeFileDeepInsideKeptFolder(RemovalFixture &self, Mode, QString &)
{
    return QFile::remove(self.dataPath(u"A/sub/z.txt"_s));
}

bool bindMountA(RemovalFixture &self, QString &skip)
{
    skip = u"this process may not mount a file system (needs root)"_s;
    return self.bindMount(u"A"_s, u"boundA"_s);
}

// The same folder seen twice: the walk of data/ passes over boundA/, so the list is made as
// from a second scan of it alone.
bool scanBindMountAlone(RemovalFixture &self, Mode, QString &)
{
    EXPECT_FALSE(self.scanned(u"boundA/"_s)) << "the walk offered a folder it had met already";
    self.scan(u"boundA"_s);
    return true;
}

// What a first removal of the same list left.
bool removeOnce(RemovalFixture &self, Mode mode, QString &)
{
    KMHSFileRemover::FileList files;
    for (const QString &path : {u"B/x.txt"_s, u"B/y.txt"_s}) {
        files.push_back(self.scanned(path));
        files.back()->setAliasDestinationFile(self.scanned(u"A/"_s + path.mid(2)));
    }
    const auto first = self.remove(files, usesTrash(mode), makesLinks(mode));
    return first.errors.isEmpty() && first.totalRemoved == 2;
}

const AfterScanCase cases[] = {
    {"KeptCopyInsideAListedFolder", {{u"B/x.txt"_s, u"A/x.txt"_s}, {u"A/"_s, u"C/"_s}}, nothingChanges,
     {{u"B/x.txt"_s, RemovalError::KeptCopyWouldBeRemoved}}, {}, 1},
    {"CrossListedCopies", {{u"C/x.txt"_s, u"A/x.txt"_s}, {u"A/"_s, u"C/"_s}}, nothingChanges,
     {{u"C/x.txt"_s, RemovalError::KeptCopyWouldBeRemoved}}, {}, 1},
    {"EachTheOthersKeptCopy", {{u"A/x.txt"_s, u"B/x.txt"_s}, {u"B/x.txt"_s, u"A/x.txt"_s}}, nothingChanges,
     {{u"A/x.txt"_s, RemovalError::KeptCopyWouldBeRemoved}, {u"B/x.txt"_s, RemovalError::KeptCopyWouldBeRemoved}},
     {}, 0},
    {"KeptCopyGoneAfterScan", {{u"B/x.txt"_s, u"A/x.txt"_s}, {u"B/y.txt"_s, u"A/y.txt"_s}}, removeKeptCopy,
     {{u"B/x.txt"_s, RemovalError::KeptCopyGone}}, {}, 1},
    {"KeptCopyRewrittenAfterScan", {{u"B/x.txt"_s, u"A/x.txt"_s}, {u"B/y.txt"_s, u"A/y.txt"_s}}, rewriteKeptCopy,
     {{u"B/x.txt"_s, RemovalError::KeptCopyChanged}}, {}, 1},
    {"BindMountOfTheListedFolder", {{u"A/"_s, u"boundA/"_s}, {u"C/x.txt"_s, u"boundA/x.txt"_s}}, scanBindMountAlone,
     {{u"A/"_s, RemovalError::KeptCopyWouldBeRemoved}}, {}, 1, bindMountA},
    {"ParentSwappedForALink", {{u"B/x.txt"_s, u"A/x.txt"_s}}, swapFolderForLink,
     {{u"B/x.txt"_s, RemovalError::ChangedAfterScan}}, {}, 0},
    {"ContentRewrittenAfterScan", {{u"B/x.txt"_s, u"A/x.txt"_s}, {u"B/y.txt"_s, u"A/y.txt"_s}}, rewriteItem,
     {{u"B/x.txt"_s, RemovalError::ChangedAfterScan}}, {}, 1},
    {"FileInsideAListedFolderRewritten", {{u"B/"_s, u"A/"_s}}, rewriteFileInsideFolder,
     {{u"B/"_s, RemovalError::ChangedAfterScan}}, {}, 0},
    {"FileAddedDeepInsideAListedFolder", {{u"B/"_s, u"A/"_s}}, addFileDeepInsideFolder,
     {{u"B/"_s, RemovalError::ChangedAfterScan}}, {}, 0},
    {"FileDeepInsideAListedFolderRewritten", {{u"B/"_s, u"A/"_s}}, rewriteFileDeepInsideFolder,
     {{u"B/"_s, RemovalError::ChangedAfterScan}}, {}, 0},
    // Both other copies go unless the kept one is seen to have lost its z.txt.
    {"FileRemovedDeepInsideTheKeptFolder", {{u"B/"_s, u"A/"_s}, {u"C/"_s, u"A/"_s}}, removeFileDeepInsideKeptFolder,
     {{u"B/"_s, RemovalError::KeptCopyChanged}, {u"C/"_s, RemovalError::KeptCopyChanged}}, {}, 0},
    {"ListedTwice", {{u"B/x.txt"_s, u"A/x.txt"_s}, {u"B/x.txt"_s, u"A/x.txt"_s}}, nothingChanges, {}, {}, 1},
    {"InsideAListedFolderListedAfterIt", {{u"B/"_s, u"A/"_s}, {u"B/x.txt"_s, u"C/x.txt"_s}}, nothingChanges, {}, {}, 1},
    {"InsideAListedFolderListedBeforeIt", {{u"B/y.txt"_s, u"C/y.txt"_s}, {u"B/"_s, u"A/"_s}}, nothingChanges, {}, {}, 1},
    {"SameListRemovedAgain", {{u"B/x.txt"_s, u"A/x.txt"_s}, {u"B/y.txt"_s, u"A/y.txt"_s}}, removeOnce, {},
     Failures{{u"B/x.txt"_s, RemovalError::ChangedAfterScan}, {u"B/y.txt"_s, RemovalError::ChangedAfterScan}}, 0},
};

class KMHSFileRemoverAfterScanTest : public RemovalFixture,
                                     public ::testing::WithParamInterface<std::tuple<AfterScanCase, Mode>>
{
protected:
    static QSet<QByteArray> contents(const Snapshot &snapshot)
    {
        QSet<QByteArray> found;
        for (const QByteArray &value : snapshot) {
            if (value.startsWith("F:"))
                found.insert(value);
        }
        return found;
    }
};

QString withoutSlash(const QString &relative)
{
    return relative.endsWith(u'/') ? relative.chopped(1) : relative;
}

} // namespace

TEST_P(KMHSFileRemoverAfterScanTest, RemovesOnlyWhatTheScanSawAndNeverTheLastCopy)
{
    const auto &[test, mode] = GetParam();
    makeSharedTree(*this);
    QString skip;
    if (test.beforeScan && !test.beforeScan(*this, skip))
        GTEST_SKIP() << skip.toStdString();
    scan();
    const Snapshot scanned = snapshot();
    ASSERT_TRUE(test.afterScan(*this, mode, skip)) << "the disk could not be changed: " << skip.toStdString();

    KMHSFileRemover::FileList files;
    for (const Listed &listed : test.list) {
        const auto item = this->scanned(listed.item);
        const auto keptCopy = this->scanned(listed.keptCopy);
        ASSERT_TRUE(item && keptCopy) << listed.item.toStdString();
        item->setAliasDestinationFile(keptCopy);
        files.push_back(item);
    }
    const Snapshot before = snapshot();
    const Outcome outcome = remove(files, usesTrash(mode), makesLinks(mode));
    const Snapshot after = snapshot();

    const Failures &failures =
        makesLinks(mode) && test.failuresWithLinks ? *test.failuresWithLinks : test.failures;
    QStringList expectedKeys;
    for (auto failure = failures.cbegin(); failure != failures.cend(); ++failure) {
        const QString key = dataPath(failure.key());
        expectedKeys.append(key);
        const RQError error = outcome.errors.value(key);
        EXPECT_EQ(error.domain(), QString::fromLatin1(RemovalError::errorDomain)) << failure.key().toStdString();
        EXPECT_EQ(error.code(), failure.value()) << failure.key().toStdString();
        EXPECT_EQ(error.localizedDescription(), RemovalError::error(failure.value()).localizedDescription());
    }
    QStringList errorKeys = outcome.errors.keys();
    errorKeys.sort();
    expectedKeys.sort();
    EXPECT_EQ(errorKeys, expectedKeys);
    EXPECT_EQ(outcome.totalRemoved, test.removed);

    // Every item reported removed is gone (in link modes: a link to its kept copy took its place);
    // every item reported failed is as it was, and so is everything outside the removed items.
    QStringList removedItems;
    for (const Listed &listed : test.list) {
        if (failures.contains(listed.item))
            continue;
        const QString item = withoutSlash(listed.item);
        removedItems.append(item);
        if (!before.contains(item))
            continue;
        // An item inside a listed folder goes with it and gets no link of its own.
        const bool covered = std::any_of(test.list.cbegin(), test.list.cend(), [&listed](const Listed &other) {
            return other.item.endsWith(u'/') && listed.item.startsWith(other.item) && listed.item != other.item;
        });
        const QByteArray expected = makesLinks(mode) && !covered
            ? "L:" + dataPath(withoutSlash(listed.keptCopy)).toUtf8()
            : QByteArray();
        EXPECT_EQ(after.value(item), expected) << "not removed: " << item.toStdString();
    }
    expectUntouchedExcept(before, removedItems);
    EXPECT_EQ(outcome.spaceFreed, bytesThatLeft(before));

    // At least one copy of all the content the scan saw, and that was still there when the removal
    // began, is still on disk outside the Trash.
    QSet<QByteArray> mustStay = contents(scanned);
    mustStay.intersect(contents(before));
    const QSet<QByteArray> left = contents(after);
    for (const QByteArray &content : std::as_const(mustStay))
        EXPECT_TRUE(left.contains(content)) << "last copy lost: " << content.mid(2).toStdString();
}

namespace {

std::string caseName(const ::testing::TestParamInfo<std::tuple<AfterScanCase, Mode>> &entry)
{
    static const char *const modeNames[] = {"Trash", "Delete", "TrashAndLink", "DeleteAndLink"};
    return std::string(std::get<0>(entry.param).name) + "_" + modeNames[int(std::get<1>(entry.param))];
}

} // namespace

INSTANTIATE_TEST_SUITE_P(Cases, KMHSFileRemoverAfterScanTest,
                         ::testing::Combine(::testing::ValuesIn(cases),
                                            ::testing::Values(Mode::Trash, Mode::Delete, Mode::TrashAndLink,
                                                              Mode::DeleteAndLink)),
                         caseName);
