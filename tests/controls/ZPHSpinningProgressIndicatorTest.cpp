#include "controls/KMTouchBarProgressIndicator.h"
#include "controls/ZPHSpinningProgressIndicator.h"

#include <gtest/gtest.h>

#include <QImage>
#include <QTimer>

#include <chrono>
#include <cmath>

namespace {

using namespace std::chrono_literals;

// A clock that moves only when the test moves it.
struct ManualClock
{
    std::chrono::steady_clock::time_point now{};
    void advance(std::chrono::milliseconds by) { now += by; }
};

class SpinnerTest : public ::testing::Test
{
protected:
    void SetUp() override
    {
        m_spinner.resize(64, 64);
        m_spinner.setClock([this] { return m_clock.now; });
    }

    double finAlpha(int fin) const { return m_spinner.finColors().at(fin).alphaF(); }

    int brightestFin() const
    {
        int brightest = 0;
        for (int fin = 1; fin < ZPHSpinningProgressIndicator::finCount; ++fin)
            if (finAlpha(fin) > finAlpha(brightest))
                brightest = fin;
        return brightest;
    }

    // The most opaque pixel of a fresh drawing of the indicator.
    int strongestInk()
    {
        QImage image(m_spinner.size(), QImage::Format_ARGB32_Premultiplied);
        image.fill(Qt::transparent);
        m_spinner.render(&image, {}, {}, QWidget::DrawChildren);
        int strongest = 0;
        for (int y = 0; y < image.height(); ++y)
            for (int x = 0; x < image.width(); ++x)
                strongest = std::max(strongest, qAlpha(image.pixel(x, y)));
        return strongest;
    }

    ManualClock m_clock;
    ZPHSpinningProgressIndicator m_spinner;
};

TEST_F(SpinnerTest, TheBrightnessDimsFinByFinAndTurnsOneFinPerFrame)
{
    m_spinner.startAnimation();
    m_spinner.updateFrameFromTimer();
    for (int fin = 0; fin < ZPHSpinningProgressIndicator::finCount; ++fin)
        EXPECT_NEAR(finAlpha(fin), std::pow(0.85, fin), 1e-3) << "fin " << fin;

    m_spinner.updateFrameFromTimer();
    EXPECT_EQ(brightestFin(), 11);
    EXPECT_NEAR(finAlpha(0), 0.85, 1e-3);
    m_spinner.updateFrameFromTimer();
    EXPECT_EQ(brightestFin(), 10);
}

TEST_F(SpinnerTest, AStopFreezesAndDimsThePatternAndEndsItAfterTheFade)
{
    struct Case
    {
        bool displayedWhenStopped;
        int stoppedInk; // the drawing's strongest alpha once stopped
    };
    for (const Case &test : {Case{true, 38}, Case{false, 0}}) {
        SCOPED_TRACE(test.displayedWhenStopped);
        m_spinner.setDisplayedWhenStopped(test.displayedWhenStopped);
        m_spinner.startAnimation();
        m_spinner.updateFrameFromTimer();
        m_spinner.stopAnimation();

        m_clock.advance(200ms);
        m_spinner.updateFrameFromTimer();
        EXPECT_TRUE(m_spinner.isAnimating());
        EXPECT_EQ(brightestFin(), 11) << "the pattern does not turn while it fades";
        EXPECT_NEAR(finAlpha(11), 0.5, 1e-3);
        m_spinner.updateFrameFromTimer();
        EXPECT_EQ(brightestFin(), 11);

        m_clock.advance(510ms);
        m_spinner.updateFrameFromTimer();
        EXPECT_FALSE(m_spinner.isAnimating());
        EXPECT_FALSE(m_spinner.isFadingOut());
        EXPECT_NEAR(strongestInk(), test.stoppedInk, 2);
    }
}

TEST_F(SpinnerTest, AStartDuringTheFadeSpinsAgainFromTheTop)
{
    m_spinner.startAnimation();
    m_spinner.updateFrameFromTimer();
    m_spinner.updateFrameFromTimer();
    m_spinner.stopAnimation();
    m_spinner.startAnimation();
    EXPECT_FALSE(m_spinner.isFadingOut());
    EXPECT_EQ(m_spinner.currentPosition(), 0);
}

TEST_F(SpinnerTest, ADeterminateIndicatorIgnoresStartAndTurningDeterminateFadesASpin)
{
    m_spinner.startAnimation();
    m_spinner.setIsIndeterminate(false);
    EXPECT_TRUE(m_spinner.isFadingOut());

    ZPHSpinningProgressIndicator determinate;
    determinate.setCurrentValue(25.0);
    EXPECT_FALSE(determinate.isIndeterminate());
    determinate.startAnimation();
    EXPECT_FALSE(determinate.isAnimating());
}

TEST_F(SpinnerTest, TheSpinningStyleChangesNothing)
{
    m_spinner.startAnimation();
    m_spinner.updateFrameFromTimer();
    const auto colours = m_spinner.finColors();
    m_spinner.setStyle(ZPHSpinningProgressIndicator::Style::Spinning);
    EXPECT_TRUE(m_spinner.isAnimating());
    EXPECT_EQ(m_spinner.currentPosition(), 1);
    EXPECT_EQ(m_spinner.finColors(), colours);
}

TEST_F(SpinnerTest, FramesRunOnlyWhileTheIndicatorIsInAWindow)
{
    m_spinner.startAnimation();
    EXPECT_TRUE(m_spinner.isAnimating());
    EXPECT_EQ(m_spinner.animationTimer(), nullptr) << "no frames before it is shown";

    m_spinner.show();
    ASSERT_NE(m_spinner.animationTimer(), nullptr);
    EXPECT_TRUE(m_spinner.animationTimer()->isActive());

    m_spinner.hide();
    EXPECT_FALSE(m_spinner.isAnimating());
    m_spinner.show();
    EXPECT_FALSE(m_spinner.isAnimating()) << "leaving the window ends the spin for good";
    EXPECT_EQ(m_spinner.animationTimer(), nullptr);
}

TEST_F(SpinnerTest, ChangingTheAnimationModeWhileSpinningRestarts)
{
    m_spinner.show();
    m_spinner.startAnimation();
    m_spinner.updateFrameFromTimer();
    m_spinner.setUsesThreadedAnimation(false);
    EXPECT_TRUE(m_spinner.isAnimating());
    EXPECT_FALSE(m_spinner.isFadingOut());
    EXPECT_EQ(m_spinner.currentPosition(), 0);
    ASSERT_NE(m_spinner.animationTimer(), nullptr);
    EXPECT_TRUE(m_spinner.animationTimer()->isActive());
}

TEST(TouchBarProgressIndicatorTest, SpinsBlueOnTheFrameTimer)
{
    KMTouchBarProgressIndicator indicator;
    EXPECT_EQ(indicator.color(), QColor::fromRgbF(0.1255F, 0.5804F, 0.9804F));
    EXPECT_TRUE(indicator.isIndeterminate());
    EXPECT_FALSE(indicator.usesThreadedAnimation());

    indicator.show();
    indicator.startAnimation();
    ASSERT_NE(indicator.animationTimer(), nullptr);
    EXPECT_TRUE(indicator.animationTimer()->isActive());
    EXPECT_EQ(indicator.animationTimer()->interval(), 50);

    indicator.hide();
    indicator.show();
    EXPECT_FALSE(indicator.isAnimating());
    EXPECT_EQ(indicator.animationTimer(), nullptr);
}

} // namespace
