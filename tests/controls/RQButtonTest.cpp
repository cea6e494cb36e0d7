#include "controls/RQButton.h"
#include "platform/gui/ImageLoader.h"

#include "support/ScreenCapture.h"

#include <QAccessible>
#include <QDialog>
#include <QHBoxLayout>
#include <QTest>

#include <gtest/gtest.h>

#include <memory>

namespace {

NamedImage named(const char *name)
{
    return ImageLoader::imageNamed(QLatin1String(name));
}

// A shown, active window holding two buttons, so the pointer can move onto and off the first.
class RQButtonTest : public ::testing::Test
{
protected:
    void SetUp() override
    {
        auto *layout = new QHBoxLayout(&window);
        layout->addWidget(button);
        layout->addWidget(other);
        button->setFixedSize(128, 128);
        button->setFlat(true);
        button->setWasClickedBlock([this](RQButton &) { ++clicks; });
        window.show();
        window.activateWindow();
        ASSERT_TRUE(QTest::qWaitForWindowActive(&window));
    }

    void enter() { QTest::mouseMove(button, QPoint(64, 64)); }
    void leave() { QTest::mouseMove(other, QPoint(5, 5)); }
    void click() { QTest::mouseClick(button, Qt::LeftButton, {}, QPoint(64, 64)); }

    QWidget window;
    RQButton *button = new RQButton(&window);
    RQButton *other = new RQButton(&window);
    int clicks = 0;
};

TEST_F(RQButtonTest, hoverSwapsToTheHoverImageAndBack)
{
    struct Case
    {
        const char *name;
        const char *image;
        bool enabled;
        const char *whileOver;
    };
    const Case cases[] = {
        {"image with a hover variant", "icon-add", true, "icon-add-hover"},
        {"image without one", "icon-generic-folder", true, "icon-generic-folder"},
        {"disabled", "icon-add", false, "icon-add"},
    };
    for (const Case &c : cases) {
        leave();
        button->setImage(named(c.image));
        button->setEnabled(c.enabled);
        enter();
        EXPECT_EQ(button->image().name(), QLatin1String(c.whileOver)) << c.name;
        leave();
        EXPECT_EQ(button->image().name(), QLatin1String(c.image)) << c.name;
    }
}

TEST_F(RQButtonTest, aNewImageDuringAHoverStaysAndItsOwnHoverVariantCounts)
{
    button->setImage(named("icon-add"));
    enter();
    ASSERT_EQ(button->image().name(), QStringLiteral("icon-add-hover"));
    button->setImage(named("icon-generic-folder"));
    leave();
    EXPECT_EQ(button->image().name(), QStringLiteral("icon-generic-folder"));
    enter();
    EXPECT_EQ(button->image().name(), QStringLiteral("icon-generic-folder"))
        << "the old image's hover variant must not come back";
    button->setImage(named("icon-add"));
    enter();
    leave();
    enter();
    EXPECT_EQ(button->image().name(), QStringLiteral("icon-add-hover"));
}

TEST_F(RQButtonTest, pressingShowsTheNormalImageAgain)
{
    button->setImage(named("icon-add"));
    enter();
    QTest::mousePress(button, Qt::LeftButton, {}, QPoint(64, 64));
    EXPECT_EQ(button->image().name(), QStringLiteral("icon-add"));
    QTest::mouseRelease(button, Qt::LeftButton, {}, QPoint(64, 64));
    EXPECT_EQ(clicks, 1);
}

TEST_F(RQButtonTest, toggleAndTabButtons)
{
    struct Case
    {
        const char *name;
        bool toggle;
        bool tab;
        int stateAfterOne;
        bool highlightedAfterOne;
        int stateAfterTwo;
        bool highlightedAfterTwo;
    };
    const Case cases[] = {
        {"toggle", true, false, 1, true, 0, false},
        {"tab", false, true, 0, true, 0, true},
        {"toggle and tab", true, true, 0, true, 0, true},
        {"plain", false, false, 0, false, 0, false},
    };
    for (const Case &c : cases) {
        button->setToggleButton(c.toggle);
        button->setTabButton(c.tab);
        button->setState(0);
        clicks = 0;
        click();
        EXPECT_EQ(button->state(), c.stateAfterOne) << c.name;
        EXPECT_EQ(button->isHighlighted(), c.highlightedAfterOne) << c.name;
        EXPECT_EQ(clicks, 1) << c.name;
        click();
        EXPECT_EQ(button->state(), c.stateAfterTwo) << c.name;
        EXPECT_EQ(button->isHighlighted(), c.highlightedAfterTwo) << c.name;
        EXPECT_EQ(clicks, 2) << c.name;
    }
}

TEST_F(RQButtonTest, oneHandlerAtATime)
{
    int targetCalls = 0;
    auto target = std::make_unique<QObject>();
    button->setTarget(target.get(), [&](RQButton &sender) {
        EXPECT_EQ(&sender, button);
        ++targetCalls;
    });
    click();
    EXPECT_EQ(clicks, 0) << "the block is dropped";
    EXPECT_EQ(targetCalls, 1);
    target.reset();
    click();
    EXPECT_EQ(targetCalls, 1) << "a target that is gone is not called";

    button->setWasClickedBlock([this](RQButton &) { ++clicks; });
    click();
    EXPECT_EQ(clicks, 1);
}

TEST_F(RQButtonTest, actionOnMouseDownFiresOnceOnPress)
{
    button->setActionOnMouseDown(true);
    QTest::mousePress(button, Qt::LeftButton, {}, QPoint(64, 64));
    EXPECT_EQ(clicks, 1);
    QTest::mouseRelease(button, Qt::LeftButton, {}, QPoint(64, 64));
    EXPECT_EQ(clicks, 1);
    button->setActionOnMouseDown(false);
    QTest::mousePress(button, Qt::LeftButton, {}, QPoint(64, 64));
    EXPECT_EQ(clicks, 1);
    QTest::mouseRelease(button, Qt::LeftButton, {}, QPoint(64, 64));
    EXPECT_EQ(clicks, 2);
}

TEST_F(RQButtonTest, keyboardReachesAndPressesTheButton)
{
    other->setFocus();
    QTest::keyClick(&window, Qt::Key_Tab);
    EXPECT_TRUE(button->hasFocus());
    QTest::keyClick(button, Qt::Key_Space);
    EXPECT_EQ(clicks, 1);

    QDialog dialog;
    auto *defaultButton = new RQButton(&dialog);
    int defaultClicks = 0;
    defaultButton->setTitle(QStringLiteral("Start"));
    defaultButton->setDefault(true);
    defaultButton->setWasClickedBlock([&](RQButton &) { ++defaultClicks; });
    dialog.show();
    QTest::keyClick(&dialog, Qt::Key_Return);
    EXPECT_EQ(defaultClicks, 1);
}

TEST_F(RQButtonTest, accessibleNameIsTheTitleOrTheAccessibilityTitle)
{
    button->setTitle(QStringLiteral("Next"));
    QAccessibleInterface *accessible = QAccessible::queryAccessibleInterface(button);
    ASSERT_NE(accessible, nullptr);
    EXPECT_EQ(accessible->text(QAccessible::Name), QStringLiteral("Next"));
    button->setAccessibilityTitle(QStringLiteral("Show the results"));
    EXPECT_EQ(accessible->text(QAccessible::Name), QStringLiteral("Show the results"));
}

TEST_F(RQButtonTest, titlesAndCursor)
{
    EXPECT_EQ(button->cursor().shape(), Qt::ArrowCursor);
    button->setImage(named("icon-add"));
    EXPECT_EQ(button->cursor().shape(), Qt::PointingHandCursor);

    button->setTitle(QString());
    const RQShadow shadow{Qt::black, 1, QPointF(0, -1)};
    button->setTextShadow(shadow);
    EXPECT_EQ(button->attributedTitle().text, QString());
    EXPECT_EQ(button->attributedTitle().attributes.shadow, shadow);
    EXPECT_FALSE(ScreenCapture::render(*button, 2).isNull());

    button->setImage(NamedImage());
    button->setTextShadow(std::nullopt);
    button->setTitleColor(QColor(0x20, 0x94, 0xFA));
    button->setTitle(QStringLiteral("Show"));
    button->setFixedSize(90, 30);
    const auto [single, twice] = ScreenCapture::save(*button, QStringLiteral("rq-button-title-colour"));
    bool inked = false;
    for (int y = 0; y < single.height(); ++y)
        for (int x = 0; x < single.width(); ++x)
            inked = inked || QColor(single.pixel(x, y)).blue() > QColor(single.pixel(x, y)).red() + 100;
    EXPECT_TRUE(inked) << "the title is drawn in its colour";
}

TEST_F(RQButtonTest, imageButtonInEachState)
{
    leave();
    button->setImage(named("icon-add"));
    ScreenCapture::save(*button, QStringLiteral("rq-button-image"));
    enter();
    const auto [hovered, hoveredTwice] = ScreenCapture::save(*button, QStringLiteral("rq-button-image-hover"));
    // The hover variant is a filled disc: its centre-left is accent, not background.
    EXPECT_EQ(QColor(hovered.pixel(30, 64)), QColor(0x20, 0x94, 0xFA));
    EXPECT_EQ(QColor(hoveredTwice.pixel(60, 128)), QColor(0x20, 0x94, 0xFA));
}

} // namespace
