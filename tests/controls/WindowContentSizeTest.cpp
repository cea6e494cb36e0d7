#include "controls/WindowContentSize.h"

#include <QPropertyAnimation>
#include <QScreen>
#include <QVBoxLayout>
#include <QWidget>

#include <gtest/gtest.h>

namespace {

struct Window
{
    Window()
    {
        widget.setGeometry(100, 100, 400, 300);
    }
    QWidget widget;
};

TEST(WindowContentSizeTest, resizingKeepsTheWindowsCentre)
{
    for (const bool pinned : {false, true}) {
        Window window;
        if (pinned)
            rq_removeResizing(window.widget);
        EXPECT_EQ(rq_contentSize(window.widget), QSize(400, 300));
        EXPECT_EQ(rq_setContentSize(window.widget, QSize(500, 200), false), nullptr);
        EXPECT_EQ(window.widget.geometry(), QRect(50, 150, 500, 200)) << "pinned " << pinned;
        EXPECT_EQ(window.widget.geometry().center(), QRect(100, 100, 400, 300).center());
        EXPECT_EQ(rq_isResizable(window.widget), !pinned);
        if (pinned) {
            EXPECT_EQ(window.widget.maximumSize(), QSize(500, 200));
        }
    }
}

// Growing around the centre must not take the window off the screen's free area: it moves as
// little as needed and is no larger than that area.
TEST(WindowContentSizeTest, resizingKeepsTheWindowOnTheScreen)
{
    enum class Corner { TopLeft, BottomRight };
    struct Case
    {
        const char *name;
        Corner corner;  // of the free area the window starts at, and is expected at
        QPoint inset;   // of the window from that corner, towards the area's inside
        QSize size;
        bool biggerThanTheScreen;
    };
    const Case cases[] = {
        {"at the top-left corner", Corner::TopLeft, {0, 0}, {500, 400}, false},
        {"near the top-left corner", Corner::TopLeft, {20, 10}, {500, 400}, false},
        {"at the bottom-right corner", Corner::BottomRight, {0, 0}, {500, 400}, false},
        {"bigger than the screen", Corner::TopLeft, {0, 0}, {100000, 100000}, true},
    };
    const QSize startSize(400, 300);
    for (const Case &c : cases) {
        Window window;
        rq_removeResizing(window.widget);
        const QRect available = window.widget.screen()->availableGeometry();
        QRect start(available.topLeft() + c.inset, startSize);
        if (c.corner == Corner::BottomRight)
            start.moveBottomRight(available.bottomRight() - c.inset);
        window.widget.setGeometry(start);
        rq_setContentSize(window.widget, c.size, false);
        const QRect placed = window.widget.geometry();
        EXPECT_TRUE(available.contains(placed)) << c.name;
        EXPECT_EQ(placed.size(), c.biggerThanTheScreen ? available.size() : c.size) << c.name;
        if (c.corner == Corner::BottomRight) {
            EXPECT_EQ(placed.bottomRight(), available.bottomRight()) << c.name;
        } else {
            EXPECT_EQ(placed.topLeft(), available.topLeft()) << c.name;
        }
    }
}

TEST(WindowContentSizeTest, animatedResizingRunsAFifthOfASecondAndMovesThePins)
{
    Window window;
    rq_removeResizing(window.widget);
    QPropertyAnimation *animation = rq_setContentSize(window.widget, QSize(500, 200), true);
    ASSERT_NE(animation, nullptr);
    EXPECT_EQ(animation->duration(), 200);
    EXPECT_EQ(animation->propertyName(), QByteArray("geometry"));
    animation->pause();
    animation->setCurrentTime(100);
    EXPECT_EQ(window.widget.geometry(), QRect(75, 125, 450, 250));
    animation->setCurrentTime(200);
    EXPECT_EQ(window.widget.geometry(), QRect(50, 150, 500, 200));
    EXPECT_FALSE(rq_isResizable(window.widget));
    EXPECT_EQ(window.widget.minimumSize(), QSize(500, 200));
}

TEST(WindowContentSizeTest, aChangeMadeDuringAnotherStopsItAndKeepsThePin)
{
    Window window;
    rq_removeResizing(window.widget);
    QPropertyAnimation *first = rq_setContentSize(window.widget, QSize(500, 200), true);
    first->pause();
    first->setCurrentTime(100);
    QPropertyAnimation *second = rq_setContentSize(window.widget, QSize(450, 250), true);
    EXPECT_EQ(first->state(), QAbstractAnimation::Stopped);
    second->pause();
    second->setCurrentTime(200);
    EXPECT_EQ(window.widget.geometry(), QRect(75, 125, 450, 250));
    EXPECT_FALSE(rq_isResizable(window.widget));
}

TEST(WindowContentSizeTest, resizableMeansMinimumAndMaximumDiffer)
{
    struct Case
    {
        const char *name;
        QSize minimum, maximum;
        void (*change)(QWidget &);
        QSize expectedMinimum, expectedMaximum;
    };
    const QSize unlimited(QWIDGETSIZE_MAX, QWIDGETSIZE_MAX);
    const Case cases[] = {
        {"resizable stays as it is", {100, 80}, {800, 600}, rq_makeResizable, {100, 80}, {800, 600}},
        {"pinned becomes resizable", {400, 300}, {400, 300}, rq_makeResizable, {0, 0}, unlimited},
        {"resizing removed pins the size", {100, 80}, {800, 600}, rq_removeResizing, {400, 300}, {400, 300}},
        {"pinned stays pinned", {400, 300}, {400, 300}, rq_removeResizing, {400, 300}, {400, 300}},
    };
    for (const Case &c : cases) {
        Window window;
        window.widget.setMinimumSize(c.minimum);
        window.widget.setMaximumSize(c.maximum);
        c.change(window.widget);
        c.change(window.widget);
        EXPECT_EQ(window.widget.minimumSize(), c.expectedMinimum) << c.name;
        EXPECT_EQ(window.widget.maximumSize(), c.expectedMaximum) << c.name;
    }
}

// Pinned or freed while a change of size runs, the window ends as last told, at the change's size.
TEST(WindowContentSizeTest, aWindowPinnedOrFreedDuringAChangeEndsAsLastTold)
{
    struct Case
    {
        const char *name;
        bool pinnedAtTheStart;
        void (*change)(QWidget &);
        bool resizableAtTheEnd;
    };
    const Case cases[] = {
        {"freed during a pinned change", true, rq_makeResizable, true},
        {"pinned during a free change", false, rq_removeResizing, false},
    };
    for (const Case &c : cases) {
        Window window;
        if (c.pinnedAtTheStart)
            rq_removeResizing(window.widget);
        QPropertyAnimation *animation = rq_setContentSize(window.widget, QSize(500, 200), true);
        animation->pause();
        animation->setCurrentTime(100);
        c.change(window.widget);
        EXPECT_EQ(rq_isResizable(window.widget), c.resizableAtTheEnd) << c.name << ", while it runs";
        animation->setCurrentTime(200);
        EXPECT_EQ(window.widget.size(), QSize(500, 200)) << c.name;
        EXPECT_EQ(rq_isResizable(window.widget), c.resizableAtTheEnd) << c.name;
        if (!c.resizableAtTheEnd) {
            EXPECT_EQ(window.widget.maximumSize(), QSize(500, 200)) << c.name;
        }
    }
}

// A pin at the very minimum the window's layout asks for is the window's own: the layout does
// not move it when its contents shrink.
TEST(WindowContentSizeTest, aPinAtTheLayoutsMinimumHolds)
{
    QWidget window;
    auto *layout = new QVBoxLayout(&window);
    auto *content = new QWidget(&window);
    content->setMinimumSize(300, 200);
    layout->addWidget(content);
    layout->activate();
    const QSize minimum = window.minimumSize();
    window.resize(minimum);
    rq_removeResizing(window);
    content->setMinimumSize(100, 50);
    layout->activate();
    EXPECT_FALSE(rq_isResizable(window));
    EXPECT_EQ(window.minimumSize(), minimum);
}

} // namespace

// A window never placed is centred on its screen's free area by its frame, so that a window
// manager's title bar lands on the screen; once placed it keeps its place.
TEST(WindowContentSizeTest, aNewWindowIsCentredByItsFrame)
{
    QWidget window;
    const QRect available = window.screen()->availableGeometry();
    EXPECT_EQ(rq_setContentSize(window, QSize(400, 300), false), nullptr);
    EXPECT_EQ(window.size(), QSize(400, 300));
    EXPECT_EQ(window.frameGeometry().center(), available.center());
    EXPECT_TRUE(window.testAttribute(Qt::WA_Moved));

    const QPoint placed = window.pos();
    rq_setContentSize(window, QSize(300, 200), false);
    EXPECT_EQ(window.frameGeometry().center(), QRect(placed, QSize(400, 300)).center());
}
