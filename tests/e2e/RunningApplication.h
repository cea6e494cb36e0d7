#pragma once

#include "ScreenLine.h"

#include <QObject>
#include <QProcess>
#include <QProcessEnvironment>
#include <QStringList>

#include <functional>
#include <optional>

// The application under test, run as its own process. Everything it writes (its windows log
// among it) is read while it runs; the test waits on those lines, each wait bounded.
class RunningApplication final : public QObject
{
    Q_OBJECT

public:
    static constexpr int waitMilliseconds = 30000;

    explicit RunningApplication(QObject *parent = nullptr);
    ~RunningApplication() override;
    Q_DISABLE_COPY_MOVE(RunningApplication)

    bool start(const QString &program, const QProcessEnvironment &environment);
    qint64 pid() const { return m_process.processId(); }
    bool isRunning() const { return m_process.state() != QProcess::NotRunning; }

    // The next screen line, after those already taken, that matches; lines passed over on the
    // way are taken too. Nothing when none came within the time or the process ended.
    std::optional<ScreenLine> waitForScreen(int step, const QString &state,
                                            int timeoutMilliseconds = waitMilliseconds);
    std::optional<ScreenLine> waitForScreen(const std::function<bool(const ScreenLine &)> &matches,
                                            int timeoutMilliseconds = waitMilliseconds);
    // How many screen lines the waits have taken so far.
    qsizetype taken() const { return m_taken; }
    // Every screen line so far, in order.
    const QList<ScreenLine> &screens() const { return m_screens; }
    // "step state" of the screen lines from index on, a state logged again in a row once.
    QStringList stateSequence(qsizetype from = 0) const;

    // Waits for the process to end; its exit status, or nothing when it ran on or crashed.
    std::optional<int> waitForExit(int timeoutMilliseconds);
    // The last lines the application wrote, for a failure's message.
    QString tail(int lineCount = 40) const;
    // Everything the application wrote.
    QString output() const { return m_lines.join(u'\n'); }

private:
    void readOutput();

    QProcess m_process;
    QByteArray m_pending;
    QStringList m_lines;
    QList<ScreenLine> m_screens;
    qsizetype m_taken = 0;
};
