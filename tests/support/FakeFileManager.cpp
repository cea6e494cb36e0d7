#include "support/FakeFileManager.h"

using namespace Qt::StringLiterals;

FakeFileManager::FakeFileManager(const QDBusConnection &connection)
    : m_connection(connection)
{
    m_serving = m_connection.registerService(u"org.freedesktop.FileManager1"_s)
        && m_connection.registerObject(u"/org/freedesktop/FileManager1"_s, this, QDBusConnection::ExportAllSlots);
}

FakeFileManager::~FakeFileManager()
{
    m_connection.unregisterObject(u"/org/freedesktop/FileManager1"_s);
    m_connection.unregisterService(u"org.freedesktop.FileManager1"_s);
}

void FakeFileManager::ShowItems(const QStringList &uris, const QString &startupId)
{
    Q_UNUSED(startupId);
    calls.append(uris);
}
