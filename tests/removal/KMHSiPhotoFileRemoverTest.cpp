#include "support/FakeScriptingBridge.h"

#include "removal/KMHSiPhotoFileRemover.h"

#include <gtest/gtest.h>

using namespace Qt::StringLiterals;

namespace {

std::shared_ptr<RQFile> item(const QString &path)
{
    auto file = RQFile::fileWithPath(path);
    file->setInIPhotoLibrary(true);
    return file;
}

RQError iPhotoError(qint64 code)
{
    return RQError(u"com.rovaquin.kelmora.hs.iphotoremover"_s, code,
                   u"An error occured while launching iPhoto. Error: %1"_s.arg(code));
}

} // namespace

class KMHSiPhotoFileRemoverTest : public ::testing::Test
{
protected:
    void SetUp() override
    {
        m_bridge.iPhoto = std::make_shared<FakeiPhoto>();
        m_bridge.iPhoto->addPhoto(u"1"_s, u"/lib/Masters/a.jpg"_s, u"/lib/Originals/a.jpg"_s);
        m_bridge.iPhoto->addPhoto(u"2"_s, u"/lib/Modified/b.jpg"_s, u"/lib/Masters/b.jpg"_s);
    }

    FakeScriptingBridge m_bridge;
};

TEST_F(KMHSiPhotoFileRemoverTest, MovesMatchesToTheTrashAlbumAndReportsItemsThatMatchedNothing)
{
    KMHSiPhotoFileRemover remover;
    ASSERT_EQ(remover.errorCode(), -1);
    EXPECT_EQ(m_bridge.iPhoto->activations, 1);
    EXPECT_EQ(m_bridge.frontActivations, 1);
    const auto byImage = item(u"/lib/Masters/a.jpg"_s);
    const auto byOriginal = item(u"/lib/Masters/b.jpg"_s);
    const auto unmatched = item(u"/lib/Masters/c.jpg"_s);

    EXPECT_TRUE(remover.removeFiles({byImage, unmatched, byOriginal}));

    EXPECT_EQ(m_bridge.iPhoto->log, (QStringList{u"remove 1 from library"_s, u"remove 2 from library"_s,
                                                 u"move 1 to trash"_s, u"move 2 to trash"_s}));
    EXPECT_EQ(remover.errorDict().keys(), QStringList{unmatched->path()});
    EXPECT_EQ(remover.errorDict().value(unmatched->path()), iPhotoError(1002));
    EXPECT_FALSE(remover.error());
}

TEST_F(KMHSiPhotoFileRemoverTest, ChunkThatMatchesNothingFailsAloneWithoutAskingAgainLater)
{
    KMHSiPhotoFileRemover remover;

    EXPECT_FALSE(remover.removeFiles({item(u"/lib/none.jpg"_s)}));
    ASSERT_TRUE(remover.error());
    EXPECT_EQ(*remover.error(), iPhotoError(1002));
    EXPECT_EQ(remover.errorCode(), -1);
    EXPECT_TRUE(m_bridge.iPhoto->log.isEmpty());

    EXPECT_TRUE(remover.removeFiles({item(u"/lib/Masters/a.jpg"_s)}));
    EXPECT_FALSE(remover.error());
    EXPECT_TRUE(remover.errorDict().isEmpty());
    EXPECT_EQ(m_bridge.iPhoto->log.size(), 2);
}

TEST(KMHSiPhotoFileRemoverPredicate, MatchesEitherPathOfEveryItem)
{
    const ScriptingPredicate predicate = KMHSiPhotoFileRemover::predicateWithFiles(
        {RQFile::fileWithPath(u"/a.jpg"_s), RQFile::fileWithPath(u"/b.jpg"_s)});

    EXPECT_EQ(predicate.comparisons(),
              (QList<ScriptingPredicate::Comparison>{{u"imagePath"_s, u"/a.jpg"_s},
                                                     {u"originalPath"_s, u"/a.jpg"_s},
                                                     {u"imagePath"_s, u"/b.jpg"_s},
                                                     {u"originalPath"_s, u"/b.jpg"_s}}));
}

struct iPhotoSetUpFailure
{
    const char *name;
    bool scriptable;
    QSet<QString> selectors;
    bool libraryAnswersPhotos;
    qint64 code;
};

class KMHSiPhotoFileRemoverSetUpTest : public ::testing::TestWithParam<iPhotoSetUpFailure>
{
protected:
    FakeScriptingBridge m_bridge;
};

TEST_P(KMHSiPhotoFileRemoverSetUpTest, FailsEveryChunkWithOneErrorAndNeverCallsiPhoto)
{
    const iPhotoSetUpFailure &failure = GetParam();
    if (failure.scriptable) {
        m_bridge.iPhoto = std::make_shared<FakeiPhoto>(failure.selectors, failure.libraryAnswersPhotos);
        m_bridge.iPhoto->addPhoto(u"1"_s, u"/lib/a.jpg"_s, u"/lib/a.jpg"_s);
    }

    KMHSiPhotoFileRemover remover;

    EXPECT_EQ(remover.errorCode(), failure.code);
    for (int chunk = 0; chunk < 2; ++chunk) {
        EXPECT_FALSE(remover.removeFiles({item(u"/lib/a.jpg"_s)}));
        ASSERT_TRUE(remover.error());
        EXPECT_EQ(*remover.error(), iPhotoError(failure.code));
    }
    if (failure.scriptable) {
        EXPECT_EQ(m_bridge.iPhoto->activations, 0);
        EXPECT_TRUE(m_bridge.iPhoto->log.isEmpty());
    }
}

INSTANTIATE_TEST_SUITE_P(
    Codes, KMHSiPhotoFileRemoverSetUpTest,
    ::testing::Values(iPhotoSetUpFailure{"NoLibraryAlbum", true, {u"trashAlbum"_s}, true, 1000},
                      iPhotoSetUpFailure{"NoTrashAlbum", true, {u"photoLibraryAlbum"_s}, true, 1001},
                      iPhotoSetUpFailure{"LibraryAlbumWithoutPhotos", true,
                                         {u"photoLibraryAlbum"_s, u"trashAlbum"_s}, false, 1002},
                      iPhotoSetUpFailure{"NotScriptable", false, {}, true, 1003}),
    [](const auto &entry) { return std::string(entry.param.name); });

TEST(KMHSiPhotoFileRemoverOnThisSystem, IsNotScriptable)
{
    KMHSiPhotoFileRemover remover;

    EXPECT_EQ(remover.errorCode(), 1003);
}
