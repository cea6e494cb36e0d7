#include "windows/StatsViewController.h"

#include "controls/MWLinedBackgroundView.h"
#include "controls/MWSpaceLabel.h"
#include "support/ScreenCapture.h"
#include "windows/StatTheme.h"
#include "windows/StatThemeBlue.h"
#include "windows/StatThemeDefault.h"
#include "windows/StatThemeGreen.h"
#include "windows/StatThemeOrange.h"
#include "windows/StatThemeRed.h"

#include <gtest/gtest.h>

#include <QAccessible>
#include <QCoreApplication>
#include <QFontMetricsF>
#include <QPropertyAnimation>
#include <QRegularExpression>
#include <QVariantAnimation>

#include <functional>

using namespace Qt::StringLiterals;

namespace {

class StatsPanelTest : public ::testing::Test
{
protected:
    void SetUp() override
    {
        m_panel = m_stats.view();
        m_panel->resize(600, 150);
        m_panel->show();
    }

    void endPulseStep()
    {
        QPropertyAnimation *pulse = m_stats.pulse();
        ASSERT_EQ(pulse->state(), QAbstractAnimation::Running);
        pulse->setCurrentTime(pulse->duration());
    }
    bool pulseRuns() const { return m_stats.pulse()->state() == QAbstractAnimation::Running; }
    qreal alpha() { return m_stats.usedSpaceLabel()->alphaValue(); }

    StatsViewController m_stats;
    QWidget *m_panel = nullptr;
};

TEST_F(StatsPanelTest, TheSizeCounterShowsKilobytesAndUp)
{
    const std::pair<double, QString> cases[] = {
        {1500, u"1.5KB"_s}, {500, u"0.5KB"_s}, {0, u"0.0KB"_s}, {12.3e9, u"12.3GB"_s}};
    for (const auto &[bytes, title] : cases) {
        m_stats.setTotalSpaceBytes(bytes);
        EXPECT_EQ(m_stats.totalSpaceLabel()->text(), title);
        EXPECT_FALSE(m_stats.totalSpaceLabel()->isAnimating());
    }
}

TEST_F(StatsPanelTest, CountsShowWholeAndFitTheLabelLessFivePoints)
{
    MWSpaceLabel &label = *m_stats.freeSpaceLabel();
    for (const qint64 count : {qint64(7), qint64(123456), qint64(123456789012345)}) {
        m_stats.setTotalFilesScanned(count);
        EXPECT_EQ(label.text(), QString::number(count));
        const QFontMetricsF metrics(label.font());
        // The font is scaled from one measured at 12 pixels, which text widths follow only
        // roughly.
        EXPECT_LE(metrics.horizontalAdvance(label.text()), (label.width() - 5) * 1.02) << count;
        EXPECT_LE(metrics.height(), label.height() + 1) << count;
    }
    const qreal largeSize = label.font().pixelSize() > 0 ? label.font().pixelSize()
                                                         : label.font().pointSizeF();
    m_stats.setTotalFilesScanned(7);
    const qreal smallSize = label.font().pixelSize() > 0 ? label.font().pixelSize()
                                                         : label.font().pointSizeF();
    EXPECT_LT(largeSize, smallSize) << "a large count shrinks the font";

    m_stats.setTotalDuplicatesFound(42);
    EXPECT_EQ(m_stats.usedSpaceLabel()->text(), u"42"_s);
}

TEST_F(StatsPanelTest, ALabelTooNarrowToFitKeepsItsFont)
{
    MWSpaceLabel &label = *m_stats.usedSpaceLabel();
    label.setFixedSize(4, 56);
    const QFont before = label.font();
    m_stats.setTotalDuplicatesFound(3);
    EXPECT_EQ(label.font(), before);
}

TEST_F(StatsPanelTest, CountingRelaysNothingOut)
{
    struct LayoutRequests : QObject
    {
        int count = 0;
        bool eventFilter(QObject *, QEvent *event) override
        {
            count += event->type() == QEvent::LayoutRequest;
            return false;
        }
    } requests;
    QCoreApplication::processEvents();
    m_panel->installEventFilter(&requests);
    for (qint64 count = 1; count < 2000; count *= 7) {
        m_stats.setTotalFilesScanned(count);
        m_stats.setTotalDuplicatesFound(count);
        m_stats.setTotalSpaceBytes(count * 1000.0);
    }
    QCoreApplication::processEvents();
    EXPECT_EQ(requests.count, 0);
}

TEST_F(StatsPanelTest, ThePulseFadesToHalfAndBack)
{
    m_stats.startFlashingTotalDuplicates();
    EXPECT_TRUE(m_stats.isPulsing());
    endPulseStep();
    EXPECT_EQ(alpha(), 0.5);
    endPulseStep();
    EXPECT_EQ(alpha(), 1.0);
    EXPECT_TRUE(pulseRuns());
}

TEST_F(StatsPanelTest, StartsAndStopsOfThePulse)
{
    struct Case
    {
        const char *name;
        std::function<void(StatsViewController &)> calls;
        bool pulsing; // after the fade under way has ended
    };
    const Case cases[] = {
        {"a stop mid-fade ends it opaque",
         [](StatsViewController &stats) {
             stats.startFlashingTotalDuplicates();
             stats.pulse()->setCurrentTime(400);
             stats.stopFlashingTotalDuplicates();
         },
         false},
        {"a double start then a stop ends it",
         [](StatsViewController &stats) {
             stats.startFlashingTotalDuplicates();
             stats.startFlashingTotalDuplicates();
             stats.stopFlashingTotalDuplicates();
         },
         false},
        {"a stop then a start within one fade keeps it pulsing",
         [](StatsViewController &stats) {
             stats.startFlashingTotalDuplicates();
             stats.stopFlashingTotalDuplicates();
             stats.startFlashingTotalDuplicates();
         },
         true},
    };
    for (const Case &test : cases) {
        SCOPED_TRACE(test.name);
        StatsViewController stats;
        stats.view()->show();
        test.calls(stats);
        EXPECT_TRUE(stats.isPulsing()) << "the fade under way goes on";
        QPropertyAnimation *pulse = stats.pulse();
        ASSERT_EQ(pulse->state(), QAbstractAnimation::Running);
        pulse->setCurrentTime(pulse->duration());
        EXPECT_EQ(stats.isPulsing(), test.pulsing);
        EXPECT_EQ(pulse->state() == QAbstractAnimation::Running, test.pulsing);
        if (!test.pulsing) {
            EXPECT_EQ(stats.usedSpaceLabel()->alphaValue(), 1.0);
            stats.startFlashingTotalDuplicates();
            EXPECT_TRUE(stats.isPulsing()) << "a stopped pulse can start again";
        }
    }
}

TEST_F(StatsPanelTest, APanelDestroyedMidFadeRunsNoCompletion)
{
    auto stats = std::make_unique<StatsViewController>();
    stats->view()->show();
    stats->startFlashingTotalDuplicates();
    stats->changeToRed();
    stats.reset();
    QCoreApplication::processEvents();
}

struct ThemeCase
{
    const char *name;
    std::function<void(StatsViewController &)> change;
    std::function<QString()> describe;
    QColor background;
    QColor text;
    QString divider;
};

template <typename Theme>
QString describeTheme()
{
    return Theme().description();
}

const ThemeCase themeCases[] = {
    {"StatThemeDefault", &StatsViewController::changeToDefault, describeTheme<StatThemeDefault>,
     QColor(233, 237, 247), QColor(135, 142, 176), u"default-divider"_s},
    {"StatThemeBlue", &StatsViewController::changeToBlue, describeTheme<StatThemeBlue>,
     QColor(200, 233, 250), QColor(64, 135, 168), u"blue-divider"_s},
    {"StatThemeGreen", &StatsViewController::changeToGreen, describeTheme<StatThemeGreen>,
     QColor(215, 250, 225), QColor(119, 163, 126), u"green-divider"_s},
    {"StatThemeOrange", &StatsViewController::changeToOrange, describeTheme<StatThemeOrange>,
     QColor(250, 216, 175), QColor(176, 132, 102), u"orange-divider"_s},
    {"StatThemeRed", &StatsViewController::changeToRed, describeTheme<StatThemeRed>,
     QColor(255, 219, 219), QColor(153, 101, 101), u"red-divider"_s},
};

bool near(const QColor &actual, const QColor &expected)
{
    return std::abs(actual.red() - expected.red()) <= 1
           && std::abs(actual.green() - expected.green()) <= 1
           && std::abs(actual.blue() - expected.blue()) <= 1;
}

TEST(StatThemeTest, EachThemeDescribesItsColoursAndDivider)
{
    for (const ThemeCase &theme : themeCases) {
        const QString expected = u"<%1: 0x[0-9a-f]+, backgroundColor=%2, textColor=%3, "
                                 "separatorImageName=%4>"_s.arg(QString::fromLatin1(theme.name),
                                                                theme.background.name(),
                                                                theme.text.name(), theme.divider);
        const QString description = theme.describe();
        EXPECT_TRUE(QRegularExpression(u'^' + expected + u'$').match(description).hasMatch())
            << description.toStdString() << " against " << expected.toStdString();
    }
    EXPECT_TRUE(StatTheme().description().contains(
        u"backgroundColor=(null), textColor=(null), separatorImageName=(null)>"_s));
}

TEST_F(StatsPanelTest, AThemeFadesTheTextAndColoursTheRest)
{
    for (const ThemeCase &theme : themeCases) {
        SCOPED_TRACE(theme.name);
        theme.change(m_stats);
        QVariantAnimation *fade = m_stats.textColourFade();
        ASSERT_EQ(fade->state(), QAbstractAnimation::Running);
        fade->setCurrentTime(fade->duration());
        EXPECT_TRUE(near(m_stats.backgroundView()->backgroundColor(), theme.background));
        for (QLabel *label : {static_cast<QLabel *>(m_stats.freeSpaceLabel()),
                              static_cast<QLabel *>(m_stats.totalSpaceLabel())})
            EXPECT_TRUE(near(label->palette().color(QPalette::WindowText), theme.text));
        EXPECT_FALSE(m_stats.divider1()->pixmap().isNull());
    }
}

TEST_F(StatsPanelTest, CountersSayWhatTheyCount)
{
    const std::pair<QWidget *, QString> counters[] = {
        {m_stats.freeSpaceLabel(), u"Items Scanned"_s},
        {m_stats.usedSpaceLabel(), u"Duplicates Found"_s},
        {m_stats.totalSpaceLabel(), u"Duplicate Size"_s}};
    for (const auto &[counter, name] : counters) {
        QAccessibleInterface *accessible = QAccessible::queryAccessibleInterface(counter);
        ASSERT_NE(accessible, nullptr);
        EXPECT_EQ(accessible->text(QAccessible::Name), name);
    }
}

TEST_F(StatsPanelTest, ScreensOfEachTheme)
{
    m_stats.setTotalFilesScanned(48213);
    m_stats.setTotalDuplicatesFound(317);
    m_stats.setTotalSpaceBytes(12.3e9);
    for (const ThemeCase &theme : themeCases) {
        SCOPED_TRACE(theme.name);
        theme.change(m_stats);
        m_stats.textColourFade()->setCurrentTime(m_stats.textColourFade()->duration());
        const auto [single, twice] =
            ScreenCapture::save(*m_panel, u"stats-"_s + QString::fromLatin1(theme.name));
        for (const QImage &image : {single, twice}) {
            const qreal ratio = image.devicePixelRatio();
            // An odd column holds no line; the top rows hold no counter.
            EXPECT_TRUE(near(image.pixelColor(QPoint(1, 4) * ratio), theme.background))
                << image.pixelColor(QPoint(1, 4) * ratio).name().toStdString();
        }
    }
}

} // namespace

// The two sets of titles: the default one, which the panel starts with, and that of a clean-up
// to come, whose last title takes two lines.
TEST_F(StatsPanelTest, TheTitlesChangeBetweenTheirTwoSets)
{
    EXPECT_TRUE(m_stats.showingDefault());
    const auto titles = [this] {
        QStringList texts;
        for (const char *name : {"freeSpaceTitleLabel", "usedSpaceTitleLabel", "totalSpaceTitleLabel"})
            texts.append(m_panel->findChild<QLabel *>(QString::fromLatin1(name))->text());
        return texts;
    };
    QLabel *total = m_panel->findChild<QLabel *>(u"totalSpaceTitleLabel"_s);
    m_stats.changeToFreeLabels();
    EXPECT_FALSE(m_stats.showingDefault());
    EXPECT_EQ(titles(), (QStringList{u"Current Free Space"_s, u"Amount To Be Freed"_s,
                                     u"Your new free disk space will be"_s}));
    EXPECT_EQ(total->height(), 28);
    m_stats.changeToDefaultLabels();
    EXPECT_TRUE(m_stats.showingDefault());
    EXPECT_EQ(titles(), (QStringList{u"Free Space"_s, u"Used Space"_s, u"Total Capacity"_s}));
    EXPECT_EQ(total->height(), 14);
}
