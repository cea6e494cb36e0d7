#include "removal/KMHSiPhotoFileRemover.h"

#include "platform/ScriptingBridge.h"

#include <QSet>

using namespace Qt::StringLiterals;

KMHSiPhotoFileRemover::KMHSiPhotoFileRemover()
{
    configure();
}

void KMHSiPhotoFileRemover::configure()
{
    m_iPhotoApp = ScriptingBridge::current().applicationWithBundleIdentifier(
        QString::fromLatin1(bundleIdentifier));
    m_errorCode = configurationErrorCode();
    if (m_errorCode == NoErrorCode) {
        launchApp();
        ScriptingBridge::current().activateIgnoringOtherApps();
    }
}

qint64 KMHSiPhotoFileRemover::configurationErrorCode()
{
    if (m_iPhotoApp->className() == "IPhotoApplication"_L1)
        m_iPhoto = std::dynamic_pointer_cast<iPhotoApplication>(m_iPhotoApp);
    if (!m_iPhoto)
        return NotScriptableErrorCode;
    if (!m_iPhoto->respondsToSelector(u"photoLibraryAlbum"_s))
        return NoLibraryAlbumErrorCode;
    m_photosAlbum = m_iPhoto->photoLibraryAlbum();
    if (!m_iPhoto->respondsToSelector(u"trashAlbum"_s))
        return NoTrashAlbumErrorCode;
    m_trashAlbum = m_iPhoto->trashAlbum();
    if (m_photosAlbum)
        m_albumPhotos = m_photosAlbum->photos();
    if (!m_photosAlbum || !m_photosAlbum->respondsToSelector(u"photos"_s) || !m_albumPhotos)
        return NoPhotosErrorCode;
    return NoErrorCode;
}

void KMHSiPhotoFileRemover::launchApp()
{
    if (!m_iPhotoApp->isRunning())
        m_iPhotoApp->activate();
}

RQError KMHSiPhotoFileRemover::errorWithCode(qint64 code)
{
    return RQError(QString::fromLatin1(errorDomain), code,
                   u"An error occured while launching iPhoto. Error: %1"_s.arg(code));
}

void KMHSiPhotoFileRemover::generateError()
{
    m_error = errorWithCode(m_errorCode);
}

std::optional<RQError> KMHSiPhotoFileRemover::error()
{
    if (m_errorCode == NoErrorCode)
        return m_chunkError;
    if (!m_error)
        generateError();
    return m_error;
}

ScriptingPredicate
KMHSiPhotoFileRemover::predicateWithFiles(const std::vector<std::shared_ptr<RQFile>> &files)
{
    ScriptingPredicate predicate;
    for (const auto &file : files) {
        predicate = predicate.orPredicate(ScriptingPredicate({
            {u"imagePath"_s, file->path()},
            {u"originalPath"_s, file->path()},
        }));
    }
    return predicate;
}

bool KMHSiPhotoFileRemover::removeFiles(const std::vector<std::shared_ptr<RQFile>> &files)
{
    m_errorDict.clear();
    m_chunkError.reset();
    if (m_errorCode != NoErrorCode)
        return false;

    launchApp();
    const auto matches = m_albumPhotos->filteredArrayUsingPredicate(predicateWithFiles(files));
    if (!m_iPhotoApp->isRunning()) {
        m_iPhotoApp->activate();
        ScriptingBridge::current().activateIgnoringOtherApps();
    }
    if (matches.isEmpty()) {
        // This chunk only: the next one may well match.
        m_chunkError = errorWithCode(NoPhotosErrorCode);
        return false;
    }

    QSet<QString> matchedPaths;
    for (const auto &photo : matches) {
        matchedPaths.insert(photo->imagePath());
        matchedPaths.insert(photo->originalPath());
        photo->removeFrom(m_photosAlbum);
    }
    for (const auto &photo : matches)
        photo->moveTo(m_trashAlbum);
    for (const auto &file : files) {
        if (!matchedPaths.contains(file->path()))
            m_errorDict.insert(file->path(), errorWithCode(NoPhotosErrorCode));
    }
    return true;
}
