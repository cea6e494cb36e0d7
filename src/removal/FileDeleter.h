#pragma once

#include "platform/RQError.h"

#include <QString>

#include <optional>

// Removes items from the disk for good. Symbolic links are never followed: a link is removed
// itself, and a folder is emptied entry by entry through its own descriptors, so a link inside
// it (or a folder swapped for a link meanwhile) never leads outside it. Nothing on another file
// system below the folder is touched. Blocking; any thread.
class FileDeleter final
{
public:
    enum class Kind { File, Folder };

    FileDeleter() = delete;

    // The item at the path (no trailing "/") must still be of the kind the scan saw: a folder
    // (not a link to one) for Folder, anything but a folder for File. Answers the error when
    // it is not, or is gone.
    static std::optional<RQError> checkKind(const QString &path, Kind kind);

    // Removes the item at the path after checkKind; a folder with its whole content. On a
    // failure inside a folder the removal stops there and answers the first error; what was
    // removed before stays removed.
    static std::optional<RQError> removeItemAtPath(const QString &path, Kind kind);
};
