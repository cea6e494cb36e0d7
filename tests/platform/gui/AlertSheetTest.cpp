#include "platform/gui/AlertSheet.h"

#include "support/EventLoop.h"

#include <gtest/gtest.h>

#include <QCoreApplication>
#include <QMessageBox>
#include <QPointer>
#include <QPushButton>
#include <QTest>
#include <QWidget>

#include <memory>
#include <optional>

using namespace Qt::StringLiterals;

namespace {

class AlertSheetTest : public ::testing::Test
{
protected:
    void SetUp() override
    {
        m_window = std::make_unique<QWidget>();
        m_window->resize(400, 300);
        m_window->show();
    }

    // An alert with the buttons "Go Back", "Cancel" and "Later", in that order.
    static QMessageBox *makeAlert()
    {
        auto *alert = new QMessageBox();
        alert->setText(u"Are you sure you want to go back?"_s);
        for (const QString &title : {u"Go Back"_s, u"Cancel"_s, u"Later"_s})
            rq_addButtonWithTitle(*alert, title);
        return alert;
    }

    static bool shows(const QPointer<QMessageBox> &alert)
    {
        return processEventsUntil([&] {
            const QMessageBox *shown = alert.data();
            return shown != nullptr && shown->isVisible();
        });
    }

    // Deferred deletes run only from a running event loop; the test loop runs them by hand.
    static bool isDeleted(const QPointer<QMessageBox> &alert)
    {
        return processEventsUntil([&] {
            QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
            return alert.isNull();
        });
    }

    static void press(QMessageBox &alert, int index)
    {
        // The layout orders buttons by role, so find the one added at that place.
        for (QAbstractButton *button : alert.buttons()) {
            if (button->property("rq_returnCode").toLongLong() == AlertFirstButtonReturn + index)
                QTest::mouseClick(button, Qt::LeftButton);
        }
    }

    std::unique_ptr<QWidget> m_window;
};

} // namespace

TEST_F(AlertSheetTest, TheHandlerReceivesTheReturnCodeOfThePressedButton)
{
    const qint64 expected[] = {AlertFirstButtonReturn, AlertSecondButtonReturn,
                               AlertThirdButtonReturn};
    for (int index = 0; index < 3; ++index) {
        QMessageBox *raw = makeAlert();
        const QPointer<QMessageBox> alert(raw);
        std::optional<qint64> reported;
        rq_beginSheetModalForWindow(raw, m_window.get(), [&](qint64 code) { reported = code; });
        // Never shown inside the call, even without a delay.
        EXPECT_FALSE(raw->isVisible());
        ASSERT_TRUE(shows(alert));
        EXPECT_EQ(raw->parentWidget(), m_window.get());
        EXPECT_EQ(raw->windowModality(), Qt::WindowModal);
        EXPECT_FALSE(reported.has_value());

        press(*raw, index);
        ASSERT_TRUE(processEventsUntil([&] { return reported.has_value(); }));
        EXPECT_EQ(*reported, expected[index]);
        EXPECT_TRUE(isDeleted(alert));
    }
}

TEST_F(AlertSheetTest, StandardButtonsReportTheirOwnValue)
{
    auto *raw = new QMessageBox(QMessageBox::Warning, u"Title"_s, u"Text"_s,
                                QMessageBox::Ok | QMessageBox::Cancel);
    const QPointer<QMessageBox> alert(raw);
    std::optional<qint64> reported;
    rq_beginSheetModalForWindow(raw, m_window.get(), 0.05, [&](qint64 code) { reported = code; });
    EXPECT_FALSE(raw->isVisible());
    ASSERT_TRUE(shows(alert));
    QTest::mouseClick(raw->button(QMessageBox::Cancel), Qt::LeftButton);
    ASSERT_TRUE(processEventsUntil([&] { return reported.has_value(); }));
    EXPECT_EQ(*reported, qint64(QMessageBox::Cancel));
}

TEST_F(AlertSheetTest, WithoutAHandlerThePressIsReportedToNobody)
{
    QMessageBox *raw = makeAlert();
    const QPointer<QMessageBox> alert(raw);
    rq_beginSheetModalForWindow(raw, m_window.get(), AlertCompletionHandler());
    ASSERT_TRUE(shows(alert));
    press(*raw, 0);
    EXPECT_TRUE(isDeleted(alert));
    EXPECT_TRUE(m_window->isVisible());
}

TEST_F(AlertSheetTest, AnAlertWhoseWindowIsGoneShowsOnItsOwn)
{
    QMessageBox *raw = makeAlert();
    const QPointer<QMessageBox> alert(raw);
    std::optional<qint64> reported;
    rq_beginSheetModalForWindow(raw, m_window.get(), [&](qint64 code) { reported = code; });
    m_window.reset();
    ASSERT_TRUE(shows(alert));
    EXPECT_EQ(raw->parentWidget(), nullptr);
    press(*raw, 1);
    ASSERT_TRUE(processEventsUntil([&] { return reported.has_value(); }));
    EXPECT_EQ(*reported, AlertSecondButtonReturn);
}

TEST_F(AlertSheetTest, AnAlertDeletedBeforeItsTurnIsForgotten)
{
    QMessageBox *alert = makeAlert();
    bool called = false;
    rq_beginSheetModalForWindow(alert, m_window.get(), [&](qint64) { called = true; });
    delete alert;
    processEventsFor(50);
    EXPECT_FALSE(called);
}
