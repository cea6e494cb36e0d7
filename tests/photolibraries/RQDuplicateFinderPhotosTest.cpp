#include "scanning/RQDuplicateFinder.h"

#include "InstalledApplication.h"
#include "PhotosLibraryFixture.h"
#include "photolibraries/RQPhotosLibrary.h"
#include "scanning/RQDuplicateFiles.h"
#include "scanning/RQFile.h"
#include "support/EventLoop.h"
#include "support/TemporaryFolder.h"

#include <gtest/gtest.h>

#include <QFile>

using namespace Qt::StringLiterals;

// A whole scan whose first root is a Photos library: its media are compared with the files of
// the other roots, and its own databases never are.
TEST(RQDuplicateFinderPhotosTest, FirstLibraryRootIsScannedByItsMedia)
{
    const TemporaryFolder cacheHome;
    const QByteArray previousCacheHome = qgetenv("XDG_CACHE_HOME");
    qputenv("XDG_CACHE_HOME", QFile::encodeName(cacheHome.path()));
    RQPhotosLibrary &photos = RQPhotosLibrary::sharedInstance();
    photos.checkIsSupported(registryWithApplication(u"com.apple.Photos"_s, u"5.0"_s));
    photos.reset();

    const TemporaryFolder folder;
    const QByteArray picture = "the same picture, three times";
    const QString library = PhotosLibraryFixture::write(
        folder.filePath(u"Family.photoslibrary"_s), PhotosLibraryFixture::Layout::Newer,
        {.masters = {{.modelId = 1, .uuid = u"m-a"_s, .fileName = u"A.JPG"_s, .imagePath = u"2015/A.JPG"_s, .content = picture},
                     {.modelId = 2, .uuid = u"m-b"_s, .fileName = u"B.JPG"_s, .imagePath = u"B.JPG"_s, .content = picture},
                     {.modelId = 3, .uuid = u"m-c"_s, .fileName = u"C.JPG"_s, .imagePath = u"C.JPG"_s, .content = "another"_ba}},
         .versions = {{.modelId = 101, .uuid = u"v-a"_s, .masterUuid = u"m-a"_s},
                      {.modelId = 102, .uuid = u"v-b"_s, .masterUuid = u"m-b"_s},
                      {.modelId = 103, .uuid = u"v-c"_s, .masterUuid = u"m-c"_s}}});
    const QString copy = folder.writeFile(u"elsewhere/copy.jpg"_s, picture);

    auto finder = RQDuplicateFinder::duplicateFinderWithPaths({library, folder.filePath(u"elsewhere"_s)}, 0);
    std::optional<RQDuplicateFinder::Groups> groups;
    bool completed = false;
    finder->setCompletionBlock([&](const auto &, const auto &found) {
        groups = found;
        completed = true;
    });
    finder->start();
    ASSERT_TRUE(processEventsUntil([&] { return completed; }, 60000));
    const QString libraryTaken = photos.currentLibraryPath();
    photos.checkIsSupported(ApplicationRegistry());
    photos.reset();
    if (previousCacheHome.isNull())
        qunsetenv("XDG_CACHE_HOME");
    else
        qputenv("XDG_CACHE_HOME", previousCacheHome);

    EXPECT_EQ(libraryTaken, library + u'/');
    ASSERT_TRUE(groups.has_value());
    ASSERT_EQ(groups->size(), 1u);
    QStringList members;
    for (const auto &member : groups->front()->duplicates()) {
        members.append(member->path());
        // Media keep the URL the reader made them from; the walk's file answers its path's.
        EXPECT_EQ(member->fileURL().toLocalFile(), member->path());
    }
    members.sort();
    EXPECT_EQ(members, (QStringList{library + u"/Masters/2015/A.JPG"_s, library + u"/Masters/B.JPG"_s, copy}));
}
