#include "platform/Trash.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QStandardPaths>
#include <QStorageInfo>

#include <cerrno>
#include <sys/stat.h>
#include <sys/statvfs.h>
#include <unistd.h>

using namespace Qt::StringLiterals;

namespace {

int lstatErrno(const QString &path)
{
    struct stat status {};
    return ::lstat(QFile::encodeName(path).constData(), &status) == 0 ? 0 : errno;
}

// A volume whose own trash folder cannot be made sends Qt to the home trash, which fails
// across volumes; on a read-only volume that is the reason worth telling.
int moveFailureErrno(int moveErrno, const QString &path)
{
    struct statvfs volume {};
    if (moveErrno == EXDEV
        && ::statvfs(QFile::encodeName(QFileInfo(path).path()).constData(), &volume) == 0
        && (volume.f_flag & ST_RDONLY))
        return EROFS;
    return moveErrno ? moveErrno : EIO;
}

QString cleanPath(const QString &path)
{
    return QDir::cleanPath(QFileInfo(path).absoluteFilePath());
}

// A folder of a trash on another volume must be this user's own real folder, not a link: Qt
// follows links into whatever they point to, and others may write at a volume's root. The
// home trash lies in the user's own home, where a link is the user's own doing.
int trashFolderErrno(const QString &path, bool onSharedVolume)
{
    const QByteArray name = QFile::encodeName(path);
    struct stat status {};
    if ((onSharedVolume ? ::lstat(name.constData(), &status) : ::stat(name.constData(), &status)) != 0)
        return errno;
    if (!S_ISDIR(status.st_mode))
        return ENOTDIR;
    if (onSharedVolume && status.st_uid != ::getuid())
        return EACCES;
    return 0;
}

bool makeOrFindFolder(const QString &path)
{
    return ::mkdir(QFile::encodeName(path).constData(), S_IRWXU) == 0 || QFileInfo(path).isDir();
}

// The trash Qt picks on a volume other than the home volume, in Qt's order: "<root>/.Trash/<uid>"
// when "<root>/.Trash" is a real, sticky folder, else "<root>/.Trash-<uid>"; each made here
// (owner-only) when missing, so that what Qt then finds is known. Empty when Qt would find
// neither and fall back to the home trash.
QString volumeTrashPath(const QString &root)
{
    const QString uid = QString::number(::getuid());
    const QString shared = root + "/.Trash"_L1;
    struct stat status {};
    if (::lstat(QFile::encodeName(shared).constData(), &status) == 0 && S_ISDIR(status.st_mode)
        && (status.st_mode & S_ISVTX) && makeOrFindFolder(shared + u'/' + uid))
        return shared + u'/' + uid;
    const QString own = shared + u'-' + uid;
    return makeOrFindFolder(own) ? own : QString();
}

// Its "files" and "info" folders are checked like the trash itself, and must take new entries:
// Qt looks for a free info file name for ever in an info folder that takes none.
int trashContentErrno(const QString &trash, bool onSharedVolume)
{
    if (const int error = trashFolderErrno(trash, onSharedVolume))
        return error;
    for (const auto name : {"files"_L1, "info"_L1}) {
        const QString folder = trash + u'/' + name;
        ::mkdir(QFile::encodeName(folder).constData(), S_IRWXU);
        if (const int error = trashFolderErrno(folder, onSharedVolume))
            return error;
        if (::access(QFile::encodeName(folder).constData(), W_OK | X_OK) != 0)
            return errno;
    }
    return 0;
}

// Qt names the info file "<name>.trashinfo", or "<name>-<number>.trashinfo" on a clash, and
// tries for ever when that name does not fit in the info folder.
int infoNameErrno(const QString &info, const QString &name)
{
    const long longest = ::pathconf(QFile::encodeName(info).constData(), _PC_NAME_MAX);
    const qsizetype needed = QFile::encodeName(name).size() + qsizetype(sizeof "-0000.trashinfo") - 1;
    return longest > 0 && needed > longest ? ENAMETOOLONG : 0;
}

// Why the trash Qt is going to use for the item must not be used, or 0.
int trashForItemErrno(const QString &path)
{
    QString trash = Trash::homeTrashPath();
    bool onSharedVolume = false;
    const QStorageInfo volume(path);
    if (volume.isValid() && volume != QStorageInfo(QDir::home())) {
        if (const QString volumeTrash = volumeTrashPath(volume.rootPath()); !volumeTrash.isEmpty()) {
            trash = volumeTrash;
            onSharedVolume = true;
        }
    }
    if (const int error = trashContentErrno(trash, onSharedVolume))
        return error;
    return infoNameErrno(trash + "/info"_L1, QFileInfo(path).fileName());
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
    if (trash.isEmpty())
        return RQError::fileSystemError(ENOENT, u"Trash"_s);
    if (QFileInfo(trash).isDir())
        return std::nullopt;
    errno = 0;
    if (!QDir().mkpath(QFileInfo(trash).path()))
        return RQError::fileSystemError(errno ? errno : EIO, trash);
    if (::mkdir(QFile::encodeName(trash).constData(), S_IRWXU) != 0 && errno != EEXIST)
        return RQError::fileSystemError(errno, trash);
    if (!QFileInfo(trash).isDir())
        return RQError::fileSystemError(ENOTDIR, trash);
    return std::nullopt;
}

bool Trash::isInTrashFolder(const QString &trashedPath, const QString &volumeRoot)
{
    const QFileInfo files(QFileInfo(cleanPath(trashedPath)).path());
    if (files.fileName() != "files"_L1)
        return false;
    const QFileInfo trash(files.path());
    if (trash.filePath() == cleanPath(homeTrashPath()))
        return true;
    if (volumeRoot.isEmpty())
        return false;
    // The two volume trash folders the freedesktop.org Trash names for this user.
    const QString uid = QString::number(::getuid());
    const QString root = cleanPath(volumeRoot);
    if (trash.fileName() == ".Trash-"_L1 + uid)
        return cleanPath(trash.path()) == root;
    const QFileInfo shared(trash.path());
    return trash.fileName() == uid && shared.fileName() == ".Trash"_L1
        && cleanPath(shared.path()) == root;
}

std::optional<RQError> Trash::moveItemToTrash(const QString &path, QString *pathInTrash)
{
    if (const int missing = lstatErrno(path))
        return RQError::fileSystemError(missing, path);
    if (auto error = makeHomeTrash())
        return error;
    if (const int unusable = trashForItemErrno(path))
        return RQError::fileSystemError(unusable, path);

    const QString volumeRoot = QStorageInfo(QFileInfo(path).path()).rootPath();
    QFile item(path);
    errno = 0;
    if (!item.moveToTrash()) {
        const int moveErrno = errno;
        if (lstatErrno(path) == ENOENT)
            return RQError::fileSystemError(ENOENT, path);
        return RQError::fileSystemError(moveFailureErrno(moveErrno, path), path);
    }
    const QString trashed = item.fileName();
    if (!isInTrashFolder(trashed, volumeRoot)) {
        // Never leave a user's file anywhere but in a trash folder: put it back.
        ::rename(QFile::encodeName(trashed).constData(), QFile::encodeName(path).constData());
        return RQError::fileSystemError(EIO, path);
    }
    if (pathInTrash)
        *pathInTrash = trashed;
    return std::nullopt;
}
