#include "support/LogCapture.h"
#include "support/TemporaryFolder.h"

#include "scanning/RQDirectory.h"
#include "scanning/RQFile.h"
#include "scanning/RQHashHelper.h"
#include "scanning/RQSymbolicLink.h"

#include <gtest/gtest.h>

#include <optional>

using namespace Qt::StringLiterals;

TEST(RQFileTest, FolderPathsEndWithExactlyOneSlash)
{
    EXPECT_EQ(RQDirectory::fileWithPath(u"/a/b"_s)->path(), u"/a/b/"_s);
    EXPECT_EQ(RQDirectory::fileWithPath(u"/a/b/"_s)->path(), u"/a/b/"_s);
    EXPECT_EQ(RQFile::fileWithPath(u"/a/b"_s)->path(), u"/a/b"_s);
    EXPECT_EQ(RQDirectory::fileWithPath(u"/a/b"_s)->fileName(), u"b"_s);
    EXPECT_EQ(RQFile::fileWithPath(u"/a/b.txt"_s)->fileName(), u"b.txt"_s);
}

TEST(RQFileTest, ItemsMadeFromUrlsKeepTheUrlAndOthersAnswerTheirPaths)
{
    const QUrl url = QUrl::fromLocalFile(u"/photos/a b.jpg"_s);
    const auto file = RQFile::fileWithURL(url);
    EXPECT_EQ(file->path(), u"/photos/a b.jpg"_s);
    EXPECT_EQ(file->fileURL(), url);
    EXPECT_EQ(file->previewItemURL(), url);
    EXPECT_EQ(RQFile::fileWithPath(u"/x"_s)->fileURL(), QUrl::fromLocalFile(u"/x"_s));
    EXPECT_EQ(RQDirectory::fileWithPath(u"/x"_s)->previewItemURL(), QUrl::fromLocalFile(u"/x/"_s));
}

TEST(RQFileTest, ItemWithoutPathIsNamedMissing)
{
    EXPECT_EQ(RQFile::fileWithPath(QString())->fileName(), u"Missing File Name"_s);
}

TEST(RQFileTest, ContentTypeCodes)
{
    struct Case
    {
        QString path;
        bool folder;
        qint64 type;
        bool emptyUTI;
    };
    const Case cases[] = {
        {u"/a/Tool.app"_s, true, RQFile::Application, true},
        {u"/a/Tool.APP"_s, true, RQFile::Other, true},
        {u"/a/plain"_s, true, RQFile::Other, true},
        {u"/a/report.pdf"_s, false, RQFile::Document, true},
        {u"/a/REPORT.PDF"_s, false, RQFile::Document, false},
        {u"/a/photo.jpg"_s, false, RQFile::Image, false},
        {u"/a/photo.PNG"_s, false, RQFile::Image, false},
        {u"/a/film.mp4"_s, false, RQFile::Movie, false},
        {u"/a/notes.txt"_s, false, RQFile::Document, false},
        {u"/a/song.mp3"_s, false, RQFile::Audio, false},
        {u"/a/bundle.zip"_s, false, RQFile::Archive, false},
        {u"/a/backup.tar.gz"_s, false, RQFile::Archive, false},
        {u"/a/letter.docx"_s, false, RQFile::Other, false},
        {u"/a/data.qqqunknown"_s, false, RQFile::Other, false},
    };
    for (const auto &entry : cases) {
        const std::shared_ptr<RQFile> item = entry.folder
            ? std::shared_ptr<RQFile>(RQDirectory::fileWithPath(entry.path))
            : RQFile::fileWithPath(entry.path);
        EXPECT_EQ(item->fileType(), entry.type) << entry.path.toStdString();
        EXPECT_EQ(item->UTI().isEmpty(), entry.emptyUTI) << entry.path.toStdString();
    }
}

TEST(RQFileTest, ExistsAndChildOfPath)
{
    TemporaryFolder temporary;
    const QString path = temporary.writeFile(u"sub/file.txt"_s, "x"_ba);
    auto folder = RQDirectory::fileWithPath(temporary.filePath(u"sub"_s));
    auto file = RQFile::fileWithPath(path);
    EXPECT_TRUE(file->exists());
    EXPECT_FALSE(RQFile::fileWithPath(temporary.filePath(u"gone"_s))->exists());

    EXPECT_FALSE(file->isChildOfPath(temporary.path())) << "no parent yet";
    folder->addChild(file);
    EXPECT_TRUE(file->isChildOfPath(temporary.path()));
    EXPECT_TRUE(file->isChildOfPath(folder->path())) << "its own folder counts";
    EXPECT_FALSE(file->isChildOfPath(temporary.filePath(u"su"_s)));

    file->removeFromParent();
    EXPECT_EQ(file->parent(), nullptr);
    EXPECT_TRUE(folder->children().empty());
}

TEST(RQFileTest, DescriptionsNameClassPathAndDigest)
{
    const auto file = RQFile::fileWithPath(u"/a/b"_s);
    EXPECT_TRUE(file->description().startsWith(u"<RQFile 0x"_s));
    EXPECT_TRUE(file->description().endsWith(u", path=/a/b>"_s));
    const auto folder = RQDirectory::fileWithPath(u"/a"_s);
    EXPECT_TRUE(folder->description().endsWith(
        u", path=/a/, hash=da39a3ee5e6b4b0d3255bfef95601890afd80709, fileSize=0.000000>"_s));
}

TEST(RQFileTest, FileHashTextRoundTrips)
{
    const auto file = RQFile::fileWithPath(u"/a"_s);
    EXPECT_TRUE(file->fileHash().isEmpty());
    file->setFileHash(u"a9993e364706816aba3e25717850c26c9cd0d89d"_s);
    EXPECT_EQ(file->fileHash(), u"a9993e364706816aba3e25717850c26c9cd0d89d"_s);
    file->setFileHash(QString());
    EXPECT_TRUE(file->fileHash().isEmpty());
}

namespace {

// A tree placed by name as the walk places it: /top/ (made from its path), a folder "deep.app",
// and in it a file, a folder and a link.
struct PlacedTree
{
    PlacedTree()
    {
        top->addChild(folder);
        folder->addChildren({file, innerFolder, link});
    }

    std::shared_ptr<RQDirectory> top = RQDirectory::fileWithPath(u"/top"_s);
    std::shared_ptr<RQDirectory> folder = RQDirectory::fileWithName(u"deep.app"_s, *top);
    std::shared_ptr<RQFile> file = RQFile::fileWithName(u"photo.jpg"_s, *folder);
    std::shared_ptr<RQDirectory> innerFolder = RQDirectory::fileWithName(u"inner.d"_s, *folder);
    std::shared_ptr<RQSymbolicLink> link = RQSymbolicLink::linkWithName(u"link"_s, *folder, u"../x"_s);
};

} // namespace

TEST(RQFileTest, ItemsPlacedByNameAnswerAsItemsMadeFromTheirPaths)
{
    const PlacedTree tree;
    const struct
    {
        std::shared_ptr<RQFile> placed;
        std::shared_ptr<RQFile> fromPath;
    } cases[] = {
        {tree.folder, RQDirectory::fileWithPath(u"/top/deep.app"_s)},
        {tree.file, RQFile::fileWithPath(u"/top/deep.app/photo.jpg"_s)},
        {tree.innerFolder, RQDirectory::fileWithPath(u"/top/deep.app/inner.d"_s)},
        {tree.link, RQSymbolicLink::linkWithPath(u"/top/deep.app/link"_s, u"../x"_s)},
    };
    for (const auto &[placed, fromPath] : cases) {
        const std::string what = fromPath->path().toStdString();
        EXPECT_EQ(placed->path(), fromPath->path()) << what;
        EXPECT_EQ(placed->fileName(), fromPath->fileName()) << what;
        EXPECT_EQ(placed->nameInFolder(), fromPath->nameInFolder()) << what;
        EXPECT_EQ(placed->UTI(), fromPath->UTI()) << what;
        EXPECT_EQ(placed->fileType(), fromPath->fileType()) << what;
        EXPECT_EQ(placed->fileURL(), fromPath->fileURL()) << what;
        EXPECT_EQ(placed->description().section(u',', 1, 1), fromPath->description().section(u',', 1, 1)) << what;
    }
    EXPECT_EQ(tree.link->namedPlace(), u"/top/x"_s);
    EXPECT_EQ(tree.file->parent(), tree.folder);
    EXPECT_TRUE(tree.file->isChildOfPath(u"/top/"_s));
}

TEST(RQFileTest, PlacedItemsKeepTheirPathsWhenTheirFolderLetsThemGoOrGoes)
{
    std::optional<PlacedTree> tree(std::in_place);
    const auto grandchild = RQFile::fileWithName(u"g"_s, *tree->innerFolder);
    tree->innerFolder->addChild(grandchild);
    // Media made from their paths keep them whatever folder holds them.
    const auto medium = RQFile::fileWithPath(u"/elsewhere/medium.jpg"_s);
    tree->folder->addChild(medium);

    const std::shared_ptr<RQSymbolicLink> link = tree->link;
    tree->folder->removeChild(link);
    EXPECT_EQ(link->parent(), nullptr);
    EXPECT_EQ(link->path(), u"/top/deep.app/link"_s);

    // The top goes last, and takes the folder between with it.
    const std::shared_ptr<RQFile> file = tree->file;
    const std::shared_ptr<RQDirectory> innerFolder = tree->innerFolder;
    const std::weak_ptr<RQDirectory> folder = tree->folder;
    tree.reset();
    ASSERT_TRUE(folder.expired());
    EXPECT_EQ(file->parent(), nullptr);
    EXPECT_EQ(file->path(), u"/top/deep.app/photo.jpg"_s);
    EXPECT_EQ(innerFolder->path(), u"/top/deep.app/inner.d/"_s);
    EXPECT_EQ(grandchild->parent(), innerFolder) << "its folder is still there";
    EXPECT_EQ(grandchild->path(), u"/top/deep.app/inner.d/g"_s);
    EXPECT_EQ(medium->path(), u"/elsewhere/medium.jpg"_s);
}

TEST(RQFileTest, TheIdentityGivesTheSizeAndTheModificationDate)
{
    struct Row
    {
        const char *what;
        std::int64_t modificationTimeNs;
        qint64 expectedMilliseconds;
    };
    // Rounded down like the file system's seconds and nanoseconds, before 1970 too.
    const Row rows[] = {
        {"after 1970", 1'700'000'000'123'456'789, 1'700'000'000'123},
        {"the epoch", 0, 0},
        {"a nanosecond before it", -1, -1},
        {"a millisecond and a bit before it", -1'000'001, -2},
    };
    for (const Row &row : rows) {
        SCOPED_TRACE(row.what);
        const auto file = RQFile::fileWithPath(u"/a/file"_s);
        const RQFileIdentity identity{7, 42, 1234, row.modificationTimeNs, RQFileIdentity::Kind::RegularFile};
        file->setIdentity(identity);
        EXPECT_EQ(file->identity(), identity);
        EXPECT_EQ(file->fileSize(), 1234);
        EXPECT_EQ(file->modificationDate(), QDateTime::fromMSecsSinceEpoch(row.expectedMilliseconds, Qt::UTC));
    }

    // A link keeps the length of its target in its identity, and has no bytes of its own.
    const auto link = RQSymbolicLink::linkWithPath(u"/a/link"_s, u"target"_s);
    link->setIdentity({7, 43, 6, 0, RQFileIdentity::Kind::SymbolicLink});
    EXPECT_EQ(link->identity().size, 6);
    EXPECT_EQ(link->fileSize(), 0);

    // An item no walk read has no identity, whatever its size and dates.
    const auto medium = RQFile::fileWithPath(u"/library/medium.jpg"_s);
    medium->setFileSize(0.5);
    const QDateTime date = QDateTime::fromMSecsSinceEpoch(1'600'000'000'000);
    medium->setModificationDate(date);
    EXPECT_FALSE(medium->identity().isKnown());
    EXPECT_EQ(medium->identity(), RQFileIdentity());
    EXPECT_EQ(medium->fileSize(), 0.5);
    EXPECT_EQ(medium->modificationDate(), date);
    medium->setModificationDate(QDateTime());
    EXPECT_FALSE(medium->modificationDate().isValid());
}

TEST(RQFileTest, AFileKeepsItsDeviceWhateverHappensToItsFolder)
{
    // A file keeps no device of its own where its folder's is the same; none of what follows
    // may change the device its identity gives.
    const auto folderOn = [](std::uint64_t device) {
        return RQFileIdentity{device, 1, 0, 0, RQFileIdentity::Kind::Directory};
    };
    auto top = RQDirectory::fileWithPath(u"/top"_s);
    top->setIdentity(folderOn(5));
    const auto other = RQDirectory::fileWithPath(u"/other"_s);
    other->setIdentity(folderOn(6));
    const auto makeFile = [&top](const QString &name, std::uint64_t device) {
        auto file = RQFile::fileWithName(name, *top);
        file->setIdentity({device, 9, 0, 0, RQFileIdentity::Kind::RegularFile});
        top->addChild(file);
        return file;
    };
    const auto shared = makeFile(u"shared"_s, 5);
    const auto ownDevice = makeFile(u"bind-mounted"_s, 8);
    const auto moved = makeFile(u"moved"_s, 5);
    const auto removed = makeFile(u"removed"_s, 5);
    const auto kept = makeFile(u"kept"_s, 5);
    EXPECT_EQ(shared->identity().device, 5U);
    EXPECT_EQ(ownDevice->identity().device, 8U);

    other->addChild(moved);
    EXPECT_EQ(moved->identity().device, 5U) << "moved to a folder on another device";
    top->removeChild(removed);
    EXPECT_EQ(removed->identity().device, 5U) << "let go by its folder";
    top->setIdentity(folderOn(7));
    EXPECT_EQ(top->identity().device, 7U);
    EXPECT_EQ(shared->identity().device, 5U) << "its folder read again on another device";
    EXPECT_EQ(ownDevice->identity().device, 8U);
    top.reset();
    EXPECT_EQ(kept->identity().device, 5U) << "outlived its folder";
    EXPECT_EQ(kept->path(), u"/top/kept"_s);
}
