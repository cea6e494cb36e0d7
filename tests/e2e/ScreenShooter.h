#pragma once

#include <QImage>
#include <QRect>
#include <QString>

class QScreen;

// Photographs a whole X screen through Qt's own connection to the server and keeps each
// photograph as screens/e2e-NN-<name>.png in the build folder, numbered in the order taken.
class ScreenShooter final
{
public:
    ScreenShooter() = default;

    // The X screen of that size; null when the server has none.
    static QScreen *screenOfSize(QSize size);

    // Waits (bounded) until the window's rectangle on the screen shows something, differs from
    // the last photograph and has stopped changing, then keeps it. Answers an empty text, or
    // what was wrong with the last grab when the time ran out (that grab is kept all the same).
    QString shoot(QScreen *screen, const QRect &window, const QString &name, int timeoutMilliseconds = 30000);
    QImage last() const { return m_last; }
    QString lastPath() const { return m_lastPath; }

    static QString screensFolder();
    // Removes the photographs of an earlier run, so the folder shows this run's alone.
    static void removeEarlierPhotographs();
    static bool isBlank(const QImage &image);

private:
    QString keep(const QImage &image, const QString &name);

    QImage m_last;
    QString m_lastPath;
    // Numbered across the whole run, whichever test takes them.
    static int s_taken;
};
