#include "TouchBarFixture.h"
#include "windows/RQViewController.h"

#include "ui_TestScreenController.h"

#include <QLabel>

namespace {

// A screen with an interface file of its own name.
class TestScreenController final : public RQViewController
{
public:
    int loads = 0;
    std::unique_ptr<Ui::TestScreenController> ui;

protected:
    QWidget *loadView() override { return loadForm(ui); }
    void viewDidLoad() override { ++loads; }
};

using RQViewControllerTest = TouchBarFixture;

TEST_F(RQViewControllerTest, viewComesFromTheInterfaceFileOnFirstUse)
{
    TestScreenController screen;
    EXPECT_FALSE(screen.isViewLoaded());
    QWidget *view = screen.view();
    ASSERT_NE(view, nullptr);
    EXPECT_EQ(screen.view(), view);
    EXPECT_EQ(screen.loads, 1);
    ASSERT_TRUE(screen.ui);
    EXPECT_EQ(screen.ui->titleLabel->text(), QStringLiteral("Made from its interface file"));
    EXPECT_EQ(view->findChild<QLabel *>(QStringLiteral("titleLabel")), screen.ui->titleLabel);
}

TEST_F(RQViewControllerTest, aClassWithoutAnInterfaceFileHasNoView)
{
    RQViewController plain;
    EXPECT_EQ(plain.view(), nullptr);
    EXPECT_TRUE(plain.isViewLoaded());
}

TEST_F(RQViewControllerTest, onlyDidAppearPutsTheTouchBarViewOnTheBar)
{
    QWidget base;
    QWidget screenBar;
    controller().setTouchBarViews({&base});
    TestScreenController screen;
    screen.setTouchBarView(&screenBar);

    using Hook = void (RQViewController::*)();
    struct Case
    {
        const char *name;
        Hook hook;
        QList<QWidget *> shown;
    };
    const Case hooks[] = {
        {"will disappear", &RQViewController::rq_viewWillDisappear, {&base}},
        {"will appear", &RQViewController::rq_viewWillAppear, {&base}},
        {"did appear", &RQViewController::rq_viewDidAppear, {&screenBar}},
        {"did disappear", &RQViewController::rq_viewDidDisappear, {&screenBar}},
    };
    for (const Case &c : hooks) {
        (screen.*c.hook)();
        EXPECT_EQ(shownViews(), c.shown) << c.name;
    }
    EXPECT_EQ(stackViews(), QList<QWidget *>({&base, &screenBar}));
}

TEST_F(RQViewControllerTest, aScreenWithoutATouchBarViewLeavesTheBar)
{
    QWidget base;
    controller().setTouchBarViews({&base});
    RQViewController screen;
    screen.rq_viewDidAppear();
    {
        TestScreenController gone;
        auto touchBarView = std::make_unique<QWidget>();
        gone.setTouchBarView(touchBarView.get());
        touchBarView.reset();
        gone.rq_viewDidAppear();
    }
    EXPECT_EQ(stackViews(), QList<QWidget *>{&base});
    EXPECT_EQ(shownViews(), QList<QWidget *>{&base});
}

TEST_F(RQViewControllerTest, viewPlacedInAWindowOutlivesItsController)
{
    QWidget window;
    QPointer<QWidget> view;
    {
        TestScreenController screen;
        view = screen.view();
        view->setParent(&window);
    }
    EXPECT_FALSE(view.isNull());
    QPointer<QWidget> unplaced;
    {
        TestScreenController screen;
        unplaced = screen.view();
    }
    EXPECT_TRUE(unplaced.isNull());
}

} // namespace
