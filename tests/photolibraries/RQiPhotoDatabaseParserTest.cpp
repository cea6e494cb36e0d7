#include "photolibraries/RQiPhotoDatabaseParser.h"

#include "scanning/RQFile.h"
#include "support/LogCapture.h"
#include "support/TemporaryFolder.h"

#include <gtest/gtest.h>

#include <QFileInfo>

using namespace Qt::StringLiterals;

namespace {

QByteArray albumData(const QByteArray &masters)
{
    return R"(<?xml version="1.0" encoding="UTF-8"?><plist version="1.0"><dict>)"
           "<key>Application Version</key><string>9.6.1</string>"
           "<key>Master Image List</key>" + masters + "</dict></plist>";
}

QByteArray image(const QString &key, const QString &path)
{
    return "<key>" + key.toUtf8() + "</key><dict><key>ImagePath</key><string>" + path.toUtf8()
           + "</string><key>Caption</key><string>x</string></dict>";
}

QStringList pathsOf(const std::vector<std::shared_ptr<RQFile>> &items)
{
    QStringList paths;
    for (const auto &item : items)
        paths.append(item->path());
    return paths;
}

} // namespace

TEST(RQiPhotoDatabaseParserTest, MakesOneItemPerDistinctImagePath)
{
    TemporaryFolder folder;
    const QString first = folder.writeFile(u"Library/Masters/2010/first.jpg"_s, "12345");
    const QString second = folder.writeFile(u"Library/Masters/2010/second image.jpg"_s, "123");
    const QString missing = folder.filePath(u"Library/Masters/2010/gone.jpg"_s);
    const QString albumPath = folder.writeFile(
        u"Library/AlbumData.xml"_s,
        albumData("<dict>" + image(u"1"_s, first) + image(u"2"_s, second) + image(u"3"_s, first)
                  + image(u"4"_s, missing) + "<key>5</key><dict><key>Caption</key><string>none</string></dict>"
                  + "</dict>"));

    const RQiPhotoDatabaseParser parser(albumPath);
    ASSERT_TRUE(parser.imagePaths().has_value());
    const auto &items = *parser.imagePaths();
    EXPECT_EQ(pathsOf(items), (QStringList{first, second, missing}));

    EXPECT_DOUBLE_EQ(items.at(0)->fileSize(), 5);
    EXPECT_EQ(items.at(0)->fileURL().toLocalFile(), first);
    EXPECT_EQ(items.at(0)->modificationDate(), QFileInfo(first).lastModified());
    EXPECT_TRUE(items.at(0)->modificationDate().isValid());
    EXPECT_EQ(items.at(1)->fileName(), u"second image.jpg"_s);
    EXPECT_DOUBLE_EQ(items.at(1)->fileSize(), 3);
    EXPECT_DOUBLE_EQ(items.at(2)->fileSize(), 0);
    EXPECT_FALSE(items.at(2)->creationDate().isValid());
    EXPECT_FALSE(items.at(2)->modificationDate().isValid());
    for (const auto &item : items)
        EXPECT_FALSE(item->parent());
}

TEST(RQiPhotoDatabaseParserTest, AnUnreadableFileGivesNoList)
{
    TemporaryFolder folder;
    LogCapture log;
    EXPECT_FALSE(RQiPhotoDatabaseParser(folder.filePath(u"AlbumData.xml"_s)).imagePaths().has_value());
    EXPECT_FALSE(RQiPhotoDatabaseParser(folder.makeFolder(u"Library"_s)).imagePaths().has_value());
    EXPECT_TRUE(log.lines().isEmpty());
}

TEST(RQiPhotoDatabaseParserTest, MalformedAlbumDataGivesOnlyTheWellFormedImages)
{
    TemporaryFolder folder;
    const QString kept = folder.writeFile(u"kept.jpg"_s, "1");
    const QByteArray whole = albumData("<dict>" + image(u"1"_s, kept) + "</dict>");
    const struct {
        QByteArray content;
        QStringList expected;
    } cases[] = {
        {"not a property list", {}},
        {QByteArray(), {}},
        {whole.left(whole.size() - 30), {}},
        {R"(<plist version="1.0"><array><string>x</string></array></plist>)", {}},
        {albumData("<array>" + image(u"1"_s, kept) + "</array>"), {}},
        {albumData("<string>x</string>"), {}},
        {R"(<plist version="1.0"><dict><key>Other</key><dict/></dict></plist>)", {}},
        {albumData("<dict><key>1</key><string>" + kept.toUtf8() + "</string>" + image(u"2"_s, kept) + "</dict>"),
         {kept}},
        {albumData("<dict><key>1</key><dict><key>ImagePath</key><integer>4</integer></dict>"
                   + image(u"2"_s, u"relative/kept.jpg"_s) + image(u"3"_s, QString()) + image(u"4"_s, kept)
                   + "</dict>"),
         {kept}},
    };
    for (const auto &testCase : cases) {
        const RQiPhotoDatabaseParser parser(folder.writeFile(u"AlbumData.xml"_s, testCase.content));
        ASSERT_TRUE(parser.imagePaths().has_value()) << testCase.content.toStdString();
        EXPECT_EQ(pathsOf(*parser.imagePaths()), testCase.expected) << testCase.content.toStdString();
    }
}
