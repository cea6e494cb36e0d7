#pragma once

#include "platform/RQError.h"
#include "platform/ScriptingPredicate.h"
#include "platform/iPhotoApplication.h"
#include "removal/KMHSErrorDictionary.h"
#include "scanning/RQFile.h"

#include <memory>
#include <optional>
#include <vector>

// Takes the chosen items of an iPhoto library out of its library album and into iPhoto's own
// trash album, by scripting iPhoto; nothing is deleted here. The set-up runs once, in the
// constructor: a failed set-up fails every chunk. A chunk fails or succeeds on its own.
//
// Made and used on the removal queue only; every call blocks it while iPhoto answers.
class KMHSiPhotoFileRemover final
{
public:
    static constexpr auto errorDomain = "com.rovaquin.kelmora.hs.iphotoremover";
    static constexpr auto bundleIdentifier = "com.apple.iPhoto";

    enum Code : qint64 {
        NoErrorCode = -1,
        NoLibraryAlbumErrorCode = 1000,
        NoTrashAlbumErrorCode = 1001,
        NoPhotosErrorCode = 1002,
        NotScriptableErrorCode = 1003,
    };

    KMHSiPhotoFileRemover();
    KMHSiPhotoFileRemover(const KMHSiPhotoFileRemover &) = delete;
    KMHSiPhotoFileRemover &operator=(const KMHSiPhotoFileRemover &) = delete;

    // One chunk. YES when photos matched and were moved to the trash album; errorDict() then
    // holds the chunk's items that matched no photo (code 1002). NO when the set-up had failed
    // or nothing matched; error() then tells why, for every item of the chunk.
    bool removeFiles(const std::vector<std::shared_ptr<RQFile>> &files);

    // Per item: its image path or its original path is the item's path.
    static ScriptingPredicate predicateWithFiles(const std::vector<std::shared_ptr<RQFile>> &files);

    // The set-up's error, made on first request and kept; else the error of the last chunk
    // when it matched nothing; else none.
    std::optional<RQError> error();
    KMHSErrorDictionary errorDict() const { return m_errorDict; }
    // The set-up's outcome: -1 while usable.
    qint64 errorCode() const { return m_errorCode; }
    static RQError errorWithCode(qint64 code);

private:
    void configure();
    qint64 configurationErrorCode();
    void launchApp();
    void generateError();

    std::optional<RQError> m_error;
    std::optional<RQError> m_chunkError;
    std::shared_ptr<iPhotoAlbum> m_photosAlbum;
    std::shared_ptr<iPhotoAlbum> m_trashAlbum;
    std::shared_ptr<ScriptingApplication> m_iPhotoApp;
    std::shared_ptr<iPhotoApplication> m_iPhoto;
    std::shared_ptr<ScriptingElementArray<iPhotoPhoto>> m_albumPhotos;
    KMHSErrorDictionary m_errorDict;
    qint64 m_errorCode = NoErrorCode;
};
