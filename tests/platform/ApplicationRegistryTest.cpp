#include "platform/ApplicationRegistry.h"

#include <gtest/gtest.h>

using namespace Qt::StringLiterals;

TEST(ApplicationRegistryTest, TheSystemHasNeitherPhotoApplication)
{
    EXPECT_FALSE(ApplicationRegistry::system().applicationWithBundleIdentifier(u"com.apple.Photos"_s));
    EXPECT_FALSE(ApplicationRegistry::system().applicationWithBundleIdentifier(u"com.apple.iPhoto"_s));
}

TEST(ApplicationRegistryTest, AnswersTheVersionsPutIn)
{
    ApplicationRegistry registry;
    registry.addApplication(u"com.example.Viewer"_s, u"2.1"_s);
    registry.addApplication(u"com.example.Bare"_s, std::nullopt);

    const auto viewer = registry.applicationWithBundleIdentifier(u"com.example.Viewer"_s);
    ASSERT_TRUE(viewer.has_value());
    EXPECT_EQ(viewer->shortVersionString, std::optional<QString>(u"2.1"_s));
    const auto bare = registry.applicationWithBundleIdentifier(u"com.example.Bare"_s);
    ASSERT_TRUE(bare.has_value());
    EXPECT_FALSE(bare->shortVersionString.has_value());
    EXPECT_FALSE(registry.applicationWithBundleIdentifier(u"com.example.viewer"_s));
}
