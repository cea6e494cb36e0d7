#pragma once

#include "platform/PhotosApplication.h"
#include "platform/RQError.h"
#include "removal/KMHSErrorDictionary.h"
#include "scanning/RQFile.h"

#include <memory>
#include <optional>
#include <vector>

// Hands the chosen items of the current Photos library to Photos: it scripts Photos to gather
// their photos in an album that the album script makes, where the user deletes them. Nothing
// is deleted here. The set-up runs once, in the constructor, and either leaves the remover
// usable or decides the error code for every later chunk.
//
// Made and used on the removal queue only; every call blocks it while Photos answers (the
// permission check may wait for the user).
class KMHSPhotosFileRemover final
{
public:
    static constexpr auto errorDomain = "com.rovaquin.kelmora.hs.photosremover";
    static constexpr auto bundleIdentifier = "com.apple.Photos";
    static constexpr auto albumScriptPath = ":/scripts/script.scpt";

    enum Code : qint64 {
        NoErrorCode = -1,
        NoAlbumErrorCode = 1000,
        NotScriptableErrorCode = 1001,
        NotFoundErrorCode = 1002,
        NoPermissionErrorCode = 1003,
    };

    KMHSPhotosFileRemover();
    KMHSPhotosFileRemover(const KMHSPhotosFileRemover &) = delete;
    KMHSPhotosFileRemover &operator=(const KMHSPhotosFileRemover &) = delete;

    // One chunk. YES when the set-up had succeeded and the found photos were handed to Photos;
    // NO when it had failed. Afterwards errorDict() holds exactly this chunk's items that were
    // not handed over, keyed by path.
    bool removeFiles(const std::vector<std::shared_ptr<RQFile>> &files);

    RQError errorWithCode(qint64 code) const;
    // The set-up's error, made on first request and kept; none while the remover is usable.
    std::optional<RQError> error();
    KMHSErrorDictionary errorDict() const { return m_errorDict; }
    qint64 errorCode() const { return m_errorCode; }

    std::shared_ptr<ScriptingApplication> photosApp() const { return m_photosApp; }
    std::shared_ptr<PhotosAlbum> trashAlbum() const { return m_trashAlbum; }

private:
    void configure();
    void launchApp();
    bool permissionGranted();
    void createAlbum();
    void generateError();

    std::optional<RQError> m_error;
    std::shared_ptr<ScriptingApplication> m_photosApp;
    // The same object once it proved to speak the Photos dictionary.
    std::shared_ptr<PhotosApplication> m_photos;
    std::shared_ptr<PhotosAlbum> m_trashAlbum;
    KMHSErrorDictionary m_errorDict;
    qint64 m_errorCode = NoErrorCode;
};
