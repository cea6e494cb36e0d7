#include "controls/WindowContentSize.h"

#include <QGuiApplication>
#include <QPointer>
#include <QPropertyAnimation>
#include <QScreen>
#include <QWidget>

#include <algorithm>

namespace {

const char *const animationName = "rq_contentSizeAnimation";
// On the animation of a pinned window: the size to pin the window to when the change ends.
const char *const pinnedSizeProperty = "rq_pinnedSize";

bool windowsCanBePlaced()
{
    return !QGuiApplication::platformName().startsWith(QLatin1String("wayland"));
}

QPropertyAnimation *runningChange(const QWidget &window)
{
    return window.findChild<QPropertyAnimation *>(QLatin1String(animationName), Qt::FindDirectChildrenOnly);
}

// Sets the window's own minimum and maximum. A minimum that the window's layout set, set again
// to the same value, stays the layout's, and the layout would move it with its contents; made
// the window's own first, it holds.
void setLimits(QWidget &window, const QSize &minimum, const QSize &maximum)
{
    window.setMinimumSize(0, 0);
    window.setMinimumSize(minimum);
    window.setMaximumSize(maximum);
}

void pin(QWidget &window, const QSize &size)
{
    setLimits(window, size, size);
}

// The limits widen to let the change through; they close on its end size when it ends.
void pinAtTheEnd(QWidget &window, QPropertyAnimation &change)
{
    const QSize end = change.endValue().toRect().size();
    change.setProperty(pinnedSizeProperty, end);
    setLimits(window, window.size().boundedTo(end), window.size().expandedTo(end));
}

void stopRunningChange(QWidget &window)
{
    if (auto *running = runningChange(window)) {
        const bool pinned = running->property(pinnedSizeProperty).isValid();
        running->stop();
        running->setObjectName(QString()); // it goes on the next turn of the event loop
        // A pinned window stays pinned, where the change stopped.
        if (pinned)
            pin(window, window.size());
    }
}

// The window's client geometry moved as little as needed, and made no larger than needed, for
// its frame to lie on the screen's free area: a window grown around its centre would otherwise
// leave the screen where no window manager puts it back.
QRect keptOnScreen(const QWidget &window, QRect target)
{
    const QScreen *screen = window.screen();
    if (!screen)
        return target;
    const QRect available = screen->availableGeometry();
    const QRect client = window.geometry();
    const QRect frame = window.frameGeometry();
    const QMargins decoration(client.left() - frame.left(), client.top() - frame.top(),
                              frame.right() - client.right(), frame.bottom() - client.bottom());
    target.setSize(target.size().boundedTo(available.marginsRemoved(decoration).size()));
    const QRect outer = target.marginsAdded(decoration);
    const int left = std::clamp(outer.left(), available.left(), available.left() + available.width() - outer.width());
    const int top = std::clamp(outer.top(), available.top(), available.top() + available.height() - outer.height());
    return target.translated(left - outer.left(), top - outer.top());
}

} // namespace

QSize rq_contentSize(const QWidget &window)
{
    return window.size();
}

// While a change runs the limits are widened to let it through; the change knows whether the
// window is pinned.
bool rq_isResizable(const QWidget &window)
{
    if (const QPropertyAnimation *running = runningChange(window))
        return !running->property(pinnedSizeProperty).isValid();
    return window.minimumSize() != window.maximumSize();
}

namespace {

// A window never placed and not shown has no frame to measure: it is sized, and placed by its
// frame (which move() places), centred on its screen's free area, so that its title bar lies on
// the screen whatever the window manager adds.
void placeNewWindow(QWidget &window, const QScreen &screen, const QSize &requested)
{
    const QRect available = screen.availableGeometry();
    const QSize size = requested.boundedTo(available.size());
    if (!rq_isResizable(window))
        pin(window, size);
    window.resize(size);
    window.move(available.left() + (available.width() - size.width()) / 2,
                available.top() + (available.height() - size.height()) / 2);
}

} // namespace

QPropertyAnimation *rq_setContentSize(QWidget &window, const QSize &requested, bool animated)
{
    stopRunningChange(window);
    if (const QScreen *screen = window.screen();
        screen && windowsCanBePlaced() && !window.isVisible() && !window.testAttribute(Qt::WA_Moved)) {
        placeNewWindow(window, *screen, requested);
        return nullptr;
    }
    const QSize delta = requested - rq_contentSize(window);
    QRect target = window.geometry();
    target.setSize(requested);
    if (windowsCanBePlaced())
        target = keptOnScreen(window, target.translated(-delta.width() / 2, -delta.height() / 2));
    const QSize size = target.size();

    const bool pinned = !rq_isResizable(window);
    if (!animated) {
        if (pinned)
            pin(window, size);
        window.setGeometry(target);
        return nullptr;
    }
    auto *animation = new QPropertyAnimation(&window, "geometry", &window);
    animation->setObjectName(QLatin1String(animationName));
    animation->setDuration(200);
    animation->setEndValue(target);
    if (pinned)
        pinAtTheEnd(window, *animation);
    // The window may be pinned or freed while the change runs; its end follows the latest word.
    QObject::connect(animation, &QPropertyAnimation::finished, &window,
                     [resized = QPointer<QWidget>(&window), animation] {
                         const QVariant pinnedSize = animation->property(pinnedSizeProperty);
                         if (resized && pinnedSize.isValid())
                             pin(*resized, pinnedSize.toSize());
                     });
    animation->start(QAbstractAnimation::DeleteWhenStopped);
    return animation;
}

void rq_makeResizable(QWidget &window)
{
    if (rq_isResizable(window))
        return;
    if (QPropertyAnimation *running = runningChange(window))
        running->setProperty(pinnedSizeProperty, QVariant());
    setLimits(window, QSize(0, 0), QSize(QWIDGETSIZE_MAX, QWIDGETSIZE_MAX));
}

void rq_removeResizing(QWidget &window)
{
    if (!rq_isResizable(window))
        return;
    if (QPropertyAnimation *running = runningChange(window))
        pinAtTheEnd(window, *running);
    else
        pin(window, window.size());
}
