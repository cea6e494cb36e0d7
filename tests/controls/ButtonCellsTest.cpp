#include "controls/MWNavigationButtonCell.h"
#include "controls/RQButton.h"
#include "controls/RQMavericksButton.h"
#include "controls/RQMavericksButtonCell.h"
#include "controls/RQPushButtonTheme.h"
#include "controls/RQTexturedButtonTheme.h"
#include "controls/TitlePainter.h"
#include "controls/VXBlueButton.h"
#include "controls/VXBlueButtonCell.h"
#include "controls/VXGrayButtonCell.h"

#include "support/ColorPrinter.h"
#include "support/ScreenCapture.h"

#include <QPainter>
#include <QTest>

#include <gtest/gtest.h>

#include <memory>

namespace {

const QColor accent(0x20, 0x94, 0xFA);
const QColor green(0x2F, 0xA8, 0x4F);

// A button on a white background, as a window would show it.
struct OnWhite
{
    explicit OnWhite(QWidget *button, QSize size)
    {
        holder.setAutoFillBackground(true);
        QPalette palette = holder.palette();
        palette.setColor(QPalette::Window, Qt::white);
        holder.setPalette(palette);
        button->setParent(&holder);
        button->setGeometry(QRect(QPoint(0, 0), size));
        holder.resize(size);
    }
    QWidget holder;
};

QColor pixelAt(const QImage &image, QPointF point)
{
    return QColor::fromRgba(image.pixel((point * image.devicePixelRatio()).toPoint()));
}

// How many pixels of a row band are nearly white: the ink of a white title.
int whiteInk(const QImage &image)
{
    int count = 0;
    for (int y = 0; y < image.height(); ++y)
        for (int x = image.width() / 4; x < image.width() * 3 / 4; ++x)
            if (qMin(qMin(qRed(image.pixel(x, y)), qGreen(image.pixel(x, y))), qBlue(image.pixel(x, y))) > 235)
                ++count;
    return count;
}

void expectNear(const QColor &actual, const QColor &expected, int tolerance, const std::string &what)
{
    EXPECT_NEAR(actual.red(), expected.red(), tolerance) << what;
    EXPECT_NEAR(actual.green(), expected.green(), tolerance) << what;
    EXPECT_NEAR(actual.blue(), expected.blue(), tolerance) << what;
}

TEST(VXBlueButtonCellTest, slicesFollowSuccessAndHighlight)
{
    using Slice = VXBlueButtonCell::Slice;
    struct Case
    {
        bool success;
        bool highlighted;
        const char *left;
        const char *middle;
        const char *right;
    };
    const Case cases[] = {
        {false, false, "button-blue-left", "button-blue-middle", "button-blue-right"},
        {false, true, "button-blue-left-active", "button-blue-middle-active", "button-blue-right-active"},
        {true, false, "button-green-left", "button-green-middle", "button-green-right"},
        {true, true, "button-green-left-active", "button-green-middle-active", "button-green-right-active"},
    };
    VXBlueButtonCell cell;
    for (const Case &c : cases) {
        cell.setSuccess(c.success);
        EXPECT_EQ(cell.sliceName(Slice::Left, c.highlighted), QLatin1String(c.left));
        EXPECT_EQ(cell.sliceName(Slice::Middle, c.highlighted), QLatin1String(c.middle));
        EXPECT_EQ(cell.sliceName(Slice::Right, c.highlighted), QLatin1String(c.right));
        EXPECT_FALSE(cell.sliceImage(Slice::Middle, c.highlighted).isNull());
    }
}

TEST(VXBlueButtonTest, blueGreenPressedAndDisabled)
{
    struct Case
    {
        const char *name;
        bool success;
        bool pressed;
        bool enabled;
        QColor face;
    };
    const auto blend = [](const QColor &colour, qreal opacity) {
        const auto over = [&](int channel) { return qRound(channel * opacity + 255 * (1 - opacity)); };
        return QColor(over(colour.red()), over(colour.green()), over(colour.blue()));
    };
    const Case cases[] = {
        {"blue", false, false, true, accent},
        {"blue-pressed", false, true, true, QColor(0x16, 0x76, 0xD0)},
        {"green", true, false, true, green},
        {"green-pressed", true, true, true, QColor(0x24, 0x8A, 0x3F)},
        {"blue-disabled", false, false, false, blend(accent, 0.6)},
        {"green-disabled", true, false, false, blend(green, 0.6)},
    };
    for (const Case &c : cases) {
        auto *button = new VXBlueButton;
        button->setTitle(QStringLiteral("Start Scan"));
        button->setSuccess(c.success);
        button->setDown(c.pressed);
        button->setEnabled(c.enabled);
        OnWhite window(button, QSize(140, 28));
        const auto [single, twice] =
            ScreenCapture::save(window.holder, QStringLiteral("blue-button-") + QLatin1String(c.name));
        for (const QImage &image : {single, twice}) {
            expectNear(pixelAt(image, {10, 4}), c.face, 2, c.name);
            expectNear(pixelAt(image, {130, 4}), c.face, 2, c.name);
            EXPECT_GT(whiteInk(image), 10) << c.name << ": white title";
        }
    }
}

TEST(VXBlueButtonTest, successTakesEffectOnceAndProgressBlanksTheTitle)
{
    VXBlueButton button;
    button.setTitle(QStringLiteral("Remove"));
    button.setSuccess(true);
    button.setSuccess(true);
    EXPECT_TRUE(button.success());
    EXPECT_EQ(button.titleColor(), QColor(Qt::white));
    ASSERT_TRUE(button.textShadow().has_value());
    EXPECT_EQ(button.textShadow()->offset, QPointF(0, -1));
    button.startProgress();
    EXPECT_EQ(button.title(), QString());
    EXPECT_EQ(button.oldTitle(), QStringLiteral("Remove"));
    button.stopProgress();
    EXPECT_EQ(button.title(), QStringLiteral("Remove"));
    EXPECT_EQ(button.oldTitle(), QString());
}

TEST(VXGrayButtonCellTest, greyPillDarkerWhilePressed)
{
    int previousLightness = 256;
    for (const bool pressed : {false, true}) {
        auto *button = new RQButton;
        button->setCellClass(QStringLiteral("VXGrayButtonCell"));
        button->setTitle(QStringLiteral("Clear"));
        button->setDown(pressed);
        OnWhite window(button, QSize(100, 28));
        const auto [single, twice] = ScreenCapture::save(
            window.holder, pressed ? QStringLiteral("gray-button-pressed") : QStringLiteral("gray-button"));
        const int lightness = pixelAt(single, {10, 4}).lightness();
        EXPECT_LT(lightness, previousLightness);
        previousLightness = lightness;
        EXPECT_EQ(pixelAt(twice, {10, 4}).lightness(), lightness);
        EXPECT_GT(whiteInk(single), 10);
    }
    EXPECT_TRUE(VXGrayButtonCell::titleFont().bold());
}

TEST(MWNavigationButtonCellTest, titleMovesTowardsTheArrowAndGreysWhenDisabled)
{
    struct Case
    {
        const char *name;
        int tag;
        bool enabled;
        qreal dx;
    };
    const Case cases[] = {
        {"back", 0, true, -3},
        {"next", 1, true, 3},
        {"next-disabled", 1, false, 3},
    };
    const QRectF frame(10, 5, 80, 20);
    for (const Case &c : cases) {
        auto *button = new RQButton;
        button->setCellClass(QStringLiteral("MWNavigationButtonCell"));
        button->setTag(c.tag);
        button->setTitle(c.tag == 1 ? QStringLiteral("Next") : QStringLiteral("Back"));
        button->setEnabled(c.enabled);
        OnWhite window(button, QSize(100, 30));

        QImage scratch(100, 30, QImage::Format_ARGB32_Premultiplied);
        QPainter painter(&scratch);
        const QRectF drawn = button->cell().drawTitle(painter, button->attributedTitle(), frame, *button);
        painter.end();
        EXPECT_EQ(drawn, frame.translated(c.dx, 2)) << c.name;

        const auto [single, twice] =
            ScreenCapture::save(window.holder, QStringLiteral("navigation-button-") + QLatin1String(c.name));
        int darkest = 255;
        for (int y = 0; y < single.height(); ++y)
            for (int x = 25; x < 75; ++x)
                darkest = qMin(darkest, QColor(single.pixel(x, y)).lightness());
        if (c.enabled) {
            EXPECT_LT(darkest, 40) << c.name << ": black ink";
        } else {
            EXPECT_NEAR(darkest, 102, 12) << c.name << ": 40 % white ink";
        }
    }
}

TEST(RQMavericksButtonCellTest, themesByBezelStyle)
{
    RQMavericksButton button;
    struct Case
    {
        int bezelStyle;
        const RQMavericksButtonTheme *theme;
    };
    for (const Case &c : {Case{1, &RQPushButtonTheme::theme()}, Case{11, &RQTexturedButtonTheme::theme()},
                          Case{2, nullptr}, Case{0, nullptr}}) {
        button.setBezelStyle(c.bezelStyle);
        EXPECT_EQ(RQMavericksButtonCell::buttonTheme(button), c.theme) << c.bezelStyle;
    }
    EXPECT_EQ(&RQPushButtonTheme::theme(), &RQPushButtonTheme::theme());
}

TEST(RQMavericksButtonCellTest, themeShapes)
{
    struct Case
    {
        const RQMavericksButtonTheme *theme;
        QRectF frame;
        std::optional<QRectF> shape;
    };
    const Case cases[] = {
        {&RQPushButtonTheme::theme(), {0, 0, 100, 32}, QRectF(7.5, 4.5, 85, 20)},
        {&RQTexturedButtonTheme::theme(), {0, 0, 100, 32}, QRectF(0.5, 1.5, 99, 28)},
        {&RQPushButtonTheme::theme(), {0, 0, 15, 32}, std::nullopt},
        {&RQPushButtonTheme::theme(), {0, 0, 100, 12}, std::nullopt},
        {&RQTexturedButtonTheme::theme(), {0, 0, 1, 4}, std::nullopt},
        {&RQMavericksButtonTheme::theme(), {0, 0, 100, 32}, std::nullopt},
    };
    for (const Case &c : cases) {
        const std::optional<QPainterPath> path = c.theme->drawingPathForFrame(c.frame);
        ASSERT_EQ(path.has_value(), c.shape.has_value()) << c.frame.width() << "x" << c.frame.height();
        if (path) {
            EXPECT_EQ(path->boundingRect(), *c.shape);
        }
    }
    // Radius 3: the corner point of the rectangle is outside the path, 3 points in is inside.
    const QPainterPath push = *RQPushButtonTheme::theme().drawingPathForFrame({0, 0, 100, 32});
    EXPECT_FALSE(push.contains(QPointF(7.6, 4.6)));
    EXPECT_TRUE(push.contains(QPointF(10.5, 7.5)));
}

TEST(RQMavericksButtonCellTest, pushGradientFlipsWhilePressed)
{
    const QColor light = QColor::fromRgbF(1, 1, 1);
    const QColor grey = QColor::fromHsvF(0, 0, 0.94f).toRgb();
    for (const bool pressed : {false, true}) {
        auto *button = new RQMavericksButton;
        button->setCellClass(QStringLiteral("RQMavericksButtonCell"));
        button->setBezelStyle(1);
        button->setText(QString());
        button->setDown(pressed);
        OnWhite window(button, QSize(100, 32));
        const auto [single, twice] = ScreenCapture::save(
            window.holder, pressed ? QStringLiteral("push-button-pressed") : QStringLiteral("push-button"));
        for (const QImage &image : {single, twice}) {
            const QColor top = pixelAt(image, {20, 6});
            const QColor bottom = pixelAt(image, {20, 22});
            expectNear(top, pressed ? grey : light, 1, pressed ? "pressed top" : "top");
            expectNear(bottom, pressed ? light : grey, 1, pressed ? "pressed bottom" : "bottom");
            expectNear(pixelAt(image, {50, 4}), QColor(0x9A, 0x9A, 0x9A), 1, "outline");
        }
    }
}

TEST(RQMavericksButtonCellTest, themedTitles)
{
    auto *textured = new RQMavericksButton;
    textured->setCellClass(QStringLiteral("RQMavericksButtonCell"));
    textured->setBezelStyle(11);
    textured->setText(QStringLiteral("Options"));
    OnWhite texturedWindow(textured, QSize(90, 24));
    QImage scratch(90, 24, QImage::Format_ARGB32_Premultiplied);
    QPainter painter(&scratch);
    const AttributedTitle title = textured->attributedTitle();
    const QRectF drawn = textured->cell().drawTitle(painter, title, QRectF(5, 17, 80, 3), *textured);
    const qreal titleHeight = TitlePainter::size(title.adding(*RQTexturedButtonTheme::theme().titleAttributes())).height();
    EXPECT_DOUBLE_EQ(drawn.y(), 24 / 2.0 - titleHeight / 2 - 1);

    auto *push = new RQMavericksButton;
    push->setCellClass(QStringLiteral("RQMavericksButtonCell"));
    push->setBezelStyle(1);
    push->setText(QStringLiteral("Remove"));
    OnWhite pushWindow(push, QSize(100, 32));
    const QRectF frame(5, 17, 80, 3);
    EXPECT_EQ(push->cell().drawTitle(painter, push->attributedTitle(), frame, *push), frame);
    painter.end();

    ScreenCapture::save(texturedWindow.holder, QStringLiteral("textured-button"));
    const auto [single, twice] = ScreenCapture::save(pushWindow.holder, QStringLiteral("push-button-titled"));
    push->setEnabled(false);
    const auto [dimmed, dimmedTwice] = ScreenCapture::save(pushWindow.holder, QStringLiteral("push-button-disabled"));
    // Half opacity over white: the outline's grey comes out half as dark.
    expectNear(pixelAt(dimmed, {50, 4}), QColor(0xCD, 0xCD, 0xCD), 2, "disabled outline");
}

TEST(RQMavericksButtonCellTest, otherBezelStylesDrawExactlyAsAPlainPushButton)
{
    for (const bool focused : {false, true}) {
        RQMavericksButton themed;
        themed.setCellClass(QStringLiteral("RQMavericksButtonCell"));
        themed.setBezelStyle(2);
        QPushButton plain;
        for (QPushButton *button : {static_cast<QPushButton *>(&themed), &plain}) {
            button->setText(QStringLiteral("Cancel"));
            button->resize(100, 32);
            if (focused) {
                button->show();
                button->activateWindow();
                button->setFocus();
            }
        }
        for (const qreal ratio : {1.0, 2.0}) {
            EXPECT_TRUE(ScreenCapture::render(themed, ratio) == ScreenCapture::render(plain, ratio))
                << "focused " << focused << " at " << ratio;
        }
    }
}

TEST(RQButtonCellTest, cellsByClassName)
{
    RQButton button;
    for (const char *name : {"VXBlueButtonCell", "VXGrayButtonCell", "MWNavigationButtonCell",
                             "RQMavericksButtonCell", "RQButtonCell"}) {
        button.setCellClass(QLatin1String(name));
        EXPECT_EQ(button.cellClass(), QLatin1String(name));
        EXPECT_NE(RQButtonCell::cellNamed(QLatin1String(name)), nullptr) << name;
    }
    EXPECT_EQ(RQButtonCell::cellNamed(QStringLiteral("NoSuchCell")), nullptr);
    button.setCellClass(QStringLiteral("NoSuchCell"));
    EXPECT_FALSE(ScreenCapture::render(button, 1).isNull());
}

} // namespace

namespace {

TEST(VXBlueButtonTest, focusedDrawnButtonsShowARing)
{
    for (const char *cellClass : {"VXBlueButtonCell", "VXGrayButtonCell"}) {
        QWidget window;
        auto *button = new RQButton(&window);
        button->setCellClass(QLatin1String(cellClass));
        button->setTitle(QStringLiteral("Start Scan"));
        button->setGeometry(0, 0, 140, 28);
        window.resize(140, 28);
        const QImage unfocused = ScreenCapture::render(*button, 2);
        window.show();
        window.activateWindow();
        ASSERT_TRUE(QTest::qWaitForWindowActive(&window));
        button->setFocus();
        ASSERT_TRUE(button->hasFocus());
        const auto [single, twice] =
            ScreenCapture::save(*button, QStringLiteral("focused-") + QLatin1String(cellClass));
        EXPECT_NE(twice.pixel(5, 28), unfocused.pixel(5, 28)) << cellClass << ": ring at the left end";
        EXPECT_EQ(twice.pixel(140, 28), unfocused.pixel(140, 28)) << cellClass << ": middle unchanged";
    }
}

} // namespace
