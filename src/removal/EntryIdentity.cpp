#include "removal/EntryIdentity.h"

#include <cerrno>
#include <fcntl.h>
#include <sys/stat.h>

namespace {

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

int EntryIdentity::read(int folderFd, const char *name, RQFileIdentity &identity, struct stat *status)
{
    struct stat values {};
    if (::fstatat(folderFd, name, &values, AT_SYMLINK_NOFOLLOW | AT_NO_AUTOMOUNT) != 0)
        return errno;
    identity = {values.st_dev, values.st_ino, static_cast<std::int64_t>(values.st_size),
                static_cast<std::int64_t>(values.st_mtim.tv_sec) * 1000000000 + values.st_mtim.tv_nsec,
                kindOfMode(values.st_mode)};
    if (status)
        *status = values;
    return 0;
}
