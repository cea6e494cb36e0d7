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

void stopRunningChange(QWidget &window)
{
    if (auto *running = window.findChild<QPropertyAnimation *>(QLatin1String(animationName),
                                                               Qt::FindDirectChildrenOnly)) {
        const bool pinned = running->property(pinnedSizeProperty).isValid();
        running->stop();
        running->setObjectName(QString()); // it goes on the next turn of the event loop
        // A pinned window stays pinned, where the change stopped.
        if (pinned)
            window.setFixedSize(window.size());
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

bool rq_isResizable(const QWidget &window)
{
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
    if (rq_isResizable(window))
        window.resize(size);
    else
        window.setFixedSize(size);
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
            window.setFixedSize(size);
        window.setGeometry(target);
        return nullptr;
    }
    if (pinned) {
        // The pins widen to let the change through and close on the new size at its end.
        window.setMinimumSize(window.size().boundedTo(size));
        window.setMaximumSize(window.size().expandedTo(size));
    }
    auto *animation = new QPropertyAnimation(&window, "geometry", &window);
    animation->setObjectName(QLatin1String(animationName));
    animation->setDuration(200);
    animation->setEndValue(target);
    if (pinned) {
        animation->setProperty(pinnedSizeProperty, size);
        QObject::connect(animation, &QPropertyAnimation::finished, &window,
                         [resized = QPointer<QWidget>(&window), size] {
                             if (resized)
                                 resized->setFixedSize(size);
                         });
    }
    animation->start(QAbstractAnimation::DeleteWhenStopped);
    return animation;
}

void rq_makeResizable(QWidget &window)
{
    if (rq_isResizable(window))
        return;
    window.setMinimumSize(0, 0);
    window.setMaximumSize(QWIDGETSIZE_MAX, QWIDGETSIZE_MAX);
}

void rq_removeResizing(QWidget &window)
{
    if (rq_isResizable(window))
        window.setFixedSize(window.size());
}
