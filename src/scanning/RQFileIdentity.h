#pragma once

#include <cstdint>

// What the walk saw of an item on disk: enough to tell later whether the path still names the
// same object with the same content (a replaced file, a swapped folder, a rewritten file), and
// whether two paths name one object (hard links, bind mounts). All zero when nothing was read.
struct RQFileIdentity
{
    enum class Kind : std::uint8_t { Unknown, Directory, RegularFile, SymbolicLink, Other };

    std::uint64_t device = 0;
    std::uint64_t inode = 0;
    std::int64_t size = 0;
    std::int64_t modificationTimeNs = 0;
    Kind kind = Kind::Unknown;

    bool isKnown() const { return kind != Kind::Unknown; }
    bool isSameObject(const RQFileIdentity &other) const
    {
        return isKnown() && other.isKnown() && device == other.device && inode == other.inode;
    }
    friend bool operator==(const RQFileIdentity &, const RQFileIdentity &) = default;
};
