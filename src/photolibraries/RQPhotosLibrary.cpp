#include "photolibraries/RQPhotosLibrary.h"

#include "platform/ApplicationRegistry.h"
#include "platform/FileTypeInfo.h"
#include "platform/NumericCompare.h"
#include "platform/SystemLog.h"

#include <limits>

using namespace Qt::StringLiterals;

RQPhotosLibrary &RQPhotosLibrary::sharedInstance()
{
    static RQPhotosLibrary library(ApplicationRegistry::system());
    return library;
}

RQPhotosLibrary::RQPhotosLibrary(const ApplicationRegistry &registry)
{
    checkIsSupported(registry);
}

QString RQPhotosLibrary::minVersionSupported() const
{
    return u"1.0"_s;
}

QString RQPhotosLibrary::maxVersionSupported() const
{
    return QString::number(std::numeric_limits<qint64>::max());
}

QString RQPhotosLibrary::currentLibraryPath() const
{
    std::lock_guard lock(m_libraryPathMutex);
    return m_currentLibraryPath;
}

void RQPhotosLibrary::setCurrentLibraryPath(const QString &path)
{
    std::lock_guard lock(m_libraryPathMutex);
    m_currentLibraryPath = path;
}

bool RQPhotosLibrary::pathIsPhotoLibrary(const QString &path) const
{
    return m_currentVersionIsSupported && FileTypeInfo::extension(path) == "photoslibrary"_L1;
}

void RQPhotosLibrary::checkIsSupported(const ApplicationRegistry &registry)
{
    const auto photos = registry.applicationWithBundleIdentifier(u"com.apple.Photos"_s);
    if (!photos) {
        m_currentVersion.clear();
        m_currentVersionIsSupported = false;
        return;
    }
    // A Photos that declares no version compares as equal to both bounds.
    const QString version = photos->shortVersionString.value_or(QString());
    bool supported = true;
    if (photos->shortVersionString) {
        if (compareNumerically(version, minVersionSupported()) < 0) {
            SystemLog::write(u"Photos version %1 is not supported. Min version is: %2"_s.arg(
                version, minVersionSupported()));
            supported = false;
        } else if (compareNumerically(version, maxVersionSupported()) > 0) {
            SystemLog::write(u"Photos version %1 is not supported. Max version is: %2"_s.arg(
                version, maxVersionSupported()));
            supported = false;
        }
    }
    m_currentVersion = version;
    m_currentVersionIsSupported = supported;
}

void RQPhotosLibrary::reset()
{
    setCurrentLibraryPath(QString());
    m_photosFilesRemoved = 0;
}
