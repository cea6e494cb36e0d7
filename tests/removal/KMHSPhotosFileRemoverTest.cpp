#include "support/FakeScriptingBridge.h"

#include "removal/KMHSPhotosFileRemover.h"

#include <gtest/gtest.h>

#include <QCoreApplication>
#include <QFile>

using namespace Qt::StringLiterals;

namespace {

std::shared_ptr<RQFile> photo(const QString &name, const QString &photoUUID)
{
    auto item = RQFile::fileWithPath(u"/Pictures/Library.photoslibrary/Masters/"_s + name);
    item->setInPhotosLibrary(true);
    if (!photoUUID.isEmpty())
        item->setMetadata({{u"photoUUID"_s, photoUUID}, {u"imageName"_s, name}});
    return item;
}

QStringList sortedKeys(const KMHSErrorDictionary &errors)
{
    QStringList keys = errors.keys();
    keys.sort();
    return keys;
}

} // namespace

class KMHSPhotosFileRemoverTest : public ::testing::Test
{
protected:
    FakeScriptingBridge m_bridge;
};

TEST_F(KMHSPhotosFileRemoverTest, HandsFoundPhotosToTheScriptsAlbumAndReportsTheOthers)
{
    m_bridge.photos = std::make_shared<FakePhotos>();
    m_bridge.photos->photoIDs = {u"uuid-a"_s, u"uuid-c"_s};
    m_bridge.permission = 0;
    const auto a = photo(u"a.jpg"_s, u"uuid-a"_s);
    const auto unknown = photo(u"b.jpg"_s, u"uuid-unknown"_s);
    const auto c = photo(u"c.jpg"_s, u"uuid-c"_s);
    const auto noUUID = photo(u"d.jpg"_s, QString());

    KMHSPhotosFileRemover remover;

    EXPECT_EQ(remover.errorCode(), -1);
    EXPECT_FALSE(remover.error());
    EXPECT_EQ(m_bridge.photos->activations, 1);
    EXPECT_EQ(m_bridge.frontActivations, 1);
    EXPECT_EQ(m_bridge.permissionRequests, QStringList{u"com.apple.Photos 2a2a2a2a 2a2a2a2a 1"_s});
    QFile script(u":/scripts/script.scpt"_s);
    ASSERT_TRUE(script.open(QIODevice::ReadOnly));
    EXPECT_EQ(m_bridge.scripts, QList<QByteArray>{script.readAll()});
    ASSERT_TRUE(remover.trashAlbum());
    EXPECT_EQ(remover.trashAlbum()->id(), u"album-1"_s);

    EXPECT_TRUE(remover.removeFiles({a, unknown, c, noUUID}));
    EXPECT_EQ(m_bridge.photos->added, QList<QStringList>{(QStringList{u"uuid-a"_s, u"uuid-c"_s})});
    EXPECT_EQ(m_bridge.photos->addedTo, QStringList{u"album-1"_s});
    EXPECT_EQ(sortedKeys(remover.errorDict()), (QStringList{unknown->path(), noUUID->path()}));
    const RQError error = remover.errorDict().value(unknown->path());
    EXPECT_EQ(error, RQError(u"com.rovaquin.kelmora.hs.photosremover"_s, 1002,
                             u"Could not locate file in Photos library. Error: 1002"_s));

    // Each call reports its own chunk only; a chunk of unknown photos still reaches Photos.
    EXPECT_TRUE(remover.removeFiles({unknown}));
    EXPECT_EQ(remover.errorDict().keys(), QStringList{unknown->path()});
    EXPECT_EQ(m_bridge.photos->added.last(), QStringList());
    EXPECT_TRUE(remover.removeFiles({a}));
    EXPECT_TRUE(remover.errorDict().isEmpty());
}

struct SetUpFailure
{
    const char *name;
    bool scriptable;
    std::optional<qint32> permission;
    std::optional<QString> scriptResult;
    qint64 code;
    QString description;
};

class KMHSPhotosFileRemoverSetUpTest : public KMHSPhotosFileRemoverTest,
                                       public ::testing::WithParamInterface<SetUpFailure>
{
};

TEST_P(KMHSPhotosFileRemoverSetUpTest, FailsEveryItemOfEveryChunkWithItsCode)
{
    const SetUpFailure &failure = GetParam();
    if (failure.scriptable) {
        m_bridge.photos = std::make_shared<FakePhotos>();
        m_bridge.photos->photoIDs = {u"uuid-a"_s};
    }
    m_bridge.permission = failure.permission;
    m_bridge.scriptResult = failure.scriptResult;
    const auto a = photo(u"a.jpg"_s, u"uuid-a"_s);
    const auto b = photo(u"b.jpg"_s, u"uuid-b"_s);

    KMHSPhotosFileRemover remover;

    EXPECT_EQ(remover.errorCode(), failure.code);
    const RQError expected(u"com.rovaquin.kelmora.hs.photosremover"_s, failure.code, failure.description);
    ASSERT_TRUE(remover.error());
    EXPECT_EQ(*remover.error(), expected);
    for (const auto &chunk : {std::vector{a, b}, std::vector{b}}) {
        EXPECT_FALSE(remover.removeFiles(chunk));
        ASSERT_EQ(remover.errorDict().size(), qsizetype(chunk.size()));
        for (const auto &item : chunk)
            EXPECT_EQ(remover.errorDict().value(item->path()), expected);
    }
    if (failure.scriptable) {
        EXPECT_EQ(m_bridge.photos->activations, 1) << "Photos is started even when the set-up fails";
        EXPECT_TRUE(m_bridge.photos->added.isEmpty());
        EXPECT_EQ(m_bridge.photos->mediaItemsCalls, 0);
    }
}

INSTANTIATE_TEST_SUITE_P(
    Codes, KMHSPhotosFileRemoverSetUpTest,
    ::testing::Values(
        SetUpFailure{"ScriptGivesNoAlbum", true, 0, std::nullopt, 1000,
                     u"An error occured while launching Photos. Error: 1000"_s},
        SetUpFailure{"ScriptGivesEmptyText", true, std::nullopt, QString(), 1000,
                     u"An error occured while launching Photos. Error: 1000"_s},
        SetUpFailure{"NotScriptableWithoutPermissionService", false, std::nullopt, u"album-1"_s, 1001,
                     u"An error occured while launching Photos. Error: 1001"_s},
        SetUpFailure{"PermissionRefused", true, -1743, u"album-1"_s, 1003,
                     u"marrowick-tests does not have permissions to automate Photos. Please contact support."_s}),
    [](const auto &entry) { return std::string(entry.param.name); });

TEST_F(KMHSPhotosFileRemoverTest, RefusedPermissionMakesNoAlbum)
{
    m_bridge.photos = std::make_shared<FakePhotos>();
    m_bridge.permission = -1743;

    KMHSPhotosFileRemover remover;

    EXPECT_TRUE(m_bridge.scripts.isEmpty());
    EXPECT_FALSE(remover.trashAlbum());
}

TEST(KMHSPhotosFileRemoverOnThisSystem, IsNotScriptable)
{
    KMHSPhotosFileRemover remover;

    EXPECT_EQ(remover.errorCode(), 1001);
}
