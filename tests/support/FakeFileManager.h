#pragma once

#include <QDBusConnection>
#include <QList>
#include <QObject>
#include <QStringList>

// A file manager on a test's bus that only records what it was asked to show.
class FakeFileManager final : public QObject
{
    Q_OBJECT
    Q_CLASSINFO("D-Bus Interface", "org.freedesktop.FileManager1")

public:
    explicit FakeFileManager(const QDBusConnection &connection);
    ~FakeFileManager() override;
    Q_DISABLE_COPY_MOVE(FakeFileManager)

    bool isServing() const { return m_serving; }
    // The URIs of each ShowItems call, in order.
    QList<QStringList> calls;

public Q_SLOTS:
    void ShowItems(const QStringList &uris, const QString &startupId);

private:
    QDBusConnection m_connection;
    bool m_serving = false;
};
