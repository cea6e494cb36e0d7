#include "windows/RQWindowController.h"

#include "support/ScreenCapture.h"

#include "ui_TestWindowController.h"

#include <QApplication>
#include <QMainWindow>
#include <QPushButton>

#include <gtest/gtest.h>

namespace {

class TestWindowController final : public RQWindowController
{
public:
    std::unique_ptr<Ui::TestWindowController> ui;

protected:
    QWidget *loadWindow() override { return loadForm<QMainWindow>(ui); }
};

// A dark colour scheme for the whole application while a test runs.
class DarkApplication
{
public:
    DarkApplication()
    {
        QPalette dark;
        for (const auto role : {QPalette::Window, QPalette::Base, QPalette::Button})
            dark.setColor(role, QColor(0x20, 0x20, 0x20));
        for (const auto role : {QPalette::WindowText, QPalette::Text, QPalette::ButtonText})
            dark.setColor(role, QColor(0xe0, 0xe0, 0xe0));
        QApplication::setPalette(dark);
    }
    ~DarkApplication() { QApplication::setPalette(m_saved); }
    Q_DISABLE_COPY_MOVE(DarkApplication)

private:
    QPalette m_saved = QApplication::palette();
};

int lightness(QRgb pixel)
{
    return QColor(pixel).lightness();
}

TEST(RQWindowControllerTest, windowComesFromTheInterfaceFileOnceAndStaysLightOnADarkDesktop)
{
    const DarkApplication dark;
    TestWindowController controller;
    EXPECT_FALSE(controller.isWindowLoaded());
    QWidget *window = controller.window();
    ASSERT_NE(window, nullptr);
    EXPECT_EQ(controller.window(), window);
    EXPECT_EQ(window->windowTitle(), QStringLiteral("Test window"));
    ASSERT_TRUE(controller.ui);

    EXPECT_GT(window->palette().color(QPalette::Window).lightness(), 200);
    EXPECT_LT(window->palette().color(QPalette::WindowText).lightness(), 60);
    EXPECT_GT(controller.ui->okButton->palette().color(QPalette::Button).lightness(), 200);

    window->resize(240, 120);
    const auto [single, twice] = ScreenCapture::save(*window, QStringLiteral("window-light-on-dark"));
    EXPECT_GT(lightness(single.pixel(4, 4)), 200);
    EXPECT_GT(lightness(twice.pixel(8, 8)), 200);
}

TEST(RQWindowControllerTest, aClassWithoutAnInterfaceFileHasNoWindow)
{
    RQWindowController plain;
    EXPECT_EQ(plain.window(), nullptr);
    EXPECT_TRUE(plain.isWindowLoaded());
}

} // namespace
