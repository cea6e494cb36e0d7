#include "FakeLogindFixture.h"

#include <fcntl.h>
#include <poll.h>
#include <unistd.h>

using namespace Qt::StringLiterals;

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
