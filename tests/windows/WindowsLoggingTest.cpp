#include "windows/WindowsLogging.h"

#include <gtest/gtest.h>

using namespace Qt::StringLiterals;

// The end-to-end test parses these lines, so quotes and backslashes inside a shown text must
// not end the value early.
TEST(WindowsLoggingTest, ScreenLinesQuoteEveryTextAndEscapeQuotesAndBackslashes)
{
    struct Case
    {
        int step;
        const char16_t *state;
        ScreenFields fields;
        const char16_t *expected;
    };
    const Case cases[] = {
        {0, u"start", {}, u"screen step=0 state=start"},
        {0,
         u"start",
         {{u"label"_s, u"2 folders selected"_s}, {u"start"_s, u"enabled"_s}},
         uR"(screen step=0 state=start label="2 folders selected" start="enabled")"},
        {9, u"alert", {{u"message"_s, uR"(Say "no" to C:\ )"_s}},
         uR"(screen step=9 state=alert message="Say \"no\" to C:\\ ")"},
        {2, u"select", {{u"status"_s, QString()}}, uR"(screen step=2 state=select status="")"},
    };
    for (const Case &testCase : cases) {
        EXPECT_EQ(screenLogLine(testCase.step, QStringView(testCase.state), testCase.fields),
                  QString::fromUtf16(testCase.expected));
    }
}
