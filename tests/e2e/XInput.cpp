#include "XInput.h"

#include "support/EventLoop.h"

#include <QElapsedTimer>
#include <QProcess>
#include <QRegularExpression>

using namespace Qt::StringLiterals;

XInput::XInput(QString display)
    : m_display(std::move(display))
{
}

QString XInput::run(const QStringList &arguments, bool *succeeded) const
{
    QProcess xdotool;
    QProcessEnvironment environment = QProcessEnvironment::systemEnvironment();
    environment.insert(u"DISPLAY"_s, m_display);
    xdotool.setProcessEnvironment(environment);
    xdotool.start(u"xdotool"_s, arguments);
    const bool finished = xdotool.waitForFinished(10000);
    if (succeeded)
        *succeeded = finished && xdotool.exitStatus() == QProcess::NormalExit && xdotool.exitCode() == 0;
    return QString::fromUtf8(xdotool.readAllStandardOutput());
}

bool XInput::key(const QStringList &keys) const
{
    bool succeeded = false;
    run(QStringList{u"key"_s, u"--clearmodifiers"_s, u"--delay"_s, u"40"_s} + keys, &succeeded);
    return succeeded;
}

bool XInput::type(const QString &text) const
{
    bool succeeded = false;
    run({u"type"_s, u"--delay"_s, u"10"_s, text}, &succeeded);
    return succeeded;
}

bool XInput::click(QPoint screenPosition) const
{
    bool succeeded = false;
    run({u"mousemove"_s, u"--sync"_s, QString::number(screenPosition.x()), QString::number(screenPosition.y()),
         u"click"_s, u"1"_s},
        &succeeded);
    return succeeded;
}

bool XInput::focus(const QString &window) const
{
    constexpr int focusMilliseconds = 30000;
    bool succeeded = false;
    run({u"windowfocus"_s, u"--sync"_s, window}, &succeeded);
    return succeeded
           && processEventsUntil([&] { return run({u"getwindowfocus"_s}).trimmed() == window; }, focusMilliseconds)
           && !settledGeometry(window, focusMilliseconds).isEmpty();
}

QStringList XInput::windowsOf(qint64 pid) const
{
    return run({u"search"_s, u"--onlyvisible"_s, u"--pid"_s, QString::number(pid)}).split(u'\n', Qt::SkipEmptyParts);
}

QString XInput::waitForNewWindow(qint64 pid, const QStringList &known, int timeoutMilliseconds) const
{
    QString found;
    processEventsUntil(
        [&] {
            for (const QString &window : windowsOf(pid)) {
                if (!known.contains(window) && geometry(window).isValid()) {
                    found = window;
                    return true;
                }
            }
            return false;
        },
        timeoutMilliseconds);
    return found;
}

bool XInput::waitForWindowGone(qint64 pid, const QString &window, int timeoutMilliseconds) const
{
    return processEventsUntil([&] { return !windowsOf(pid).contains(window); }, timeoutMilliseconds);
}

QRect XInput::settledGeometry(const QString &window, int timeoutMilliseconds) const
{
    constexpr int stillMilliseconds = 300;
    QRect last;
    QElapsedTimer stillFor;
    const bool settled = processEventsUntil(
        [&] {
            const QRect now = geometry(window);
            if (now != last || !stillFor.isValid())
                stillFor.start();
            last = now;
            return last.isValid() && stillFor.elapsed() >= stillMilliseconds;
        },
        timeoutMilliseconds);
    return settled ? last : QRect();
}

QRect XInput::geometry(const QString &window) const
{
    bool succeeded = false;
    const QString text = run({u"getwindowgeometry"_s, u"--shell"_s, window}, &succeeded);
    if (!succeeded)
        return {};
    static const QRegularExpression field(u"^(X|Y|WIDTH|HEIGHT)=(-?\\d+)$"_s, QRegularExpression::MultilineOption);
    QMap<QString, int> values;
    for (const QRegularExpressionMatch &match : field.globalMatch(text))
        values.insert(match.captured(1), match.captured(2).toInt());
    if (values.size() != 4)
        return {};
    return {values.value(u"X"_s), values.value(u"Y"_s), values.value(u"WIDTH"_s), values.value(u"HEIGHT"_s)};
}
