#include "platform/RenameWithoutReplacing.h"

#include <cerrno>
#include <cstdio>
#include <fcntl.h>
#include <sys/stat.h>

int renameWithoutReplacing(int fromFd, const char *from, int toFd, const char *to)
{
    if (::renameat2(fromFd, from, toFd, to, RENAME_NOREPLACE) == 0)
        return 0;
    if (errno != EINVAL && errno != ENOSYS)
        return errno;
    struct stat status {};
    if (::fstatat(toFd, to, &status, AT_SYMLINK_NOFOLLOW) == 0)
        return EEXIST;
    return ::renameat(fromFd, from, toFd, to) == 0 ? 0 : errno;
}
