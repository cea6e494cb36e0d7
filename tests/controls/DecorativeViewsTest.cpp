#include "controls/MWLinedBackgroundView.h"
#include "controls/MWToolbarStatusView.h"
#include "controls/VXGradientSeparatorView.h"
#include "controls/VXRecessedPane.h"
#include "controls/VXResponderView.h"
#include "controls/VXView.h"
#include "platform/gui/ImageLoader.h"

#include "support/ColorPrinter.h"
#include "support/ScreenCapture.h"

#include <QVBoxLayout>

#include <gtest/gtest.h>

#include <memory>

namespace {

// A view's pixel at a point in points, at either ratio.
QColor pixelAt(const QImage &image, int x, int y)
{
    const auto ratio = static_cast<int>(image.devicePixelRatio());
    return QColor::fromRgba(image.pixel(x * ratio, y * ratio));
}

// The view filling a white background, as it would sit in a window.
std::unique_ptr<QWidget> onWhite(QWidget *view, QSize size)
{
    auto holder = std::make_unique<QWidget>();
    holder->setAutoFillBackground(true);
    QPalette palette = holder->palette();
    palette.setColor(QPalette::Window, Qt::white);
    holder->setPalette(palette);
    auto *layout = new QVBoxLayout(holder.get());
    layout->setContentsMargins(0, 0, 0, 0);
    layout->addWidget(view);
    holder->resize(size);
    return holder;
}

TEST(DecorativeViewsTest, linedBackgroundDrawsWholeLinesEveryTwoPoints)
{
    MWLinedBackgroundView lined;
    lined.resize(9, 12);
    const QRgb defaultLine = QColor::fromRgbF(0.9529f, 0.9608f, 0.9843f).rgba();
    const QRgb window = lined.palette().color(QPalette::Window).rgba();
    const auto [single, twice] = ScreenCapture::save(lined, QStringLiteral("lined-background-9pt"));
    for (const QImage &image : {single, twice}) {
        for (int x = 0; x < 9; ++x) {
            const bool line = x % 2 == 0 && x < 8;
            EXPECT_EQ(pixelAt(image, x, 6).rgba(), line ? defaultLine : window)
                << "x " << x << " at " << image.devicePixelRatio();
        }
    }
    EXPECT_EQ(lined.lineColor().rgba(), defaultLine) << "the default is kept once drawn";

    MWLinedBackgroundView coloured;
    coloured.setBackgroundColor(Qt::white);
    coloured.setLineColor(QColor(0xd0, 0xd8, 0xe8));
    coloured.resize(160, 60);
    const auto [wide, wideTwice] = ScreenCapture::save(coloured, QStringLiteral("lined-background"));
    EXPECT_EQ(pixelAt(wide, 158, 30), QColor(0xd0, 0xd8, 0xe8));
    EXPECT_EQ(pixelAt(wideTwice, 159, 59), QColor(Qt::white));
}

TEST(DecorativeViewsTest, toolbarStatusViewStretchesItsImage)
{
    // At the image's own size its edges are crisp; stretched, the face still fills the middle.
    MWToolbarStatusView status;
    status.resize(ImageLoader::imageNamed(QStringLiteral("background-status")).size().toSize());
    const auto [single, twice] = ScreenCapture::save(status, QStringLiteral("toolbar-status-view"));
    for (const QImage &image : {single, twice}) {
        EXPECT_EQ(pixelAt(image, 130, 0), QColor(0x9A, 0x9A, 0x9A));
        EXPECT_EQ(pixelAt(image, 130, 19), QColor(0xFB, 0xFB, 0xFB));
        EXPECT_EQ(pixelAt(image, status.width() - 1, 19), QColor(0x9A, 0x9A, 0x9A));
    }
    status.resize(200, 30);
    const auto [stretched, stretchedTwice] =
        ScreenCapture::save(status, QStringLiteral("toolbar-status-view-stretched"));
    EXPECT_EQ(pixelAt(stretched, 100, 15), QColor(0xFB, 0xFB, 0xFB));
    EXPECT_EQ(pixelAt(stretchedTwice, 100, 15), QColor(0xFB, 0xFB, 0xFB));
}

TEST(DecorativeViewsTest, gradientSeparatorPutsItsRowsFromTheBottomUp)
{
    const auto holder = onWhite(new VXGradientSeparatorView, QSize(120, 20));
    const QColor border = QColor::fromRgbF(0.24f, 0.24f, 0.24f);
    const auto [single, twice] = ScreenCapture::save(*holder, QStringLiteral("gradient-separator"));
    for (const QImage &image : {single, twice}) {
        EXPECT_EQ(pixelAt(image, 60, 0).rgba(), border.rgba()) << "top border";
        EXPECT_EQ(pixelAt(image, 60, 17).rgba(), border.rgba()) << "bottom border, 2 points up";
        EXPECT_GT(pixelAt(image, 60, 16).lightness(), pixelAt(image, 60, 15).lightness())
            << "highlight above the bottom border";
        EXPECT_GT(pixelAt(image, 60, 3).lightness(), pixelAt(image, 60, 14).lightness())
            << "lighter at the top";
        EXPECT_LT(pixelAt(image, 60, 1).lightness(), pixelAt(image, 60, 3).lightness())
            << "the top border's shadow falls below it";
        EXPECT_LT(pixelAt(image, 60, 18).lightness(), pixelAt(image, 60, 19).lightness())
            << "shadow under the bottom border";
        EXPECT_LT(pixelAt(image, 60, 19).lightness(), 255);
    }
}

TEST(DecorativeViewsTest, recessedPaneIsDarkestAtItsShadowEdge)
{
    struct Case
    {
        int side;
        const char *name;
        QPoint edge;
        QPoint inward;
    };
    const Case cases[] = {
        {VXRecessedPane::Left, "left", {0, 20}, {1, 0}},
        {VXRecessedPane::Right, "right", {59, 20}, {-1, 0}},
        {VXRecessedPane::Top, "top", {30, 0}, {0, 1}},
        {VXRecessedPane::Bottom, "bottom", {30, 39}, {0, -1}},
        {7, "other", {0, 20}, {1, 0}},
    };
    for (const Case &c : cases) {
        auto *pane = new VXRecessedPane;
        pane->setShadowSideObj(c.side);
        EXPECT_EQ(pane->blurRadius(), 3);
        const auto holder = onWhite(pane, QSize(60, 40));
        const auto [single, twice] = ScreenCapture::save(
            *holder, QStringLiteral("recessed-pane-") + QLatin1String(c.name));
        for (const QImage &image : {single, twice}) {
            const auto lightnessAt = [&](int depth) {
                const QPoint at = c.edge + c.inward * depth;
                return pixelAt(image, at.x(), at.y()).lightness();
            };
            EXPECT_LT(lightnessAt(0), lightnessAt(1)) << c.name;
            EXPECT_LT(lightnessAt(1), lightnessAt(2)) << c.name;
            EXPECT_EQ(lightnessAt(3), 255) << c.name;
            EXPECT_LT(lightnessAt(0), 240) << c.name;
        }
    }
}

TEST(DecorativeViewsTest, recessedPaneRedrawsOnlyForItsInterfaceFileSide)
{
    VXRecessedPane pane;
    pane.setShadowSide(VXRecessedPane::Bottom);
    EXPECT_EQ(pane.shadowSide(), VXRecessedPane::Bottom);
    pane.setShadowSideObj(2);
    EXPECT_EQ(pane.shadowSide(), VXRecessedPane::Top);
    EXPECT_EQ(pane.shadowSideObj(), QVariant(2));
}

TEST(DecorativeViewsTest, viewFillsOutlinesAndClipsItsImageToItsShape)
{
    struct Case
    {
        const char *name;
        double radius;
        QColor border;
        double borderWidth;
        QString image;
        QColor corner;
        QColor edge;
        QColor middle;
    };
    const QColor fill(0xf0, 0xe0, 0xd0);
    const QColor line(0x40, 0x40, 0x80);
    const QColor clear(Qt::white);
    const Case cases[] = {
        {"plain", 0, QColor(), 0, QString(), fill, fill, fill},
        {"border colour without width", 4, line, 0, QString(), clear, fill, fill},
        {"bordered", 4, line, 1, QString(), clear, line, fill},
        {"image", 4, QColor(), 0, QStringLiteral("background-icons"), clear,
         QColor(0xF3, 0xF5, 0xFB), QColor(0xF3, 0xF5, 0xFB)},
    };
    for (const Case &c : cases) {
        auto *view = new VXView;
        view->setBackgroundColor(fill);
        view->setCornerRadius(c.radius);
        view->setBorderColor(c.border);
        view->setBorderWidth(c.borderWidth);
        view->setBackgroundImageName(c.image);
        EXPECT_EQ(view->backgroundImageName(), c.image);
        const auto holder = onWhite(view, QSize(120, 80));
        const auto [single, twice] = ScreenCapture::save(
            *holder, QStringLiteral("view-") + QString::fromLatin1(c.name).replace(QLatin1Char(' '), QLatin1Char('-')));
        for (const QImage &image : {single, twice}) {
            EXPECT_EQ(pixelAt(image, 0, 0), c.corner) << c.name;
            EXPECT_EQ(pixelAt(image, 0, 40), c.edge) << c.name;
            EXPECT_EQ(pixelAt(image, 60, 2), c.middle) << c.name;
        }
    }
}

TEST(DecorativeViewsTest, tinyViewsDrawNothingAndDoNotFail)
{
    VXView view;
    view.setBackgroundColor(Qt::red);
    view.setBorderColor(Qt::black);
    view.setBorderWidth(2);
    view.setCornerRadius(8);
    VXGradientSeparatorView separator;
    MWLinedBackgroundView lined;
    for (const QSize size : {QSize(1, 1), QSize(0, 10), QSize(2, 2)}) {
        for (QWidget *widget : std::initializer_list<QWidget *>{&view, &separator, &lined}) {
            widget->resize(size);
            if (!size.isEmpty()) {
                EXPECT_FALSE(ScreenCapture::render(*widget, 2).isNull());
            }
        }
    }
}

TEST(DecorativeViewsTest, responderViewHoldsItsControllerWithoutOwningIt)
{
    VXResponderView view;
    EXPECT_EQ(view.viewController(), nullptr);
    auto first = std::make_unique<QObject>();
    QObject second;
    view.setViewController(first.get());
    view.setViewController(&second);
    EXPECT_EQ(view.viewController(), &second);
    view.setViewController(first.get());
    first.reset();
    EXPECT_EQ(view.viewController(), nullptr);
}

} // namespace
