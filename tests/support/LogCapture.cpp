#include "LogCapture.h"

#include "platform/SystemLog.h"

LogCapture::LogCapture()
{
    SystemLog::setObserver([this](const QString &line) {
        std::lock_guard lock(m_mutex);
        m_lines.append(line);
    });
}

LogCapture::~LogCapture()
{
    SystemLog::setObserver({});
}

QStringList LogCapture::lines() const
{
    std::lock_guard lock(m_mutex);
    return m_lines;
}
