#include "removal/FileDeleter.h"

#include "platform/FileDescriptor.h"

#include <QFile>
#include <QFileInfo>

#include <cerrno>
#include <dirent.h>
#include <fcntl.h>
#include <string>
#include <sys/stat.h>
#include <unistd.h>
#include <vector>

namespace {

int removeEntry(int folderFd, const char *name, dev_t device);

// Reads all names first, so that removing entries never disturbs the listing.
int listEntries(int fd, std::vector<std::string> &names)
{
    const int listFd = ::dup(fd);
    if (listFd < 0)
        return errno;
    DIR *folder = ::fdopendir(listFd);
    if (!folder) {
        const int error = errno;
        ::close(listFd);
        return error;
    }
    errno = 0;
    while (const dirent *entry = ::readdir(folder)) {
        const std::string name = entry->d_name;
        if (name != "." && name != "..")
            names.push_back(name);
    }
    const int error = errno;
    ::closedir(folder);
    return error;
}

int removeContents(int fd, dev_t device)
{
    std::vector<std::string> names;
    if (const int error = listEntries(fd, names))
        return error;
    for (const std::string &name : names) {
        if (const int error = removeEntry(fd, name.c_str(), device))
            return error;
    }
    return 0;
}

// The mount a folder belongs to; empty where the kernel does not tell.
std::optional<quint64> mountId(int fd)
{
    struct statx status {};
    if (::statx(fd, "", AT_EMPTY_PATH, STATX_MNT_ID, &status) != 0 || !(status.stx_mask & STATX_MNT_ID))
        return std::nullopt;
    return status.stx_mnt_id;
}

int removeFolder(int folderFd, const char *name, dev_t device)
{
    const FileDescriptor fd(::openat(folderFd, name, O_RDONLY | O_DIRECTORY | O_NOFOLLOW | O_CLOEXEC));
    if (fd.get() < 0)
        return errno;
    // A mount point, a bind mount of another folder of the same file system too, shows content
    // from elsewhere; it could not be removed anyway.
    const auto inner = mountId(fd.get());
    const auto outer = mountId(folderFd);
    if (inner && outer && *inner != *outer)
        return EXDEV;
    if (const int error = removeContents(fd.get(), device))
        return error;
    return ::unlinkat(folderFd, name, AT_REMOVEDIR) == 0 ? 0 : errno;
}

int removeEntry(int folderFd, const char *name, dev_t device)
{
    struct stat status {};
    if (::fstatat(folderFd, name, &status, AT_SYMLINK_NOFOLLOW) != 0)
        return errno;
    if (!S_ISDIR(status.st_mode))
        return ::unlinkat(folderFd, name, 0) == 0 ? 0 : errno;
    if (status.st_dev != device)
        return EXDEV;
    return removeFolder(folderFd, name, device);
}

} // namespace

namespace {

int kindErrno(const struct stat &status, FileDeleter::Kind kind)
{
    const bool isFolder = S_ISDIR(status.st_mode);
    if (kind == FileDeleter::Kind::Folder && !isFolder)
        return ENOTDIR;
    if (kind == FileDeleter::Kind::File && isFolder)
        return EISDIR;
    return 0;
}

} // namespace

std::optional<RQError> FileDeleter::checkKind(const QString &path, Kind kind)
{
    struct stat status {};
    if (::lstat(QFile::encodeName(path).constData(), &status) != 0)
        return RQError::fileSystemError(errno, path);
    if (const int error = kindErrno(status, kind))
        return RQError::fileSystemError(error, path);
    return std::nullopt;
}

std::optional<RQError> FileDeleter::removeItemAtPath(const QString &path, Kind kind)
{
    const QFileInfo info(path);
    const FileDescriptor parent(::open(QFile::encodeName(info.path()).constData(),
                                   O_RDONLY | O_DIRECTORY | O_CLOEXEC));
    if (parent.get() < 0)
        return RQError::fileSystemError(errno, path);
    const QByteArray name = QFile::encodeName(info.fileName());
    struct stat status {};
    int error = ::fstatat(parent.get(), name.constData(), &status, AT_SYMLINK_NOFOLLOW) == 0
        ? kindErrno(status, kind)
        : errno;
    // A file that becomes a folder after the check is refused by unlinkat itself, a folder
    // that becomes anything else by the open with O_DIRECTORY | O_NOFOLLOW.
    if (!error) {
        error = kind == Kind::File
            ? (::unlinkat(parent.get(), name.constData(), 0) == 0 ? 0 : errno)
            : removeFolder(parent.get(), name.constData(), status.st_dev);
    }
    if (error)
        return RQError::fileSystemError(error, path);
    return std::nullopt;
}
