#pragma once

#include "platform/gui/TouchBar.h"
#include "windows/RQTouchBarController.h"

#include <gtest/gtest.h>

#include <memory>

// A test with the touch bar switched on and the shared controller given a fresh bar and an
// empty stack; both are switched off again afterwards.
class TouchBarFixture : public ::testing::Test
{
protected:
    void SetUp() override
    {
        TouchBar::setAvailable(true);
        controller().setTouchBar(bar.get());
        controller().setTouchBarViews({});
        controller().setHidden(false);
    }

    void TearDown() override
    {
        controller().setTouchBar(nullptr);
        TouchBar::setAvailable(false);
    }

    static RQTouchBarController &controller() { return RQTouchBarController::sharedController(); }

    // The views of the items the bar shows, in order.
    QList<QWidget *> shownViews() const
    {
        QList<QWidget *> views;
        for (const CustomTouchBarItem &item : bar->templateItems())
            views.append(item.view());
        return views;
    }

    QList<QWidget *> stackViews() const
    {
        QList<QWidget *> views;
        for (const CustomTouchBarItem &item : controller().stackArray())
            views.append(item.view());
        return views;
    }

    std::unique_ptr<TouchBar> bar = std::make_unique<TouchBar>();
};
