#include "platform/Trash.h"

#include "platform/FileDescriptor.h"
#include "platform/RenameWithoutReplacing.h"

#include <QByteArray>
#include <QDateTime>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QStandardPaths>
#include <QStorageInfo>

#include <cerrno>
#include <cstdio>
#include <fcntl.h>
#include <memory>
#include <optional>
#include <sys/stat.h>
#include <unistd.h>

using namespace Qt::StringLiterals;

namespace {

const QByteArray infoSuffix = QByteArrayLiteral(".trashinfo");

// A folder of a trash on another volume must be this user's own real folder, not a link:
// others may write at a volume's root. The home trash lies in the user's own home, where a
// link is the user's own doing. Made owner-only when missing. -1 with errno set when unusable.
int openTrashFolder(int parentFd, const char *name, bool onSharedVolume)
{
    if (::mkdirat(parentFd, name, S_IRWXU) != 0 && errno != EEXIST)
        return -1;
    const int flags = O_RDONLY | O_DIRECTORY | O_CLOEXEC | (onSharedVolume ? O_NOFOLLOW : 0);
    const int fd = ::openat(parentFd, name, flags);
    if (fd < 0 || !onSharedVolume)
        return fd;
    struct stat status {};
    const int error = ::fstat(fd, &status) != 0 ? errno : status.st_uid != ::getuid() ? EACCES : 0;
    if (error) {
        ::close(fd);
        errno = error;
        return -1;
    }
    return fd;
}

int openFolderAtPath(const QString &path)
{
    return ::open(QFile::encodeName(path).constData(), O_RDONLY | O_DIRECTORY | O_CLOEXEC);
}

// The trash on a volume other than the home trash's: "<root>/.Trash/<uid>" when "<root>/.Trash"
// is a real, sticky folder and "<uid>" can be made or found there, else "<root>/.Trash-<uid>".
// trashPath names the one opened. -1 with errno set when neither can be used.
int openVolumeTrash(const QString &root, dev_t device, QString &trashPath)
{
    const FileDescriptor rootFd(openFolderAtPath(root));
    struct stat status {};
    if (rootFd.get() < 0 || ::fstat(rootFd.get(), &status) != 0)
        return -1;
    if (status.st_dev != device) {
        errno = EXDEV;
        return -1;
    }
    const QByteArray uid = QByteArray::number(::getuid());
    // Judged on the opened folder itself, so that it cannot be swapped after the check.
    const FileDescriptor shared(::openat(rootFd.get(), ".Trash", O_RDONLY | O_DIRECTORY | O_NOFOLLOW | O_CLOEXEC));
    if (shared.get() >= 0 && ::fstat(shared.get(), &status) == 0 && (status.st_mode & S_ISVTX)
        && (::mkdirat(shared.get(), uid.constData(), S_IRWXU) == 0 || errno == EEXIST)) {
        trashPath = root + "/.Trash/"_L1 + QString::fromLatin1(uid);
        return openTrashFolder(shared.get(), uid.constData(), true);
    }
    trashPath = root + "/.Trash-"_L1 + QString::fromLatin1(uid);
    return openTrashFolder(rootFd.get(), QByteArray(".Trash-" + uid).constData(), true);
}

// The file system of the home trash, or of the folder it would be made in (its nearest existing
// folder), through links, as the home trash may be one.
std::optional<dev_t> homeTrashDevice()
{
    struct stat status {};
    for (QString path = Trash::homeTrashPath(); !path.isEmpty(); path = QFileInfo(path).path()) {
        if (::stat(QFile::encodeName(path).constData(), &status) == 0)
            return status.st_dev;
        if (path == QFileInfo(path).path())
            break;
    }
    return std::nullopt;
}

// 0, or the errno that keeps the home trash from being made.
int makeHomeTrashFolder(const QString &trash)
{
    if (trash.isEmpty())
        return ENOENT;
    if (QFileInfo(trash).isDir())
        return 0;
    errno = 0;
    if (!QDir().mkpath(QFileInfo(trash).path()))
        return errno ? errno : EIO;
    if (::mkdir(QFile::encodeName(trash).constData(), S_IRWXU) != 0 && errno != EEXIST)
        return errno;
    return QFileInfo(trash).isDir() ? 0 : ENOTDIR;
}

// The trash for an item whose folder lies on device: the home trash for items on its own file
// system, else the volume's own, without touching the home trash, so that a home trash that
// cannot be made fails only its own items. trashPath names it. -1 with errno set when there is
// none to use.
int openTrashFor(const QString &folderPath, dev_t device, bool &onSharedVolume, QString &trashPath)
{
    onSharedVolume = false;
    if (homeTrashDevice() == device) {
        trashPath = Trash::homeTrashPath();
        if (const int error = makeHomeTrashFolder(trashPath)) {
            errno = error;
            return -1;
        }
        const int home = openFolderAtPath(trashPath);
        struct stat status {};
        if (home < 0 || (::fstat(home, &status) == 0 && status.st_dev == device))
            return home;
        // Replaced by a link to elsewhere since it was judged: the item's volume decides.
        ::close(home);
    }
    onSharedVolume = true;
    const QStorageInfo volume(folderPath);
    if (!volume.isValid()) {
        errno = ENOENT;
        return -1;
    }
    return openVolumeTrash(volume.rootPath(), device, trashPath);
}

// The error of a trash that cannot take the item, naming the item. On a read-only volume the
// item could not be removed in any way, which the file-system error says.
RQError trashError(int errnoValue, const QString &path)
{
    if (errnoValue == EROFS)
        return RQError::fileSystemError(errnoValue, path);
    return RQError(QString::fromLatin1(Trash::errorDomain), Trash::NotWritable,
                   u"\u201c%1\u201d couldn\u2019t be moved to the Trash."_s.arg(QFileInfo(path).fileName()),
                   std::make_shared<const RQError>(RQError::posixError(errnoValue)));
}

QByteArray infoText(const QString &absolutePath)
{
    return "[Trash Info]\nPath=" + QFile::encodeName(absolutePath).toPercentEncoding("/") + "\nDeletionDate="
        + QDateTime::currentDateTime().toString(u"yyyy-MM-dd'T'HH:mm:ss"_s).toLatin1() + '\n';
}

int writeAll(int fd, const QByteArray &text)
{
    for (qsizetype written = 0; written < text.size();) {
        const ssize_t count = ::write(fd, text.constData() + written, size_t(text.size() - written));
        if (count < 0 && errno != EINTR)
            return errno;
        if (count == 0)
            return EIO;
        if (count > 0)
            written += count;
    }
    return 0;
}

// A new info file "<name>.trashinfo" holding text: 0, EEXIST when the name is taken, or the
// errno that stops the item (a full disk, a quota, a folder that takes no entry).
int makeInfoFile(int infoFd, const QByteArray &name, const QByteArray &text)
{
    const QByteArray fileName = name + infoSuffix;
    const int fd = ::openat(infoFd, fileName.constData(), O_WRONLY | O_CREAT | O_EXCL | O_NOFOLLOW | O_CLOEXEC,
                            S_IRUSR | S_IWUSR);
    if (fd < 0)
        return errno;
    int error = writeAll(fd, text);
    if (::close(fd) != 0 && !error)
        error = errno;
    if (error)
        ::unlinkat(infoFd, fileName.constData(), 0);
    return error;
}

} // namespace

QString Trash::homeTrashPath()
{
    const QString data = QStandardPaths::writableLocation(QStandardPaths::GenericDataLocation);
    return data.isEmpty() ? QString() : data + "/Trash"_L1;
}

std::optional<RQError> Trash::makeHomeTrash()
{
    const QString trash = homeTrashPath();
    if (const int error = makeHomeTrashFolder(trash))
        return RQError::fileSystemError(error, trash.isEmpty() ? u"Trash"_s : trash);
    return std::nullopt;
}

std::optional<RQError> Trash::moveItemToTrash(const QString &path, QString *pathInTrash)
{
    const QString absolutePath = QDir::cleanPath(QFileInfo(path).absoluteFilePath());
    const FileDescriptor itemFolder(openFolderAtPath(QFileInfo(absolutePath).path()));
    if (itemFolder.get() < 0)
        return RQError::fileSystemError(errno, path);
    return moveEntryToTrash(itemFolder.get(), absolutePath, pathInTrash);
}

struct Trash::Folders
{
    QString path;
    int files;
    int info;
};

std::optional<RQError> Trash::moveEntryToTrash(int folderFd, const QString &path, QString *pathInTrash,
                                               const EntryCheck &check)
{
    const QFileInfo item(path);
    const QByteArray name = QFile::encodeName(item.fileName());
    struct stat status {};
    if (::fstatat(folderFd, name.constData(), &status, AT_SYMLINK_NOFOLLOW) != 0)
        return RQError::fileSystemError(errno, path);
    // The item's folder decides: the move renames the item within its folder's file system.
    if (::fstat(folderFd, &status) != 0)
        return RQError::fileSystemError(errno, path);

    bool onSharedVolume = false;
    QString trashPath;
    const FileDescriptor trash(openTrashFor(item.path(), status.st_dev, onSharedVolume, trashPath));
    if (trash.get() < 0)
        return trashError(errno, path);
    const FileDescriptor files(openTrashFolder(trash.get(), "files", onSharedVolume));
    if (files.get() < 0)
        return trashError(errno, path);
    const FileDescriptor info(openTrashFolder(trash.get(), "info", onSharedVolume));
    if (info.get() < 0)
        return trashError(errno, path);
    QByteArray trashedName;
    if (auto error = moveIntoTrash(folderFd, path, Folders{trashPath, files.get(), info.get()}, trashedName))
        return error;
    if (auto refusal = check ? check(files.get(), trashedName) : std::nullopt) {
        // Put back only where the name is free; else it stays in the trash with its info file.
        if (renameWithoutReplacing(files.get(), trashedName.constData(), folderFd, name.constData()) == 0)
            ::unlinkat(info.get(), QByteArray(trashedName + infoSuffix).constData(), 0);
        return refusal;
    }
    if (pathInTrash)
        *pathInTrash = trashPath + "/files/"_L1 + QFile::decodeName(trashedName);
    return std::nullopt;
}

// Moves the entry of itemFolderFd into the trash's files folder under a free name, info file
// first (so that nothing lies in files without its info). trashedName is the name it got.
std::optional<RQError> Trash::moveIntoTrash(int itemFolderFd, const QString &path, const Folders &trash,
                                            QByteArray &trashedName)
{
    const QByteArray name = QFile::encodeName(QFileInfo(path).fileName());
    const long longest = ::fpathconf(trash.info, _PC_NAME_MAX);
    if (longest > 0 && name.size() + infoSuffix.size() > longest)
        return RQError::fileSystemError(ENAMETOOLONG, path);
    const QByteArray text = infoText(path);
    int moveError = 0;
    const int error = m_names.placeItem(
        trash.path, name, longest > 0 ? longest - infoSuffix.size() : 0, [&](const QByteArray &candidate) {
            if (const int infoError = makeInfoFile(trash.info, candidate, text))
                return infoError;
            moveError = renameWithoutReplacing(itemFolderFd, name.constData(), trash.files, candidate.constData());
            if (moveError)
                ::unlinkat(trash.info, QByteArray(candidate + infoSuffix).constData(), 0);
            else
                trashedName = candidate;
            return moveError;
        });
    if (!error)
        return std::nullopt;
    // A name taken in files is the trash's; any other failure of the move is the item's.
    return moveError && moveError != EEXIST ? RQError::fileSystemError(moveError, path) : trashError(error, path);
}
