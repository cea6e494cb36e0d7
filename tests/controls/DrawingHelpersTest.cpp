#include "controls/ShadowPainter.h"
#include "controls/ThreePartPainter.h"
#include "controls/YUpGeometry.h"
#include "platform/gui/ImageLoader.h"

#include "support/ColorPrinter.h"

#include <QPainter>

#include <gtest/gtest.h>

namespace {

QImage canvas(QSize size, qreal ratio)
{
    QImage image(size * ratio, QImage::Format_ARGB32_Premultiplied);
    image.setDevicePixelRatio(ratio);
    image.fill(Qt::transparent);
    return image;
}

TEST(YUpGeometryTest, rectanglesCountFromTheBottomEdge)
{
    struct Case
    {
        QRectF yUp;
        qreal height;
        QRectF widget;
    };
    const Case cases[] = {
        {{0, 3, 50, 17}, 20, {0, 0, 50, 17}},
        {{0, 19, 50, 1}, 20, {0, 0, 50, 1}},
        {{0, 2, 50, 1}, 20, {0, 17, 50, 1}},
        {{5, 0, 10, 4}, 4, {5, 0, 10, 4}},
    };
    for (const Case &c : cases)
        EXPECT_EQ(YUpGeometry::toWidget(c.yUp, c.height), c.widget);
}

TEST(ShadowPainterTest, shadowFallsByItsYUpOffsetUnderTheContent)
{
    const RQShadow red{QColor(255, 0, 0), 0, QPointF(0, -1)};
    for (const qreal ratio : {1.0, 2.0}) {
        QImage image = canvas(QSize(40, 40), ratio);
        QPainter painter(&image);
        int calls = 0;
        ShadowPainter::drawWithShadow(painter, red, QRectF(10, 10, 10, 10), [&](QPainter &p) {
            ++calls;
            p.fillRect(QRectF(10, 10, 10, 10), Qt::black);
        });
        painter.end();
        EXPECT_EQ(calls, 2);
        const auto at = [&](qreal x, qreal y) { return QColor(image.pixel(QPointF(x, y).toPoint() * ratio)); };
        EXPECT_EQ(at(15, 15), QColor(Qt::black)) << "content over its shadow";
        EXPECT_EQ(at(15, 20), QColor(255, 0, 0)) << "one point below the content";
        EXPECT_EQ(qAlpha(image.pixel(QPoint(15, 9) * ratio)), 0) << "nothing above";
    }
}

TEST(ShadowPainterTest, blurFadesOutwardAndAnInvisibleShadowDrawsOnlyTheContent)
{
    QImage image = canvas(QSize(40, 40), 1);
    QPainter painter(&image);
    ShadowPainter::drawWithShadow(painter, RQShadow{QColor(0, 0, 0, 255), 2, QPointF(0, -4)},
                                  QRectF(10, 10, 10, 10),
                                  [](QPainter &p) { p.fillRect(QRectF(10, 10, 10, 10), Qt::white); });
    painter.end();
    const int near = qAlpha(image.pixel(15, 21));
    const int far = qAlpha(image.pixel(15, 26));
    EXPECT_GT(near, far);
    EXPECT_GT(far, 0);
    EXPECT_EQ(qAlpha(image.pixel(15, 35)), 0);

    QImage plain = canvas(QSize(40, 40), 1);
    QPainter plainPainter(&plain);
    int calls = 0;
    ShadowPainter::drawWithShadow(plainPainter, RQShadow{}, QRectF(10, 10, 10, 10), [&](QPainter &p) {
        ++calls;
        p.fillRect(QRectF(10, 10, 10, 10), Qt::white);
    });
    plainPainter.end();
    EXPECT_EQ(calls, 1);
    EXPECT_EQ(qAlpha(plain.pixel(15, 21)), 0);
}

TEST(ThreePartPainterTest, capsKeepTheirWidthAndTheMiddleStretches)
{
    const NamedImage track = ImageLoader::imageNamed(QStringLiteral("progress-background-left"));
    const NamedImage fill = ImageLoader::imageNamed(QStringLiteral("progress-middle"));
    const NamedImage end = ImageLoader::imageNamed(QStringLiteral("progress-right-corner"));
    const QColor trackFace(0xEE, 0xEE, 0xEE);
    const QColor accent(0x20, 0x94, 0xFA);
    struct Case
    {
        qreal overlap;
        QColor lastLeftCapColumn;
    };
    for (const Case &c : {Case{0, trackFace}, Case{1, accent}}) {
        for (const qreal ratio : {1.0, 2.0}) {
            QImage image = canvas(QSize(40, 8), ratio);
            QPainter painter(&image);
            ThreePartPainter::draw(painter, QRectF(0, 0, 40, 8), track, fill, end, c.overlap);
            painter.end();
            const auto at = [&](qreal x) { return QColor(image.pixel(QPointF(x, 4).toPoint() * ratio)); };
            EXPECT_EQ(at(1.5), trackFace);
            EXPECT_EQ(at(3), c.lastLeftCapColumn) << "overlap " << c.overlap;
            EXPECT_EQ(at(20), accent);
            EXPECT_EQ(at(38), accent);
        }
    }
}

TEST(ThreePartPainterTest, narrowFramesAndNullSlicesAreSafe)
{
    const NamedImage left = ImageLoader::imageNamed(QStringLiteral("progress-left-corner"));
    const NamedImage right = ImageLoader::imageNamed(QStringLiteral("progress-right-corner"));
    const NamedImage missing = ImageLoader::imageNamed(QStringLiteral("no-such-slice"));
    QImage image = canvas(QSize(20, 8), 1);
    QPainter painter(&image);
    ThreePartPainter::draw(painter, QRectF(0, 0, 6, 8), left, missing, right, 1);
    ThreePartPainter::draw(painter, QRectF(10, 0, 0, 8), left, left, right);
    ThreePartPainter::draw(painter, QRectF(10, 0, 10, 8), missing, missing, missing);
    painter.end();
    EXPECT_EQ(qAlpha(image.pixel(3, 4)), 255);
    EXPECT_EQ(qAlpha(image.pixel(15, 4)), 0);
}

} // namespace
