#include "support/LogCapture.h"
#include "support/TemporaryFolder.h"

#include "scanning/RQDirectory.h"
#include "scanning/RQFile.h"
#include "scanning/RQHashHelper.h"

#include <gtest/gtest.h>

using namespace Qt::StringLiterals;

TEST(RQFileTest, FolderPathsEndWithExactlyOneSlash)
{
    EXPECT_EQ(RQDirectory::fileWithPath(u"/a/b"_s)->path(), u"/a/b/"_s);
    EXPECT_EQ(RQDirectory::fileWithPath(u"/a/b/"_s)->path(), u"/a/b/"_s);
    EXPECT_EQ(RQFile::fileWithPath(u"/a/b"_s)->path(), u"/a/b"_s);
    EXPECT_EQ(RQDirectory::fileWithPath(u"/a/b"_s)->fileName(), u"b"_s);
    EXPECT_EQ(RQFile::fileWithPath(u"/a/b.txt"_s)->fileName(), u"b.txt"_s);
}

TEST(RQFileTest, ItemsMadeFromUrlsKeepTheUrl)
{
    const QUrl url = QUrl::fromLocalFile(u"/photos/a b.jpg"_s);
    const auto file = RQFile::fileWithURL(url);
    EXPECT_EQ(file->path(), u"/photos/a b.jpg"_s);
    EXPECT_EQ(file->fileURL(), url);
    EXPECT_EQ(file->previewItemURL(), url);
    EXPECT_TRUE(RQFile::fileWithPath(u"/x"_s)->fileURL().isEmpty());
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
