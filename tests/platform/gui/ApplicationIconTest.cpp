#include "controls/VXView.h"
#include "platform/gui/ImageLoader.h"

#include "support/ScreenCapture.h"

#include <gtest/gtest.h>

#include <QFile>
#include <QJsonDocument>
#include <QJsonObject>

using namespace Qt::StringLiterals;

namespace {

QColor paletteColour(const QString &name)
{
    QFile file(QStringLiteral(MARROWICK_TEST_SOURCE_DIR "/../scripts/art-palette.json"));
    if (!file.open(QIODevice::ReadOnly))
        return {};
    return QColor(QJsonDocument::fromJson(file.readAll()).object().value(name).toString());
}

} // namespace

// The icon at the sizes desktops show it: a white page at the centre of the accent tile,
// whose colour shows left of the pages.
TEST(ApplicationIconTest, ReadsAtEverySizeInThePaletteColours)
{
    ASSERT_FALSE(ImageLoader::imageNamed(u"marrowick"_s).isNull());
    const QColor white = paletteColour(u"white"_s);
    const QColor accent = paletteColour(u"accent"_s);
    ASSERT_TRUE(accent.isValid());
    for (const int size : {16, 32, 48, 256}) {
        VXView icon;
        icon.setBackgroundImageName(u"marrowick"_s);
        icon.resize(size, size);
        const auto [single, twice] = ScreenCapture::save(icon, u"icon-marrowick-%1"_s.arg(size));
        for (const QImage &image : {single, twice}) {
            const int pixels = image.width();
            EXPECT_EQ(image.pixelColor(pixels / 2, pixels / 2), white) << size;
            EXPECT_EQ(image.pixelColor(pixels / 10, pixels / 2), accent) << size;
            // The tile's corners are round: the window shows through at the very corner.
            EXPECT_NE(image.pixelColor(0, 0), accent) << size;
        }
    }
}
