#include "scanning/RQIgnoreList.h"

#include "platform/PropertyList.h"
#include "scanning/RQFile.h"
#include "support/LogCapture.h"
#include "support/TemporaryFolder.h"

#include <gtest/gtest.h>

#include <QFile>
#include <QVariantList>

#include <sys/xattr.h>

#include <cerrno>

using namespace Qt::StringLiterals;

namespace {

QByteArray listWith(const QByteArray &body)
{
    return R"(<?xml version="1.0" encoding="UTF-8"?><plist version="1.0">)" + body + "</plist>";
}

QByteArray stringArray(const QStringList &entries)
{
    QByteArray array = "<array>";
    for (const QString &entry : entries)
        array += "<string>" + entry.toUtf8() + "</string>";
    return array + "</array>";
}

std::unique_ptr<RQIgnoreList> listFromFixture(const TemporaryFolder &folder, const QByteArray &content)
{
    auto list = RQIgnoreList::ignoreList();
    list->loadSystemPaths(folder.writeFile(u"list.plist"_s, content));
    return list;
}

QString home()
{
    return RQIgnoreList::actualHomeDirectory();
}

} // namespace

class ShippedIgnoreListTest : public ::testing::TestWithParam<const char *>
{
};

TEST_P(ShippedIgnoreListTest, HoldsTheSystemFoldersAndLeavesUserFoldersAlone)
{
    auto list = RQIgnoreList::ignoreList();
    LogCapture log;
    list->loadSystemPaths(QString::fromLatin1(GetParam()));
    EXPECT_FALSE(log.contains(u"Ignore list is invalid"_s));

    const QStringList required = {
        u"/proc/"_s, u"/sys/"_s, u"/dev/"_s, u"/run/"_s, u"/boot/"_s, u"/usr/"_s, u"/bin/"_s,
        u"/sbin/"_s, u"/lib/"_s, u"/lib32/"_s, u"/lib64/"_s, u"/libx32/"_s, u"/etc/"_s,
        u"/var/lib/"_s, u"/var/cache/"_s, u"/snap/"_s, u"/lost+found/"_s,
        home() + u"/.local/share/Trash/"_s,
    };
    for (const QString &folder : required)
        EXPECT_TRUE(list->systemPaths().contains(folder)) << folder.toStdString();
    for (const QString &path : list->systemPaths() + list->allowedPaths())
        EXPECT_TRUE(path.endsWith(u'/') && !path.endsWith("//"_L1)) << path.toStdString();

    EXPECT_TRUE(list->pathIsChildOfSystemPath(u"/usr/share/doc/readme"_s));
    EXPECT_TRUE(list->pathIsChildOfSystemPath(u"/proc"_s));
    EXPECT_FALSE(list->pathIsChildOfSystemPath(u"/tmp/scan/a.txt"_s));
    EXPECT_FALSE(list->pathIsChildOfSystemPath(home() + u"/Pictures/a.jpg"_s));
    EXPECT_FALSE(list->pathIsChildOfSystemPath(u"/run/media/someone/Stick/a.jpg"_s));
    EXPECT_FALSE(list->pathIsChildOfSystemPath(u"/usrdata/a.txt"_s));
}

TEST_P(ShippedIgnoreListTest, HasAnEmptyListOfDefaultIgnoredFolders)
{
    const auto root = PropertyList::fromFile(QString::fromLatin1(GetParam()));
    ASSERT_TRUE(root.has_value());
    const QVariant preferences = root->toMap().value(u"Preferences"_s);
    EXPECT_EQ(preferences.typeId(), QMetaType::QVariantList);
    EXPECT_TRUE(preferences.toList().isEmpty());
}

INSTANTIATE_TEST_SUITE_P(BothLists, ShippedIgnoreListTest,
                         ::testing::Values(":/plists/IgnoreList.plist", ":/plists/IgnoreList-Catalina.plist"));

TEST(RQIgnoreListTest, TheFactoryLoadsTheShippedList)
{
    const auto list = RQIgnoreList::ignoreList();
    EXPECT_TRUE(list->pathIsChildOfSystemPath(u"/etc/passwd"_s));
    EXPECT_TRUE(list->pathHasAllowedOverride(u"/run/media/someone/"_s));
}

TEST(RQIgnoreListTest, ExpandsTheHomeFolderWithOneTrailingSlash)
{
    ASSERT_FALSE(home().isEmpty());
    const QString homeFolder = home().endsWith(u'/') ? home().chopped(1) : home();
    const struct {
        QString entry;
        QString expected;
    } cases[] = {
        {u"~/Library/"_s, homeFolder + u"/Library/"_s},
        {u"~/Library"_s, homeFolder + u"/Library/"_s},
        {u"~/Library//"_s, homeFolder + u"/Library/"_s},
        {u"~"_s, homeFolder + u"/"_s},
        {u"~/"_s, homeFolder + u"/"_s},
        {u"/opt/tools"_s, u"/opt/tools/"_s},
        {u"/var/lib/"_s, u"/var/lib/"_s},
    };
    TemporaryFolder folder;
    for (const auto &testCase : cases) {
        const auto list = listFromFixture(folder, listWith("<dict><key>SystemPaths</key>"
                                                           + stringArray({testCase.entry}) + "</dict>"));
        EXPECT_EQ(list->systemPaths(), QStringList{testCase.expected}) << testCase.entry.toStdString();
        EXPECT_TRUE(list->allowedPaths().isEmpty());
    }
}

TEST(RQIgnoreListTest, AllowedFoldersWinOverSystemAndIgnoredFolders)
{
    TemporaryFolder folder;
    auto list = listFromFixture(folder, listWith("<dict><key>SystemPaths</key>" + stringArray({u"/sys-root/"_s})
                                                 + "<key>AllowedPaths</key>" + stringArray({u"/sys-root/mine"_s})
                                                 + "</dict>"));
    list->setIgnoredPaths({u"/sys-root/mine/skip/"_s, u"/data/skip/"_s});
    list->setIgnoredExtensions({u"zip"_s});
    const struct {
        QString path;
        bool system;
        bool ignored;
    } cases[] = {
        {u"/sys-root/a.txt"_s, true, false},
        {u"/sys-root"_s, true, false},
        {u"/sys-root/mine"_s, false, false},
        {u"/sys-root/mine/a.txt"_s, false, false},
        {u"/sys-root/mine/skip/a.txt"_s, false, false},
        {u"/sys-root/mine/b.zip"_s, false, false},
        {u"/sys-root/minerals/a.txt"_s, true, false},
        {u"/data/skip/a.txt"_s, false, true},
    };
    for (const auto &testCase : cases) {
        EXPECT_EQ(list->pathIsChildOfSystemPath(testCase.path), testCase.system) << testCase.path.toStdString();
        EXPECT_EQ(list->filePathIsIgnored(testCase.path), testCase.ignored) << testCase.path.toStdString();
    }
}

TEST(RQIgnoreListTest, IgnoresTheUsersFoldersAndExtensions)
{
    auto list = RQIgnoreList::ignoreList();
    list->setIgnoredPaths({u"/data/skip/"_s, u"/data/other"_s});
    list->setIgnoredExtensions({u"zip"_s, u"tmp"_s});
    const struct {
        QString path;
        bool ignored;
    } cases[] = {
        {u"/data/skip"_s, true},
        {u"/data/skip/"_s, true},
        {u"/data/skip/deep/a.txt"_s, true},
        {u"/data/other/a.txt"_s, true},
        {u"/data/skipper/a.txt"_s, false},
        {u"/data/a.ZIP"_s, true},
        {u"/data/b.zip/inner.txt"_s, true},
        {u"/data/c.Zip/deep/inner.txt"_s, true},
        {u"/data/a.zip.txt"_s, false},
        {u"/data/zip"_s, false},
        {u"/data/.zip"_s, false},
        {u"/data/a.txt"_s, false},
    };
    for (const auto &testCase : cases)
        EXPECT_EQ(list->filePathIsIgnored(testCase.path), testCase.ignored) << testCase.path.toStdString();
    EXPECT_TRUE(list->fileIsIgnored(*RQFile::fileWithPath(u"/data/archive.zip"_s)));
}

TEST(RQIgnoreListTest, MalformedListsAreLoggedAndLeaveNoFolders)
{
    const QByteArray system = "<key>SystemPaths</key>" + stringArray({u"/s/"_s});
    const QByteArray cases[] = {
        "not a property list",
        listWith("<dict>" + system).left(60),
        listWith("<dict>" + system),
        listWith(stringArray({u"/s/"_s})),
        listWith("<dict><key>Other</key>" + stringArray({u"/s/"_s}) + "</dict>"),
        listWith("<dict><key>SystemPaths</key><string>/s/</string></dict>"),
        listWith("<dict><key>SystemPaths</key><array><string>/s/</string><integer>1</integer></array></dict>"),
        listWith("<dict>" + system + "<key>AllowedPaths</key><dict/></dict>"),
        listWith("<dict>" + system + "<key>AllowedPaths</key><array><true/></array></dict>"),
        QByteArray(),
    };
    TemporaryFolder folder;
    for (const QByteArray &content : cases) {
        LogCapture log;
        const auto list = listFromFixture(folder, content);
        EXPECT_TRUE(log.contains(u"Ignore list is invalid"_s)) << content.toStdString();
        EXPECT_TRUE(list->systemPaths().isEmpty()) << content.toStdString();
        EXPECT_TRUE(list->allowedPaths().isEmpty()) << content.toStdString();
        EXPECT_FALSE(list->pathIsChildOfSystemPath(u"/s/a"_s));
    }
}

TEST(RQIgnoreListTest, AMissingListLeavesNoFoldersSilently)
{
    TemporaryFolder folder;
    auto list = RQIgnoreList::ignoreList();
    LogCapture log;
    list->loadSystemPaths(folder.filePath(u"absent.plist"_s));
    EXPECT_TRUE(log.lines().isEmpty());
    EXPECT_TRUE(list->systemPaths().isEmpty());
    EXPECT_FALSE(list->pathIsChildOfSystemPath(u"/usr/bin/env"_s));
}

TEST(RQIgnoreListTest, RecognisesBackupAttributesInAnyCaseAndWithDiacritics)
{
    const auto list = RQIgnoreList::ignoreList();
    const struct {
        QString name;
        bool backup;
    } cases[] = {
        {u"com.apple.backupd"_s, true},
        {u"com.apple.backupd.SnapshotVolumeUUID"_s, true},
        {u"COM.APPLE.BACKUPD.SNAPSHOTTYPE"_s, true},
        {u"com.apple.metadata:_kTimeMachineNewestSnapshot"_s, true},
        {u"COM.APPLE.METADATA:_KTIMEMACHINEOLDESTSNAPSHOT"_s, true},
        {u"cöm.äpple.backupd"_s, true},
        {u"com.apple.backup"_s, false},
        {u"x.com.apple.backupd"_s, false},
        {u"com.apple.metadata:_kMDItemUserTags"_s, false},
    };
    for (const auto &testCase : cases) {
        const QVariantMap attributes = {
            {u"NSFileExtendedAttributes"_s, QVariantMap{{u"other"_s, QByteArray("1")}, {testCase.name, QByteArray()}}}};
        EXPECT_EQ(list->pathIsTimeMachineBackup(u"/x"_s, attributes), testCase.backup) << testCase.name.toStdString();
    }
    EXPECT_FALSE(list->pathIsTimeMachineBackup(u"/x"_s, QVariantMap()));
    EXPECT_FALSE(list->pathIsTimeMachineBackup(
        u"/x"_s, {{u"NSFileExtendedAttributes"_s, u"com.apple.backupd"_s}}));
}

TEST(RQIgnoreListTest, ReadsBackupAttributesFromTheItem)
{
    TemporaryFolder folder;
    const QString marked = folder.makeFolder(u"Backups.backupdb"_s);
    const QString plain = folder.writeFile(u"plain.txt"_s, "x");
    const QByteArray name = "user.COM.APPLE.BACKUPD.SnapshotType";
    if (setxattr(QFile::encodeName(marked).constData(), name.constData(), "1", 1, 0) != 0) {
        if (errno == ENOTSUP)
            GTEST_SKIP() << "the temporary folder's file system has no user attributes";
        FAIL() << "setxattr failed";
    }
    const auto list = RQIgnoreList::ignoreList();
    EXPECT_TRUE(list->pathIsTimeMachineBackup(marked));
    EXPECT_FALSE(list->pathIsTimeMachineBackup(plain));
    EXPECT_FALSE(list->pathIsTimeMachineBackup(folder.filePath(u"absent"_s)));
}
