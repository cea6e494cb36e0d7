#pragma once

#include "platform/ApplicationRegistry.h"

// A registry in which one application is installed, with the given short version string
// (none: the application declares no version).
inline ApplicationRegistry registryWithApplication(const QString &bundleIdentifier,
                                                   const std::optional<QString> &shortVersionString)
{
    ApplicationRegistry registry;
    registry.addApplication(bundleIdentifier, shortVersionString);
    return registry;
}
