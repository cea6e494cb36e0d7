#include "controls/RQFileDropView.h"

#include "support/ScreenCapture.h"

#include <QTimer>
#include <QWidget>

#include <gtest/gtest.h>

using namespace Qt::StringLiterals;

namespace {

int alphaAt(const QImage &image, int x, int y)
{
    return qAlpha(image.pixel(x, y));
}

// The border alone, without the window's background that a capture adds.
QImage renderBorder(RQFileDropView &view, int ratio)
{
    QImage image(view.size() * ratio, QImage::Format_ARGB32_Premultiplied);
    image.setDevicePixelRatio(ratio);
    image.fill(Qt::transparent);
    view.render(&image, QPoint(), QRegion(), QWidget::DrawChildren);
    return image;
}

int inkedPixels(const QImage &image)
{
    int inked = 0;
    for (int y = 0; y < image.height(); ++y) {
        for (int x = 0; x < image.width(); ++x)
            inked += alphaAt(image, x, y) == 255 ? 1 : 0;
    }
    return inked;
}

} // namespace

TEST(RQFileDropViewTest, BorderIsAGreyDashedRingOverTheOuterThreePoints)
{
    // Inside a window, as in the application, so that only the border is drawn.
    QWidget window;
    auto *view = new RQFileDropView(&window);
    view->resize(160, 90);
    window.show();
    EXPECT_EQ(view->strokeColor(), QColor::fromRgbF(0.59f, 0.59f, 0.59f));
    const auto [single, twice] = ScreenCapture::save(*view, u"file-drop-view"_s);
    for (const QImage &saved : {single, twice}) {
        bool foundGrey = false;
        for (int x = 20; x < saved.width() - 20 && !foundGrey; ++x)
            foundGrey = saved.pixel(x, 1) == QColor::fromRgbF(0.59f, 0.59f, 0.59f).rgba();
        EXPECT_TRUE(foundGrey) << "at " << saved.devicePixelRatio();
    }
    for (const QImage &image : {renderBorder(*view, 1), renderBorder(*view, 2)}) {
        SCOPED_TRACE(image.devicePixelRatio());
        const int ratio = static_cast<int>(image.devicePixelRatio());
        const int band = 3 * ratio;
        const int corner = 9 * ratio;
        for (int y = 0; y < image.height(); ++y) {
            for (int x = 0; x < image.width(); ++x) {
                const bool inBand = x < band || y < band || x >= image.width() - band || y >= image.height() - band;
                const bool nearCorner = (x < corner || x >= image.width() - corner)
                    && (y < corner || y >= image.height() - corner);
                if (!inBand && !nearCorner) {
                    ASSERT_EQ(alphaAt(image, x, y), 0) << x << "," << y;
                }
            }
        }
        EXPECT_GT(inkedPixels(image), 0);
    }

    view->resize(300, 200);
    EXPECT_EQ(view->dropPath().boundingRect(), QRectF(1.5, 1.5, 157, 87)) << "the border keeps its first size";
}

TEST(RQFileDropViewTest, TheMarchRunsTenStepsOnOneTimer)
{
    QWidget window;
    auto *view = new RQFileDropView(&window);
    view->resize(120, 60);
    window.show();
    const QImage start = renderBorder(*view, 2);

    view->startAnimation();
    view->startAnimation();
    EXPECT_TRUE(view->isAnimating());
    EXPECT_EQ(view->findChildren<QTimer *>().size(), 1);
    EXPECT_EQ(view->findChild<QTimer *>()->interval(), 50);

    for (int step = 1; step <= 10; ++step) {
        view->tick();
        EXPECT_EQ(view->phase(), step % 10);
        if (step == 5) {
            const QImage half = renderBorder(*view, 2);
            EXPECT_NE(half, start);
            // Along the top edge the dashes at phase 5 fill exactly the gaps of phase 0.
            const int y = 3;
            for (int x = 20; x < start.width() - 20; ++x)
                EXPECT_NEAR(alphaAt(start, x, y) + alphaAt(half, x, y), 255, 2) << "x " << x;
            ScreenCapture::save(*view, u"file-drop-view-marching"_s);
        }
    }
    EXPECT_EQ(renderBorder(*view, 2), start);

    view->tick();
    view->tick();
    view->stopAnimation();
    EXPECT_FALSE(view->isAnimating());
    EXPECT_EQ(view->findChildren<QTimer *>().size(), 0);
    EXPECT_EQ(view->phase(), 2);
    view->stopAnimation();
    EXPECT_EQ(view->phase(), 2);
    EXPECT_GT(inkedPixels(renderBorder(*view, 1)), 0) << "still drawn when still";
}
