#include "platform/gui/InsomniacErrorAlert.h"

#include "foundation/ApplicationConstants.h"
#include "support/EventLoop.h"

#include <gtest/gtest.h>

#include <QAbstractButton>
#include <QCoreApplication>
#include <QMessageBox>
#include <QPointer>
#include <QTest>

using namespace Qt::StringLiterals;

TEST(InsomniacErrorAlertTest, ShowsItsTextsAndGoesWithItsOneButton)
{
    QMessageBox *shown = InsomniacErrorAlert::showErrorAlert();
    ASSERT_NE(shown, nullptr);
    const QPointer<QMessageBox> alert(shown);
    EXPECT_TRUE(shown->isVisible());
    EXPECT_EQ(shown->windowModality(), Qt::ApplicationModal);
    EXPECT_EQ(shown->text(), u"Could not disable the computer from sleeping."_s);
    EXPECT_EQ(shown->informativeText(),
              u"Unfortunately we got an error when trying to prevent the computer from sleeping. \n\n"
              "If you continue to see this error, please contact us at "_s
                  + ApplicationConstants::supportEmailAddress() + u'.');
    const QList<QAbstractButton *> buttons = shown->buttons();
    ASSERT_EQ(buttons.size(), 1);
    EXPECT_EQ(buttons.front()->text(), u"Okay"_s);

    QTest::mouseClick(buttons.front(), Qt::LeftButton);
    EXPECT_TRUE(processEventsUntil([&] {
        QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
        return alert.isNull();
    }));
}
