#include "platform/EntryDescription.h"

#include <QUtf8StringView>

#include <atomic>
#include <cerrno>
#include <cstring>
#include <fcntl.h>
#include <sys/stat.h>
#include <sys/sysmacros.h>
#include <sys/syscall.h>
#include <sys/xattr.h>
#include <unistd.h>
#include <vector>

namespace {

// Large enough for the longest link target and extended-attribute list Linux allows.
constexpr std::size_t bufferSize = 64 * 1024;
constexpr unsigned int valuesWanted = STATX_TYPE | STATX_SIZE | STATX_BTIME | STATX_MTIME | STATX_INO;

std::vector<char> &threadBuffer()
{
    thread_local std::vector<char> buffer(bufferSize);
    return buffer;
}

bool isValidUtf8(const char *bytes, std::size_t length)
{
    return QUtf8StringView(bytes, static_cast<qsizetype>(length)).isValidUtf8();
}

DirectoryEntry::Type typeOfMode(unsigned int mode)
{
    if (S_ISDIR(mode))
        return DirectoryEntry::Type::Directory;
    if (S_ISREG(mode))
        return DirectoryEntry::Type::RegularFile;
    if (S_ISLNK(mode))
        return DirectoryEntry::Type::SymbolicLink;
    return DirectoryEntry::Type::Other;
}

QDateTime dateOf(const struct statx_timestamp &stamp)
{
    // UTC keeps the conversion cheap; the moment is the same in any zone.
    return QDateTime::fromMSecsSinceEpoch(stamp.tv_sec * 1000 + stamp.tv_nsec / 1000000, Qt::UTC);
}

// Kernels from 6.13 list the attributes relative to the open folder, which saves looking up the
// whole path once more per entry; older kernels, or filters that refuse the call, get the path.
#ifndef SYS_listxattrat
#define SYS_listxattrat 465
#endif

// size 0 asks for the length of the list only. The kernel allocates a buffer of the size it is
// given on every call, so the list is read with a buffer of exactly its length.
ssize_t listAttributes(int directoryDescriptor, const char *name, int flags, const char *fullPath, char *list,
                       std::size_t size)
{
    static std::atomic<bool> relativeListing = true;
    if (relativeListing.load()) {
        const long length = ::syscall(SYS_listxattrat, directoryDescriptor, name, static_cast<unsigned int>(flags),
                                      list, size);
        if (length >= 0 || (errno != ENOSYS && errno != EPERM))
            return length;
        relativeListing.store(false);
    }
    return (flags & AT_SYMLINK_NOFOLLOW) ? ::llistxattr(fullPath, list, size) : ::listxattr(fullPath, list, size);
}

// The NUL-separated names, or none; most entries have none and cost one call.
ssize_t readAttributeList(int directoryDescriptor, const char *name, int flags, const char *fullPath,
                          std::vector<char> &buffer)
{
    for (;;) {
        const ssize_t length = listAttributes(directoryDescriptor, name, flags, fullPath, nullptr, 0);
        if (length <= 0)
            return length;
        const ssize_t read = listAttributes(directoryDescriptor, name, flags, fullPath, buffer.data(),
                                            static_cast<std::size_t>(length));
        // ERANGE: the list grew between the two calls.
        if (read >= 0 || errno != ERANGE)
            return read;
    }
}

void readLinkTarget(int directoryDescriptor, const char *name, DirectoryEntry &entry)
{
    std::vector<char> &buffer = threadBuffer();
    const ssize_t length = ::readlinkat(directoryDescriptor, name, buffer.data(), buffer.size());
    if (length < 0 || !isValidUtf8(buffer.data(), static_cast<std::size_t>(length))) {
        entry.linkTargetIsRepresentable = false;
        return;
    }
    entry.linkTarget = QString::fromUtf8(buffer.data(), length);
}

void readExtendedAttributes(int directoryDescriptor, const char *name, int flags, const std::string &fullPath,
                            DirectoryEntry &entry)
{
    std::vector<char> &buffer = threadBuffer();
    entry.extendedAttributeNames.clear();
    const ssize_t listLength = readAttributeList(directoryDescriptor, name, flags, fullPath.c_str(), buffer);
    for (ssize_t offset = 0; offset < listLength;) {
        const char *attribute = buffer.data() + offset;
        const std::size_t length = std::strlen(attribute);
        offset += static_cast<ssize_t>(length) + 1;
        const std::size_t skip = std::strncmp(attribute, "user.", 5) == 0 ? 5 : 0;
        entry.extendedAttributeNames.append(
            QString::fromUtf8(attribute + skip, static_cast<qsizetype>(length - skip)));
    }
}

} // namespace

bool describeEntry(int directoryDescriptor, const char *name, int flags, const std::string &fullPath, int depth,
                   DirectoryEntry &entry)
{
    struct statx values {};
    if (::statx(directoryDescriptor, name, flags | AT_NO_AUTOMOUNT, valuesWanted, &values) != 0)
        return false;
    entry.passedOver = DirectoryEntry::PassedOver::None;
    entry.depth = depth;
    entry.type = typeOfMode(values.stx_mode);
    entry.name = QString::fromUtf8(name);
    if (entry.type == DirectoryEntry::Type::Directory) {
        // Only the last component: a search for its dot must not run through a whole path.
        QStringView folderName(entry.name);
        if (folderName.endsWith(u'/'))
            folderName.chop(1);
        entry.isPackage = DirectoryWalker::isPackageName(folderName.sliced(folderName.lastIndexOf(u'/') + 1));
    } else {
        entry.isPackage = false;
    }
    entry.size = static_cast<double>(values.stx_size);
    entry.device = makedev(values.stx_dev_major, values.stx_dev_minor);
    entry.inode = values.stx_ino;
    entry.modificationTimeNs = static_cast<std::int64_t>(values.stx_mtime.tv_sec) * 1000000000
                               + values.stx_mtime.tv_nsec;
    entry.creationDate = (values.stx_mask & STATX_BTIME) ? dateOf(values.stx_btime) : QDateTime();
    entry.linkTarget.clear();
    entry.linkTargetIsRepresentable = true;
    if (entry.type == DirectoryEntry::Type::SymbolicLink)
        readLinkTarget(directoryDescriptor, name, entry);
    readExtendedAttributes(directoryDescriptor, name, flags, fullPath, entry);
    return true;
}
