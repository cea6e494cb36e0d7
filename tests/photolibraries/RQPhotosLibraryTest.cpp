#include "photolibraries/RQPhotosLibrary.h"

#include "InstalledApplication.h"
#include "platform/ApplicationRegistry.h"
#include "scanning/RQDirectory.h"
#include "support/LogCapture.h"

#include <gtest/gtest.h>

using namespace Qt::StringLiterals;

TEST(RQPhotosLibraryTest, ChecksTheVersionAgainstBothBounds)
{
    const struct {
        std::optional<QString> version;
        bool supported;
        QString logLine;
    } cases[] = {
        {u"1.0"_s, true, QString()},
        {u"5.0"_s, true, QString()},
        {u"10.0"_s, true, QString()},
        {u"9223372036854775807"_s, true, QString()},
        {u"0.9"_s, false, u"Photos version 0.9 is not supported. Min version is: 1.0"_s},
        {u"9223372036854775808"_s, false,
         u"Photos version 9223372036854775808 is not supported. Max version is: 9223372036854775807"_s},
        {std::nullopt, true, QString()},
    };
    for (const auto &testCase : cases) {
        const std::string label = testCase.version.value_or(u"(none)"_s).toStdString();
        LogCapture log;
        const RQPhotosLibrary library(registryWithApplication(u"com.apple.Photos"_s, testCase.version));
        EXPECT_EQ(library.currentVersionIsSupported(), testCase.supported) << label;
        EXPECT_EQ(library.currentVersion(), testCase.version.value_or(QString())) << label;
        EXPECT_EQ(library.currentVersion().isNull(), !testCase.version.has_value()) << label;
        EXPECT_EQ(log.lines(), testCase.logLine.isNull() ? QStringList() : QStringList{testCase.logLine}) << label;
    }
}

TEST(RQPhotosLibraryTest, RecognisesLibrariesByTheirExactExtension)
{
    const RQPhotosLibrary supported(registryWithApplication(u"com.apple.Photos"_s, u"5.0"_s));
    const RQPhotosLibrary unsupported(registryWithApplication(u"com.apple.Photos"_s, u"0.9"_s));
    const RQPhotosLibrary notInstalled{ApplicationRegistry()};
    const struct {
        QString path;
        bool library;
    } cases[] = {
        {u"/data/Family.photoslibrary"_s, true},
        {u"/data/Family.photoslibrary/"_s, true},
        {u"relative/Family.photoslibrary"_s, true},
        {u"/data/Family.PhotosLibrary"_s, false},
        {u"/data/Family.PHOTOSLIBRARY/"_s, false},
        {u"/data/Family"_s, false},
        {u"/data/photoslibrary"_s, false},
        {u"/data/Family.photoslibrary/originals"_s, false},
        {u"/data/Family.photoslibrary.bak"_s, false},
    };
    for (const auto &testCase : cases) {
        EXPECT_EQ(supported.pathIsPhotoLibrary(testCase.path), testCase.library) << testCase.path.toStdString();
        EXPECT_FALSE(unsupported.pathIsPhotoLibrary(testCase.path)) << testCase.path.toStdString();
        EXPECT_FALSE(notInstalled.pathIsPhotoLibrary(testCase.path)) << testCase.path.toStdString();
    }
    EXPECT_FALSE(notInstalled.currentVersionIsSupported());
    EXPECT_TRUE(notInstalled.currentVersion().isNull());
}

TEST(RQPhotosLibraryTest, TheSharedObjectSeesNoPhotosOnThisSystem)
{
    RQPhotosLibrary &shared = RQPhotosLibrary::sharedInstance();
    EXPECT_EQ(&shared, &RQPhotosLibrary::sharedInstance());
    EXPECT_FALSE(shared.currentVersionIsSupported());
    EXPECT_TRUE(shared.currentVersion().isNull());
    EXPECT_EQ(shared.minVersionSupported(), u"1.0"_s);
    EXPECT_EQ(shared.maxVersionSupported(), u"9223372036854775807"_s);
    EXPECT_FALSE(RQDirectory::fileWithPath(u"/data/Family.photoslibrary"_s)->isPhotosLibrary());
}

TEST(RQPhotosLibraryTest, ResetForgetsTheCurrentLibraryAndTheRemovedCount)
{
    RQPhotosLibrary library(registryWithApplication(u"com.apple.Photos"_s, u"5.0"_s));
    library.setCurrentLibraryPath(u"/data/Family.photoslibrary"_s);
    library.setPhotosFilesRemoved(3);
    library.setHasPhotosFilesSelected(true);
    library.reset();
    EXPECT_TRUE(library.currentLibraryPath().isNull());
    EXPECT_EQ(library.photosFilesRemoved(), 0u);
    EXPECT_TRUE(library.hasPhotosFilesSelected());
}
