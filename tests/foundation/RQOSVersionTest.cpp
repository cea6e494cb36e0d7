#include "foundation/RQOSVersion.h"

#include "platform/SystemVersion.h"

#include <gtest/gtest.h>

TEST(RQOSVersionTest, LinuxCountsAsACurrentSystem)
{
    EXPECT_TRUE(rq_isOperatingSystemAtLeast10_9());
    EXPECT_TRUE(rq_isOperatingSystemAtLeast10_10());
    EXPECT_TRUE(rq_isOperatingSystemAtLeast10_10_3());
    EXPECT_TRUE(rq_isOperatingSystemAtLeast10_15());
}

TEST(RQOSVersionTest, ThresholdIsInclusive)
{
    const double running = coreFoundationVersionNumber();
    EXPECT_TRUE(rq_isOperatingSystemAtLeastVersion(running));
    EXPECT_TRUE(rq_isOperatingSystemAtLeastVersion(running - 0.01));
    EXPECT_FALSE(rq_isOperatingSystemAtLeastVersion(running + 0.01));
}
