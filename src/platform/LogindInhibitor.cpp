#include "platform/LogindInhibitor.h"

#include <QCoreApplication>
#include <QDBusMessage>
#include <QDBusUnixFileDescriptor>

#include <fcntl.h>

using namespace Qt::StringLiterals;

namespace {

// logind answers at once; a bus that does not answer must not hold up a scan start for long.
constexpr int callTimeoutMilliseconds = 5000;

QString who()
{
    const QString name = QCoreApplication::applicationName();
    return name.isEmpty() ? u"Marrowick"_s : name;
}

} // namespace

LogindInhibitor::LogindInhibitor(const QDBusConnection &connection)
    : m_connection(connection)
{
}

InhibitorLock LogindInhibitor::inhibit(const QString &what, const QString &why)
{
    if (!m_connection.isConnected())
        return {};
    QDBusMessage call = QDBusMessage::createMethodCall(
        u"org.freedesktop.login1"_s, u"/org/freedesktop/login1"_s,
        u"org.freedesktop.login1.Manager"_s, u"Inhibit"_s);
    call << what << who() << why << u"block"_s;
    const QDBusMessage reply = m_connection.call(call, QDBus::Block, callTimeoutMilliseconds);
    if (reply.type() != QDBusMessage::ReplyMessage || reply.arguments().size() != 1)
        return {};
    const auto descriptor = reply.arguments().constFirst().value<QDBusUnixFileDescriptor>();
    if (!descriptor.isValid())
        return {};
    // The message keeps its own copy of the descriptor and closes it; the lock needs one
    // that stays open until it is released.
    const int copy = ::fcntl(descriptor.fileDescriptor(), F_DUPFD_CLOEXEC, 0);
    return copy >= 0 ? InhibitorLock(copy) : InhibitorLock();
}
