#include "platform/LeadingNumber.h"

#include <gtest/gtest.h>

#include <QLocale>

using namespace Qt::StringLiterals;

TEST(LeadingNumberTest, ReadsTheNumberAtTheStartWhateverTheLocale)
{
    const QLocale saved;
    QLocale::setDefault(QLocale(QLocale::German));
    const struct
    {
        QString text;
        double value;
    } cases[] = {
        {u"20"_s, 20.0},        {u"  12.5kg"_s, 12.5}, {u"-3"_s, -3.0},  {u"1e3 files"_s, 1000.0},
        {u".5"_s, 0.5},         {u"2,5"_s, 2.0},       {u"abc"_s, 0.0},  {QString(), 0.0},
        {u"MB 5"_s, 0.0},       {u"7."_s, 7.0},
    };
    for (const auto &entry : cases)
        EXPECT_EQ(leadingNumber(entry.text), entry.value) << entry.text.toStdString();
    QLocale::setDefault(saved);
}
