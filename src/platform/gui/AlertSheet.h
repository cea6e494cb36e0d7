#pragma once

#include <QString>

#include <functional>

class QMessageBox;
class QPushButton;
class QWidget;

// Alerts shown as window-modal sheets on a window, reporting the pressed button to a handler.

// The return codes of the buttons added with rq_addButtonWithTitle, in the order added.
constexpr qint64 AlertFirstButtonReturn = 1000;
constexpr qint64 AlertSecondButtonReturn = 1001;
constexpr qint64 AlertThirdButtonReturn = 1002;

// Receives the return code of the pressed button: its place as above for buttons added with
// rq_addButtonWithTitle, the QMessageBox::StandardButton value for a standard button, 0 when
// the alert ended without a button.
using AlertCompletionHandler = std::function<void(qint64 returnCode)>;

// Adds a push button whose return code follows the order of adding; the first added is the
// default button.
QPushButton *rq_addButtonWithTitle(QMessageBox &alert, const QString &title);

// Shows the alert as a window-modal sheet on the window once the delay in seconds has passed,
// always on a later turn of the main queue (so never inside the call, even with no delay),
// and calls the handler, which may be empty, on the main thread with the pressed button's
// return code. The alert becomes a child of the window and is deleted after the handler
// returns. When the window is gone by the time the sheet is due, the alert is shown modal on
// its own; when the alert itself is gone, nothing happens.
void rq_beginSheetModalForWindow(QMessageBox *alert, QWidget *window, double delay,
                                 AlertCompletionHandler handler);
// The same with no delay.
void rq_beginSheetModalForWindow(QMessageBox *alert, QWidget *window,
                                 AlertCompletionHandler handler);
