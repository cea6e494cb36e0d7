#include "controls/StringFontSize.h"

#include <QApplication>
#include <QFontMetricsF>

#include <gtest/gtest.h>

#include <limits>

namespace {

// Measures every text as w x h at 12 pixels, growing with the font.
TextMeasure fixedMeasure(QSizeF atTwelve)
{
    return [atTwelve](const QString &, const QFont &font) {
        return atTwelve * (rq_fontPixelSize(font) / 12);
    };
}

TEST(StringFontSizeTest, scaleToAspectFitTakesTheTighterSide)
{
    EXPECT_DOUBLE_EQ(rq_scaleToAspectFit({60, 15}, {120, 20}, 0), 20.0 / 15);
    EXPECT_DOUBLE_EQ(rq_scaleToAspectFit({60, 15}, {120, 20}, 5), 1.0);
}

TEST(StringFontSizeTest, fontToFitSize)
{
    const double infinity = std::numeric_limits<double>::infinity();
    struct Case
    {
        const char *name;
        QString text;
        QSizeF measured;
        QSizeF box;
        std::optional<qreal> pixels;
    };
    const Case cases[] = {
        {"height limits", QStringLiteral("1234"), {60, 15}, {120, 20}, 16},
        {"width limits", QStringLiteral("1234"), {60, 15}, {30, 20}, 6},
        {"empty text", QString(), {60, 15}, {120, 20}, std::nullopt},
        {"nothing measured", QStringLiteral("1234"), {0, 0}, {120, 20}, std::nullopt},
        {"negative box", QStringLiteral("1234"), {60, 15}, {-3, 20}, std::nullopt},
        {"empty box", QStringLiteral("1234"), {60, 15}, {0, 20}, std::nullopt},
        {"infinite box", QStringLiteral("1234"), {60, 15}, {infinity, infinity}, std::nullopt},
    };
    const QFont base = QApplication::font();
    for (const Case &c : cases) {
        const std::optional<QFont> font = rq_fontToFitSize(c.text, c.box, base, fixedMeasure(c.measured));
        ASSERT_EQ(font.has_value(), c.pixels.has_value()) << c.name;
        if (font) {
            EXPECT_NEAR(rq_fontPixelSize(*font), *c.pixels, 1e-6) << c.name;
            EXPECT_EQ(font->family(), base.family());
        }
    }
}

TEST(StringFontSizeTest, fittedTextFitsWhenMeasuredForReal)
{
    QFont base = QApplication::font();
    base.setBold(true);
    for (const QSizeF box : {QSizeF(100, 30), QSizeF(300, 40), QSizeF(40, 60)}) {
        const std::optional<QFont> font = rq_fontToFitSize(QStringLiteral("1,234,567"), box, base);
        ASSERT_TRUE(font.has_value());
        EXPECT_TRUE(font->bold());
        const QSizeF size = QFontMetricsF(*font).size(Qt::TextSingleLine, QStringLiteral("1,234,567"));
        EXPECT_LE(size.width(), box.width() + 2);
        EXPECT_LE(size.height(), box.height() + 2);
        EXPECT_TRUE(size.width() > box.width() * 0.85 || size.height() > box.height() * 0.85)
            << "one side nearly fills the box";
    }
}

} // namespace
