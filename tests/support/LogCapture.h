#pragma once

#include <QString>
#include <QStringList>

#include <mutex>

// Collects the lines written to the system log while it exists.
class LogCapture final
{
public:
    LogCapture();
    ~LogCapture();
    LogCapture(const LogCapture &) = delete;
    LogCapture &operator=(const LogCapture &) = delete;

    QStringList lines() const;
    bool contains(const QString &line) const { return lines().contains(line); }

private:
    mutable std::mutex m_mutex;
    QStringList m_lines;
};
