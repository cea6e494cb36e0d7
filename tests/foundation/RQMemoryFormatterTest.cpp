#include "foundation/RQMemoryFormatter.h"

#include <gtest/gtest.h>

#include <cmath>
#include <limits>

using namespace Qt::StringLiterals;

namespace {

struct TextCase
{
    qint64 minimumUnit;
    double bytes;
    const char *text;
};

const TextCase textCases[] = {
    {0, 0, "0.00 bytes"},
    {0, 999, "999.00 bytes"},
    {0, 1000, "1000.00 bytes"},
    {0, 1001, "1.00 KB"},
    {0, 20000, "20.00 KB"},
    {0, 999999, "1000.00 KB"},
    {0, 1000000, "1000.00 KB"},
    {0, 1000001, "1.00 MB"},
    {1, 500, "0.50 KB"},
    {1, 0, "0.00 KB"},
    {0, -5000, "-5000.00 bytes"},
    // The value is rounded as single precision: 1.065 is just above the tie as a float and
    // just below it as a double.
    {0, 1065, "1.07 KB"},
    // printf rounds an exact tie to even.
    {0, 1125, "1.12 KB"},
    {0, 1.5e18, "1.50 EB"},
    // Beyond the largest unit the count stays in it rather than being mislabelled.
    {0, 2e21, "2000.00 EB"},
    {0, std::numeric_limits<double>::infinity(), " inf EB"},
};

} // namespace

TEST(RQMemoryFormatterTest, StringFromBytesTable)
{
    for (const TextCase &row : textCases) {
        RQMemoryFormatter formatter;
        formatter.setMinimumUnit(row.minimumUnit);
        EXPECT_EQ(formatter.stringFromBytes(row.bytes), QString::fromUtf8(row.text))
            << row.bytes << " bytes, minimum unit " << row.minimumUnit;
    }
}

TEST(RQMemoryFormatterTest, InitValues)
{
    const RQMemoryFormatter formatter;
    EXPECT_EQ(formatter.unitStrings(),
              (QStringList{u"bytes"_s, u"KB"_s, u"MB"_s, u"GB"_s, u"TB"_s, u"PB"_s, u"EB"_s}));
    EXPECT_EQ(formatter.minimumUnit(), 0);
    EXPECT_EQ(formatter.formatterStyle(), 0);
    EXPECT_TRUE(formatter.showsDecimalNumbers());
}

TEST(RQMemoryFormatterTest, StylesAndDecimals)
{
    struct Row
    {
        qint64 style;
        bool decimals;
        const char *format;
        const char *text;
    };
    const Row rows[] = {
        {0, true, "%4.2f %@", "20.00 KB"},
        {1, true, "%4.2f %@/s", "20.00 KB/s"},
        {2, true, "%4.2f%@", "20.00KB"},
        {0, false, "%0.0f %@", "20 KB"},
        {1, false, "%0.0f %@/s", "20 KB/s"},
    };
    for (const Row &row : rows) {
        RQMemoryFormatter formatter;
        formatter.setFormatterStyle(row.style);
        formatter.setShowsDecimalNumbers(row.decimals);
        EXPECT_EQ(formatter.stringFormat(), QString::fromUtf8(row.format));
        EXPECT_EQ(formatter.stringFromBytes(20000), QString::fromUtf8(row.text));
    }
}

TEST(RQMemoryFormatterTest, ArrayFromBytesGivesValueAndUnit)
{
    const QVariantList parts = RQMemoryFormatter().arrayFromBytes(1.5e6);
    ASSERT_EQ(parts.size(), 2);
    EXPECT_EQ(parts.at(0).typeId(), QMetaType::Double);
    EXPECT_DOUBLE_EQ(parts.at(0).toDouble(), 1.5);
    EXPECT_EQ(parts.at(1).toString(), u"MB"_s);
}

TEST(RQMemoryFormatterTest, UnitOutsideTheListIsClamped)
{
    RQMemoryFormatter formatter;
    formatter.setMinimumUnit(-2);
    EXPECT_EQ(formatter.stringFromBytes(5), u"5.00 bytes"_s);
    formatter.setUnitStrings({u"B"_s, u"K"_s});
    formatter.setMinimumUnit(0);
    EXPECT_EQ(formatter.stringFromBytes(3e6), u"3000.00 K"_s);
}

TEST(RQMemoryFormatterTest, ConvertValueTable)
{
    struct Row
    {
        double value;
        qint64 fromUnit;
        qint64 toUnit;
        double result;
    };
    const Row rows[] = {
        {20, 1, 0, 20000},   {1.5, 2, 0, 1.5e6}, {20000, 0, 1, 20}, {3, 2, 2, 3},
        {5000, 1, 2, 5},     {7, 0, 0, 7},       {7, 0, -1, 7},
    };
    for (const Row &row : rows)
        EXPECT_DOUBLE_EQ(RQMemoryFormatter::convertValue(row.value, row.fromUnit, row.toUnit),
                         row.result)
            << row.value << " from " << row.fromUnit << " to " << row.toUnit;
}
