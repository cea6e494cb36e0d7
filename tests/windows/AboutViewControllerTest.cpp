#include "windows/AboutViewController.h"
#include "windows/RQAboutViewController.h"

#include "ui_AboutViewController.h"
#include "ui_RQAboutViewController.h"

#include "foundation/ApplicationConstants.h"

#include "ApplicationIdentity.h"

#include <gtest/gtest.h>

#include <QDate>
#include <QTest>

#include <functional>
#include <memory>

using namespace Qt::StringLiterals;

namespace {

class AboutViewControllerTest : public ::testing::Test
{
private:
    ApplicationIdentity m_identity;
};

// What the tests read of either view: the name line, the copyright label and the buttons.
struct AboutView
{
    const char *name;
    std::function<std::unique_ptr<AboutViewBase>()> make;
    std::function<QString(AboutViewBase &)> nameLine;
    std::function<QLabel *(AboutViewBase &)> copyright;
    std::function<QList<QAbstractButton *>(AboutViewBase &)> buttons;
};

template <typename Controller>
QList<QAbstractButton *> linkButtons(AboutViewBase &view)
{
    const auto &ui = static_cast<Controller &>(view).ui();
    return {ui.faqButton, ui.fanButton, ui.twitterButton, ui.rovaquinButton};
}

template <typename Controller>
QLabel *copyrightOf(AboutViewBase &view)
{
    return static_cast<Controller &>(view).ui().copyrightLabel;
}

const AboutView views[] = {
    {"pane", [] { return std::make_unique<RQAboutViewController>(); },
     [](AboutViewBase &view) -> QString {
         const auto &ui = static_cast<RQAboutViewController &>(view).ui();
         return ui.appNameLabel->text() + u" / "_s + ui.appVersionLabel->text();
     },
     copyrightOf<RQAboutViewController>, linkButtons<RQAboutViewController>},
    {"plain", [] { return std::make_unique<AboutViewController>(); },
     [](AboutViewBase &view) {
         return static_cast<AboutViewController &>(view).ui().appNameLabel->text();
     },
     copyrightOf<AboutViewController>, linkButtons<AboutViewController>},
};

} // namespace

TEST_F(AboutViewControllerTest, ShowsNameVersionAndTheRunningYear)
{
    const QString expected[] = {u"Marrowick / Version 1.0.0"_s, u"Marrowick v1.0.0"_s};
    const QString year = QString::number(QDate::currentDate().year());
    for (int index = 0; index < 2; ++index) {
        const AboutView &about = views[index];
        const std::unique_ptr<AboutViewBase> controller = about.make();
        ASSERT_NE(controller->view(), nullptr) << about.name;
        EXPECT_EQ(about.nameLine(*controller), expected[index]) << about.name;
        const QString copyright = about.copyright(*controller)->text();
        EXPECT_TRUE(copyright.contains(year)) << about.name;
        EXPECT_FALSE(copyright.contains(u"CURRENT_YEAR"_s)) << about.name;
    }
    EXPECT_EQ(AboutViewBase::year(), QDate::currentDate().year());
}

TEST_F(AboutViewControllerTest, EveryPlaceholderTakesTheYearAndATextWithoutOneStaysAsItIs)
{
    const QString year = QString::number(AboutViewBase::year());
    const struct
    {
        QString text;
        QString shown;
    } cases[] = {
        {u"© CURRENT_YEAR, renewed CURRENT_YEAR"_s, u"© "_s + year + u", renewed "_s + year},
        {u"© 2009 Rovaquin"_s, u"© 2009 Rovaquin"_s},
    };
    RQAboutViewController controller;
    controller.view();
    for (const auto &entry : cases) {
        controller.ui().copyrightLabel->setText(entry.text);
        controller.setCopyright();
        EXPECT_EQ(controller.ui().copyrightLabel->text(), entry.shown);
    }
}

TEST_F(AboutViewControllerTest, TheFourButtonsOpenTheMakersPages)
{
    const QList<QUrl> pages = {ApplicationConstants::supportAddress(),
                               ApplicationConstants::facebookAddress(),
                               ApplicationConstants::twitterAddress(),
                               ApplicationConstants::makerAddress()};
    for (const AboutView &about : views) {
        const std::unique_ptr<AboutViewBase> controller = about.make();
        QList<QUrl> opened;
        controller->setUrlOpener([&opened](const QUrl &url) { opened.append(url); });
        QWidget *view = controller->view();
        ASSERT_NE(view, nullptr);
        view->show();
        for (QAbstractButton *button : about.buttons(*controller)) {
            EXPECT_FALSE(button->text().isEmpty()) << about.name;
            QTest::mouseClick(button, Qt::LeftButton);
        }
        EXPECT_EQ(opened, pages) << about.name;
    }
}
