#include "ScreenShooter.h"

#include "support/EventLoop.h"

#include <QDir>
#include <QElapsedTimer>
#include <QGuiApplication>
#include <QPixmap>
#include <QScreen>

using namespace Qt::StringLiterals;

namespace {

constexpr int stillMilliseconds = 400;

} // namespace

int ScreenShooter::s_taken = 0;

QScreen *ScreenShooter::screenOfSize(QSize size)
{
    for (QScreen *screen : QGuiApplication::screens()) {
        if (screen->geometry().size() == size)
            return screen;
    }
    return nullptr;
}

bool ScreenShooter::isBlank(const QImage &image)
{
    if (image.isNull())
        return true;
    const QRgb first = image.pixel(0, 0);
    for (int y = 0; y < image.height(); ++y) {
        const QRgb *line = reinterpret_cast<const QRgb *>(image.constScanLine(y));
        for (int x = 0; x < image.width(); ++x) {
            if (line[x] != first)
                return false;
        }
    }
    return true;
}

QString ScreenShooter::shoot(QScreen *screen, const QRect &window, const QString &name, int timeoutMilliseconds)
{
    if (!screen)
        return u"no screen to photograph"_s;
    const QRect area = window.intersected(QRect(QPoint(0, 0), screen->geometry().size()));
    if (area.isEmpty())
        return u"the window lies outside the screen"_s;
    const QImage previous = m_last.isNull() || m_last.size() != screen->geometry().size() ? QImage() : m_last.copy(area);

    // A screen that has just switched may still be fading in: the photograph waits until the
    // screen has been still for a moment. One that never rests (a spinner) is taken as it is.
    QImage grab;
    QString problem;
    QElapsedTimer stillFor;
    processEventsUntil(
        [&] {
            const QImage next = screen->grabWindow(0).toImage().convertToFormat(QImage::Format_RGB32);
            if (next != grab)
                stillFor.start();
            grab = next;
            const QImage inside = grab.copy(area);
            if (isBlank(inside))
                problem = u"the window's rectangle is blank"_s;
            else if (!previous.isNull() && inside == previous)
                problem = u"the window's rectangle is the same as in the last photograph"_s;
            else
                problem.clear();
            return problem.isEmpty() && stillFor.elapsed() >= stillMilliseconds;
        },
        timeoutMilliseconds);
    m_lastPath = keep(grab, name);
    return problem;
}

QString ScreenShooter::keep(const QImage &image, const QString &name)
{
    m_last = image;
    const QDir folder(screensFolder());
    folder.mkpath(u"."_s);
    const QString path = folder.filePath(u"e2e-%1-%2.png"_s.arg(++s_taken, 2, 10, QChar(u'0')).arg(name));
    image.save(path);
    return path;
}

QString ScreenShooter::screensFolder()
{
    return QStringLiteral(MARROWICK_SCREENS_DIR);
}

void ScreenShooter::removeEarlierPhotographs()
{
    QDir folder(screensFolder());
    for (const QString &name : folder.entryList({u"e2e-*.png"_s}, QDir::Files))
        folder.remove(name);
}
