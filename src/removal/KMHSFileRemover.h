#pragma once

#include "removal/KMHSErrorDictionary.h"
#include "removal/KMHSFileRemoverDelegate.h"
#include "removal/ScannedItemLocator.h"
#include "scanning/RQFile.h"

#include <QHash>

#include <atomic>
#include <map>
#include <memory>
#include <utility>
#include <vector>

#include <sys/types.h>

class AsideFolders;
class KMHSPhotosFileRemover;
class KMHSiPhotoFileRemover;
class SerialQueue;
class Trash;

// Removes the items the user ticked: plain items go to the Trash or are deleted (as the
// preferences say), items on network volumes are always deleted, iPhoto and Photos library
// items are handed to those applications. Items are handled in chunks, in the given order;
// each failure is recorded under the item's key (errorKeyForFile) and never counts as a
// removal. With links on, each removed plain item is replaced by a symbolic link to the copy
// that stays (its aliasDestinationFile), which is itself never touched; the link is made as soon
// as the item has left its place (before a deleted item is deleted), so that an interruption
// leaves at most the item in flight without one.
//
// The flags are the removal's own, set before removeFiles (the removal sheet sets them from its
// hand-off): a change of the preferences during a removal changes nothing.
//
// Only what the scan saw goes, and never the last copy. The list is taken one item per place,
// an item inside a listed folder going with the folder. An item whose copy that stays is listed
// too (or lies inside a listed folder) is refused before anything moves. Just before a plain or
// network item goes, it is reached from its scan root without following links, moved where only
// the remover knows it (the Trash, or an owner-only folder beside it), and there it must still be
// what the scan saw (device, inode, kind, size, modification time; a folder by its own values,
// not those of its content), and its copy that stays must be too; otherwise it is moved back
// (never over anything) and stays, with its reason. The bytes freed are what left the disk, measured on the item as it went.
//
// Threads: removeFiles is called on the main thread and returns at once; the work runs on a
// serial queue of its own, and the delegate hears on the main thread (progress per chunk,
// then one completion). The items must not change while the removal runs. Destroying the
// remover (on the main thread) waits for a running removal; messages not yet delivered are
// then dropped. The delegate is not owned: it must outlive the remover or be cleared first.
class KMHSFileRemover final
{
public:
    using FileList = std::vector<std::shared_ptr<RQFile>>;

    static constexpr auto queueLabel = "com.rovaquin.duplicatefinder.fileremover";
    static constexpr qsizetype fileChunkSize = 50;
    static constexpr qsizetype libraryChunkSize = 10;

    KMHSFileRemover();
    ~KMHSFileRemover();
    KMHSFileRemover(const KMHSFileRemover &) = delete;
    KMHSFileRemover &operator=(const KMHSFileRemover &) = delete;

    // The key of an item in the error dictionary: its path (a folder's ends in "/"), the
    // same for every road, the sums and the removal sheet.
    static QString errorKeyForFile(const RQFile &file) { return file.path(); }

    // Starts the removal on a new queue and returns at once. Once per remover: the counts and
    // the errors belong to one removal.
    void removeFiles(const FileList &files);

    KMHSFileRemoverDelegate *delegate() const { return m_delegate.load(); }
    void setDelegate(KMHSFileRemoverDelegate *delegate) { m_delegate.store(delegate); }

    // Set before removeFiles; both off unless set.
    bool makeAliases() const { return m_makeAliases; }
    void setMakeAliases(bool makeAliases) { m_makeAliases = makeAliases; }
    bool useTrash() const { return m_useTrash; }
    void setUseTrash(bool useTrash) { m_useTrash = useTrash; }
    // The counts: items handed to a road so far, items of the list (one per place, none inside
    // a listed folder), items counted as removed by the final sum.
    qint64 totalFilesRemoved() const { return m_totalFilesRemoved; }
    qint64 totalFiles() const { return m_totalFiles; }
    qint64 filesRemoved() const { return m_filesRemoved; }
    // Read it only after the completion has arrived.
    KMHSErrorDictionary errorDict() const { return m_errorDict; }

private:
    void actuallyRemoveFiles(const FileList &files);
    void deleteRegularFiles(const FileList &files);
    void deleteNetworkFiles(const FileList &files);
    void deleteIPhotoFiles(const FileList &files);
    void deletePhotosAppFiles(const FileList &files);
    void permanentlyRemoveFiles(const FileList &chunk, bool withAliases);
    void moveFilesToTrash(const FileList &chunk);
    void putBack(int asideFd, const ScannedItemLocator::Location &item);
    void takePlaceBackFromAlias(int asideFd, const ScannedItemLocator::Location &item);
    // A link to the item's copy that stays, made where the item was; false when none was made.
    bool makeAliasInPlaceOf(const RQFile &file, const ScannedItemLocator::Location &item);
    void updateTotalFilesRemoved(qint64 count);
    quint64 sumOfFileArray(const FileList &files);
    void recordError(const RQFile &file, const RQError &error);
    // The bytes that moving the entry into the Trash took from its place; measured there.
    quint64 bytesTrashed(int folderFd, const QByteArray &name);
    bool isReadyForRemoval(const RQFile &file, ScannedItemLocator::Location &item);
    std::optional<RQError> keptCopyError(const RQFile &file, const ScannedItemLocator::Location &item);
    FileList withoutFailures(const FileList &files) const;

    std::atomic<KMHSFileRemoverDelegate *> m_delegate = nullptr;
    std::atomic<bool> m_makeAliases = false;
    std::atomic<bool> m_useTrash = false;
    KMHSErrorDictionary m_errorDict;
    // Bytes that left the disk, by item key, for the items the file remover itself removed.
    QHash<QString, quint64> m_bytesTaken;
    // The names this removal moved to the Trash, by file (device, inode), of files with more than one.
    std::map<std::pair<dev_t, ino_t>, nlink_t> m_trashedNames;
    // Reaches the items; lives while a removal runs.
    std::unique_ptr<ScannedItemLocator> m_locator;
    // Where deleted items are moved before they are checked; lives while a removal runs.
    std::unique_ptr<AsideFolders> m_asideFolders;
    // Where trashed items go; lives while a removal runs, so that its names are the removal's.
    std::unique_ptr<Trash> m_trash;
    std::atomic<qint64> m_totalFilesRemoved = 0;
    std::atomic<qint64> m_totalFiles = 0;
    std::atomic<qint64> m_filesRemoved = 0;
    std::unique_ptr<KMHSiPhotoFileRemover> m_iPhotoRemover;
    std::unique_ptr<KMHSPhotosFileRemover> m_photosAppRemover;
    // Messages on their way to the main thread hold it weakly: once the remover is gone they
    // are dropped.
    std::shared_ptr<KMHSFileRemover *> m_lifetime;
    // Last, so that the queues finish their work before anything they use goes away.
    std::vector<std::unique_ptr<SerialQueue>> m_queues;
};
