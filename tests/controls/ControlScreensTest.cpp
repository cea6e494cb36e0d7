#include "controls/MWSpaceLabel.h"
#include "controls/RQProgressIndicator.h"
#include "controls/ZPHSpinningProgressIndicator.h"

#include "support/ScreenCapture.h"

#include <gtest/gtest.h>

#include <QApplication>
#include <QFontMetricsF>
#include <QImage>

#include <cmath>

using namespace Qt::StringLiterals;

// Each control drawn into build/screens at 1x and 2x; the checks read points given in widget
// coordinates from both images.
namespace {

const QColor fillBlue(0x20, 0x94, 0xFA);
const QColor trackFace(0xEE, 0xEE, 0xEE);

bool near(QColor actual, QColor expected, int tolerance = 6)
{
    return std::abs(actual.red() - expected.red()) <= tolerance
           && std::abs(actual.green() - expected.green()) <= tolerance
           && std::abs(actual.blue() - expected.blue()) <= tolerance;
}

QColor colourAt(const QImage &image, QPointF point)
{
    const qreal ratio = image.devicePixelRatio();
    return image.pixelColor(QPointF(point * ratio).toPoint());
}

bool isInk(QColor colour)
{
    return colour.lightness() < 110;
}

// The rows of the area that hold ink, and whether some pixel there is white (the engraving).
struct AreaInk
{
    int inkRows = 0;
    bool engraved = false;
};

AreaInk inkIn(const QImage &image, const QRectF &area)
{
    const qreal ratio = image.devicePixelRatio();
    const QRect pixels(QRectF(area.topLeft() * ratio, area.size() * ratio).toRect());
    AreaInk found;
    for (int y = pixels.top(); y <= pixels.bottom(); ++y) {
        bool inkOnRow = false;
        for (int x = pixels.left(); x <= pixels.right(); ++x) {
            const QColor colour = image.pixelColor(x, y);
            inkOnRow = inkOnRow || isInk(colour);
            found.engraved = found.engraved || near(colour, Qt::white, 2);
        }
        found.inkRows += inkOnRow ? 1 : 0;
    }
    return found;
}

TEST(ControlScreensTest, SpaceLabelDrawsTheNumberAndASmallerUnit)
{
    MWSpaceLabel label;
    QFont numberFont = label.font();
    numberFont.setPixelSize(30);
    numberFont.setBold(true);
    label.setFont(numberFont);
    label.resize(200, 60);
    label.setSizeUnitAnimated(12.3, u"GB"_s, false);
    const auto [single, twice] = ScreenCapture::save(label, u"space-label"_s);

    QFont unitFont = QApplication::font();
    unitFont.setPixelSize(11);
    const qreal numberWidth = QFontMetricsF(numberFont).horizontalAdvance(u"12.3"_s);
    const qreal unitWidth = QFontMetricsF(unitFont).horizontalAdvance(u"GB"_s);
    const qreal left = (label.width() - numberWidth - unitWidth) / 2.0;
    const QRectF numberArea(left, 0, numberWidth, label.height());
    const QRectF unitArea(left + numberWidth + 1, 0, unitWidth - 1, label.height());
    for (const QImage &image : {single, twice}) {
        const AreaInk number = inkIn(image, numberArea);
        const AreaInk unit = inkIn(image, unitArea);
        EXPECT_GT(number.inkRows, 0);
        EXPECT_GT(unit.inkRows, 0);
        EXPECT_LT(unit.inkRows, number.inkRows * 2 / 3) << "the unit is drawn smaller";
        EXPECT_TRUE(number.engraved);
        EXPECT_EQ(inkIn(image, QRectF(0, 0, left - 2, label.height())).inkRows, 0)
            << "the title is centred";
    }
}

TEST(ControlScreensTest, ProgressBarAtItsSteps)
{
    struct Case
    {
        double progress;
        const char *name;
        QPointF blue;  // a point of the fill
        QPointF track; // a point where the track shows
    };
    const Case cases[] = {
        {0.0, "progress-bar-0", {-1, -1}, {3, 4}},
        {0.01, "progress-bar-0.01", {5, 4}, {12, 4}},
        {0.5, "progress-bar-0.5", {50, 4}, {150, 4}},
        {1.0, "progress-bar-1", {150, 4}, {-1, -1}},
    };
    for (const Case &test : cases) {
        SCOPED_TRACE(test.name);
        RQProgressIndicator bar;
        bar.resize(200, 8);
        bar.setProgress(test.progress);
        const auto [single, twice] = ScreenCapture::save(bar, QString::fromLatin1(test.name));
        for (const QImage &image : {single, twice}) {
            if (test.blue.x() >= 0) {
                EXPECT_TRUE(near(colourAt(image, test.blue), fillBlue))
                    << colourAt(image, test.blue).name().toStdString();
            }
            if (test.track.x() >= 0) {
                EXPECT_TRUE(near(colourAt(image, test.track), trackFace))
                    << colourAt(image, test.track).name().toStdString();
            }
        }
    }
}

class SpinnerScreensTest : public ::testing::Test
{
protected:
    void SetUp() override { m_spinner.resize(64, 64); }

    // Points at a quarter of the side from the centre: twelve, three, and the diagonals.
    QPointF at(qreal degreesClockwiseFromTwelve, qreal distance = 0.33) const
    {
        const qreal radians = qDegreesToRadians(degreesClockwiseFromTwelve);
        return QPointF(32 + 64 * distance * std::sin(radians), 32 - 64 * distance * std::cos(radians));
    }

    ZPHSpinningProgressIndicator m_spinner;
};

TEST_F(SpinnerScreensTest, IdleFinsAreFaintAllRound)
{
    const auto [single, twice] = ScreenCapture::save(m_spinner, u"spinner-idle"_s);
    for (const QImage &image : {single, twice}) {
        for (const qreal angle : {0.0, 90.0, 180.0, 270.0}) {
            const QColor fin = colourAt(image, at(angle));
            EXPECT_FALSE(isInk(fin)) << angle;
            EXPECT_LT(fin.lightness(), colourAt(image, at(45.0 + angle)).lightness() - 10) << angle;
        }
    }
}

TEST_F(SpinnerScreensTest, TheFirstFrameIsBrightestAtTwelve)
{
    m_spinner.startAnimation();
    m_spinner.updateFrameFromTimer();
    const auto [single, twice] = ScreenCapture::save(m_spinner, u"spinner-first-frame"_s);
    for (const QImage &image : {single, twice}) {
        const int twelve = colourAt(image, at(0)).lightness();
        EXPECT_LT(twelve, 40);
        for (const qreal angle : {-30.0, 30.0, 90.0, 180.0, 270.0})
            EXPECT_LT(twelve, colourAt(image, at(angle)).lightness()) << angle;
        // The tail runs counter-clockwise: eleven o'clock is darker than one o'clock.
        EXPECT_LT(colourAt(image, at(-30)).lightness(), colourAt(image, at(30)).lightness());
    }
}

TEST_F(SpinnerScreensTest, AQuarterPieFillsFromTwelveToThree)
{
    m_spinner.setCurrentValue(25.0);
    const auto [single, twice] = ScreenCapture::save(m_spinner, u"spinner-quarter-pie"_s);
    for (const QImage &image : {single, twice}) {
        EXPECT_TRUE(isInk(colourAt(image, at(45))));
        EXPECT_FALSE(isInk(colourAt(image, at(-45))));
        EXPECT_FALSE(isInk(colourAt(image, at(135))));
        EXPECT_TRUE(isInk(colourAt(image, at(-90, 0.47)))) << "the circle's outline";
    }
}

} // namespace
