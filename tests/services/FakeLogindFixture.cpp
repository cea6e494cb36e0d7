#include "FakeLogindFixture.h"

#include <QStandardPaths>

#include <fcntl.h>
#include <poll.h>
#include <unistd.h>

using namespace Qt::StringLiterals;

namespace {

const char busConfiguration[] = R"(<!DOCTYPE busconfig PUBLIC
 "-//freedesktop//DTD D-Bus Bus Configuration 1.0//EN"
 "http://www.freedesktop.org/standards/dbus/1.0/busconfig.dtd">
<busconfig>
  <type>session</type>
  <listen>unix:path=%1</listen>
  <auth>EXTERNAL</auth>
  <policy context="default">
    <allow send_destination="*" eavesdrop="true"/>
    <allow eavesdrop="true"/>
    <allow own="*"/>
  </policy>
</busconfig>
)";

} // namespace

PrivateBus::PrivateBus()
{
    const QString daemon = QStandardPaths::findExecutable(u"dbus-daemon"_s);
    if (daemon.isEmpty())
        return;
    const QString configuration = m_folder.writeFile(
        u"bus.conf"_s, QString::fromLatin1(busConfiguration).arg(m_folder.filePath(u"bus"_s)).toUtf8());
    m_daemon.start(daemon, {u"--config-file="_s + configuration, u"--nofork"_s,
                            u"--nopidfile"_s, u"--print-address"_s});
    if (!m_daemon.waitForStarted())
        return;
    while (!m_daemon.canReadLine() && m_daemon.waitForReadyRead(10000)) {
    }
    m_address = QString::fromUtf8(m_daemon.readLine()).trimmed();
}

PrivateBus::~PrivateBus()
{
    for (const QString &name : std::as_const(m_connections))
        QDBusConnection::disconnectFromBus(name);
    if (m_daemon.state() != QProcess::NotRunning) {
        m_daemon.terminate();
        if (!m_daemon.waitForFinished(10000))
            m_daemon.kill();
        m_daemon.waitForFinished();
    }
}

QDBusConnection PrivateBus::connect(const QString &name)
{
    m_connections.append(name);
    return QDBusConnection::connectToBus(m_address, name);
}

FakeLogind::FakeLogind(PrivateBus &bus)
    : m_connection(bus.connect(u"fake-logind"_s))
{
    m_thread.start();
    moveToThread(&m_thread);
    m_serving = m_connection.registerService(u"org.freedesktop.login1"_s)
        && m_connection.registerObject(u"/org/freedesktop/login1"_s, this,
                                       QDBusConnection::ExportAllSlots);
}

FakeLogind::~FakeLogind()
{
    m_connection.unregisterObject(u"/org/freedesktop/login1"_s);
    m_connection.unregisterService(u"org.freedesktop.login1"_s);
    m_thread.quit();
    m_thread.wait();
    for (const int readEnd : m_readEnds)
        ::close(readEnd);
}

void FakeLogind::setRefusing(bool refusing)
{
    std::lock_guard lock(m_mutex);
    m_refusing = refusing;
}

std::vector<FakeLogind::Call> FakeLogind::calls() const
{
    std::lock_guard lock(m_mutex);
    return m_calls;
}

bool FakeLogind::isReleased(std::size_t index) const
{
    std::lock_guard lock(m_mutex);
    if (index >= m_readEnds.size())
        return false;
    pollfd entry{m_readEnds[index], POLLIN, 0};
    return ::poll(&entry, 1, 0) == 1 && (entry.revents & POLLHUP);
}

QDBusUnixFileDescriptor FakeLogind::Inhibit(const QString &what, const QString &who,
                                            const QString &why, const QString &mode)
{
    std::lock_guard lock(m_mutex);
    m_calls.push_back({what, who, why, mode});
    if (m_refusing) {
        sendErrorReply(QDBusError::AccessDenied, u"Inhibiting is not allowed here."_s);
        m_readEnds.push_back(-1);
        return {};
    }
    int ends[2] = {-1, -1};
    if (::pipe2(ends, O_CLOEXEC) != 0) {
        sendErrorReply(QDBusError::Failed, u"No pipe."_s);
        m_readEnds.push_back(-1);
        return {};
    }
    m_readEnds.push_back(ends[0]);
    // The descriptor object keeps a copy of its own, which goes out with the reply.
    QDBusUnixFileDescriptor descriptor(ends[1]);
    ::close(ends[1]);
    return descriptor;
}
