#include "scanning/RQDirectory.h"
#include "scanning/RQHashHelper.h"
#include "scanning/RQSymbolicLink.h"

#include <gtest/gtest.h>

using namespace Qt::StringLiterals;

namespace {

std::shared_ptr<RQFile> fileWithDigest(const QString &path, const QByteArray &content)
{
    auto file = RQFile::fileWithPath(path);
    file->setFileSize(double(content.size()));
    file->setFileHash(RQHashHelper::sha1ForData(content));
    return file;
}

std::shared_ptr<RQFile> fileWithoutDigest(const QString &path, double size)
{
    auto file = RQFile::fileWithPath(path);
    file->setFileSize(size);
    return file;
}

} // namespace

TEST(RQDirectoryTest, EmptinessFollowsTheChildren)
{
    auto folder = RQDirectory::fileWithPath(u"/f"_s);
    EXPECT_TRUE(folder->isEmpty());
    EXPECT_EQ(folder->fileHash(), RQHashHelper::sha1ForString(QString()));

    auto inner = RQDirectory::fileWithPath(u"/f/inner"_s);
    inner->addChild(fileWithDigest(u"/f/inner/a"_s, QByteArray()));
    folder->addChild(inner);
    folder->addChild(fileWithDigest(u"/f/b"_s, QByteArray()));
    EXPECT_TRUE(folder->isEmpty()) << "only empty files below";

    folder->addChild(fileWithDigest(u"/f/c"_s, "x"_ba));
    EXPECT_FALSE(folder->isEmpty());
}

TEST(RQDirectoryTest, EmptinessOnceAskedFollowsChangesFarBelow)
{
    auto top = RQDirectory::fileWithPath(u"/t"_s);
    auto middle = RQDirectory::fileWithPath(u"/t/m"_s);
    auto bottom = RQDirectory::fileWithPath(u"/t/m/b"_s);
    auto later = RQDirectory::fileWithPath(u"/t/z"_s);
    top->addChild(middle);
    top->addChild(later);
    middle->addChild(bottom);
    bottom->addChild(fileWithDigest(u"/t/m/b/empty"_s, QByteArray()));
    EXPECT_TRUE(top->isEmpty());

    const auto full = fileWithDigest(u"/t/m/b/full"_s, "x"_ba);
    bottom->addChild(full);
    EXPECT_FALSE(top->isEmpty()) << "a file added two folders down";
    // Asked "no" while the later folder was never looked at; a change in it must still count.
    later->addChild(fileWithDigest(u"/t/z/more"_s, "y"_ba));
    bottom->removeChild(full);
    EXPECT_FALSE(top->isEmpty()) << "the later folder holds a file now";
    EXPECT_TRUE(middle->isEmpty()) << "the one non-empty file was taken out";
    later->removeChild(later->children().front());
    EXPECT_TRUE(top->isEmpty());
}

TEST(RQDirectoryTest, SizeCountsChildrenRemovedAndIgnoredBytes)
{
    auto folder = RQDirectory::fileWithPath(u"/f"_s);
    auto inner = RQDirectory::fileWithPath(u"/f/inner"_s);
    inner->addChild(fileWithDigest(u"/f/inner/a"_s, "12345"_ba));
    inner->addIgnoredSize(100);
    auto removed = fileWithDigest(u"/f/b"_s, "123"_ba);
    folder->addChild(inner);
    folder->addChild(removed);
    folder->removeChild(removed);
    EXPECT_EQ(removed->parent(), nullptr);
    EXPECT_EQ(folder->children().size(), 1u);
    EXPECT_DOUBLE_EQ(folder->removedFileSizes(), 3);
    EXPECT_DOUBLE_EQ(folder->fileSize(), 108);
}

TEST(RQDirectoryTest, FrameworkMarksEveryChildAsInPackage)
{
    auto plain = RQDirectory::fileWithPath(u"/p"_s);
    auto framework = RQDirectory::fileWithPath(u"/p/Kit.framework"_s);
    plain->addChild(framework);
    auto first = RQFile::fileWithPath(u"/p/Kit.framework/a"_s);
    auto inner = RQDirectory::fileWithPath(u"/p/Kit.framework/Versions"_s);
    framework->addChild(first);
    framework->addChild(inner);
    auto deep = RQFile::fileWithPath(u"/p/Kit.framework/Versions/b"_s);
    inner->addChild(deep);
    EXPECT_FALSE(plain->isPackage());
    EXPECT_TRUE(framework->isPackage());
    EXPECT_TRUE(first->inPackage());
    EXPECT_TRUE(inner->isPackage());
    EXPECT_TRUE(deep->inPackage());

    framework->removeChild(first);
    EXPECT_FALSE(first->inPackage());
}

TEST(RQDirectoryTest, NetworkVolumeFlagReachesEveryDescendant)
{
    auto root = RQDirectory::fileWithPath(u"/net"_s);
    root->setIsNetworkVolume(true);
    auto folder = RQDirectory::fileWithPath(u"/net/f"_s);
    root->addChild(folder);
    auto file = RQFile::fileWithPath(u"/net/f/a"_s);
    folder->addChild(file);
    EXPECT_TRUE(folder->isNetworkVolume());
    EXPECT_TRUE(folder->isNetworkItem());
    EXPECT_TRUE(file->isNetworkItem());

    root->setIsNetworkVolume(false);
    EXPECT_FALSE(file->isNetworkItem());
}

TEST(RQDirectoryTest, DigestCoversEachChildsNameAndDigestInOrder)
{
    using Children = std::vector<std::pair<QString, QByteArray>>;
    const auto folderOf = [](const QString &path, const Children &children) {
        auto folder = RQDirectory::fileWithPath(path);
        for (const auto &[name, content] : children)
            folder->addChild(fileWithDigest(path + name, content));
        return folder;
    };
    const Children reference = {{u"a"_s, "one"_ba}, {u"b"_s, "two"_ba}};
    const auto folder = folderOf(u"/f/"_s, reference);
    struct Case
    {
        const char *name;
        Children children;
        bool equal;
    };
    const Case cases[] = {
        {"the same names and contents", reference, true},
        {"a child renamed", {{u"a"_s, "one"_ba}, {u"c"_s, "two"_ba}}, false},
        {"the contents swapped", {{u"a"_s, "two"_ba}, {u"b"_s, "one"_ba}}, false},
    };
    for (const Case &entry : cases)
        EXPECT_EQ(folderOf(u"/g/"_s, entry.children)->fileHash() == folder->fileHash(), entry.equal) << entry.name;

    // A subfolder counts by its name too.
    auto outer = RQDirectory::fileWithPath(u"/o/"_s);
    outer->addChild(folderOf(u"/o/inner/"_s, reference));
    auto renamedOuter = RQDirectory::fileWithPath(u"/p/"_s);
    renamedOuter->addChild(folderOf(u"/p/other/"_s, reference));
    auto sameOuter = RQDirectory::fileWithPath(u"/q/"_s);
    sameOuter->addChild(folderOf(u"/q/inner/"_s, reference));
    EXPECT_NE(outer->fileHash(), renamedOuter->fileHash());
    EXPECT_EQ(outer->fileHash(), sameOuter->fileHash());
}

// A folder may only share its digest with a folder whose content is the same in full.
TEST(RQDirectoryTest, FoldersWithUncomparedContentNeverShareADigest)
{
    using Filler = std::function<void(RQDirectory &, const QString &)>;
    struct Case
    {
        const char *name;
        Filler fill;
        bool equal;
    };
    const Case cases[] = {
        {"equal files", [](RQDirectory &f, const QString &p) { f.addChild(fileWithDigest(p + u"a"_s, "same"_ba)); }, true},
        {"a file nobody's size matched",
         [](RQDirectory &f, const QString &p) {
             f.addChild(fileWithDigest(p + u"a"_s, "same"_ba));
             f.addChild(fileWithoutDigest(p + u"b"_s, 10));
         },
         false},
        {"a device or unreadable file", [](RQDirectory &f, const QString &p) { f.addChild(fileWithoutDigest(p + u"dev"_s, 0)); }, false},
        {"the same link", [](RQDirectory &f, const QString &p) { f.addChild(RQSymbolicLink::linkWithPath(p + u"l"_s, u"../t"_s)); }, true},
        {"content not compared",
         [](RQDirectory &f, const QString &p) {
             f.addChild(fileWithDigest(p + u"a"_s, "same"_ba));
             f.markContentNotCompared();
         },
         false},
        {"a subfolder with uncompared content",
         [](RQDirectory &f, const QString &p) {
             auto inner = RQDirectory::fileWithPath(p + u"inner"_s);
             inner->addChild(fileWithoutDigest(p + u"inner/x"_s, 5));
             f.addChild(inner);
         },
         false},
    };
    for (const auto &entry : cases) {
        auto first = RQDirectory::fileWithPath(u"/one/"_s);
        auto second = RQDirectory::fileWithPath(u"/two/"_s);
        entry.fill(*first, first->path());
        entry.fill(*second, second->path());
        EXPECT_EQ(first->fileHash() == second->fileHash(), entry.equal) << entry.name;
        EXPECT_EQ(first->fileHash(), first->fileHash()) << entry.name << ": the digest is kept";
        EXPECT_EQ(first->fileHash().size(), 40) << entry.name;
    }
}

TEST(RQDirectoryTest, LinksMatchByTargetOnly)
{
    auto first = RQDirectory::fileWithPath(u"/one"_s);
    auto second = RQDirectory::fileWithPath(u"/two"_s);
    first->addChild(RQSymbolicLink::linkWithPath(u"/one/l"_s, u"target-a"_s));
    second->addChild(RQSymbolicLink::linkWithPath(u"/two/l"_s, u"target-b"_s));
    EXPECT_NE(first->fileHash(), second->fileHash());

    // A link never matches a file whose content is the link's target text.
    auto linkFolder = RQDirectory::fileWithPath(u"/three"_s);
    auto fileFolder = RQDirectory::fileWithPath(u"/four"_s);
    linkFolder->addChild(RQSymbolicLink::linkWithPath(u"/three/l"_s, u"text"_s));
    fileFolder->addChild(fileWithDigest(u"/four/l"_s, "text"_ba));
    EXPECT_NE(linkFolder->fileHash(), fileFolder->fileHash());
    EXPECT_TRUE(RQSymbolicLink::linkWithPath(u"/l"_s, u"t"_s)->fileHash().isEmpty())
        << "links are never digested themselves";
}
