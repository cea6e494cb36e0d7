#pragma once

#include <QString>
#include <QStringList>
#include <QVariantMap>

#include <optional>

// Reads the extended attributes of a file-system item without following a final symbolic
// link. A leading "user." is dropped from each name, so that names written by other systems
// into the user namespace ("user.com.example.tag") read as they were stored there
// ("com.example.tag"); names of other namespaces stay whole. Thread-safe.
class ExtendedAttributes final
{
public:
    // The attribute names; no value when the item cannot be read. A file system without
    // extended attributes gives an empty list.
    static std::optional<QStringList> namesAtPath(const QString &path);

    // Name -> value (QByteArray). An attribute that vanishes between listing and reading is
    // left out.
    static std::optional<QVariantMap> attributesAtPath(const QString &path);

    ExtendedAttributes() = delete;
};
