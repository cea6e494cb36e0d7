#include "platform/NumericCompare.h"

#include <gtest/gtest.h>

using namespace Qt::StringLiterals;

TEST(NumericCompareTest, ComparesDigitRunsByValue)
{
    const struct {
        QString left;
        QString right;
        std::strong_ordering expected;
    } cases[] = {
        {u"10.0"_s, u"9.2"_s, std::strong_ordering::greater},
        {u"9.6.1"_s, u"9.0"_s, std::strong_ordering::greater},
        {u"9.0"_s, u"9.0"_s, std::strong_ordering::equal},
        {u"8.1.2"_s, u"9.0"_s, std::strong_ordering::less},
        {u"0.9"_s, u"1.0"_s, std::strong_ordering::less},
        {u"1.0"_s, u"9223372036854775807"_s, std::strong_ordering::less},
        {u"99999999999999999999"_s, u"9223372036854775807"_s, std::strong_ordering::greater},
        {u"9.0"_s, u"9.0.1"_s, std::strong_ordering::less},
        {u"007"_s, u"7"_s, std::strong_ordering::equal},
        {u"a2"_s, u"a10"_s, std::strong_ordering::less},
        {u"1.0b"_s, u"1.0a"_s, std::strong_ordering::greater},
        {QString(), u"1"_s, std::strong_ordering::less},
    };
    for (const auto &testCase : cases) {
        EXPECT_EQ(compareNumerically(testCase.left, testCase.right), testCase.expected)
            << testCase.left.toStdString() << " vs " << testCase.right.toStdString();
        EXPECT_EQ(compareNumerically(testCase.right, testCase.left), 0 <=> (testCase.expected <=> 0))
            << testCase.right.toStdString() << " vs " << testCase.left.toStdString();
    }
}
