#include "controls/MWSpaceLabel.h"

#include <gtest/gtest.h>

#include <QStringList>

#include <limits>

using namespace Qt::StringLiterals;

namespace {

// Ticks the counting to its end; answers each title shown on the way.
QStringList tickUntilIdle(MWSpaceLabel &label)
{
    QStringList shown;
    for (int tick = 0; label.isAnimating() && tick < 1000; ++tick) {
        label.changeValue();
        shown.append(label.text());
    }
    return shown;
}

// Whether the titles appear in this order, with any others between them.
bool showsInOrder(const QStringList &shown, const QStringList &expected)
{
    qsizetype from = 0;
    for (const QString &title : expected) {
        from = shown.indexOf(title, from);
        if (from < 0)
            return false;
    }
    return true;
}

TEST(MWSpaceLabelTest, TheFirstValueIsShownAtOnce)
{
    MWSpaceLabel label;
    EXPECT_EQ(label.sizeValue(), -1.0);
    label.setSizeUnit(12.3, u"GB"_s);
    EXPECT_FALSE(label.isAnimating());
    EXPECT_EQ(label.text(), u"12.3GB"_s);
}

TEST(MWSpaceLabelTest, CountsInEightStepsAndEndsOnTheTarget)
{
    MWSpaceLabel label;
    label.setSizeUnit(10.0, u"GB"_s);
    label.setSizeUnit(2.0, u"GB"_s);
    EXPECT_TRUE(label.isAnimating());
    EXPECT_EQ(label.text(), u"10.0GB"_s) << "the first tick draws";
    EXPECT_EQ(tickUntilIdle(label),
              QStringList({u"9.0GB"_s, u"8.0GB"_s, u"7.0GB"_s, u"6.0GB"_s, u"5.0GB"_s,
                           u"4.0GB"_s, u"3.0GB"_s, u"2.0GB"_s, u"2.0GB"_s}));
}

TEST(MWSpaceLabelTest, QueuedValuesAreCountedToInTurnEachWithItsUnit)
{
    MWSpaceLabel label;
    label.setSizeUnit(10.0, u"KB"_s);
    label.setSizeUnit(2.0, u"KB"_s);
    label.setSizeUnit(4.0, u"MB"_s);
    label.setSizeUnit(6.0, u"GB"_s);
    const QStringList shown = tickUntilIdle(label);
    EXPECT_TRUE(showsInOrder(shown, {u"3.0KB"_s, u"2.0KB"_s, u"2.0MB"_s, u"3.0MB"_s, u"4.0MB"_s,
                                     u"4.0GB"_s, u"5.0GB"_s, u"6.0GB"_s}))
        << shown.join(u' ').toStdString();
    EXPECT_EQ(label.text(), u"6.0GB"_s);
}

TEST(MWSpaceLabelTest, AQueuedValueEqualToTheShownOneGivesItsUnitAndTheNextGoesOn)
{
    MWSpaceLabel label;
    label.setSizeUnit(10.0, u"KB"_s);
    label.setSizeUnit(2.0, u"KB"_s);
    label.setSizeUnit(2.0, u"MB"_s);
    label.setSizeUnit(7.0, u"MB"_s);
    for (int tick = 0; tick < 9; ++tick)
        label.changeValue();
    EXPECT_EQ(label.text(), u"2.0MB"_s);
    EXPECT_TRUE(label.isAnimating()) << "the counting to 7 has begun";

    label.setSizeUnit(9.0, u"MB"_s);
    const QStringList shown = tickUntilIdle(label);
    EXPECT_TRUE(showsInOrder(shown, {u"7.0MB"_s, u"9.0MB"_s})) << shown.join(u' ').toStdString();
    EXPECT_EQ(label.text(), u"9.0MB"_s);
}

TEST(MWSpaceLabelTest, AValueThatIsNotFiniteIsShownAtOnceAndNeverCountedTo)
{
    const double nan = std::numeric_limits<double>::quiet_NaN();
    const double infinity = std::numeric_limits<double>::infinity();
    for (const double odd : {nan, infinity}) {
        SCOPED_TRACE(odd);
        MWSpaceLabel idle;
        idle.setSizeUnit(3.0, u"KB"_s);
        idle.setSizeUnit(odd, u"KB"_s);
        EXPECT_FALSE(idle.isAnimating());
        idle.setSizeUnit(5.0, u"KB"_s);
        EXPECT_FALSE(idle.isAnimating()) << "nothing counts away from it either";
        EXPECT_EQ(idle.text(), u"5.0KB"_s);

        MWSpaceLabel counting;
        counting.setSizeUnit(10.0, u"KB"_s);
        counting.setSizeUnit(2.0, u"KB"_s);
        counting.setSizeUnit(odd, u"KB"_s);
        counting.setSizeUnit(5.0, u"KB"_s);
        tickUntilIdle(counting);
        EXPECT_FALSE(counting.isAnimating());
        EXPECT_EQ(counting.text(), u"5.0KB"_s);
    }
}

TEST(MWSpaceLabelTest, TitlesWithoutAnimation)
{
    struct Case
    {
        double first;
        double second;
        QString unit;
        QString title;
    };
    const Case cases[] = {
        {3.0, 3.0, u"MB"_s, u"3.0MB"_s}, // the value already shown, in a new unit
        {0.0, 1.25, u"KB"_s, u"1.2KB"_s}, // printf's rounding of an exact tie
        {0.0, 0.05, u"GB"_s, u"0.1GB"_s},
        {0.0, 1234567.0, u"EB"_s, u"1234567.0EB"_s},
    };
    for (const Case &test : cases) {
        MWSpaceLabel label;
        label.setSizeUnitAnimated(test.first, u"KB"_s, false);
        label.setSizeUnitAnimated(test.second, test.unit, false);
        EXPECT_EQ(label.text(), test.title);
        EXPECT_FALSE(label.isAnimating());
    }

    MWSpaceLabel plain;
    plain.setIntegerValue(0);
    EXPECT_EQ(plain.text(), u"0"_s);
}

} // namespace
