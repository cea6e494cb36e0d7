#include "photolibraries/RQPhotosLibraryParser.h"

#include "fmdb/FMDatabase.h"
#include "fmdb/FMResultSet.h"
#include "photolibraries/RQiPhotoDatabaseParser.h"
#include "platform/SystemLog.h"
#include "scanning/RQFile.h"

#include <QFile>
#include <QFileInfo>
#include <QRegularExpression>
#include <QStandardPaths>
#include <QVariantMap>

#include <sqlite3.h>

#include <filesystem>
#include <system_error>

using namespace Qt::StringLiterals;

namespace {

namespace fs = std::filesystem;

fs::path nativePath(const QString &path)
{
    return fs::path(QFile::encodeName(path).toStdString());
}

QString describe(const std::error_code &error, const QString &path)
{
    return QString::fromLocal8Bit(error.message()) + u" ("_s + path + u')';
}

// Joins like a path component: exactly one "/" between the parts, none at the end.
QString appendingPathComponent(const QString &base, const QString &component)
{
    QString joined = base + u'/' + component;
    static const QRegularExpression repeatedSlashes(u"/{2,}"_s);
    joined.replace(repeatedSlashes, u"/"_s);
    if (joined.size() > 1 && joined.endsWith(u'/'))
        joined.chop(1);
    return joined;
}

// The path with symbolic links resolved; a path that cannot be resolved stays as it is, so
// that the copy reports what is missing.
QString resolvingSymlinks(const QString &path)
{
    const QString resolved = QFileInfo(path).canonicalFilePath();
    return resolved.isEmpty() ? path : resolved;
}

// Removes a stale copy with the engine's companion files, so that a log or journal left by
// an interrupted run is never applied to the fresh copy.
void removeCopyIgnoringErrors(const QString &path)
{
    std::error_code ignored;
    for (const auto *suffix : {"", "-wal", "-shm", "-journal"})
        fs::remove(nativePath(path + QLatin1StringView(suffix)), ignored);
}

bool createCachesPath()
{
    std::error_code error;
    fs::create_directories(nativePath(RQPhotosLibraryParser::cachesPath()), error);
    if (!error)
        return true;
    SystemLog::write(u"Could not create cache path because of error: "_s
                     + describe(error, RQPhotosLibraryParser::cachesPath()));
    return false;
}

// Copies the content (a source that is a link is followed, so the copy never leads back into
// the library) and makes the copy ours to open read-write. Answers the error, if any.
std::optional<QString> copyDatabase(const QString &source, const QString &destination)
{
    std::error_code error;
    fs::copy_file(nativePath(source), nativePath(destination), error);
    if (error)
        return describe(error, source + u" to "_s + destination);
    std::error_code ignored;
    fs::permissions(nativePath(destination), fs::perms::owner_read | fs::perms::owner_write,
                    fs::perm_options::add, ignored);
    return std::nullopt;
}

void logCopyOutcome(const QString &title, const std::optional<QString> &error)
{
    SystemLog::write(title + u": "_s + QString::number(error ? 0 : 1));
    SystemLog::write(error.value_or(u"(null)"_s));
}

void removeCachesPath()
{
    std::error_code ignored;
    fs::remove_all(nativePath(RQPhotosLibraryParser::cachesPath()), ignored);
}

} // namespace

RQPhotosLibraryParser::RQPhotosLibraryParser(const QString &libraryPath)
{
    parseLibraryAtPath(libraryPath);
}

RQPhotosLibraryParser::~RQPhotosLibraryParser() = default;

QString RQPhotosLibraryParser::cachesPath()
{
    return QStandardPaths::writableLocation(QStandardPaths::CacheLocation) + u"/TempLibrary"_s;
}

QString RQPhotosLibraryParser::cachesLibraryDBPath()
{
    return cachesPath() + u"/Library.db"_s;
}

QString RQPhotosLibraryParser::cachesImageProxiesDBPath()
{
    return cachesPath() + u"/ImageProxies.db"_s;
}

bool RQPhotosLibraryParser::libraryIsSierraPhotos(const QString &path)
{
    return QFileInfo::exists(appendingPathComponent(path, u"database/photos.db"_s));
}

std::shared_ptr<RQFile> RQPhotosLibraryParser::fileWithPath(const QString &path)
{
    // One maker for the media of both library kinds, so their sizes match the scan's alike.
    return RQiPhotoDatabaseParser::fileWithPath(path);
}

void RQPhotosLibraryParser::parseLibraryAtPath(const QString &path)
{
    m_libraryPath = path;
    if (libraryIsSierraPhotos(path))
        handleSierraPhotosApp();
    else
        handleOlderPhotosApp();
}

void RQPhotosLibraryParser::handleSierraPhotosApp()
{
    if (!copySierraLibraries()) {
        SystemLog::write(u"Could not copy libraries"_s);
        return;
    }
    m_libraryDB = FMDatabase::databaseWithPath(cachesLibraryDBPath());
    const bool opened = m_libraryDB->openWithFlags(SQLITE_OPEN_READWRITE | SQLITE_OPEN_WAL);
    if (opened)
        retrieveMasters();
    m_libraryDB->close();
    removeCachesPath();
    if (!opened)
        SystemLog::write(u"Can't open the library"_s);
}

void RQPhotosLibraryParser::handleOlderPhotosApp()
{
    if (!copyLibraries()) {
        SystemLog::write(u"Could not copy libraries"_s);
        return;
    }
    m_libraryDB = FMDatabase::databaseWithPath(cachesLibraryDBPath());
    m_imageProxyDB = FMDatabase::databaseWithPath(cachesImageProxiesDBPath());
    if (m_libraryDB->openWithFlags(SQLITE_OPEN_READWRITE) && m_imageProxyDB->openWithFlags(SQLITE_OPEN_READWRITE))
        retrieveMasters();
    m_libraryDB->close();
    m_imageProxyDB->close();
    removeCachesPath();
}

bool RQPhotosLibraryParser::copyLibraries() const
{
    const QString databaseFolder = appendingPathComponent(m_libraryPath, u"database"_s);
    const QString librarySource = resolvingSymlinks(appendingPathComponent(databaseFolder, u"Library.apdb"_s));
    const QString proxySource = resolvingSymlinks(appendingPathComponent(databaseFolder, u"ImageProxies.apdb"_s));
    if (!createCachesPath())
        return false;
    removeCopyIgnoringErrors(cachesLibraryDBPath());
    removeCopyIgnoringErrors(cachesImageProxiesDBPath());

    const auto libraryError = copyDatabase(librarySource, cachesLibraryDBPath());
    const auto proxyError = copyDatabase(proxySource, cachesImageProxiesDBPath());
    if (!libraryError && !proxyError)
        return true;
    SystemLog::write(u"Could not copy either the library or proxy database"_s);
    logCopyOutcome(u"Library"_s, libraryError);
    logCopyOutcome(u"Proxy"_s, proxyError);
    return false;
}

bool RQPhotosLibraryParser::copySierraLibraries() const
{
    const QString source = appendingPathComponent(m_libraryPath, u"database/photos.db"_s);
    if (!createCachesPath())
        return false;
    removeCopyIgnoringErrors(cachesLibraryDBPath());

    const auto error = copyDatabase(source, cachesLibraryDBPath());
    if (!error)
        return true;
    SystemLog::write(u"Could not copy either the library"_s);
    logCopyOutcome(u"Library"_s, error);
    return false;
}

void RQPhotosLibraryParser::retrieveMasters()
{
    const auto masters = m_libraryDB->executeQuery(
        u"SELECT modelId, uuid, fileName, imagePath FROM RKMaster WHERE (isInTrash = 0)"_s);
    getVersionsForMasters(masters, false);
}

bool RQPhotosLibraryParser::nextRow(const std::shared_ptr<FMResultSet> &rows)
{
    if (!rows) {
        m_readFailed = true;
        return false;
    }
    RQError error;
    if (rows->nextWithError(&error))
        return true;
    // The error is filled only when the step failed rather than ended the rows.
    if (!error.domain().isEmpty())
        m_readFailed = true;
    return false;
}

void RQPhotosLibraryParser::getVersionsForMasters(const std::shared_ptr<FMResultSet> &masters, bool includeEdited)
{
    // The master's uuid is bound, never written into the text: library content is data.
    QString versionQuery = u"SELECT modelId, uuid, name, adjustmentUuid FROM RKVersion WHERE (isInTrash = 0)"
                           " AND (showInLibrary = 1) AND (masterUuid = ?)"_s;
    if (!includeEdited)
        versionQuery += u" AND (adjustmentUuid = 'UNADJUSTEDNONRAW')"_s;

    std::vector<std::shared_ptr<RQFile>> items;
    while (!m_readFailed && nextRow(masters)) {
        const QString masterUuid = masters->stringForColumn(u"uuid"_s);
        const QString fileName = masters->stringForColumn(u"fileName"_s);
        const QString imagePath = masters->stringForColumn(u"imagePath"_s);
        // Without an image path the item would stand for the "Masters" folder itself.
        if (imagePath.isEmpty())
            continue;
        const QString itemPath = appendingPathComponent(appendingPathComponent(m_libraryPath, u"Masters"_s), imagePath);

        const auto versions = m_libraryDB->executeQuery(versionQuery, masterUuid.isNull() ? FMValue(nullptr) : FMValue(masterUuid));
        while (!m_readFailed && nextRow(versions)) {
            const QString name = versions->stringForColumn(u"name"_s);
            QVariantMap metadata{
                {u"masterImagePath"_s, imagePath},
                {u"imageFileName"_s, fileName},
                {u"masterUUID"_s, masterUuid},
                {u"imageName"_s, name.isNull() ? u""_s : name},
                {u"photoUUID"_s, versions->stringForColumn(u"uuid"_s)},
            };
            if (const auto resourcePath = modelResourcePathForVersionWithModelID(versions->intForColumn(u"modelId"_s)))
                metadata.insert(u"versionImagePath"_s, QString(u"resources/modelresources/"_s + *resourcePath));

            auto item = fileWithPath(itemPath);
            item->setMetadata(metadata);
            if (!name.isEmpty())
                item->setFileName(item->fileName() + u" ("_s + name + u')');
            items.push_back(std::move(item));
        }
        if (versions)
            versions->close();
    }
    if (masters)
        masters->close();
    // A library read only in part would offer some photos and silently miss others.
    if (!m_readFailed)
        m_imageFiles = std::move(items);
}

std::optional<QString> RQPhotosLibraryParser::modelResourcePathForVersionWithModelID(qint64 modelId)
{
    if (!m_imageProxyDB)
        return std::nullopt;
    // Bound as the same decimal text the query compared with, so matching is unchanged.
    const auto resources = m_imageProxyDB->executeQuery(
        u"SELECT resourceUuid, filename FROM RKModelResource WHERE attachedModelId = ? LIMIT 1"_s,
        QString::number(modelId));
    if (!nextRow(resources))
        return std::nullopt;
    const QString resourceUuid = resources->stringForColumn(u"resourceUuid"_s);
    const QString filename = resources->stringForColumn(u"filename"_s);
    resources->close();
    // The path starts with the codes of the uuid's first two characters; without them, or
    // without a file name, there is no path to give.
    if (resourceUuid.size() < 2 || filename.isNull())
        return std::nullopt;
    return u"%1/%2/%3/%4"_s.arg(QString::number(resourceUuid.at(0).unicode()),
                                QString::number(resourceUuid.at(1).unicode()), resourceUuid, filename);
}
