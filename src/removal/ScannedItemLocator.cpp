#include "removal/ScannedItemLocator.h"

#include "removal/EntryIdentity.h"
#include "removal/FolderContentDigest.h"
#include "removal/RemovalError.h"
#include "removal/RemovalList.h"
#include "scanning/RQDirectory.h"

#include <QFile>
#include <QFileInfo>

#include <atomic>
#include <cerrno>
#include <fcntl.h>
#include <linux/openat2.h>
#include <sys/stat.h>
#include <sys/syscall.h>
#include <unistd.h>

namespace {

constexpr int folderFlags = O_RDONLY | O_DIRECTORY | O_CLOEXEC;

// Opens the folder at relative below the root folder, following no link on the way: one call where
// the kernel has openat2, else one no-follow open per folder. -1 with errno set: ELOOP for a link,
// ENOTDIR for a file on the way.
int openBelow(int rootFd, const QByteArray &relative)
{
    static std::atomic<bool> kernelResolves = true;
    if (kernelResolves.load()) {
        struct open_how how {};
        how.flags = folderFlags;
        how.resolve = RESOLVE_NO_SYMLINKS | RESOLVE_NO_MAGICLINKS | RESOLVE_BENEATH;
        const long fd = ::syscall(SYS_openat2, rootFd, relative.constData(), &how, sizeof how);
        if (fd >= 0 || (errno != ENOSYS && errno != EPERM))
            return static_cast<int>(fd);
        kernelResolves.store(false);
    }
    int fd = ::openat(rootFd, ".", folderFlags);
    for (const QByteArray &name : relative.split('/')) {
        if (fd < 0 || name.isEmpty() || name == ".")
            continue;
        const int next = ::openat(fd, name.constData(), folderFlags | O_NOFOLLOW);
        const int error = errno;
        ::close(fd);
        fd = next;
        errno = error;
    }
    return fd;
}

// The device and inode of an opened folder; false with errno set.
bool readFolderObject(int fd, ScannedItemLocator::FolderObject &object)
{
    struct stat status {};
    if (::fstat(fd, &status) != 0)
        return false;
    object = {status.st_dev, status.st_ino};
    return true;
}

// A root whose scan folder is no longer there, or is another folder now, reaches nothing: what
// lies below it now is not what the scan saw.
std::optional<RQError> folderError(int errnoValue, const QString &path)
{
    if (errnoValue == ELOOP || errnoValue == ENOTDIR || errnoValue == EXDEV || errnoValue == ESTALE)
        return RemovalError::error(RemovalError::ChangedAfterScan);
    return RQError::fileSystemError(errnoValue, path);
}

} // namespace

int ScannedItemLocator::Location::readIdentity()
{
    return EntryIdentity::read(folder(), m_name.constData(), m_identity);
}

std::optional<RQError> ScannedItemLocator::Location::differenceFrom(const RQFile &file) const
{
    if (file.identity().isKnown()) {
        if (m_identity == file.identity())
            return std::nullopt;
        return RemovalError::error(RemovalError::ChangedAfterScan);
    }
    const bool isFolder = m_identity.kind == RQFileIdentity::Kind::Directory;
    if (file.isDirectory() && !isFolder)
        return RQError::fileSystemError(ENOTDIR, m_path);
    if (!file.isDirectory() && isFolder)
        return RQError::fileSystemError(EISDIR, m_path);
    return std::nullopt;
}

std::optional<RQError> ScannedItemLocator::Location::insideDifferenceFrom(const RQFile &file) const
{
    const auto *scanned = dynamic_cast<const RQDirectory *>(&file);
    if (!scanned || !file.identity().isKnown())
        return std::nullopt;
    const std::optional<std::uint64_t> now = FolderContentDigest::ofEntry(folder(), m_name, m_identity);
    if (now && *now == FolderContentDigest::ofScannedFolder(*scanned))
        return std::nullopt;
    return RemovalError::error(RemovalError::ChangedAfterScan);
}

bool ScannedItemLocator::Location::isSameEntryAs(const Location &other) const
{
    if (!m_identity.isSameObject(other.m_identity))
        return false;
    if (m_identity.kind == RQFileIdentity::Kind::Directory)
        return true;
    struct stat mine {};
    struct stat theirs {};
    return m_name == other.m_name && ::fstat(folder(), &mine) == 0 && ::fstat(other.folder(), &theirs) == 0
        && mine.st_dev == theirs.st_dev && mine.st_ino == theirs.st_ino;
}

int ScannedItemLocator::rootDescriptor(const RQDirectory &root)
{
    const auto known = m_roots.find(&root);
    if (known != m_roots.end())
        return known->second.get();
    // The scan took a root given as a link as the folder it leads to; so is it taken here.
    const auto opened = m_roots.try_emplace(&root, ::open(QFile::encodeName(root.path()).constData(), folderFlags)).first;
    const int fd = opened->second.get();
    const RQFileIdentity seen = root.identity();
    struct stat values {};
    int error = fd < 0 ? errno : ::fstat(fd, &values) != 0 ? errno : 0;
    if (!error && seen.isKnown() && (values.st_dev != seen.device || values.st_ino != seen.inode))
        error = ESTALE;
    if (!error)
        return fd;
    m_roots.erase(opened);
    errno = error;
    return -1;
}

const ScannedItemLocator::OpenFolder *ScannedItemLocator::openedFolder(const RQDirectory &folder,
                                                                      const RQDirectory &root)
{
    const auto known = m_folders.find(&folder);
    if (known != m_folders.end())
        return &known->second;
    const int rootFd = rootDescriptor(root);
    if (rootFd < 0)
        return nullptr;
    const QString below = RemovalList::diskPath(folder).mid(root.path().size());
    FileDescriptor fd(openBelow(rootFd, below.isEmpty() ? QByteArrayLiteral(".") : QFile::encodeName(below)));
    FolderObject object;
    if (fd.get() < 0 || !readFolderObject(fd.get(), object))
        return nullptr;
    if (m_folderOrder.size() == openFoldersKept) {
        m_folders.erase(m_folderOrder.front());
        m_folderOrder.pop_front();
    }
    m_folderOrder.push_back(&folder);
    return &m_folders.try_emplace(&folder, fd.release(), object).first->second;
}

std::optional<RQError> ScannedItemLocator::openFolder(const RQFile &file, Location &location)
{
    location.m_path = RemovalList::diskPath(file);
    const QFileInfo info(location.m_path);
    location.m_name = QFile::encodeName(info.fileName());

    const std::shared_ptr<RQDirectory> folder = file.parent();
    std::shared_ptr<RQDirectory> root = folder;
    while (root && root->parent())
        root = root->parent();
    if (root && location.m_path.startsWith(root->path())) {
        const OpenFolder *opened = openedFolder(*folder, *root);
        if (!opened)
            return folderError(errno, location.m_path);
        location.m_folder = opened->descriptor.get();
        location.m_folderObject = opened->object;
        return std::nullopt;
    }
    location.m_ownFolder.emplace(::open(QFile::encodeName(info.path()).constData(), folderFlags));
    location.m_folder = location.m_ownFolder->get();
    if (location.m_folder < 0 || !readFolderObject(location.m_folder, location.m_folderObject))
        return folderError(errno, location.m_path);
    return std::nullopt;
}

std::optional<RQError> ScannedItemLocator::locate(const RQFile &file, Location &location)
{
    if (auto error = openFolder(file, location))
        return error;
    if (const int error = location.readIdentity())
        return RQError::fileSystemError(error, location.m_path);
    return location.differenceFrom(file);
}

std::optional<RQError> ScannedItemLocator::locateWhole(const RQFile &file, Location &location)
{
    if (auto error = locate(file, location))
        return error;
    return location.insideDifferenceFrom(file);
}

std::optional<RQError> ScannedItemLocator::differenceAt(int folderFd, const QByteArray &name, const RQFile &file,
                                                        struct stat *status)
{
    Location location;
    location.m_folder = folderFd;
    location.m_name = name;
    location.m_path = RemovalList::diskPath(file);
    if (EntryIdentity::read(folderFd, name.constData(), location.m_identity, status) != 0)
        return RemovalError::error(RemovalError::ChangedAfterScan);
    if (auto error = location.differenceFrom(file))
        return error;
    return location.insideDifferenceFrom(file);
}
