#pragma once

#include <QHash>
#include <QString>

#include <optional>

// Installed applications by bundle identifier, and the short version string each declares.
// The system registry knows the applications this platform has; on Linux that holds neither
// "com.apple.Photos" nor "com.apple.iPhoto", so both read as not installed. Tests make their
// own registry and put applications in. Reading is thread-safe; a registry is filled before
// it is read.
class ApplicationRegistry final
{
public:
    struct Application
    {
        QString bundleIdentifier;
        // No value when the application declares no short version string.
        std::optional<QString> shortVersionString;
    };

    static const ApplicationRegistry &system();

    ApplicationRegistry() = default;

    void addApplication(const QString &bundleIdentifier, const std::optional<QString> &shortVersionString);

    // No value when no application with that identifier is installed.
    std::optional<Application> applicationWithBundleIdentifier(const QString &bundleIdentifier) const;

private:
    QHash<QString, Application> m_applications;
};
