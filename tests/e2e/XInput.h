#pragma once

#include <QList>
#include <QPoint>
#include <QRect>
#include <QString>
#include <QStringList>

// Keys and clicks sent through the X server's test extension with xdotool, so they reach the
// application as a user's would, through its X connection. Windows are found by the process
// that owns them.
class XInput final
{
public:
    explicit XInput(QString display);

    // Keys in xdotool's names, one press each: "Return", "ctrl+comma", "Tab".
    bool key(const QStringList &keys) const;
    bool type(const QString &text) const;
    bool click(QPoint screenPosition) const;
    // Gives the window the keyboard (there is no window manager to do it), then waits for it to
    // rest on the screen, so that the application has shown and activated it before keys come.
    bool focus(const QString &window) const;

    // The visible windows of the process, oldest first.
    QStringList windowsOf(qint64 pid) const;
    // Waits for a visible window of the process that is not among known; empty when none came
    // within the time.
    QString waitForNewWindow(qint64 pid, const QStringList &known, int timeoutMilliseconds) const;
    // Waits until none of the process's visible windows is window.
    bool waitForWindowGone(qint64 pid, const QString &window, int timeoutMilliseconds) const;
    // The window's rectangle on the screen; empty when it cannot be read.
    QRect geometry(const QString &window) const;
    // The window's rectangle once it has stopped moving and resizing (a screen switch animates
    // the window's size); empty when it did not settle within the time.
    QRect settledGeometry(const QString &window, int timeoutMilliseconds) const;

private:
    QString run(const QStringList &arguments, bool *succeeded = nullptr) const;

    QString m_display;
};
