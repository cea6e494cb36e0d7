#include "controls/RQProgressIndicator.h"

#include <gtest/gtest.h>

#include <QAccessible>
#include <QParallelAnimationGroup>
#include <QPropertyAnimation>

#include <limits>

namespace {

class ProgressIndicatorTest : public ::testing::Test
{
protected:
    void SetUp() override
    {
        m_bar.resize(200, 8);
        m_bar.show(); // a hidden widget hears of a resize only when it is shown
    }

    void endLayout() { m_bar.layoutAnimation()->setCurrentTime(m_bar.layoutAnimation()->duration()); }
    void endFade() { m_bar.fadeAnimation()->setCurrentTime(m_bar.fadeAnimation()->duration()); }
    bool laysOut() const { return m_bar.layoutAnimation()->state() == QAbstractAnimation::Running; }

    RQProgressIndicator m_bar;
};

TEST_F(ProgressIndicatorTest, TheFillWidthFollowsTheProgressWithinItsBounds)
{
    struct Case
    {
        double progress;
        qreal width;
    };
    const Case cases[] = {{0.5, 100}, {0.01, 8}, {1.5, 200}, {0.186, 38}, {0.0, 8}};
    for (const Case &test : cases) {
        RQProgressIndicator bar;
        bar.resize(200, 8);
        bar.setProgress(test.progress);
        EXPECT_FALSE(bar.layoutAnimation()->state() == QAbstractAnimation::Running)
            << "the first value is not animated";
        EXPECT_EQ(bar.fillWidth(), test.width) << test.progress;
    }
}

TEST_F(ProgressIndicatorTest, LaterValuesAnimateAndAnEqualValueDoesNothing)
{
    m_bar.setProgress(0.5);
    m_bar.setProgress(0.75);
    ASSERT_TRUE(laysOut());
    m_bar.layoutAnimation()->setCurrentTime(100);
    const qreal midway = m_bar.fillWidth();
    EXPECT_GT(midway, 100);
    EXPECT_LT(midway, 150);

    m_bar.setProgress(0.75);
    EXPECT_EQ(m_bar.layoutAnimation()->currentTime(), 100);
    EXPECT_EQ(m_bar.fillWidth(), midway);
    endLayout();
    EXPECT_EQ(m_bar.fillWidth(), 150);
}

TEST_F(ProgressIndicatorTest, ZeroFadesTheFillOutAndTheNextValueShowsItBeforeItWidens)
{
    m_bar.setProgress(0.5);
    m_bar.setProgress(0.0);
    EXPECT_EQ(m_bar.fillOpacity(), 1.0);
    endLayout();
    EXPECT_EQ(m_bar.fillWidth(), 8);
    ASSERT_EQ(m_bar.fadeAnimation()->state(), QAbstractAnimation::Running);
    endFade();
    EXPECT_EQ(m_bar.fillOpacity(), 0.0);

    m_bar.setProgress(0.3);
    EXPECT_EQ(m_bar.fillOpacity(), 1.0);
    EXPECT_EQ(m_bar.fillWidth(), 8);
    endLayout();
    EXPECT_EQ(m_bar.fillWidth(), 60);
    EXPECT_EQ(m_bar.fillOpacity(), 1.0);
}

TEST_F(ProgressIndicatorTest, NotANumberIsStoredAsZero)
{
    m_bar.setProgress(std::numeric_limits<double>::quiet_NaN());
    EXPECT_EQ(m_bar.progress(), 0.0);
    EXPECT_EQ(m_bar.fillWidth(), 8);
    EXPECT_EQ(m_bar.fillOpacity(), 0.0);
}

TEST_F(ProgressIndicatorTest, AResizeLaysTheFillOutAgainAndRetargetsARunningAnimation)
{
    m_bar.setProgress(0.5);
    m_bar.resize(300, 8);
    EXPECT_EQ(m_bar.fillWidth(), 150);

    m_bar.setProgress(0.25);
    ASSERT_TRUE(laysOut());
    m_bar.resize(400, 8);
    endLayout();
    EXPECT_EQ(m_bar.fillWidth(), 100);
}

TEST_F(ProgressIndicatorTest, AssistiveTechnologySeesAProgressBarWithItsPercentage)
{
    m_bar.setProgress(0.5);
    QAccessibleInterface *accessible = QAccessible::queryAccessibleInterface(&m_bar);
    ASSERT_NE(accessible, nullptr);
    EXPECT_EQ(accessible->role(), QAccessible::ProgressBar);
    EXPECT_EQ(accessible->text(QAccessible::Value), QStringLiteral("50%"));
    ASSERT_NE(accessible->valueInterface(), nullptr);
    EXPECT_EQ(accessible->valueInterface()->currentValue().toInt(), 50);
}

} // namespace
