#pragma once

#include "platform/RQError.h"
#include "platform/TrashNames.h"

#include <QString>

#include <functional>
#include <optional>

// The freedesktop.org Trash, one item at a time: each item goes to the trash of its own volume,
// the home trash "<XDG data folder>/Trash" for items on the home trash's file system, else the
// volume's own trash at its top.
// One object per run of removals: it remembers the names it gave, so that many items of one
// name each find a free name in a few tries. Blocking; one thread at a time, and one object at a
// time per process (the trash folders are shared).
class Trash final
{
public:
    // Failures of the trash rather than of the item: its trash folder could not be made, opened
    // or written (the info file included), so the item was not moved. The errno lies underneath.
    // A read-only volume is the item's own failure, as it would be for a deletion.
    static constexpr auto errorDomain = "Trash";
    enum Code : qint64 {
        NotWritable = 1,
    };

    Trash() = default;
    Trash(const Trash &) = delete;
    Trash &operator=(const Trash &) = delete;

    // Moves the file, link or folder at the path (no trailing "/") into a trash folder. On
    // success the item lies in the "files" folder of a trash folder, and pathInTrash (when
    // given) names it there; otherwise the answer is the error and the item stays where it was.
    // Refused before anything moves: a volume trash (or its "files" or "info") that is a link or
    // another user's, a name too long for its info file. An info file that cannot be made (a
    // full disk, a quota, a folder that takes no entry) or a move that fails fails the item at
    // once, and leaves no info file. A trash that cannot take the item answers NotWritable. Nothing in the trash is ever replaced, nothing is copied
    // across volumes; all work inside the trash goes through opened folder descriptors.
    std::optional<RQError> moveItemToTrash(const QString &path, QString *pathInTrash = nullptr);
    // The same for the entry of an opened folder whose absolute path (no trailing "/") is given:
    // the entry is the one in that folder, wherever the path would lead now; the path goes into
    // the info file and names the item in errors.
    // A check, when given, judges the entry where it lies in the trash (its folder, its name there):
    // an error moves it back (never over anything), removes its info file and is the answer.
    using EntryCheck = std::function<std::optional<RQError>(int folderFd, const QByteArray &name)>;
    std::optional<RQError> moveEntryToTrash(int folderFd, const QString &path, QString *pathInTrash = nullptr,
                                            const EntryCheck &check = {});

    // Makes the XDG data folder and the home trash folder in it (owner-only) when missing.
    static std::optional<RQError> makeHomeTrash();
    static QString homeTrashPath();

private:
    struct Folders;

    std::optional<RQError> moveIntoTrash(int itemFolderFd, const QString &path, const Folders &trash,
                                         QByteArray &trashedName);

    TrashNames m_names;
};
