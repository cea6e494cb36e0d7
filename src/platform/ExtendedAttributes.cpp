#include "platform/ExtendedAttributes.h"

#include <QByteArray>
#include <QFile>

#include <sys/xattr.h>

#include <cerrno>
#include <vector>

namespace {

using namespace Qt::StringLiterals;

// The raw names, NUL-separated, as the kernel gives them. The list can grow between the size
// query and the read, so the read is retried on ERANGE.
std::optional<QByteArray> rawNames(const QByteArray &path)
{
    for (;;) {
        const ssize_t size = llistxattr(path.constData(), nullptr, 0);
        if (size < 0)
            return errno == ENOTSUP ? std::optional<QByteArray>(QByteArray()) : std::nullopt;
        QByteArray names(size, Qt::Uninitialized);
        const ssize_t read = llistxattr(path.constData(), names.data(), names.size());
        if (read >= 0) {
            names.truncate(read);
            return names;
        }
        if (errno != ERANGE)
            return std::nullopt;
    }
}

std::optional<QByteArray> rawValue(const QByteArray &path, const QByteArray &name)
{
    for (;;) {
        const ssize_t size = lgetxattr(path.constData(), name.constData(), nullptr, 0);
        if (size < 0)
            return std::nullopt;
        QByteArray value(size, Qt::Uninitialized);
        const ssize_t read = lgetxattr(path.constData(), name.constData(), value.data(), value.size());
        if (read >= 0) {
            value.truncate(read);
            return value;
        }
        if (errno != ERANGE)
            return std::nullopt;
    }
}

QString displayedName(const QByteArray &rawName)
{
    const QString name = QString::fromUtf8(rawName);
    return name.startsWith("user."_L1) ? name.mid(5) : name;
}

template<typename Visit>
bool forEachRawName(const QString &path, Visit visit)
{
    const auto names = rawNames(QFile::encodeName(path));
    if (!names)
        return false;
    for (const QByteArray &name : names->split('\0')) {
        if (!name.isEmpty())
            visit(name);
    }
    return true;
}

} // namespace

std::optional<QStringList> ExtendedAttributes::namesAtPath(const QString &path)
{
    QStringList names;
    if (path.isEmpty()
        || !forEachRawName(path, [&names](const QByteArray &name) { names.append(displayedName(name)); }))
        return std::nullopt;
    return names;
}

std::optional<QVariantMap> ExtendedAttributes::attributesAtPath(const QString &path)
{
    const QByteArray encodedPath = QFile::encodeName(path);
    QVariantMap attributes;
    const bool listed = !path.isEmpty() && forEachRawName(path, [&](const QByteArray &name) {
        if (const auto value = rawValue(encodedPath, name))
            attributes.insert(displayedName(name), *value);
    });
    if (!listed)
        return std::nullopt;
    return attributes;
}
