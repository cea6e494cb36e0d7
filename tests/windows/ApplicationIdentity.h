#pragma once

#include <QCoreApplication>
#include <QString>

// The application's name and version as the program's start gives them, for as long as it
// lives; the test runner's own come back afterwards.
class ApplicationIdentity final
{
public:
    ApplicationIdentity()
    {
        QCoreApplication::setApplicationName(QStringLiteral("Marrowick"));
        QCoreApplication::setApplicationVersion(QStringLiteral("1.0.0"));
    }
    ~ApplicationIdentity()
    {
        QCoreApplication::setApplicationName(m_name);
        QCoreApplication::setApplicationVersion(m_version);
    }
    Q_DISABLE_COPY_MOVE(ApplicationIdentity)

private:
    QString m_name = QCoreApplication::applicationName();
    QString m_version = QCoreApplication::applicationVersion();
};
