#include "support/TemporaryFolder.h"

#include <gtest/gtest.h>

#include <QDeadlineTimer>
#include <QDir>
#include <QFile>
#include <QProcess>
#include <QProcessEnvironment>

using namespace Qt::StringLiterals;

namespace {

// The program as a user starts it, in a home folder of its own that holds nothing: no
// settings, no XDG folders, no session bus.
class StartTest : public ::testing::Test
{
protected:
    void SetUp() override
    {
        m_home = m_folder.makeFolder(u"home"_s);
        m_runtime = m_folder.makeFolder(u"runtime"_s);
        QFile::setPermissions(m_runtime, QFile::ReadOwner | QFile::WriteOwner | QFile::ExeOwner);
        m_program.setProgram(QStringLiteral(MARROWICK_PROGRAM));
        m_program.setWorkingDirectory(m_folder.path());
    }

    void TearDown() override
    {
        if (m_program.state() != QProcess::NotRunning) {
            m_program.kill();
            m_program.waitForFinished();
        }
    }

    QProcessEnvironment environment(const QString &platform) const
    {
        QProcessEnvironment environment = QProcessEnvironment::systemEnvironment();
        for (const QString &name : environment.keys()) {
            if (name.startsWith(u"XDG_"_s) || name.startsWith(u"DBUS_"_s) || name.startsWith(u"QT_"_s))
                environment.remove(name);
        }
        for (const QString &name : {u"DISPLAY"_s, u"WAYLAND_DISPLAY"_s})
            environment.remove(name);
        environment.insert(u"HOME"_s, m_home);
        environment.insert(u"XDG_RUNTIME_DIR"_s, m_runtime);
        environment.insert(u"QT_QPA_PLATFORM"_s, platform);
        environment.insert(u"QT_LOGGING_RULES"_s, u"marrowick.windows.debug=true"_s);
        return environment;
    }

    // Reads the program's error output until a line starts with the prefix, the program ends
    // or a minute has passed.
    QStringList errorLinesUntil(const QString &prefix)
    {
        QStringList lines;
        const QDeadlineTimer deadline(60000);
        while (!deadline.hasExpired()) {
            while (m_program.canReadLine()) {
                lines.append(QString::fromUtf8(m_program.readLine()).trimmed());
                if (lines.last().startsWith(prefix))
                    return lines;
            }
            if (!m_program.waitForReadyRead(int(deadline.remainingTime())))
                break;
        }
        lines.append(QString::fromUtf8(m_program.readAll()).split(u'\n', Qt::SkipEmptyParts));
        return lines;
    }

    TemporaryFolder m_folder;
    QString m_home;
    QString m_runtime;
    QProcess m_program;
};

} // namespace

TEST_F(StartTest, InAnEmptyHomeTheMainWindowShowsWithoutErrorsOrQuestions)
{
    QProcessEnvironment offscreen = environment(u"offscreen"_s);
    offscreen.insert(u"QT_MESSAGE_PATTERN"_s, u"%{category} %{type}: %{message}"_s);
    m_program.setProcessEnvironment(offscreen);
    m_program.setProcessChannelMode(QProcess::SeparateChannels);
    m_program.setReadChannel(QProcess::StandardError);
    m_program.start();
    ASSERT_TRUE(m_program.waitForStarted());

    const QString screenLine = u"marrowick.windows debug: screen step="_s;
    const QStringList lines = errorLinesUntil(screenLine + u"0 state=start"_s);
    ASSERT_FALSE(lines.isEmpty());
    EXPECT_TRUE(lines.last().startsWith(screenLine + u"0 state=start"_s)) << lines.join(u'\n').toStdString();
    EXPECT_EQ(m_program.state(), QProcess::Running);
    // Nothing but the screens' log: no warning, no alert. The offscreen platform's notes on
    // what it cannot do (raise a window, grab the keyboard) are the test platform's, not ours.
    for (const QString &line : lines) {
        if (line.startsWith(u"default warning: This plugin does not support "_s))
            continue;
        EXPECT_TRUE(line.startsWith(screenLine) && !line.contains(u"state=alert"_s)) << line.toStdString();
    }
    // The start writes nothing: the settings keep their defaults until the user changes one.
    EXPECT_EQ(QDir(m_home).entryList(QDir::AllEntries | QDir::Hidden | QDir::NoDotAndDotDot), QStringList());
}

TEST_F(StartTest, WithoutADisplayTheProgramSaysSoAndEnds)
{
    m_program.setProcessEnvironment(environment(QString()));
    m_program.setProcessChannelMode(QProcess::MergedChannels);
    m_program.start();
    ASSERT_TRUE(m_program.waitForStarted());
    ASSERT_TRUE(m_program.waitForFinished(60000));

    EXPECT_TRUE(m_program.exitStatus() == QProcess::CrashExit || m_program.exitCode() != 0);
    const QString output = QString::fromUtf8(m_program.readAll());
    EXPECT_TRUE(output.contains(u"could not connect to display"_s)) << output.toStdString();
}
