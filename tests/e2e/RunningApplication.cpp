#include "RunningApplication.h"

#include "support/EventLoop.h"

#include <csignal>
#include <sys/prctl.h>
#include <unistd.h>

using namespace Qt::StringLiterals;

RunningApplication::RunningApplication(QObject *parent)
    : QObject(parent)
{
    m_process.setProcessChannelMode(QProcess::MergedChannels);
    // The application must not outlive a test process that was killed.
    m_process.setChildProcessModifier([] { ::prctl(PR_SET_PDEATHSIG, SIGKILL); });
    connect(&m_process, &QProcess::readyRead, this, &RunningApplication::readOutput);
}

RunningApplication::~RunningApplication()
{
    if (isRunning()) {
        m_process.kill();
        m_process.waitForFinished(5000);
    }
}

bool RunningApplication::start(const QString &program, const QProcessEnvironment &environment)
{
    m_process.setProcessEnvironment(environment);
    m_process.setWorkingDirectory(environment.value(u"HOME"_s));
    m_process.start(program, {});
    return m_process.waitForStarted(waitMilliseconds);
}

void RunningApplication::readOutput()
{
    m_pending += m_process.readAll();
    qsizetype end = 0;
    while ((end = m_pending.indexOf('\n')) >= 0) {
        const QString line = QString::fromUtf8(m_pending.left(end));
        m_pending.remove(0, end + 1);
        m_lines.append(line);
        if (std::optional<ScreenLine> screen = ScreenLine::parse(line))
            m_screens.append(std::move(*screen));
    }
}

std::optional<ScreenLine> RunningApplication::waitForScreen(int step, const QString &state, int timeoutMilliseconds)
{
    return waitForScreen([&](const ScreenLine &line) { return line.step == step && line.state == state; },
                         timeoutMilliseconds);
}

std::optional<ScreenLine> RunningApplication::waitForScreen(const std::function<bool(const ScreenLine &)> &matches,
                                                            int timeoutMilliseconds)
{
    std::optional<ScreenLine> found;
    processEventsUntil(
        [&] {
            readOutput();
            while (m_taken < m_screens.size()) {
                const ScreenLine &line = m_screens.at(m_taken++);
                if (matches(line)) {
                    found = line;
                    return true;
                }
            }
            return !isRunning();
        },
        timeoutMilliseconds);
    return found;
}

QStringList RunningApplication::stateSequence(qsizetype from) const
{
    QStringList sequence;
    for (qsizetype index = from; index < m_screens.size(); ++index) {
        const QString entry = m_screens.at(index).stepAndState();
        if (sequence.isEmpty() || sequence.constLast() != entry)
            sequence.append(entry);
    }
    return sequence;
}

std::optional<int> RunningApplication::waitForExit(int timeoutMilliseconds)
{
    processEventsUntil([&] { return !isRunning(); }, timeoutMilliseconds);
    readOutput();
    if (isRunning() || m_process.exitStatus() != QProcess::NormalExit)
        return std::nullopt;
    return m_process.exitCode();
}

QString RunningApplication::tail(int lineCount) const
{
    return u"\n--- the application's last lines ---\n"_s + m_lines.mid(qMax(0, m_lines.size() - lineCount)).join(u'\n')
           + (m_pending.isEmpty() ? QString() : u"\n"_s + QString::fromUtf8(m_pending));
}
