#include "photolibraries/RQiPhotoLibrary.h"

#include "InstalledApplication.h"
#include "platform/ApplicationRegistry.h"
#include "platform/UserAccount.h"
#include "support/LogCapture.h"
#include "support/TemporaryFolder.h"

#include <gtest/gtest.h>

#include <QDir>
#include <QUrl>

using namespace Qt::StringLiterals;

namespace {

QByteArray recentList(const QByteArray &databases)
{
    return R"(<?xml version="1.0" encoding="UTF-8"?><plist version="1.0"><dict>)"
           "<key>iPhotoRecentDatabases</key>" + databases + "</dict></plist>";
}

QByteArray urlArray(const QStringList &urls)
{
    QByteArray array = "<array>";
    for (const QString &url : urls)
        array += "<string>" + url.toUtf8() + "</string>";
    return array + "</array>";
}

} // namespace

TEST(RQiPhotoLibraryTest, ComparesTheVersionNumerically)
{
    TemporaryFolder folder;
    const QString list = folder.writeFile(u"iApps.plist"_s, recentList(urlArray({})));
    const struct {
        std::optional<QString> version;
        bool supported;
    } cases[] = {
        {u"8.1.2"_s, false},
        {u"9.0"_s, true},
        {u"9.6.1"_s, true},
        {u"10.0"_s, true},
        {std::nullopt, true},
    };
    for (const auto &testCase : cases) {
        const std::string label = testCase.version.value_or(u"(none)"_s).toStdString();
        LogCapture log;
        const RQiPhotoLibrary library(registryWithApplication(u"com.apple.iPhoto"_s, testCase.version), list);
        EXPECT_EQ(library.iPhotoVersionIsSupported(), testCase.supported) << label;
        EXPECT_EQ(library.iPhotoVersion(), testCase.version.value_or(QString())) << label;
        const QStringList expectedLog = testCase.supported
            ? QStringList()
            : QStringList{u"iPhoto Version %1 is not supported"_s.arg(*testCase.version)};
        EXPECT_EQ(log.lines(), expectedLog) << label;
    }

    const RQiPhotoLibrary notInstalled(ApplicationRegistry(), list);
    EXPECT_FALSE(notInstalled.iPhotoVersionIsSupported());
    EXPECT_TRUE(notInstalled.iPhotoVersion().isNull());
    EXPECT_EQ(notInstalled.iPhotoSupportedVersion(), u"9.0"_s);
}

TEST(RQiPhotoLibraryTest, ReadsTheLibraryFoldersOfTheRecentList)
{
    TemporaryFolder folder;
    const QString library = folder.makeFolder(u"My Pictures/iPhoto Library"_s);
    const QString other = folder.makeFolder(u"Other Library"_s);
    const QString escapedAlbumData = QUrl::fromLocalFile(library + u"/AlbumData.xml"_s).toString(QUrl::FullyEncoded);
    ASSERT_TRUE(escapedAlbumData.contains("My%20Pictures"_L1));
    const QString list = folder.writeFile(
        u"iApps.plist"_s,
        recentList(urlArray({escapedAlbumData, u"not a url"_s,
                              QUrl::fromLocalFile(other + u"/"_s).toString(QUrl::FullyEncoded)})));

    LogCapture log;
    const RQiPhotoLibrary iPhoto(ApplicationRegistry(), list);
    EXPECT_EQ(iPhoto.libraryPaths(), (QStringList{library, other + u"/"_s}));
    EXPECT_EQ(log.lines(), QStringList{u"Could not convert not a url to a path string"_s});

    const struct {
        QString path;
        bool inLibrary;
    } cases[] = {
        {library, true},
        {library + u"/"_s, true},
        {library + u"/Masters/2010/a.jpg"_s, true},
        {other + u"/Originals/b.jpg"_s, true},
        {library + u" Backup/Masters/a.jpg"_s, false},
        {library + u"2"_s, false},
        {folder.path() + u"/My Pictures"_s, false},
    };
    for (const auto &testCase : cases)
        EXPECT_EQ(iPhoto.pathIsPhotoLibrary(testCase.path), testCase.inLibrary) << testCase.path.toStdString();
}

TEST(RQiPhotoLibraryTest, MalformedRecentListsAreLoggedAndGiveNoLibraries)
{
    const QByteArray good = recentList(urlArray({u"file:///data/iPhoto%20Library/"_s}));
    const struct {
        QByteArray content;
        QStringList log;
    } cases[] = {
        {"not a property list", {u"iPhoto property list is invalid"_s}},
        {QByteArray(), {u"iPhoto property list is invalid"_s}},
        {good.left(good.size() - 20), {u"iPhoto property list is invalid"_s}},
        {R"(<plist version="1.0"><array><string>file:///data/</string></array></plist>)",
         {u"iPhoto property list is invalid"_s}},
        {R"(<plist version="1.0"><dict><key>Other</key><array/></dict></plist>)",
         {u"iPhoto property list is invalid"_s}},
        {recentList("<string>file:///data/iPhoto%20Library/</string>"), {u"iPhoto property list is invalid"_s}},
        {recentList("<array><integer>7</integer><dict/><string></string><string>relative/Library</string>"
                    "<string>file:///a%00b/</string></array>"),
         {u"Could not convert 7 to a path string"_s, u"Could not convert QVariantMap to a path string"_s,
          u"Could not convert  to a path string"_s, u"Could not convert relative/Library to a path string"_s,
          u"Could not convert file:///a%00b/ to a path string"_s}},
    };
    TemporaryFolder folder;
    for (const auto &testCase : cases) {
        const QString list = folder.writeFile(u"iApps.plist"_s, testCase.content);
        LogCapture log;
        const RQiPhotoLibrary iPhoto(ApplicationRegistry(), list);
        EXPECT_TRUE(iPhoto.libraryPaths().isEmpty()) << testCase.content.toStdString();
        EXPECT_EQ(log.lines(), testCase.log) << testCase.content.toStdString();
        EXPECT_FALSE(iPhoto.pathIsPhotoLibrary(u"/data/iPhoto Library/a.jpg"_s));
    }

    const QString absent = folder.filePath(u"absent.plist"_s);
    LogCapture log;
    const RQiPhotoLibrary iPhoto(ApplicationRegistry(), absent);
    EXPECT_TRUE(iPhoto.libraryPaths().isEmpty());
    EXPECT_EQ(log.lines(), QStringList{u"Could not load data for file: "_s + absent});
}

TEST(RQiPhotoLibraryTest, ReadsTheListOfHome)
{
    // HOME may name another folder than the account's (as a test's private home does): the
    // per-user list is the one there.
    const QByteArray savedHome = qgetenv("HOME");
    TemporaryFolder elsewhere;
    const QString list = elsewhere.writeFile(u"Library/Preferences/com.apple.iApps.plist"_s,
                                             recentList(urlArray({u"file:///photos/Lib.photolibrary/"_s})));
    qputenv("HOME", elsewhere.path().toUtf8());
    const RQiPhotoLibrary iPhoto;
    qputenv("HOME", savedHome);
    EXPECT_EQ(iPhoto.plistPath(), list);
    EXPECT_NE(elsewhere.path(), UserAccount::homeDirectory());
    EXPECT_EQ(iPhoto.libraryPaths(), QStringList{u"/photos/Lib.photolibrary/"_s});
    EXPECT_FALSE(iPhoto.iPhotoVersionIsSupported());

    RQiPhotoLibrary &shared = RQiPhotoLibrary::sharedInstance();
    EXPECT_EQ(&shared, &RQiPhotoLibrary::sharedInstance());
    EXPECT_EQ(shared.plistPath(), QDir::homePath() + u"/Library/Preferences/com.apple.iApps.plist"_s);
    EXPECT_FALSE(shared.iPhotoVersionIsSupported());
    EXPECT_TRUE(shared.iPhotoVersion().isNull());
}
