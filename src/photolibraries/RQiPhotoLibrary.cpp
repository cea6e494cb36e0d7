#include "photolibraries/RQiPhotoLibrary.h"

#include "platform/ApplicationRegistry.h"
#include "platform/NumericCompare.h"
#include "platform/PropertyList.h"
#include "platform/SystemLog.h"
#include "foundation/RQStringPath.h"

#include <QDir>
#include <QFile>
#include <QUrl>
#include <QVariantList>
#include <QVariantMap>

#include <algorithm>
#include <optional>

using namespace Qt::StringLiterals;

namespace {

// In HOME, as every per-user path is: a test's private home, or a launcher's choice, is kept.
QString accountPlistPath()
{
    return QDir::homePath() + "/Library/Preferences/com.apple.iApps.plist"_L1;
}

// The decoded path of a URL string; no value when the string is no URL or its path could not
// name a file (relative, or with a NUL that the file system would cut off).
std::optional<QString> pathOfUrlString(const QVariant &entry)
{
    if (entry.typeId() != QMetaType::QString)
        return std::nullopt;
    const QUrl url(entry.toString(), QUrl::StrictMode);
    const QString path = url.isValid() ? url.path(QUrl::FullyDecoded) : QString();
    if (!path.startsWith(u'/') || path.contains(QChar(0)))
        return std::nullopt;
    return path;
}

QString describedEntry(const QVariant &entry)
{
    return entry.canConvert<QString>() ? entry.toString() : QString::fromLatin1(entry.typeName());
}

} // namespace

RQiPhotoLibrary &RQiPhotoLibrary::sharedInstance()
{
    static RQiPhotoLibrary library;
    return library;
}

RQiPhotoLibrary::RQiPhotoLibrary()
    : RQiPhotoLibrary(ApplicationRegistry::system(), accountPlistPath())
{
}

RQiPhotoLibrary::RQiPhotoLibrary(const ApplicationRegistry &registry, const QString &plistPath)
    : m_plistPath(plistPath)
{
    checkIphotoSupported(registry);
    parsePaths();
}

QString RQiPhotoLibrary::iPhotoSupportedVersion() const
{
    return u"9.0"_s;
}

bool RQiPhotoLibrary::pathIsPhotoLibrary(const QString &path) const
{
    return std::any_of(m_libraryPaths.cbegin(), m_libraryPaths.cend(),
                       [&path](const QString &library) { return rq_isChildOfPath(path, library); });
}

void RQiPhotoLibrary::checkIphotoSupported(const ApplicationRegistry &registry)
{
    m_iPhotoVersion.clear();
    m_iPhotoVersionIsSupported = false;
    const auto iPhoto = registry.applicationWithBundleIdentifier(u"com.apple.iPhoto"_s);
    if (!iPhoto)
        return;
    // An iPhoto that declares no version compares as equal to the supported one.
    m_iPhotoVersion = iPhoto->shortVersionString.value_or(QString());
    m_iPhotoVersionIsSupported = !iPhoto->shortVersionString
        || compareNumerically(m_iPhotoVersion, iPhotoSupportedVersion()) >= 0;
    if (!m_iPhotoVersionIsSupported)
        SystemLog::write(u"iPhoto Version %1 is not supported"_s.arg(m_iPhotoVersion));
}

void RQiPhotoLibrary::parsePaths()
{
    QFile file(m_plistPath);
    if (!file.open(QIODevice::ReadOnly)) {
        SystemLog::write(u"Could not load data for file: "_s + m_plistPath);
        return;
    }
    const std::optional<QVariant> root = PropertyList::fromData(file.readAll());
    const QVariant databases = root && root->typeId() == QMetaType::QVariantMap
        ? root->toMap().value(u"iPhotoRecentDatabases"_s)
        : QVariant();
    if (databases.typeId() != QMetaType::QVariantList) {
        SystemLog::write(u"iPhoto property list is invalid"_s);
        return;
    }
    for (const QVariant &entry : databases.toList()) {
        std::optional<QString> path = pathOfUrlString(entry);
        if (!path) {
            SystemLog::write(u"Could not convert %1 to a path string"_s.arg(describedEntry(entry)));
            continue;
        }
        // An entry may name the library's "AlbumData.xml" rather than its folder.
        if (path->endsWith("AlbumData.xml"_L1))
            *path = path->left(std::max<qsizetype>(path->lastIndexOf(u'/'), 1));
        m_libraryPaths.append(*path);
    }
}
