#include "controls/AppColors.h"
#include "controls/ColorUtilities.h"
#include "controls/SplitViewColors.h"

#include <gtest/gtest.h>

namespace {

TEST(ColorUtilitiesTest, easyHueSaturationAndBrightness)
{
    struct Case
    {
        double hue, saturation, brightness, alpha;
        QColor expected;
    };
    const Case cases[] = {
        {0, 0, 59, 1, QColor(150, 150, 150)},
        {360, 100, 100, 1, QColor(255, 0, 0)},
        {120, 100, 50, 1, QColor(0, 128, 0)},
        {223, 6, 97, 0.5, QColor::fromRgbF(0.9118f, 0.9288f, 0.97f, 0.5f)},
    };
    for (const Case &c : cases) {
        const QColor color = rq_colorWithEasyHue(c.hue, c.saturation, c.brightness, c.alpha);
        EXPECT_EQ(color.spec(), QColor::Rgb);
        EXPECT_EQ(color.rgba(), c.expected.rgba()) << c.hue << ", " << c.saturation << ", " << c.brightness;
    }
    EXPECT_EQ(rq_colorWithEasyHue(0, 0, 59).alphaF(), 1.0f);
}

TEST(ColorUtilitiesTest, namedColours)
{
    EXPECT_EQ(vx_linedBackgroundColor(), rq_colorWithEasyHue(223, 6, 97));
    EXPECT_EQ(vxColor_shadowColor().rgb(), QColor(Qt::black).rgb());
    EXPECT_NEAR(vxColor_shadowColor().alphaF(), 0.15, 0.002);
}

} // namespace
