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

// One pass over an entry and everything below it on its file system: removing it, or only
// adding up what removing it would take.
struct Pass
{
    bool removing = true;
    quint64 bytes = 0;
};

int visitEntry(int folderFd, const char *name, dev_t device, Pass &pass);

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

int visitContents(int fd, dev_t device, Pass &pass)
{
    std::vector<std::string> names;
    if (const int error = listEntries(fd, names))
        return error;
    for (const std::string &name : names) {
        // Adding up goes on past what it cannot read; a removal stops at the first failure.
        if (const int error = visitEntry(fd, name.c_str(), device, pass); error && pass.removing)
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

int visitFolder(int folderFd, const char *name, dev_t device, Pass &pass)
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
    if (const int error = visitContents(fd.get(), device, pass))
        return error;
    if (!pass.removing)
        return 0;
    return ::unlinkat(folderFd, name, AT_REMOVEDIR) == 0 ? 0 : errno;
}

// unlinkat refuses a folder, so a file that became one after its check is never emptied.
int visitFile(int folderFd, const char *name, const struct stat &status, Pass &pass)
{
    if (pass.removing && ::unlinkat(folderFd, name, 0) != 0)
        return errno;
    // Bytes leave the disk only with a file's last name.
    if (S_ISREG(status.st_mode) && status.st_nlink == 1)
        pass.bytes += quint64(status.st_size);
    return 0;
}

int visitEntry(int folderFd, const char *name, dev_t device, Pass &pass)
{
    struct stat status {};
    if (::fstatat(folderFd, name, &status, AT_SYMLINK_NOFOLLOW) != 0)
        return errno;
    if (!S_ISDIR(status.st_mode))
        return visitFile(folderFd, name, status, pass);
    if (status.st_dev != device)
        return EXDEV;
    return visitFolder(folderFd, name, device, pass);
}

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

std::optional<RQError> FileDeleter::removeItemAtPath(const QString &path, Kind kind)
{
    const QFileInfo info(path);
    const FileDescriptor parent(::open(QFile::encodeName(info.path()).constData(),
                                   O_RDONLY | O_DIRECTORY | O_CLOEXEC));
    if (parent.get() < 0)
        return RQError::fileSystemError(errno, path);
    return removeEntry(parent.get(), QFile::encodeName(info.fileName()), kind, path).error;
}

FileDeleter::Removal FileDeleter::removeEntry(int folderFd, const QByteArray &name, Kind kind, const QString &path)
{
    struct stat status {};
    if (::fstatat(folderFd, name.constData(), &status, AT_SYMLINK_NOFOLLOW) != 0)
        return {RQError::fileSystemError(errno, path), 0};
    return removeEntryAsRead(folderFd, name, status, kind, path);
}

FileDeleter::Removal FileDeleter::removeEntryAsRead(int folderFd, const QByteArray &name, const struct stat &status,
                                                    Kind kind, const QString &path)
{
    Pass pass;
    int error = kindErrno(status, kind);
    // A folder that becomes anything else after the check is refused by the open with
    // O_DIRECTORY | O_NOFOLLOW.
    if (!error) {
        error = kind == Kind::File ? visitFile(folderFd, name.constData(), status, pass)
                                   : visitFolder(folderFd, name.constData(), status.st_dev, pass);
    }
    if (error)
        return {RQError::fileSystemError(error, path), pass.bytes};
    return {std::nullopt, pass.bytes};
}

quint64 FileDeleter::sizeOfEntry(int folderFd, const QByteArray &name)
{
    struct stat status {};
    if (::fstatat(folderFd, name.constData(), &status, AT_SYMLINK_NOFOLLOW) != 0)
        return 0;
    Pass pass{false};
    visitEntry(folderFd, name.constData(), status.st_dev, pass);
    return pass.bytes;
}
