#pragma once

#include "platform/FileDescriptor.h"
#include "platform/RQError.h"
#include "scanning/RQFileIdentity.h"

#include <QByteArray>
#include <QString>

#include <cstddef>
#include <deque>
#include <map>
#include <optional>
#include <sys/types.h>
#include <utility>

class RQDirectory;
class RQFile;
struct stat;

// Reaches the items of a scan on disk the way the scan reached them: from the scan's root folder
// down, following no link on the way, so that a folder swapped for a link after the scan never
// leads anywhere else. A root must still be the folder the scan walked; it is opened once per
// locator. A folder, once reached, is kept open for the items after it (they come in runs, a
// folder of copies beside a folder of kept copies): they are removed from the folder reached, even
// if its path leads elsewhere meanwhile. Items that know no root (made outside a walk) are reached
// through their folder's path. Blocking; one thread at a time. The items must outlive the locator,
// and a Location its locator.
class ScannedItemLocator final
{
public:
    // A folder's device and inode.
    using FolderObject = std::pair<dev_t, ino_t>;

    // Where an item lies now: its folder, opened, and its name there.
    class Location final
    {
    public:
        Location() = default;
        Location(const Location &) = delete;
        Location &operator=(const Location &) = delete;

        int folder() const { return m_folder; }
        // The folder's device and inode, read once when the locator opened it.
        FolderObject folderObject() const { return m_folderObject; }
        const QByteArray &name() const { return m_name; }
        // The item's path, as the scan gave it, without a folder's trailing "/".
        const QString &path() const { return m_path; }
        // What the disk holds under the name now, the entry itself (a link is not followed).
        const RQFileIdentity &identity() const { return m_identity; }

        // Reads the entry's values; the errno value when there is no entry to read.
        int readIdentity();
        // nullopt when the entry is what the scan saw of the item. Items that no walk read are
        // held to their kind only, as their path was all they had.
        std::optional<RQError> differenceFrom(const RQFile &file) const;
        // For a folder a walk read, nullopt when everything inside it is what the scan saw there:
        // the same entries, hidden ones too, each the same object of the same kind, size and time.
        // What cannot be read counts as changed.
        std::optional<RQError> insideDifferenceFrom(const RQFile &file) const;
        // Both name one entry: removing one removes the other (a folder seen through a bind
        // mount, or the same name in the same folder). Hard links to one file are two entries.
        bool isSameEntryAs(const Location &other) const;

    private:
        friend class ScannedItemLocator;

        int m_folder = -1;
        FolderObject m_folderObject;
        // The folder of an item that knows no root, opened for this location alone.
        std::optional<FileDescriptor> m_ownFolder;
        QByteArray m_name;
        QString m_path;
        RQFileIdentity m_identity;
    };

    ScannedItemLocator() = default;
    ScannedItemLocator(const ScannedItemLocator &) = delete;
    ScannedItemLocator &operator=(const ScannedItemLocator &) = delete;

    // Opens the folder that holds the item. A link or a file where the scan saw a folder on the
    // way, or a root that is no longer the folder walked, answers "changed after the scan".
    std::optional<RQError> openFolder(const RQFile &file, Location &location);
    // openFolder, then the entry's values read and compared with what the scan saw.
    std::optional<RQError> locate(const RQFile &file, Location &location);
    // locate, and for a folder its inside compared as well: for an item that stays where it is.
    std::optional<RQError> locateWhole(const RQFile &file, Location &location);
    // The entry name of the opened folder compared with what the scan saw of the item, as
    // locateWhole does: used on an item after it was moved where only the remover knows it. status,
    // when given, receives the entry's status as read for the comparison.
    static std::optional<RQError> differenceAt(int folderFd, const QByteArray &name, const RQFile &file,
                                               struct stat *status = nullptr);

private:
    struct OpenFolder
    {
        OpenFolder(int fd, FolderObject identity) : descriptor(fd), object(identity) {}

        FileDescriptor descriptor;
        FolderObject object;
    };

    // The root's descriptor, or -1 with errno set (ESTALE when it is another folder now).
    int rootDescriptor(const RQDirectory &root);
    // A scanned folder below the root, opened; null with errno set.
    const OpenFolder *openedFolder(const RQDirectory &folder, const RQDirectory &root);

    // Folders kept open at most; the oldest are closed first.
    static constexpr std::size_t openFoldersKept = 16;

    std::map<const RQDirectory *, FileDescriptor> m_roots;
    std::map<const RQDirectory *, OpenFolder> m_folders;
    std::deque<const RQDirectory *> m_folderOrder;
};
