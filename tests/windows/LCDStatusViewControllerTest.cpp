#include "windows/LCDStatusViewController.h"

#include "controls/RQProgressIndicator.h"
#include "foundation/RQTimer.h"
#include "support/ScreenCapture.h"

#include <gtest/gtest.h>

#include <QAccessible>
#include <QLabel>
#include <QParallelAnimationGroup>
#include <QTimer>

#include <functional>
#include <limits>

using namespace Qt::StringLiterals;

namespace {

class StatusPanelTest : public ::testing::Test
{
protected:
    void SetUp() override
    {
        m_panel = m_status.view();
        m_panel->resize(320, 44);
        m_panel->show();
    }

    void endSlide()
    {
        QParallelAnimationGroup *slide = m_status.transition();
        if (slide->state() == QAbstractAnimation::Running)
            slide->setCurrentTime(slide->totalDuration());
    }

    QList<QWidget *> stateViews()
    {
        return {m_status.availableSpaceView(), m_status.scanningView(), m_status.cleaningView(),
                m_status.finishedView(),       m_status.noDuplicatesView(), m_status.selectView(),
                m_status.congratsView()};
    }

    QList<QWidget *> visibleStateViews()
    {
        QList<QWidget *> visible;
        for (QWidget *view : stateViews())
            if (view->isVisible())
                visible.append(view);
        return visible;
    }

    bool dotsRun() const
    {
        const std::shared_ptr<RQTimer> &timer = m_status.scanningTimer();
        return timer && timer->timer() && timer->timer()->isActive();
    }

    LCDStatusViewController m_status;
    QWidget *m_panel = nullptr;
};

TEST_F(StatusPanelTest, StartsOnTheAvailableSpaceViewWithAnEmptyBar)
{
    EXPECT_EQ(m_status.currentView(), m_status.availableSpaceView());
    EXPECT_EQ(visibleStateViews(), QList<QWidget *>{m_status.availableSpaceView()});
    EXPECT_EQ(m_status.progressBar()->progress(), 0.0);
    EXPECT_EQ(m_status.availableSpaceView()->size(), QSize(320, 44));
}

TEST_F(StatusPanelTest, ProgressReachesTheBarWithoutAnimation)
{
    RQProgressIndicator &bar = *m_status.progressBar();
    m_status.setProgress(0.5);
    EXPECT_EQ(bar.progress(), 0.5);
    EXPECT_NE(bar.layoutAnimation()->state(), QAbstractAnimation::Running);
    m_status.setProgress(0.5);
    EXPECT_EQ(bar.progress(), 0.5);

    m_status.setProgress(std::numeric_limits<double>::quiet_NaN());
    EXPECT_EQ(bar.progress(), 0.0);
    m_status.setProgress(0.25);
    EXPECT_EQ(bar.progress(), 0.25);
    EXPECT_NE(bar.layoutAnimation()->state(), QAbstractAnimation::Running);
}

TEST_F(StatusPanelTest, TheDotsRunOnlyWhileScanningIsShown)
{
    m_status.showScanningView();
    EXPECT_EQ(m_status.scanningTitleLabel()->text(), u"Scanning"_s);
    ASSERT_TRUE(dotsRun());
    EXPECT_EQ(m_status.scanningTimer()->interval(), 0.5);
    EXPECT_TRUE(m_status.scanningTimer()->repeats());
    EXPECT_TRUE(m_status.dotsLabel()->isVisibleTo(m_status.scanningView()));

    const std::shared_ptr<RQTimer> first = m_status.scanningTimer();
    m_status.setCurrentView(m_status.scanningView());
    EXPECT_EQ(m_status.scanningTimer(), first) << "the same view changes nothing";

    m_status.showScanningView();
    EXPECT_NE(m_status.scanningTimer(), first) << "showing scanning again restarts the dots";
    EXPECT_TRUE(dotsRun());
    EXPECT_EQ(first->timer(), nullptr);

    m_status.showFinishedView();
    EXPECT_FALSE(dotsRun());
    EXPECT_FALSE(m_status.dotsLabel()->isVisibleTo(m_status.scanningView()));
}

TEST_F(StatusPanelTest, TheDotsCycleFromAnyStep)
{
    const std::pair<QString, QString> steps[] = {
        {u""_s, u"."_s}, {u"."_s, u".."_s}, {u".."_s, u"..."_s}, {u"..."_s, u""_s}};
    m_status.showScanningView();
    for (const auto &[before, after] : steps) {
        m_status.dotsLabel()->setText(before);
        // The timer's own block, as a firing would run it.
        m_status.scanningTimer()->didFinishBlock()(*m_status.scanningTimer());
        EXPECT_EQ(m_status.dotsLabel()->text(), after) << before.toStdString();
    }
}

TEST_F(StatusPanelTest, ANewViewSlidesUpAndTheOldOneLeaves)
{
    m_status.showScanningView();
    EXPECT_EQ(m_status.transition()->state(), QAbstractAnimation::Running);
    m_status.transition()->setCurrentTime(150);
    EXPECT_EQ(m_status.scanningView()->y(), 22) << "halfway up from below";
    EXPECT_EQ(m_status.availableSpaceView()->y(), -22);
    endSlide();
    EXPECT_EQ(visibleStateViews(), QList<QWidget *>{m_status.scanningView()});
    EXPECT_EQ(m_status.scanningView()->geometry(), QRect(0, 0, 320, 44));
}

TEST_F(StatusPanelTest, AfterAnySwitchesExactlyOneViewShowsAtThePanelsSize)
{
    using Show = void (LCDStatusViewController::*)();
    const std::vector<std::vector<Show>> sequences = {
        // A small scan: scanning then finished within one slide.
        {&LCDStatusViewController::showScanningView, &LCDStatusViewController::showFinishedView},
        // Back to the view that is sliding out.
        {&LCDStatusViewController::showSelectView, &LCDStatusViewController::showAvailableSpaceView},
        {&LCDStatusViewController::showScanningView, &LCDStatusViewController::showNoDuplicatesView,
         &LCDStatusViewController::showScanningView, &LCDStatusViewController::showCongratsView,
         &LCDStatusViewController::showCongratsView, &LCDStatusViewController::showCleaningView},
    };
    for (const std::vector<Show> &sequence : sequences) {
        for (const Show show : sequence)
            std::invoke(show, m_status);
        EXPECT_LE(visibleStateViews().size(), 2);
        m_panel->resize(300, 44);
        endSlide();
        ASSERT_EQ(visibleStateViews(), QList<QWidget *>{m_status.currentView()});
        EXPECT_EQ(m_status.currentView()->geometry(), QRect(0, 0, 300, 44));
        m_panel->resize(320, 44);
        EXPECT_EQ(m_status.currentView()->geometry(), QRect(0, 0, 320, 44));
    }
}

TEST_F(StatusPanelTest, TheAccessibleNameFollowsTheTitleShown)
{
    QAccessibleInterface *accessible = QAccessible::queryAccessibleInterface(m_panel);
    ASSERT_NE(accessible, nullptr);
    EXPECT_EQ(accessible->text(QAccessible::Name), u"Select folders to scan"_s);
    m_status.showScanningView();
    EXPECT_EQ(accessible->text(QAccessible::Name), u"Scanning"_s);
    m_status.showFinishedView();
    m_status.finishedTitleLabel()->setText(u"Done! Click next to see the results."_s);
    EXPECT_EQ(accessible->text(QAccessible::Name), u"Done! Click next to see the results."_s);
}

TEST_F(StatusPanelTest, ScreensOfEachStateView)
{
    using Show = void (LCDStatusViewController::*)();
    struct Case
    {
        Show show;
        const char *name;
    };
    const Case cases[] = {
        {&LCDStatusViewController::showAvailableSpaceView, "status-available-space"},
        {&LCDStatusViewController::showScanningView, "status-scanning"},
        {&LCDStatusViewController::showCleaningView, "status-cleaning"},
        {&LCDStatusViewController::showFinishedView, "status-finished"},
        {&LCDStatusViewController::showNoDuplicatesView, "status-no-duplicates"},
        {&LCDStatusViewController::showSelectView, "status-select"},
        {&LCDStatusViewController::showCongratsView, "status-congratulations"},
    };
    const QColor face(0xFB, 0xFB, 0xFB);
    for (const Case &test : cases) {
        SCOPED_TRACE(test.name);
        std::invoke(test.show, m_status);
        endSlide();
        m_status.setProgress(0.4);
        m_status.dotsLabel()->setText(u".."_s);
        const auto [single, twice] = ScreenCapture::save(*m_panel, QString::fromLatin1(test.name));
        for (const QImage &image : {single, twice}) {
            const qreal ratio = image.devicePixelRatio();
            EXPECT_EQ(image.pixelColor(QPoint(6, 6) * ratio), face);
            EXPECT_EQ(image.pixelColor(QPoint(313, 37) * ratio), face);
            // Some ink of the title in the upper half, around the middle.
            int ink = 0;
            for (int y = 4; y < 24; ++y)
                for (int x = 100; x < 220; ++x)
                    ink += image.pixelColor(QPointF(QPointF(x, y) * ratio).toPoint()).lightness() < 100;
            EXPECT_GT(ink, 10);
        }
    }
}

} // namespace
