#pragma once

#include <QString>

#include <memory>
#include <optional>
#include <vector>

class FMDatabase;
class FMResultSet;
class RQFile;

// Reads one Photos library package into items, one per unedited, visible photo, each carrying
// in its metadata the identifiers that the Photos remover needs ("photoUUID" above all).
//
// The library is never opened in place: its databases are copied into cachesPath() and the
// copies are read; the folder is removed after reading and stays only after a failed copy
// (the next parse replaces the stale copies). Parsing runs in the constructor, synchronously,
// on the caller's thread; failures are written to the system log and leave imageFiles()
// empty, also when a database could be read only in part. The copies live at a fixed place,
// so only one parser may run at a time.
class RQPhotosLibraryParser final
{
public:
    explicit RQPhotosLibraryParser(const QString &libraryPath);
    ~RQPhotosLibraryParser();
    RQPhotosLibraryParser(const RQPhotosLibraryParser &) = delete;
    RQPhotosLibraryParser &operator=(const RQPhotosLibraryParser &) = delete;

    const std::vector<std::shared_ptr<RQFile>> &imageFiles() const { return m_imageFiles; }
    QString libraryPath() const { return m_libraryPath; }

    // "TempLibrary" in the application's cache folder, and the two copies in it.
    static QString cachesPath();
    static QString cachesLibraryDBPath();
    static QString cachesImageProxiesDBPath();

    // The newer layout: the package holds "database/photos.db".
    static bool libraryIsSierraPhotos(const QString &path);

    // The item for one medium of the library, made as the iPhoto reader makes its items.
    static std::shared_ptr<RQFile> fileWithPath(const QString &path);

private:
    void parseLibraryAtPath(const QString &path);
    void handleSierraPhotosApp();
    void handleOlderPhotosApp();
    bool copyLibraries() const;
    bool copySierraLibraries() const;
    void retrieveMasters();
    void getVersionsForMasters(const std::shared_ptr<FMResultSet> &masters, bool includeEdited);
    std::optional<QString> modelResourcePathForVersionWithModelID(qint64 modelId);
    // Steps one row; a query that could not run, or a step that fails, marks the read failed.
    bool nextRow(const std::shared_ptr<FMResultSet> &rows);

    QString m_libraryPath;
    std::shared_ptr<FMDatabase> m_libraryDB;
    std::shared_ptr<FMDatabase> m_imageProxyDB;
    std::vector<std::shared_ptr<RQFile>> m_imageFiles;
    bool m_readFailed = false;
};
