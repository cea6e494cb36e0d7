#include "platform/ApplicationRegistry.h"

const ApplicationRegistry &ApplicationRegistry::system()
{
    // Nothing that is asked for by bundle identifier exists on Linux.
    static const ApplicationRegistry registry;
    return registry;
}

void ApplicationRegistry::addApplication(const QString &bundleIdentifier,
                                         const std::optional<QString> &shortVersionString)
{
    m_applications.insert(bundleIdentifier, Application{bundleIdentifier, shortVersionString});
}

std::optional<ApplicationRegistry::Application>
ApplicationRegistry::applicationWithBundleIdentifier(const QString &bundleIdentifier) const
{
    const auto found = m_applications.constFind(bundleIdentifier);
    if (found == m_applications.cend())
        return std::nullopt;
    return *found;
}
