#include "photolibraries/RQLibraryMediaFile.h"

#include "scanning/RQFile.h"
#include "support/TemporaryFolder.h"

#include <gtest/gtest.h>

#include <QFileInfo>
#include <QUrl>

using namespace Qt::StringLiterals;

TEST(RQLibraryMediaFileTest, TakesSizeAndDatesFromTheFile)
{
    const TemporaryFolder folder;
    // Over 2^24 bytes, where a single-precision size would already round.
    const QString path = folder.writeFile(u"Masters/2015/IMG_0001.JPG"_s, QByteArray(16'777'217, 'x'));

    const auto item = rq_libraryMediaFileWithPath(path);

    EXPECT_EQ(item->path(), path);
    EXPECT_EQ(item->fileURL(), QUrl::fromLocalFile(path));
    EXPECT_EQ(item->fileName(), u"IMG_0001.JPG"_s);
    EXPECT_EQ(item->fileType(), RQFile::Image);
    EXPECT_EQ(item->fileSize(), 16'777'217.0);
    EXPECT_EQ(item->modificationDate().toMSecsSinceEpoch(), QFileInfo(path).lastModified().toMSecsSinceEpoch());
}

TEST(RQLibraryMediaFileTest, MissingFileHasNoSizeAndNoDates)
{
    const TemporaryFolder folder;
    const auto item = rq_libraryMediaFileWithPath(folder.filePath(u"Masters/gone.jpg"_s));

    EXPECT_EQ(item->fileSize(), 0.0);
    EXPECT_FALSE(item->creationDate().isValid());
    EXPECT_FALSE(item->modificationDate().isValid());
    EXPECT_EQ(item->fileName(), u"gone.jpg"_s);
}
