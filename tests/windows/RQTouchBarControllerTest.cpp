#include "TouchBarFixture.h"

#include <QWidget>

#include <functional>

namespace {

class RQTouchBarControllerTest : public TouchBarFixture
{
protected:
    QWidget first;
    QWidget second;
    QWidget third;
};

TEST_F(RQTouchBarControllerTest, barOffersTheOneItemBeforeTheSystemsItems)
{
    EXPECT_EQ(bar->defaultItemIdentifiers(),
              QStringList({QStringLiteral("com.rovaquin.touchbar.progressview"),
                           TouchBar::otherItemsProxyIdentifier}));
    EXPECT_EQ(bar->customizationAllowedItemIdentifiers(),
              QStringList{QStringLiteral("com.rovaquin.touchbar.progressview")});
    const CustomTouchBarItem item = RQTouchBarController::touchBarItemWithView(&first);
    EXPECT_EQ(item.identifier(), QStringLiteral("com.rovaquin.touchbar.progressview"));
    EXPECT_EQ(item.customizationLabel(), QStringLiteral("Kelmora"));
    EXPECT_EQ(item.view(), &first);
}

TEST_F(RQTouchBarControllerTest, stackOperations)
{
    using Step = std::function<void(RQTouchBarController &)>;
    struct Case
    {
        const char *name;
        Step steps;
        QList<QWidget *> stack;
        QList<QWidget *> shown;
    };
    const Case cases[] = {
        {"push shows the pushed view",
         [&](auto &c) { c.pushTouchBarView(&first); c.pushTouchBarView(&second); },
         {&first, &second}, {&second}},
        {"pop shows the next view down",
         [&](auto &c) { c.setTouchBarViews({&first, &second}); c.pop(); }, {&first}, {&first}},
        {"pop keeps the last item",
         [&](auto &c) { c.setTouchBarViews({&first}); c.pop(); }, {&first}, {&first}},
        {"pop on an empty stack shows nothing new", [](auto &c) { c.pop(); }, {}, {}},
        {"pop to root keeps the bottom item",
         [&](auto &c) { c.setTouchBarViews({&first, &second, &third}); c.popToRootView(); },
         {&first}, {&first}},
        {"views replace the stack and show the last",
         [&](auto &c) { c.pushTouchBarView(&third); c.setTouchBarViews({&first, &second}); },
         {&first, &second}, {&second}},
        {"no views empty the stack and show an empty item",
         [&](auto &c) { c.pushTouchBarView(&third); c.setTouchBarViews({}); }, {}, {nullptr}},
        {"hiding shows an empty item and keeps the stack",
         [&](auto &c) { c.setTouchBarViews({&first, &second}); c.setHidden(true); },
         {&first, &second}, {nullptr}},
        {"showing again shows the top from before hiding",
         [&](auto &c) { c.setTouchBarViews({&first, &second}); c.setHidden(true); c.setHidden(false); },
         {&first, &second}, {&second}},
        {"a push while hidden shows the pushed view at once",
         [&](auto &c) { c.setTouchBarViews({&first}); c.setHidden(true); c.pushTouchBarView(&third); },
         {&first, &third}, {&third}},
        {"showing an empty stack shows no item",
         [](auto &c) { c.setHidden(true); c.setHidden(false); }, {}, {}},
    };
    for (const Case &c : cases) {
        SetUp();
        c.steps(controller());
        EXPECT_EQ(stackViews(), c.stack) << c.name;
        EXPECT_EQ(shownViews(), c.shown) << c.name;
    }
}

TEST_F(RQTouchBarControllerTest, withoutTheCapabilityOrABarNothingChanges)
{
    controller().setTouchBarViews({&first});
    struct Case
    {
        const char *name;
        bool available;
        bool withBar;
    };
    for (const Case &c : {Case{"capability off", false, true}, Case{"no bar", true, false}}) {
        TouchBar::setAvailable(c.available);
        controller().setTouchBar(c.withBar ? bar.get() : nullptr);
        EXPECT_FALSE(controller().touchBarIsAvailable()) << c.name;
        controller().pushTouchBarView(&second);
        controller().setTouchBarViews({&third});
        controller().setTouchBarViews({});
        controller().pop();
        controller().popToRootView();
        EXPECT_EQ(stackViews(), QList<QWidget *>{&first}) << c.name;
        EXPECT_EQ(shownViews(), QList<QWidget *>{&first}) << c.name;
    }
    // Without any bar, hiding has nowhere to show its empty item.
    controller().setHidden(true);
    EXPECT_TRUE(controller().hidden());
}

TEST_F(RQTouchBarControllerTest, aBarThatGoesAwayIsForgotten)
{
    controller().pushTouchBarView(&first);
    bar.reset();
    EXPECT_FALSE(controller().touchBarIsAvailable());
    controller().pushTouchBarView(&second);
    controller().setHidden(true);
    EXPECT_EQ(stackViews(), QList<QWidget *>{&first});
}

} // namespace
