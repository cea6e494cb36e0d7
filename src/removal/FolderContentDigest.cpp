#include "removal/FolderContentDigest.h"

#include "platform/FileDescriptor.h"
#include "removal/EntryIdentity.h"
#include "scanning/RQDirectory.h"

#include <QHashFunctions>

#include <cerrno>
#include <cstring>
#include <dirent.h>
#include <fcntl.h>
#include <memory>
#include <sys/stat.h>

namespace {

constexpr int folderFlags = O_RDONLY | O_DIRECTORY | O_NOFOLLOW | O_CLOEXEC;

// The finaliser of splitmix64: every bit of the value reaches every bit of the answer.
std::uint64_t mixed(std::uint64_t value)
{
    value ^= value >> 30;
    value *= 0xbf58476d1ce4e5b9ULL;
    value ^= value >> 27;
    value *= 0x94d049bb133111ebULL;
    return value ^ (value >> 31);
}

// The one record of an entry, whichever side met it.
std::uint64_t entryHash(const QByteArray &relativePath, const RQFileIdentity &identity)
{
    // A folder's own size depends on its file system and its history, not on what it holds; what
    // it holds is in its entries' records and its time.
    const std::int64_t size = identity.kind == RQFileIdentity::Kind::Directory ? 0 : identity.size;
    // Seed 0: the same in every process, whatever QT_HASH_SEED says.
    std::uint64_t hash = qHashBits(relativePath.constData(), static_cast<std::size_t>(relativePath.size()), 0);
    for (const std::uint64_t field : {static_cast<std::uint64_t>(identity.kind), identity.device, identity.inode,
                                      static_cast<std::uint64_t>(size),
                                      static_cast<std::uint64_t>(identity.modificationTimeNs)})
        hash = mixed(hash + 0x9e3779b97f4a7c15ULL + field);
    return hash;
}

void addScannedItems(const RQDirectory &folder, QByteArray &relativePath, std::uint64_t &sum)
{
    const qsizetype length = relativePath.size();
    for (const auto &child : folder.children()) {
        relativePath.truncate(length);
        child->appendNameInFolderUtf8(relativePath);
        sum += entryHash(relativePath, child->identity());
        if (child->isDirectory()) {
            relativePath += '/';
            addScannedItems(static_cast<const RQDirectory &>(*child), relativePath, sum);
        }
    }
    relativePath.truncate(length);
}

// The opened folder is the one identity tells, not one swapped in after it was looked at.
bool isFolder(int fd, const RQFileIdentity &identity)
{
    struct stat values {};
    return ::fstat(fd, &values) == 0 && values.st_dev == identity.device && values.st_ino == identity.inode;
}

struct ListingCloser
{
    void operator()(DIR *listing) const { ::closedir(listing); }
};
using Listing = std::unique_ptr<DIR, ListingCloser>;

// The folder's listing, which owns the descriptor from then on; null when it cannot be read.
Listing openedListing(int parentFd, const char *name, const RQFileIdentity &identity)
{
    const int fd = ::openat(parentFd, name, folderFlags);
    if (fd < 0 || !isFolder(fd, identity)) {
        if (fd >= 0)
            ::close(fd);
        return {};
    }
    DIR *listing = ::fdopendir(fd);
    if (!listing)
        ::close(fd);
    return Listing(listing);
}

// One descriptor a level, the listing's own: entries are looked at and entered as they are listed.
bool addEntriesBelow(const Listing &listing, QByteArray &relativePath, std::uint64_t &sum)
{
    const int fd = ::dirfd(listing.get());
    const qsizetype length = relativePath.size();
    for (;;) {
        errno = 0;
        const dirent *entry = ::readdir(listing.get());
        if (!entry)
            return errno == 0;
        const char *name = entry->d_name;
        if (std::strcmp(name, ".") == 0 || std::strcmp(name, "..") == 0)
            continue;
        RQFileIdentity identity;
        if (EntryIdentity::read(fd, name, identity) != 0)
            return false;
        relativePath.truncate(length);
        relativePath += name;
        sum += entryHash(relativePath, identity);
        if (identity.kind != RQFileIdentity::Kind::Directory)
            continue;
        const Listing subfolder = openedListing(fd, name, identity);
        relativePath += '/';
        if (!subfolder || !addEntriesBelow(subfolder, relativePath, sum))
            return false;
    }
}

} // namespace

std::uint64_t FolderContentDigest::ofScannedFolder(const RQDirectory &folder)
{
    std::uint64_t sum = 0;
    QByteArray relativePath;
    addScannedItems(folder, relativePath, sum);
    return sum;
}

std::optional<std::uint64_t> FolderContentDigest::ofEntry(int folderFd, const QByteArray &name,
                                                          const RQFileIdentity &identity)
{
    const Listing listing = openedListing(folderFd, name.constData(), identity);
    std::uint64_t sum = 0;
    QByteArray relativePath;
    if (!listing || !addEntriesBelow(listing, relativePath, sum))
        return std::nullopt;
    return sum;
}
