#pragma once

#include "scanning/RQFileIdentity.h"

#include <QByteArray>

#include <cstdint>
#include <optional>

class RQDirectory;

// Everything below a folder as one number: the sum (mod 2^64) of a hash of each entry's path
// relative to the folder, kind, device, inode, modification time and, but for a folder, size. A
// sum, so the order in which entries are met does not count. Made once from a scan's items and
// once from the disk; the two agree only while nothing below the folder was added, removed,
// replaced or written. The scan offers a folder only when it met every entry below it, so its
// items are the whole inside as the scan saw it. Stateless; any thread.
class FolderContentDigest final
{
public:
    FolderContentDigest() = delete;

    // Over the items below the folder. An item the walk did not read counts as no entry on disk
    // can, so a folder holding one never agrees with the disk.
    static std::uint64_t ofScannedFolder(const RQDirectory &folder);
    // Over every entry below the folder entry name of the opened folder, hidden ones too, by
    // descriptors and following no link. None when the entry is not the folder identity tells,
    // or when anything below it cannot be read.
    static std::optional<std::uint64_t> ofEntry(int folderFd, const QByteArray &name, const RQFileIdentity &identity);
};
