#include "platform/SystemLog.h"

#include <QByteArray>

#include <cstdio>
#include <mutex>
#include <syslog.h>

namespace {

std::mutex &logMutex()
{
    static std::mutex mutex;
    return mutex;
}

SystemLog::Observer &observer()
{
    static SystemLog::Observer current;
    return current;
}

} // namespace

void SystemLog::write(const QString &line)
{
    static std::once_flag opened;
    std::call_once(opened, [] { openlog("marrowick", LOG_PID, LOG_USER); });

    const QByteArray bytes = line.toUtf8();
    std::lock_guard lock(logMutex());
    syslog(LOG_NOTICE, "%s", bytes.constData());
    std::fprintf(stderr, "%s\n", bytes.constData());
    if (observer())
        observer()(line);
}

void SystemLog::debug(const QString &message)
{
    write(QStringLiteral("[DEBUG] ") + message);
}

void SystemLog::setObserver(Observer newObserver)
{
    std::lock_guard lock(logMutex());
    observer() = std::move(newObserver);
}
