#pragma once

#include <QString>

#include <functional>

// The one place where the program's own log lines go: syslog and standard error.
// Texts are written as given; debug() prefixes "[DEBUG] " as the log format asks.
// Thread-safe.
class SystemLog final
{
public:
    using Observer = std::function<void(const QString &line)>;

    static void write(const QString &line);
    static void debug(const QString &message);

    // Tests watch the lines that are written; an empty observer stops watching.
    static void setObserver(Observer observer);

    SystemLog() = delete;
};
