#include "windows/SelectionRules.h"

#include "platform/UserDefaults.h"
#include "services/Preferences.h"

#include "ResultsFixture.h"
#include "support/TemporaryFolder.h"

#include <gtest/gtest.h>

#include <QFile>

#include <algorithm>

using namespace Qt::StringLiterals;
using namespace results;

namespace {

QStringList pathsOf(const SelectionRules::Files &files)
{
    QStringList paths;
    for (const auto &item : files)
        paths.append(item->path());
    return paths;
}

// Groups of real files in a temporary folder.
class SelectionRulesDiskTest : public ::testing::Test
{
protected:
    std::shared_ptr<RQDuplicateFiles> realGroup(const QString &name, int count, const QByteArray &content = "12345")
    {
        RQDuplicateFiles::Members members;
        for (int index = 0; index < count; ++index) {
            const QString path = m_folder.writeFile(u"c%1/%2"_s.arg(index).arg(name), content);
            members.push_back(file(path, double(content.size()), index));
        }
        return group(members);
    }

    TemporaryFolder m_folder;
};

} // namespace

TEST(SelectionRulesTest, RulesKeepOneCopyOfEachGroup)
{
    struct Case
    {
        const char *rule;
        qint64 segment;
        QStringList before;
        QStringList after;
    };
    // Group 0 is created on days 2, 0, 1; group 1 on days 5, -, 3 (its middle copy undated);
    // group 2 has no dates at all.
    const Case cases[] = {
        // Each chosen group keeps its own oldest, or newest; the undated copy is never kept
        // while a dated one is there.
        {"segment 1", 1, {u"..."_s, u"..."_s, u"..."_s}, {u"x.x"_s, u"xx."_s, u".xx"_s}},
        {"segment 2", 2, {u"..."_s, u"..."_s, u"..."_s}, {u".xx"_s, u".xx"_s, u".xx"_s}},
        {"segment 0", 0, {u"xx."_s, u"x.x"_s, u"xxx"_s}, {u"..."_s, u"..."_s, u"..."_s}},
        {"segment 3", 3, {u"xx."_s, u"x.x"_s, u"..."_s}, {u"xx."_s, u"x.x"_s, u"..."_s}},
    };
    for (const Case &testCase : cases) {
        const Groups groups = {
            group({file(u"/a/0"_s, 1, 2), file(u"/a/1"_s, 1, 0), file(u"/a/2"_s, 1, 1)}),
            group({file(u"/b/0"_s, 1, 5), file(u"/b/1"_s, 1), file(u"/b/2"_s, 1, 3)}),
            group({file(u"/c/0"_s, 1), file(u"/c/1"_s, 1), file(u"/c/2"_s, 1)}),
        };
        for (std::size_t index = 0; index < groups.size(); ++index)
            setTicks(*groups[index], testCase.before[qsizetype(index)]);
        EXPECT_EQ(SelectionRules::applySegment(testCase.segment, groups), testCase.segment < 3) << testCase.rule;
        QStringList after;
        for (const auto &each : groups)
            after.append(ticks(*each));
        EXPECT_EQ(after, testCase.after) << testCase.rule;
    }
    EXPECT_FALSE(SelectionRules::applySegment(1, {}));
}

TEST(SelectionRulesTest, KeepAllFromAFolder)
{
    struct Case
    {
        const char *what;
        QStringList paths;
        QString root;
        QString after;
    };
    const Case cases[] = {
        {"the folder holds none", {u"/x/a"_s, u"/y/a"_s, u"/z/a"_s}, u"/w"_s, u"xx."_s},
        {"the folder holds every copy", {u"/w/a"_s, u"/w/b/a"_s}, u"/w"_s, u".."_s},
        {"the folder holds one", {u"/x/a"_s, u"/w/a"_s, u"/z/a"_s}, u"/w/"_s, u"x.x"_s},
        {"a longer name is not below", {u"/wx/a"_s, u"/w/a"_s}, u"/w"_s, u"x."_s},
    };
    for (const Case &testCase : cases) {
        RQDuplicateFiles::Members members;
        for (const QString &path : testCase.paths)
            members.push_back(file(path));
        const auto each = group(members);
        SelectionRules::keepAllFromRootPath({each}, testCase.root);
        EXPECT_EQ(ticks(*each), testCase.after) << testCase.what;
    }
}

TEST(SelectionRulesTest, TotalsAndTheLastCopy)
{
    const Groups groups = {filesGroup(u"/r"_s, u"a"_s, 3, 1000), filesGroup(u"/r"_s, u"b"_s, 2, 0.5)};
    setTicks(*groups[0], u"x.x"_s);
    setTicks(*groups[1], u"x."_s);
    EXPECT_EQ(SelectionRules::selectedTotal(groups), 2000.5);
    EXPECT_FALSE(SelectionRules::tickLeavesNoCopy(*groups[0]));
    setTicks(*groups[0], u"xxx"_s);
    EXPECT_TRUE(SelectionRules::tickLeavesNoCopy(*groups[0]));
}

// A file ticked inside a ticked folder goes with the folder: the total and the hand-off count
// it once, in the folder, as the remover does.
TEST(SelectionRulesTest, AnItemInsideATickedFolderCountsOnce)
{
    const Groups groups = {group({folder(u"/r/album/"_s, 3000), folder(u"/s/album/"_s, 3000)}),
                           group({file(u"/r/album/photo.jpg"_s, 1000), file(u"/t/photo.jpg"_s, 1000)}),
                           group({file(u"/r/albums/photo.jpg"_s, 10), file(u"/u/photo.jpg"_s, 10)})};
    struct Case
    {
        const char *what;
        QString folderTicks, fileTicks, nameTicks;
        double total;
        QStringList handedOff;
    };
    const Case cases[] = {
        {"the folder and the file inside it", u"x."_s, u"x."_s, u".."_s, 3000, {u"/r/album/"_s}},
        {"the file alone", u".."_s, u"x."_s, u".."_s, 1000, {u"/r/album/photo.jpg"_s}},
        {"the other folder and the file", u".x"_s, u"x."_s, u".."_s, 4000,
         {u"/s/album/"_s, u"/r/album/photo.jpg"_s}},
        {"a folder whose name only begins the same", u"x."_s, u".."_s, u"x."_s, 3010,
         {u"/r/album/"_s, u"/r/albums/photo.jpg"_s}},
    };
    for (const Case &testCase : cases) {
        SCOPED_TRACE(testCase.what);
        setTicks(*groups[0], testCase.folderTicks);
        setTicks(*groups[1], testCase.fileTicks);
        setTicks(*groups[2], testCase.nameTicks);
        EXPECT_EQ(SelectionRules::selectedTotal(groups), testCase.total);
        QStringList handedOff;
        for (const auto &handed : SelectionRules::selectedFiles(groups))
            handedOff.append(handed->path());
        EXPECT_EQ(handedOff, testCase.handedOff);
    }
}

TEST_F(SelectionRulesDiskTest, TheKeptCopyIsTheFirstUntickedCopyStillOnDisk)
{
    const auto each = realGroup(u"a.txt"_s, 4);
    const Groups groups = {each};
    const auto &members = each->duplicates();
    struct Case
    {
        const char *what;
        QString ticks;
        std::function<void()> change;
        int kept; // member index, -1 for none
    };
    const Case cases[] = {
        {"first unticked in member order", u"x.x."_s, {}, 1},
        {"the kept copy was deleted on disk", u"x.x."_s, [&] { QFile::remove(members[1]->path()); }, 3},
        {"a copy rewritten to another size", u"x..."_s,
         [&] { m_folder.writeFile(u"c2/a.txt"_s, "longer content"); }, 3},
        {"a copy replaced by a folder", u"xx.x"_s,
         [&] { QFile::remove(members[2]->path()); m_folder.makeFolder(u"c2/a.txt"_s); }, -1},
    };
    for (const Case &testCase : cases) {
        if (testCase.change)
            testCase.change();
        setTicks(*each, testCase.ticks);
        const auto files = SelectionRules::selectedFiles(groups);
        const auto expected = testCase.kept < 0 ? nullptr : members[std::size_t(testCase.kept)];
        for (const auto &handedOff : files)
            EXPECT_EQ(handedOff->aliasDestinationFile(), expected) << testCase.what;
        expectSoundKeptCopies(files, groups);
    }
}

TEST_F(SelectionRulesDiskTest, AHandOffAfterACancelledOneLeavesNoStaleKeptCopy)
{
    const auto first = realGroup(u"a.txt"_s, 3);
    const auto second = realGroup(u"b.txt"_s, 2, "zz");
    const Groups groups = {first, second};
    setTicks(*first, u"x.."_s);
    setTicks(*second, u"x."_s);
    auto files = SelectionRules::selectedFiles(groups);
    EXPECT_EQ(first->duplicates()[0]->aliasDestinationFile(), first->duplicates()[1]);
    EXPECT_EQ(second->duplicates()[0]->aliasDestinationFile(), second->duplicates()[1]);

    // The sheet was cancelled; the user ticks the kept copies too.
    setTicks(*first, u"xx."_s);
    setTicks(*second, u"xx"_s);
    files = SelectionRules::selectedFiles(groups);
    EXPECT_EQ(pathsOf(files), (QStringList{first->duplicates()[0]->path(), first->duplicates()[1]->path(),
                                           second->duplicates()[0]->path(), second->duplicates()[1]->path()}));
    EXPECT_EQ(first->duplicates()[0]->aliasDestinationFile(), first->duplicates()[2]);
    EXPECT_EQ(first->duplicates()[1]->aliasDestinationFile(), first->duplicates()[2]);
    // A wholly ticked group keeps nothing, not the copy of the earlier hand-off.
    EXPECT_EQ(second->duplicates()[0]->aliasDestinationFile(), nullptr);
    EXPECT_EQ(second->duplicates()[1]->aliasDestinationFile(), nullptr);
    expectSoundKeptCopies(files, groups);
}

TEST_F(SelectionRulesDiskTest, ACopyInsideATickedFolderIsNotKept)
{
    // The folder group: two copies of a folder that holds a copy of a.txt.
    const auto files = realGroup(u"a.txt"_s, 3);
    const QString inner = files->duplicates()[1]->path();
    const QString holder = inner.left(inner.lastIndexOf(u'/') + 1);
    const auto folders = group({folder(holder, 5), folder(m_folder.makeFolder(u"copy"_s), 5)});
    const Groups groups = {files, folders};
    setTicks(*files, u"x.."_s);
    setTicks(*folders, u"x."_s);
    SelectionRules::selectedFiles(groups);
    EXPECT_EQ(files->duplicates()[0]->aliasDestinationFile(), files->duplicates()[2]);
    expectSoundKeptCopies(SelectionRules::selectedFiles(groups), groups);

    // With the third copy ticked as well, the group would lose every copy.
    setTicks(*files, u"x.x"_s);
    const auto wholly = SelectionRules::whollySelectedGroups(groups);
    ASSERT_EQ(wholly.size(), 1U);
    EXPECT_EQ(wholly[0], files);
}

TEST_F(SelectionRulesDiskTest, GroupsThatWouldLoseEveryCopyAreNamed)
{
    const auto ticked = realGroup(u"all.txt"_s, 2);
    const auto deleted = realGroup(u"gone.txt"_s, 3);
    const auto fine = realGroup(u"fine.txt"_s, 2);
    const auto untouched = realGroup(u"none.txt"_s, 2);
    const Groups groups = {ticked, deleted, fine, untouched};
    setTicks(*ticked, u"xx"_s);
    setTicks(*deleted, u"xx."_s);
    QFile::remove(deleted->duplicates()[2]->path());
    setTicks(*fine, u"x."_s);
    QFile::remove(untouched->duplicates()[0]->path());

    const auto wholly = SelectionRules::whollySelectedGroups(groups);
    EXPECT_EQ(wholly, (Groups{ticked, deleted}));
    EXPECT_EQ(SelectionRules::describeGroups(wholly), u"'all.txt' (2 copies)\n'gone.txt' (3 copies)"_s);
}

TEST(SelectionRulesTest, GroupsWithoutTickedBytesAreNotHandedOff)
{
    const Groups groups = {filesGroup(u"/r"_s, u"empty"_s, 2, 0), filesGroup(u"/r"_s, u"full"_s, 3, 10)};
    setTicks(*groups[0], u"x."_s);
    setTicks(*groups[1], u".xx"_s);
    const auto files = SelectionRules::selectedFiles(groups);
    EXPECT_EQ(pathsOf(files), (QStringList{u"/r/d1/full"_s, u"/r/d2/full"_s}));
}

TEST_F(SelectionRulesDiskTest, TheHandOffCarriesBothRemovalPreferences)
{
    const auto each = realGroup(u"a.txt"_s, 2);
    setTicks(*each, u".x"_s);
    UserDefaults defaults(m_folder.filePath(u"defaults.ini"_s));
    Preferences preferences(defaults, u":/plists/DefaultIgnoredExtensions.plist"_s, u":/plists/IgnoreList.plist"_s);
    const bool flags[][2] = {{false, false}, {true, false}, {false, true}, {true, true}};
    for (const auto &[useTrash, useHardLinks] : flags) {
        preferences.setUseTrash(useTrash);
        preferences.setUseHardLinks(useHardLinks);
        const RemovalHandOff handOff = SelectionRules::removalHandOff({each}, preferences);
        EXPECT_EQ(handOff.useTrash, useTrash);
        EXPECT_EQ(handOff.useHardLinks, useHardLinks);
        ASSERT_EQ(handOff.files.size(), 1U);
        // The kept copy is recorded whether or not links are wanted.
        EXPECT_EQ(handOff.files[0]->aliasDestinationFile(), each->duplicates()[0]);
    }
}
