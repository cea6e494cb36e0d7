#include "scanning/RQDuplicateFiles.h"

#include "ScanFixture.h"
#include "platform/FileIconSource.h"
#include "scanning/RQDirectory.h"

#include <gtest/gtest.h>

using namespace Qt::StringLiterals;

TEST(RQDuplicateFilesTest, TakesItsValuesFromTheFirstMember)
{
    const RQDuplicateFiles::Members members = {fileOfSize(u"/a/photo.jpg"_s, 1000), fileOfSize(u"/b/copy.jpg"_s, 1000),
                                               fileOfSize(u"/c/third.jpg"_s, 1000)};
    const QString digest = u"a9993e364706816aba3e25717850c26c9cd0d89d"_s;
    const auto group = RQDuplicateFiles::duplicateFilesWithHash(digest.toUpper(), members);
    // The sizes are the ones the scan grouped by.
    members.front()->setFileSize(5);
    EXPECT_EQ(group->fileHash(), digest);
    EXPECT_TRUE(RQDuplicateFiles::duplicateFilesWithHash(u"abc"_s, members)->fileHash().isEmpty()) << "no digest";
    EXPECT_EQ(group->count(), 3);
    EXPECT_EQ(group->totalSize(), 3000);
    EXPECT_EQ(group->fileSize(), 1000);
    EXPECT_EQ(group->fileName(), u"photo.jpg"_s);
    EXPECT_EQ(group->fileType(), RQFile::Image);
    EXPECT_EQ(group->UTI(), members.front()->UTI());
    EXPECT_FALSE(group->isDirectory());
    EXPECT_FALSE(group->isPackage());
}

TEST(RQDuplicateFilesTest, SelectionIsReadWhenAsked)
{
    const RQDuplicateFiles::Members members = {fileOfSize(u"/a"_s, 10), fileOfSize(u"/b"_s, 10), fileOfSize(u"/c"_s, 10)};
    const auto group = RQDuplicateFiles::duplicateFilesWithHash(u"h"_s, members);
    EXPECT_TRUE(group->selectedFiles().empty());
    EXPECT_EQ(group->selectedFileSize(), 0);
    EXPECT_EQ(group->unselectedFiles().size(), 3u);

    members[2]->setSelected(true);
    members[0]->setSelected(true);
    EXPECT_EQ(group->selectedFiles(), (RQDuplicateFiles::Members{members[0], members[2]}));
    EXPECT_EQ(group->selectedFileSize(), 20);
    EXPECT_EQ(group->unselectedFiles(), (std::unordered_set<std::shared_ptr<RQFile>>{members[1]}));
}

TEST(RQDuplicateFilesTest, FolderGroupsTakeThePackageFlagOfTheFirstMember)
{
    for (const bool package : {true, false}) {
        auto first = RQDirectory::fileWithPath(u"/a/Tool.app"_s);
        first->setIsPackage(package);
        auto second = RQDirectory::fileWithPath(u"/b/Tool.app"_s);
        second->setIsPackage(!package);
        const auto group = RQDuplicateFiles::duplicateFilesWithHash(u"h"_s, {first, second});
        EXPECT_TRUE(group->isDirectory());
        EXPECT_EQ(group->isPackage(), package);
        EXPECT_EQ(group->fileType(), RQFile::Application);
    }
    // Files inside a package still make a group that is no package.
    auto inside = fileOfSize(u"/a/Tool.app/binary"_s, 3);
    inside->setInPackage(true);
    EXPECT_FALSE(RQDuplicateFiles::duplicateFilesWithHash(u"h"_s, {inside, fileOfSize(u"/b"_s, 3)})->isPackage());
}

TEST(RQDuplicateFilesTest, IconComesFromTheProviderOnFirstUse)
{
    const auto group = RQDuplicateFiles::duplicateFilesWithHash(u"h"_s, {fileOfSize(u"/first"_s, 1), fileOfSize(u"/second"_s, 1)});
    QStringList asked;
    FileIconSource::setProvider([&asked](const QString &path) {
        asked.append(path);
        return QVariant(u"icon of "_s + path);
    });
    EXPECT_EQ(group->icon(), QVariant(u"icon of /first"_s));
    EXPECT_EQ(group->icon(), QVariant(u"icon of /first"_s));
    FileIconSource::setProvider({});
    EXPECT_EQ(asked, QStringList{u"/first"_s});
    EXPECT_FALSE(RQDuplicateFiles::duplicateFilesWithHash(u"h"_s, {fileOfSize(u"/x"_s, 1)})->icon().isValid());
}
