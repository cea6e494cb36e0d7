#include "controls/RQTouchBarButton.h"
#include "controls/VXCategoryButton.h"

#include "support/ColorPrinter.h"
#include "support/ScreenCapture.h"

#include <gtest/gtest.h>

#include <QApplication>
#include <QButtonGroup>
#include <QHBoxLayout>
#include <QPointingDevice>
#include <QSignalSpy>
#include <QStyle>
#include <QTest>

#include <memory>

using namespace Qt::StringLiterals;

namespace {

std::unique_ptr<RQTouchBarButton> blueButton()
{
    auto button = std::make_unique<RQTouchBarButton>(std::make_unique<RQBlueTouchBarButtonCell>());
    button->setText(u"Next"_s);
    button->resize(120, 30);
    button->show();
    return button;
}

} // namespace

TEST(RQTouchBarButtonTest, ClicksSendOnlyWhenReleasedInsideAndEnabled)
{
    struct Case
    {
        const char *what;
        bool enabled;
        QPoint release;
        int clicks;
    };
    const Case cases[] = {
        {"released inside", true, {60, 15}, 1},
        {"released outside", true, {200, 15}, 0},
        {"disabled", false, {60, 15}, 0},
    };
    for (const Case &testCase : cases) {
        const auto button = blueButton();
        button->setEnabled(testCase.enabled);
        QSignalSpy clicked(button.get(), &QAbstractButton::clicked);
        QTest::mousePress(button.get(), Qt::LeftButton, {}, {60, 15});
        EXPECT_EQ(button->cell().mouseDown(), testCase.enabled) << testCase.what;
        QTest::mouseRelease(button.get(), Qt::LeftButton, {}, testCase.release);
        EXPECT_FALSE(button->cell().mouseDown()) << testCase.what;
        EXPECT_EQ(clicked.count(), testCase.clicks) << testCase.what;
        EXPECT_EQ(button->opacity(), testCase.enabled ? 1.0 : qreal(0.8f)) << testCase.what;
    }
}

TEST(RQTouchBarButtonTest, TouchesPressAndMovingLetsGo)
{
    // Our own device, gone with the test.
    const std::unique_ptr<QPointingDevice> touchDevice(QTest::createTouchDevice());
    QPointingDevice *device = touchDevice.get();
    const auto button = blueButton();
    QTest::touchEvent(button.get(), device).press(0, {60, 15});
    EXPECT_TRUE(button->cell().mouseDown());
    QTest::touchEvent(button.get(), device).move(0, {70, 15});
    EXPECT_FALSE(button->cell().mouseDown());
    QTest::touchEvent(button.get(), device).release(0, {70, 15});
    EXPECT_FALSE(button->cell().mouseDown());

    button->setEnabled(false);
    QTest::touchEvent(button.get(), device).press(0, {60, 15});
    EXPECT_FALSE(button->cell().mouseDown());
    QTest::touchEvent(button.get(), device).release(0, {60, 15});
}

TEST(RQTouchBarButtonTest, TheThreeColourSetsAndTheImageLayout)
{
    const QPalette palette = QApplication::palette();
    RQRedTouchBarButtonCell red;
    RQBlueTouchBarButtonCell blue;
    RQNormalTouchBarButtonCell normal;
    EXPECT_EQ(red.backgroundColor(palette), QColor::fromRgbF(1.0f, 0.2863f, 0.4f));
    EXPECT_FLOAT_EQ(float(red.backgroundColorPressed(palette).alphaF()), 0.8f);
    EXPECT_EQ(blue.backgroundColor(palette), QColor::fromRgbF(0, 0.5686f, 1.0f));
    EXPECT_EQ(normal.backgroundColorPressed(palette), palette.color(QPalette::Highlight));
    EXPECT_EQ(red.cornerRadius(), 6);
    EXPECT_EQ(RQTouchBarButtonCell::imageRect({0, 0, 120, 30}), QRectF(10, 8, 16, 16));
    EXPECT_EQ(RQTouchBarButtonCell::titleRect({0, 0, 120, 30}, true).x(), 32);
    EXPECT_EQ(RQTouchBarButtonCell::titleRect({0, 0, 120, 30}, false).x(), 0);

    QWidget bar;
    bar.setAutoFillBackground(true);
    QPalette dark = bar.palette();
    dark.setColor(QPalette::Window, QColor(0x1c, 0x1f, 0x24));
    dark.setColor(QPalette::WindowText, Qt::white);
    dark.setColor(QPalette::Button, QColor(0x3a, 0x3f, 0x46));
    bar.setPalette(dark);
    auto *layout = new QHBoxLayout(&bar);
    auto *remove = new RQTouchBarButton(std::make_unique<RQRedTouchBarButtonCell>());
    remove->setText(u"Remove"_s);
    auto *next = new RQTouchBarButton(std::make_unique<RQBlueTouchBarButtonCell>());
    next->setText(u"Next"_s);
    auto *back = new RQTouchBarButton(std::make_unique<RQNormalTouchBarButtonCell>());
    back->setText(u"Back"_s);
    back->setIcon(QApplication::style()->standardIcon(QStyle::SP_ArrowBack));
    auto *disabled = new RQTouchBarButton(std::make_unique<RQBlueTouchBarButtonCell>());
    disabled->setText(u"Later"_s);
    disabled->setEnabled(false);
    for (QWidget *button : {static_cast<QWidget *>(remove), static_cast<QWidget *>(next), static_cast<QWidget *>(back),
                            static_cast<QWidget *>(disabled)})
        layout->addWidget(button);
    bar.resize(540, 46);
    bar.show();
    const auto [single, twice] = ScreenCapture::save(bar, u"touch-bar-buttons"_s);
    EXPECT_EQ(twice.size(), single.size() * 2);
    const QPoint inRemove = remove->geometry().topLeft() + QPoint(6, remove->height() / 2);
    EXPECT_EQ(single.pixelColor(inRemove).rgb(), red.backgroundColor(palette).rgb());
}

TEST(VXCategoryButtonTest, OnlyTheChosenCategoryHasACapsule)
{
    QWidget bar;
    bar.setAutoFillBackground(true);
    QPalette palette = bar.palette();
    palette.setColor(QPalette::Window, QColor(0x4a, 0x55, 0x63));
    bar.setPalette(palette);
    auto *layout = new QHBoxLayout(&bar);
    QButtonGroup group;
    const QString titles[] = {u"All"_s, u"Images"_s, u"Documents"_s};
    for (qint64 category = 0; category < 3; ++category) {
        auto *button = new VXCategoryButton();
        button->setText(titles[category]);
        button->setRepresentedCategory(category * 2);
        group.addButton(button, int(category));
        layout->addWidget(button);
    }
    group.button(0)->setChecked(true);
    bar.resize(320, 40);
    bar.show();
    QTest::mouseClick(group.button(1), Qt::LeftButton);
    EXPECT_EQ(group.checkedId(), 1);
    EXPECT_EQ(static_cast<VXCategoryButton *>(group.checkedButton())->representedCategory(), 2);
    EXPECT_FALSE(group.button(0)->isChecked());

    const auto [single, twice] = ScreenCapture::save(bar, u"category-bar"_s);
    EXPECT_EQ(twice.size(), single.size() * 2);
    // The chosen one's capsule is darker than the bar; the others show the bar.
    const auto leftEdge = [&](QAbstractButton *button) {
        return single.pixelColor(button->geometry().left() + 4, button->geometry().center().y());
    };
    EXPECT_LT(leftEdge(group.button(1)).lightness(), QColor(0x4a, 0x55, 0x63).lightness() - 15);
    EXPECT_EQ(leftEdge(group.button(2)), QColor(0x4a, 0x55, 0x63));
}
