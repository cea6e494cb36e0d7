#include "platform/gui/ImageLoader.h"

#include "support/ColorPrinter.h"
#include "support/ScreenCapture.h"

#include <QFile>
#include <QJsonDocument>
#include <QJsonObject>
#include <QPainter>
#include <QRegularExpression>
#include <QSet>
#include <QWidget>

#include <gtest/gtest.h>

namespace {

// Every image the interface asks for by name.
const QStringList &artworkNames()
{
    static const QStringList names = [] {
        QStringList list{QStringLiteral("background-status"), QStringLiteral("background-icons"),
                         QStringLiteral("icon-add"), QStringLiteral("icon-add-hover"),
                         QStringLiteral("icon-generic-folder"),
                         QStringLiteral("icon-generic-folder-multiple"),
                         QStringLiteral("icon-generic-folder-multiple-tamsel")};
        for (const char *part : {"left", "middle", "right"}) {
            for (const char *colour : {"blue", "green"}) {
                const QString slice = QStringLiteral("button-%1-%2").arg(QLatin1String(colour),
                                                                        QLatin1String(part));
                list << slice << slice + QStringLiteral("-active");
            }
            const QString gray = QStringLiteral("button-gray-") + QLatin1String(part);
            list << gray << gray + QStringLiteral("-highlighted");
            list << QStringLiteral("progress-background-") + QLatin1String(part);
        }
        list << QStringLiteral("progress-left-corner") << QStringLiteral("progress-middle")
             << QStringLiteral("progress-right-corner");
        for (const char *theme : {"default", "blue", "green", "orange", "red"})
            list << QLatin1String(theme) + QStringLiteral("-divider");
        return list;
    }();
    return names;
}

QSet<QString> paletteColours()
{
    QFile file(QStringLiteral(MARROWICK_TEST_SOURCE_DIR "/../scripts/art-palette.json"));
    EXPECT_TRUE(file.open(QIODevice::ReadOnly));
    QSet<QString> colours;
    const QJsonObject palette = QJsonDocument::fromJson(file.readAll()).object();
    for (const QJsonValue &value : palette)
        colours.insert(value.toString().toUpper());
    return colours;
}

bool hasInk(const QImage &image)
{
    for (int y = 0; y < image.height(); ++y)
        for (int x = 0; x < image.width(); ++x)
            if (qAlpha(image.pixel(x, y)) > 0)
                return true;
    return false;
}

// Every image labelled with its name: at its own size, large ones shrunk to fit and small
// slices shown three times as large so their shapes can be seen.
class ArtSheet final : public QWidget
{
public:
    static constexpr int cellWidth = 230;
    static constexpr int cellHeight = 110;
    static constexpr int columns = 6;

    ArtSheet()
    {
        const auto rows = static_cast<int>((artworkNames().size() + columns - 1) / columns);
        resize(cellWidth * columns, cellHeight * rows);
    }

protected:
    void paintEvent(QPaintEvent *) override
    {
        QPainter painter(this);
        painter.fillRect(rect(), QColor(0xd8, 0xd8, 0xd8));
        for (qsizetype index = 0; index < artworkNames().size(); ++index) {
            const QString &name = artworkNames().at(index);
            const QRectF cell(static_cast<qreal>(index % columns) * cellWidth,
                              static_cast<qreal>(index / columns) * cellHeight, cellWidth,
                              cellHeight);
            const NamedImage image = ImageLoader::imageNamed(name);
            QSizeF size = image.size();
            if (qMax(size.width(), size.height()) < 40)
                size *= 3;
            size.scale(size.boundedTo(QSizeF(cellWidth - 20, cellHeight - 30)), Qt::KeepAspectRatio);
            ImageLoader::imageNamed(name).draw(
                painter, QRectF(QPointF(cell.center().x() - size.width() / 2, cell.top() + 8), size));
            painter.drawText(cell.adjusted(2, 0, -2, -4), Qt::AlignHCenter | Qt::AlignBottom, name);
        }
    }
};

TEST(ImageLoaderTest, everyNamedImageLoadsWithInkAtBothRatios)
{
    for (const QString &name : artworkNames()) {
        const NamedImage image = ImageLoader::imageNamed(name);
        ASSERT_FALSE(image.isNull()) << name.toStdString();
        EXPECT_EQ(image.name(), name);
        EXPECT_FALSE(image.size().isEmpty()) << name.toStdString();
        for (const qreal ratio : {1.0, 2.0}) {
            const QPixmap pixmap = image.pixmap(image.size(), ratio);
            EXPECT_EQ(pixmap.size(), (image.size() * ratio).toSize()) << name.toStdString();
            EXPECT_EQ(pixmap.devicePixelRatio(), ratio);
            EXPECT_TRUE(hasInk(pixmap.toImage())) << name.toStdString() << " at " << ratio;
        }
    }
}

TEST(ImageLoaderTest, artworkUsesOnlyThePaletteColours)
{
    const QSet<QString> palette = paletteColours();
    ASSERT_FALSE(palette.isEmpty());
    static const QRegularExpression hexColour(QStringLiteral("#[0-9A-Fa-f]{3,8}\\b"));
    static const QRegularExpression namedColour(
        QStringLiteral("(?:fill|stroke|stop-color)=\"(?!none|#)([^\"]+)\""));
    for (const QString &name : artworkNames()) {
        QFile file(ImageLoader::resourcePath(name));
        ASSERT_TRUE(file.open(QIODevice::ReadOnly)) << name.toStdString();
        const QString text = QString::fromUtf8(file.readAll());
        for (const auto &match : hexColour.globalMatch(text))
            EXPECT_TRUE(palette.contains(match.captured().toUpper()))
                << name.toStdString() << " uses " << match.captured().toStdString();
        EXPECT_FALSE(namedColour.match(text).hasMatch()) << name.toStdString();
    }
}

TEST(ImageLoaderTest, missingNamesAnswerANullImageThatDrawsNothing)
{
    for (const QString &name : {QString(), QStringLiteral("no-such-image"),
                                QStringLiteral("icon-add-hover-hover")}) {
        const NamedImage image = ImageLoader::imageNamed(name);
        EXPECT_TRUE(image.isNull());
        EXPECT_TRUE(image.name().isEmpty());
        EXPECT_TRUE(image.pixmap(QSizeF(10, 10), 1).isNull());
        QImage canvas(10, 10, QImage::Format_ARGB32_Premultiplied);
        canvas.fill(Qt::transparent);
        QPainter painter(&canvas);
        image.draw(painter, QRectF(0, 0, 10, 10));
        painter.end();
        EXPECT_FALSE(hasInk(canvas));
    }
}

TEST(ImageLoaderTest, renderedPixmapsAreSharedPerSizeAndRatio)
{
    const NamedImage first = ImageLoader::imageNamed(QStringLiteral("icon-add"));
    const NamedImage again = ImageLoader::imageNamed(QStringLiteral("icon-add"));
    EXPECT_EQ(first, again);
    const QPixmap once = first.pixmap(QSizeF(64, 64), 2);
    EXPECT_EQ(again.pixmap(QSizeF(64, 64), 2).cacheKey(), once.cacheKey());
    EXPECT_NE(first.pixmap(QSizeF(64, 64), 1).cacheKey(), once.cacheKey());
    EXPECT_NE(first.pixmap(QSizeF(32, 32), 2).cacheKey(), once.cacheKey());
}

TEST(ImageLoaderTest, drawingFollowsThePaintersDeviceRatio)
{
    const NamedImage add = ImageLoader::imageNamed(QStringLiteral("icon-add"));
    QImage twice(256, 256, QImage::Format_ARGB32_Premultiplied);
    twice.setDevicePixelRatio(2);
    twice.fill(Qt::transparent);
    QPainter painter(&twice);
    add.draw(painter, QRectF(0, 0, 128, 128));
    painter.end();
    // A 2x rendering matches the pixmap made for ratio 2 pixel for pixel.
    EXPECT_EQ(twice, add.pixmap(QSizeF(128, 128), 2).toImage().convertToFormat(twice.format()));
}

TEST(ImageLoaderTest, artSheetShowsEveryImage)
{
    ArtSheet sheet;
    const auto [single, twice] = ScreenCapture::save(sheet, QStringLiteral("art-sheet"));
    ASSERT_EQ(twice.size(), single.size() * 2);
    // The plus sign of "icon-add" sits in the middle of its cell at both ratios.
    const int index = static_cast<int>(artworkNames().indexOf(QStringLiteral("icon-add")));
    const QPoint plusCentre(index % ArtSheet::columns * ArtSheet::cellWidth + ArtSheet::cellWidth / 2,
                            index / ArtSheet::columns * ArtSheet::cellHeight + 8 + 40);
    EXPECT_EQ(QColor(single.pixel(plusCentre)), QColor(0x20, 0x94, 0xFA));
    EXPECT_EQ(QColor(twice.pixel(plusCentre * 2)), QColor(0x20, 0x94, 0xFA));
}

} // namespace
