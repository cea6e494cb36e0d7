#include "support/FakeScriptingBridge.h"
#include "support/RemovalFixture.h"

#include "photolibraries/RQPhotosLibrary.h"

#include <QFileInfo>

using namespace Qt::StringLiterals;

// The library roads hand items to Photos and iPhoto; the files on disk stay.
class KMHSFileRemoverLibraryTest : public RemovalFixture
{
protected:
    std::shared_ptr<RQFile> libraryFile(const QString &relative, bool inPhotos)
    {
        auto item = file(relative, "photo");
        if (inPhotos)
            item->setInPhotosLibrary(true);
        else
            item->setInIPhotoLibrary(true);
        return item;
    }

    FakeScriptingBridge m_bridge;
};

TEST_F(KMHSFileRemoverLibraryTest, PhotosItemsGoInChunksOfTenThroughOneRemover)
{
    m_bridge.photos = std::make_shared<FakePhotos>();
    m_bridge.photos->running = true;
    KMHSFileRemover::FileList files;
    for (int index = 0; index < 25; ++index) {
        files.push_back(libraryFile(u"Library.photoslibrary/%1.jpg"_s.arg(index), true));
        files.back()->setMetadata({{u"photoUUID"_s, u"uuid-%1"_s.arg(index)}});
        if (index != 12)
            m_bridge.photos->photoIDs.insert(u"uuid-%1"_s.arg(index));
    }
    const Snapshot before = snapshot();

    const Outcome outcome = remove(files, true);

    EXPECT_EQ(m_bridge.launched, QStringList{u"com.apple.Photos"_s});
    EXPECT_EQ(m_bridge.requested, QStringList{u"com.apple.Photos"_s});
    ASSERT_EQ(m_bridge.photos->added.size(), 3);
    EXPECT_EQ(m_bridge.photos->added[0].size(), 10);
    EXPECT_EQ(m_bridge.photos->added[1].size(), 9);
    EXPECT_EQ(m_bridge.photos->added[2].size(), 5);
    ASSERT_EQ(outcome.progress.size(), 3);
    EXPECT_EQ(outcome.progress.last(), (KMHSDetails{25, 25}));
    EXPECT_EQ(outcome.errors.keys(), QStringList{files[12]->path()});
    EXPECT_EQ(outcome.errors.value(files[12]->path()).code(), 1002);
    EXPECT_EQ(outcome.totalRemoved, 24);
    EXPECT_EQ(outcome.spaceFreed, 24u * 5u);
    EXPECT_EQ(RQPhotosLibrary::sharedInstance().photosFilesRemoved(), 25u);
    EXPECT_EQ(snapshot(), before);
}

// A chunk that matches nothing fails alone; in a chunk that matches in part, the items that
// matched nothing fail and count as nothing.
TEST_F(KMHSFileRemoverLibraryTest, iPhotoChunksFailOnTheirOwnAndUnmatchedItemsAreNotCounted)
{
    m_bridge.iPhoto = std::make_shared<FakeiPhoto>();
    KMHSFileRemover::FileList files;
    for (int index = 0; index < 13; ++index)
        files.push_back(libraryFile(u"iPhoto Library/Masters/%1.jpg"_s.arg(index), false));
    m_bridge.iPhoto->addPhoto(u"p10"_s, files[10]->path(), QString());
    m_bridge.iPhoto->addPhoto(u"p12"_s, QString(), files[12]->path());
    const Snapshot before = snapshot();

    const Outcome outcome = remove(files, false);

    EXPECT_EQ(m_bridge.launched, QStringList{u"com.apple.iPhoto"_s});
    EXPECT_EQ(m_bridge.iPhoto->log, (QStringList{u"remove p10 from library"_s, u"remove p12 from library"_s,
                                                 u"move p10 to trash"_s, u"move p12 to trash"_s}));
    ASSERT_EQ(outcome.errors.size(), 11);
    for (int index = 0; index < 12; ++index) {
        if (index == 10)
            continue;
        EXPECT_EQ(outcome.errors.value(files[index]->path()).code(), 1002) << index;
    }
    EXPECT_FALSE(outcome.errors.contains(files[10]->path()));
    EXPECT_FALSE(outcome.errors.contains(files[12]->path()));
    EXPECT_EQ(outcome.totalRemoved, 2);
    EXPECT_EQ(outcome.spaceFreed, 10u);
    EXPECT_EQ(outcome.progress.last(), (KMHSDetails{13, 13}));
    EXPECT_EQ(snapshot(), before);
}

// Library items free the sizes their library gave, the total cut to whole bytes after every
// item, so that fractions of a byte never add up to a byte that no file had.
TEST_F(KMHSFileRemoverLibraryTest, FractionsOfABytesAreDroppedAfterEveryItem)
{
    const struct
    {
        const char *library;
        bool inPhotos;
        double size;
        quint64 freed;
    } cases[] = {
        {"Photos", true, 0.6, 0u},
        {"Photos", true, 1.5, 2u},
        {"iPhoto", false, 0.6, 0u},
        {"iPhoto", false, 1.5, 2u},
    };
    int round = 0;
    for (const auto &testCase : cases) {
        SCOPED_TRACE(std::string(testCase.library) + " " + std::to_string(testCase.size));
        m_bridge.photos = std::make_shared<FakePhotos>();
        m_bridge.photos->running = true;
        m_bridge.iPhoto = std::make_shared<FakeiPhoto>();
        const QString folder = testCase.inPhotos ? u"Library.photoslibrary/%1/"_s : u"iPhoto Library/%1/"_s;
        KMHSFileRemover::FileList files;
        for (const QString &name : {u"a.jpg"_s, u"b.jpg"_s}) {
            const auto item = libraryFile(folder.arg(round) + name, testCase.inPhotos);
            item->setFileSize(testCase.size);
            item->setMetadata({{u"photoUUID"_s, item->path()}});
            m_bridge.photos->photoIDs.insert(item->path());
            m_bridge.iPhoto->addPhoto(item->path(), item->path(), QString());
            files.push_back(item);
        }
        ++round;

        const Outcome outcome = remove(files, false);

        EXPECT_TRUE(outcome.errors.isEmpty());
        EXPECT_EQ(outcome.totalRemoved, 2);
        EXPECT_EQ(outcome.spaceFreed, testCase.freed);
    }
}

// Here neither application can be scripted.
TEST_F(KMHSFileRemoverLibraryTest, LibraryItemsFailWithTheirRemoversCodesOnThisSystem)
{
    ScriptingBridge::setCurrent(nullptr);
    const auto photo = libraryFile(u"Library.photoslibrary/a.jpg"_s, true);
    const auto iPhoto = libraryFile(u"iPhoto Library/b.jpg"_s, false);

    const Outcome outcome = remove({photo, iPhoto}, true);

    EXPECT_EQ(outcome.errors.value(photo->path()),
              RQError(u"com.rovaquin.kelmora.hs.photosremover"_s, 1001,
                      u"An error occured while launching Photos. Error: 1001"_s));
    EXPECT_EQ(outcome.errors.value(iPhoto->path()),
              RQError(u"com.rovaquin.kelmora.hs.iphotoremover"_s, 1003,
                      u"An error occured while launching iPhoto. Error: 1003"_s));
    EXPECT_EQ(outcome.totalRemoved, 0);
    EXPECT_TRUE(QFileInfo::exists(photo->path()));
    EXPECT_TRUE(QFileInfo::exists(iPhoto->path()));
}
