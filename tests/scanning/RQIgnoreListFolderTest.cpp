#include "scanning/RQIgnoreListFolder.h"

#include "scanning/RQIgnoreList.h"
#include "support/TemporaryFolder.h"

#include <gtest/gtest.h>

using namespace Qt::StringLiterals;

// The walk asks per folder and per name what the list answers for a whole path: every folder
// and name of the table, as a file and as a folder, must get the whole path's answers.
TEST(RQIgnoreListFolderTest, AnswersAsTheListDoesForTheWholePath)
{
    TemporaryFolder folder;
    auto list = RQIgnoreList::ignoreList();
    list->loadSystemPaths(folder.writeFile(u"list.plist"_s, R"(<?xml version="1.0" encoding="UTF-8"?>
<plist version="1.0"><dict>
  <key>SystemPaths</key>
  <array><string>/sys/</string><string>/a/b/sysfile</string><string>/data/skip/deep/</string></array>
  <key>AllowedPaths</key>
  <array><string>/sys/mine</string><string>/a/b/</string><string>/data/one/file.txt</string></array>
</dict></plist>)"_ba));
    list->setIgnoredPaths({u"/data/skip/"_s, u"/data/other"_s, u"/data/one/file.txt"_s, u"/data/two/x"_s,
                           u"/data//double/"_s, u"/data/end//"_s, u"relative"_s});
    list->setIgnoredExtensions({u"zip"_s});

    const QStringList folders = {u"/"_s,           u"/sys/"_s,   u"/sys/mine/"_s, u"/sys/minerals/"_s,
                                 u"/data/"_s,      u"/data/skip/"_s, u"/data/one/"_s, u"/data/two/"_s,
                                 u"/data/b.zip/"_s, u"/a/"_s,    u"/a/b/"_s,      u"/data/end/"_s};
    const QStringList names = {u"sys"_s,  u"mine"_s,     u"minerals"_s, u"skip"_s,   u"skipper"_s, u"other"_s,
                               u"file.txt"_s, u"a.ZIP"_s, u"x"_s,       u"sysfile"_s, u"deep"_s,    u"double"_s,
                               u"end"_s,  u"data"_s,     u"relative"_s, u"b"_s};
    for (const QString &folderPath : folders) {
        const RQIgnoreListFolder answers(*list, folderPath);
        for (const QString &name : names) {
            for (const QString &path : QStringList {folderPath + name, folderPath + name + u'/'}) {
                EXPECT_EQ(answers.entryIsChildOfSystemPath(name), list->pathIsChildOfSystemPath(path))
                    << path.toStdString();
                EXPECT_EQ(answers.entryIsIgnored(name), list->filePathIsIgnored(path)) << path.toStdString();
            }
        }
    }

    // The table holds both answers of each question.
    EXPECT_FALSE(RQIgnoreListFolder(*list, u"/a/b/"_s).entryIsChildOfSystemPath(u"sysfile"_s));
    EXPECT_TRUE(RQIgnoreListFolder(*list, u"/data/skip/"_s).entryIsChildOfSystemPath(u"deep"_s));
    EXPECT_TRUE(RQIgnoreListFolder(*list, u"/sys/"_s).entryIsChildOfSystemPath(u"minerals"_s));
    EXPECT_FALSE(RQIgnoreListFolder(*list, u"/sys/"_s).entryIsChildOfSystemPath(u"mine"_s));
    EXPECT_TRUE(RQIgnoreListFolder(*list, u"/data/two/"_s).entryIsIgnored(u"x"_s));
    EXPECT_FALSE(RQIgnoreListFolder(*list, u"/data/two/"_s).entryIsIgnored(u"y"_s));
    EXPECT_TRUE(RQIgnoreListFolder(*list, u"/data/b.zip/"_s).entryIsIgnored(u"y"_s));
    EXPECT_FALSE(RQIgnoreListFolder(*list, u"/data/one/"_s).entryIsIgnored(u"file.txt"_s));
}
