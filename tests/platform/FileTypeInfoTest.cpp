#include "platform/FileTypeInfo.h"

#include <gtest/gtest.h>

#include <thread>

using namespace Qt::StringLiterals;

TEST(FileTypeInfoTest, NamesAndExtensions)
{
    struct Case
    {
        QString path;
        QString name;
        QString extension;
    };
    const Case cases[] = {
        {u"/a/b.tar.gz"_s, u"b.tar.gz"_s, u"gz"_s}, {u"/a/Tool.app/"_s, u"Tool.app"_s, u"app"_s},
        {u"/a/b//"_s, u"b"_s, QString()},           {u"/"_s, u"/"_s, QString()},
        {u"//"_s, u"/"_s, QString()},               {u"/a/.hidden"_s, u".hidden"_s, QString()},
        {u"/a.d/plain"_s, u"plain"_s, QString()},   {u"name."_s, u"name."_s, QString()},
        {u"photo.JPG"_s, u"photo.JPG"_s, u"JPG"_s}, {QString(), QString(), QString()},
    };
    for (const auto &entry : cases) {
        EXPECT_EQ(FileTypeInfo::displayName(entry.path), entry.name) << entry.path.toStdString();
        EXPECT_EQ(FileTypeInfo::extension(entry.path), entry.extension) << entry.path.toStdString();
        EXPECT_EQ(FileTypeInfo::extensionView(entry.path), entry.extension) << entry.path.toStdString();
    }
}

TEST(FileTypeInfoTest, ExtensionTypeIsTheFirstConformingCategory)
{
    using Category = FileTypeInfo::Category;
    const QString extensions[] = {u"jpg"_s, u"PNG"_s, u"mp4"_s, u"txt"_s, u"pdf"_s, u"mp3"_s,
                                  u"zip"_s, u"gz"_s,  u"docx"_s, u"qqqunknown"_s, QString()};
    const Category order[] = {Category::Image, Category::Video, Category::Text, Category::Audio, Category::Archive};
    for (const QString &extension : extensions) {
        const FileTypeInfo::ExtensionType type = FileTypeInfo::typeForExtension(extension);
        EXPECT_EQ(type.typeIdentifier, FileTypeInfo::typeIdentifierForExtension(extension)) << extension.toStdString();
        std::optional<Category> first;
        for (const Category category : order) {
            if (!first && FileTypeInfo::conformsTo(type.typeIdentifier, category))
                first = category;
        }
        EXPECT_EQ(type.category, first) << extension.toStdString();
        // Each thread keeps answers of its own; they must be the same answers.
        FileTypeInfo::ExtensionType elsewhere;
        std::thread([&] { elsewhere = FileTypeInfo::typeForExtension(extension); }).join();
        EXPECT_EQ(elsewhere.typeIdentifier, type.typeIdentifier) << extension.toStdString();
        EXPECT_EQ(elsewhere.category, type.category) << extension.toStdString();
    }
    EXPECT_EQ(FileTypeInfo::typeForExtension(u"jpg"_s).category, Category::Image);
    EXPECT_EQ(FileTypeInfo::typeForExtension(u"docx"_s).category, std::nullopt);
}
