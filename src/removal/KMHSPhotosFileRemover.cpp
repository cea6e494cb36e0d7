#include "removal/KMHSPhotosFileRemover.h"

#include "platform/ScriptingBridge.h"

#include <QCoreApplication>
#include <QFile>

using namespace Qt::StringLiterals;

KMHSPhotosFileRemover::KMHSPhotosFileRemover()
{
    configure();
}

void KMHSPhotosFileRemover::configure()
{
    ScriptingBridge &bridge = ScriptingBridge::current();
    m_photosApp = bridge.applicationWithBundleIdentifier(QString::fromLatin1(bundleIdentifier));
    launchApp();
    bridge.activateIgnoringOtherApps();
    if (!permissionGranted())
        return;
    createAlbum();
}

void KMHSPhotosFileRemover::launchApp()
{
    if (!m_photosApp->isRunning())
        m_photosApp->activate();
}

bool KMHSPhotosFileRemover::permissionGranted()
{
    const std::optional<qint32> status = ScriptingBridge::current().determinePermissionToAutomateTarget(
        QString::fromLatin1(bundleIdentifier), ScriptingBridge::typeWildCard,
        ScriptingBridge::typeWildCard, true);
    if (status && *status != 0) {
        m_errorCode = NoPermissionErrorCode;
        return false;
    }
    // Where the permission service exists a granted permission is enough to go on; either way
    // the calls below need an object that speaks the Photos dictionary.
    if (m_photosApp->className() == "PhotosApplication"_L1)
        m_photos = std::dynamic_pointer_cast<PhotosApplication>(m_photosApp);
    if (!m_photos) {
        m_errorCode = NotScriptableErrorCode;
        return false;
    }
    return true;
}

void KMHSPhotosFileRemover::createAlbum()
{
    QFile script(QString::fromLatin1(albumScriptPath));
    std::optional<QString> albumID;
    if (script.open(QIODevice::ReadOnly))
        albumID = ScriptingBridge::current().executeScript(script.readAll());
    if (!albumID || albumID->isEmpty()) {
        m_errorCode = NoAlbumErrorCode;
        return;
    }
    m_trashAlbum = m_photos->containers()->objectWithID(*albumID);
}

RQError KMHSPhotosFileRemover::errorWithCode(qint64 code) const
{
    QString description;
    switch (code) {
    case NotFoundErrorCode:
        description = u"Could not locate file in Photos library. Error: %1"_s.arg(code);
        break;
    case NoPermissionErrorCode:
        description = u"%1 does not have permissions to automate Photos. Please contact support."_s.arg(
            QCoreApplication::applicationName());
        break;
    default:
        description = u"An error occured while launching Photos. Error: %1"_s.arg(code);
        break;
    }
    return RQError(QString::fromLatin1(errorDomain), code, description);
}

void KMHSPhotosFileRemover::generateError()
{
    m_error = errorWithCode(m_errorCode);
}

std::optional<RQError> KMHSPhotosFileRemover::error()
{
    if (m_errorCode != NoErrorCode && !m_error)
        generateError();
    return m_error;
}

bool KMHSPhotosFileRemover::removeFiles(const std::vector<std::shared_ptr<RQFile>> &files)
{
    m_errorDict.clear();
    if (m_errorCode != NoErrorCode) {
        for (const auto &file : files) {
            if (!file->path().isEmpty())
                m_errorDict.insert(file->path(), errorWithCode(m_errorCode));
        }
        return false;
    }

    launchApp();
    const auto mediaItems = m_photos->mediaItems();
    QList<std::shared_ptr<PhotosMediaItem>> found;
    for (const auto &file : files) {
        const QString photoUUID = file->metadata().value(u"photoUUID"_s).toString();
        std::shared_ptr<PhotosMediaItem> item;
        if (!photoUUID.isEmpty())
            item = mediaItems->objectWithID(photoUUID);
        if (item && !item->id().isEmpty())
            found.append(item);
        else
            m_errorDict.insert(file->path(), errorWithCode(NotFoundErrorCode));
    }
    m_photos->add(found, m_trashAlbum);
    return true;
}
