#include "removal/EntryIdentity.h"

#include <cerrno>
#include <fcntl.h>
#include <sys/stat.h>
#include <sys/sysmacros.h>

namespace {

constexpr unsigned int valuesWanted = STATX_TYPE | STATX_SIZE | STATX_MTIME | STATX_INO;

RQFileIdentity::Kind kindOfMode(unsigned int mode)
{
    if (S_ISDIR(mode))
        return RQFileIdentity::Kind::Directory;
    if (S_ISREG(mode))
        return RQFileIdentity::Kind::RegularFile;
    if (S_ISLNK(mode))
        return RQFileIdentity::Kind::SymbolicLink;
    return RQFileIdentity::Kind::Other;
}

} // namespace

int EntryIdentity::read(int folderFd, const char *name, RQFileIdentity &identity)
{
    struct statx values {};
    if (::statx(folderFd, name, AT_SYMLINK_NOFOLLOW | AT_NO_AUTOMOUNT, valuesWanted, &values) != 0)
        return errno;
    identity = {makedev(values.stx_dev_major, values.stx_dev_minor), values.stx_ino,
                static_cast<std::int64_t>(values.stx_size),
                static_cast<std::int64_t>(values.stx_mtime.tv_sec) * 1000000000 + values.stx_mtime.tv_nsec,
                kindOfMode(values.stx_mode)};
    return 0;
}
