#include "platform/FileTypeInfo.h"
#include "scanning/RQContentType.h"
#include "scanning/RQFile.h"

#include <gtest/gtest.h>

#include <thread>

using namespace Qt::StringLiterals;

TEST(RQContentTypeTest, FilesTakeTheTypeOfTheirExtensionExceptPdf)
{
    for (const QString &extension : {u"jpg"_s, u"JPG"_s, u"txt"_s, u"PDF"_s, u"qqqunknown"_s, QString()}) {
        const RQContentType &type = RQContentType::forFile(extension);
        EXPECT_EQ(type.typeIdentifier(), FileTypeInfo::typeIdentifierForExtension(extension))
            << extension.toStdString();
    }
    EXPECT_TRUE(RQContentType::forFile(u"pdf"_s).typeIdentifier().isEmpty());
    EXPECT_EQ(RQContentType::forFile(u"pdf"_s).code(), RQFile::Document);
    EXPECT_TRUE(RQContentType::forFolder(u"jpg"_s).typeIdentifier().isEmpty());
    EXPECT_EQ(RQContentType::forFolder(u"jpg"_s).code(), RQFile::Other);
    EXPECT_EQ(RQContentType::forFolder(u"app"_s).code(), RQFile::Application);
}

TEST(RQContentTypeTest, OneTypePerIdentifierForEveryThread)
{
    const RQContentType *here = &RQContentType::forFile(u"mp3"_s);
    EXPECT_EQ(&RQContentType::forFile(u"mp3"_s), here);
    EXPECT_EQ(&RQContentType::forFile(u"jpeg"_s), &RQContentType::forFile(u"jpg"_s)) << "one type, two extensions";
    EXPECT_NE(&RQContentType::forFile(u"txt"_s), here);
    for (const RQContentType *type : {here, &RQContentType::forFile(u"txt"_s), &RQContentType::forFolder(u"app"_s)})
        EXPECT_EQ(&RQContentType::withIndex(type->index()), type);
    const RQContentType *elsewhere = nullptr;
    std::thread([&elsewhere] { elsewhere = &RQContentType::forFile(u"mp3"_s); }).join();
    EXPECT_EQ(elsewhere, here);
    // Items share it, and outlive the thread that met the extension first.
    const RQContentType *fromThread = nullptr;
    std::thread([&fromThread] { fromThread = &RQContentType::forFile(u"flac"_s); }).join();
    EXPECT_EQ(&RQContentType::forFile(u"flac"_s), fromThread);
    EXPECT_EQ(fromThread->code(), RQFile::Audio);
}
