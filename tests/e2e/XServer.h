#pragma once

#include <QString>

#include <sys/types.h>

// A private X server (Xvfb) for the end-to-end test, on a display number the server picks
// itself. Screen 0 is 1280x800, screen 1 is 2560x1600 for the start at twice the scale. The
// server dies with this object, and with the test process if that dies first.
class XServer final
{
public:
    XServer() = default;
    ~XServer();
    Q_DISABLE_COPY_MOVE(XServer)

    // Starts the server and waits at most 10 s for it to name its display. Answers an empty
    // text on success, else why no server runs.
    QString start();
    bool isRunning() const { return m_pid > 0; }
    // ":N", the display of screen 0.
    QString display() const { return m_display; }
    // ":N.1", the large screen.
    QString largeScreenDisplay() const { return m_display + QStringLiteral(".1"); }

private:
    void stop();

    pid_t m_pid = -1;
    QString m_display;
};
