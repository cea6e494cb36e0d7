#pragma once

#include <QSize>

class QPropertyAnimation;
class QWidget;

// Resizing windows around their centre. A window resizes when its minimum and maximum sizes
// differ; one that does not is pinned to its size.

QSize rq_contentSize(const QWidget &window);

// Gives the window's content the new size, moving its top-left corner by half the change so
// that the window keeps its centre (where the windowing system refuses to place windows, as
// Wayland does, only the size changes). Where windows can be placed, the frame is kept on the
// screen's free area, moved as little as needed and never larger than it. A pinned window is pinned to the new size. Animated,
// the change runs for 0.2 s and the running animation is answered (it belongs to the window
// and deletes itself when done); otherwise the change is made at once and null is answered.
// A change still running on the window stops where it is; a window pinned or made resizable
// while a change runs ends the change as last told.
QPropertyAnimation *rq_setContentSize(QWidget &window, const QSize &size, bool animated);

void rq_makeResizable(QWidget &window);
void rq_removeResizing(QWidget &window);
bool rq_isResizable(const QWidget &window);

// Full screen is not offered; the main window still says when it would be.
inline void rq_enableFullScreen(QWidget &) {}
inline void rq_disableFullScreen(QWidget &) {}
