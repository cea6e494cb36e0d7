#pragma once

#include "platform/RQError.h"

#include <QByteArray>
#include <QString>

#include <optional>

struct stat;

// Removes items from the disk for good. Symbolic links are never followed: a link is removed
// itself, and a folder is emptied entry by entry through its own descriptors, so a link inside
// it (or a folder swapped for a link meanwhile) never leads outside it. Nothing on another file
// system below the folder is touched. Blocking; any thread.
class FileDeleter final
{
public:
    enum class Kind { File, Folder };

    // What a removal took: the bytes of the regular files that went, also when a folder could
    // be removed only in part, and the error that stopped it.
    struct Removal
    {
        std::optional<RQError> error;
        quint64 bytesRemoved = 0;
    };

    FileDeleter() = delete;

    // Removes the item at the path (no trailing "/"); see removeEntry.
    static std::optional<RQError> removeItemAtPath(const QString &path, Kind kind);

    // Removes the entry name of the opened folder; a folder with its whole content. The entry
    // must still be of the kind the scan saw: a folder (not a link to one) for Folder, anything
    // but a folder for File. On a failure inside a folder the removal stops there and answers
    // the first error; what was removed before stays removed. The path names the item in errors.
    static Removal removeEntry(int folderFd, const QByteArray &name, Kind kind, const QString &path);
    // removeEntry for an entry whose status was just read where no other program reaches it (a
    // folder only this program knows), so that it is not read again.
    static Removal removeEntryAsRead(int folderFd, const QByteArray &name, const struct stat &status, Kind kind,
                                     const QString &path);

    // The bytes of the regular files at the entry and below it, on its own file system: what
    // moving it away takes from its place. Links are not followed; what cannot be read counts 0.
    static quint64 sizeOfEntry(int folderFd, const QByteArray &name);
};
