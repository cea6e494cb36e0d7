#include "removal/AsideJournal.h"

#include "platform/RenameWithoutReplacing.h"
#include "platform/SystemLog.h"
#include "removal/FileDeleter.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QStandardPaths>

#include <cerrno>
#include <cstring>
#include <dirent.h>
#include <fcntl.h>
#include <string>
#include <sys/file.h>
#include <sys/stat.h>
#include <unistd.h>
#include <vector>

using namespace Qt::StringLiterals;

namespace {

// A record being written has this after its name.
constexpr QByteArrayView partSuffix = ".part";

QString errnoText(int error)
{
    return QString::fromLocal8Bit(::strerror(error));
}

int openFolder(const QByteArray &path)
{
    return ::open(path.constData(), O_RDONLY | O_DIRECTORY | O_CLOEXEC);
}

std::vector<std::string> entryNames(int folderFd)
{
    std::vector<std::string> names;
    const int listFd = ::dup(folderFd);
    DIR *folder = listFd < 0 ? nullptr : ::fdopendir(listFd);
    if (!folder) {
        if (listFd >= 0)
            ::close(listFd);
        return names;
    }
    while (const dirent *entry = ::readdir(folder)) {
        const std::string name = entry->d_name;
        if (name != "." && name != "..")
            names.push_back(name);
    }
    ::closedir(folder);
    return names;
}

int writeAll(int fd, const QByteArray &bytes)
{
    for (qsizetype written = 0; written < bytes.size();) {
        const ssize_t count = ::write(fd, bytes.constData() + written, size_t(bytes.size() - written));
        if (count < 0 && errno != EINTR)
            return errno;
        if (count > 0)
            written += count;
    }
    return 0;
}

QByteArray readAll(int fd)
{
    QByteArray bytes;
    char buffer[65536];
    for (ssize_t count; (count = ::read(fd, buffer, sizeof buffer)) != 0;) {
        if (count < 0 && errno != EINTR)
            break;
        if (count > 0)
            bytes.append(buffer, count);
    }
    return bytes;
}

// A record (or a record being written) that no running removal holds, opened and locked; -1
// otherwise.
int takeAbandoned(int journalFd, const char *name)
{
    const int fd = ::openat(journalFd, name, O_RDONLY | O_NOFOLLOW | O_CLOEXEC);
    struct stat status {};
    if (fd < 0)
        return -1;
    if (::flock(fd, LOCK_EX | LOCK_NB) != 0 || ::fstat(fd, &status) != 0 || status.st_nlink == 0) {
        ::close(fd);
        return -1;
    }
    return fd;
}

// Only a link that leads to something of the left-over's kind (and size, for a file) is taken for
// the one its removal made before it went.
bool linkStandsFor(int folderFd, int asideFd, const char *name)
{
    struct stat place {};
    struct stat target {};
    struct stat leftOver {};
    if (::fstatat(folderFd, name, &place, AT_SYMLINK_NOFOLLOW) != 0 || !S_ISLNK(place.st_mode)
        || ::fstatat(folderFd, name, &target, 0) != 0
        || ::fstatat(asideFd, name, &leftOver, AT_SYMLINK_NOFOLLOW) != 0)
        return false;
    if (S_ISDIR(leftOver.st_mode) || S_ISDIR(target.st_mode))
        return S_ISDIR(leftOver.st_mode) && S_ISDIR(target.st_mode);
    return S_ISREG(leftOver.st_mode) && S_ISREG(target.st_mode) && leftOver.st_size == target.st_size;
}

bool finishRemoval(int asideFd, const char *name, const QString &path)
{
    struct stat status {};
    ::fstatat(asideFd, name, &status, AT_SYMLINK_NOFOLLOW);
    const auto kind = S_ISDIR(status.st_mode) ? FileDeleter::Kind::Folder : FileDeleter::Kind::File;
    if (const auto error = FileDeleter::removeEntry(asideFd, name, kind, path).error) {
        SystemLog::write(u"Could not finish removing %1, left aside by a removal that did not finish: %2"_s.arg(
            path, error->localizedDescription()));
        return false;
    }
    SystemLog::write(u"Finished removing %1, left aside by a removal that did not finish: its link stood in its place"_s.arg(path));
    return true;
}

bool recoverEntry(int folderFd, int asideFd, const char *name, const QString &path, const QString &asidePath)
{
    const int error = renameWithoutReplacing(asideFd, name, folderFd, name);
    if (error == 0) {
        SystemLog::write(u"Put back %1, left aside by a removal that did not finish"_s.arg(path));
        return true;
    }
    if (error == EEXIST && linkStandsFor(folderFd, asideFd, name))
        return finishRemoval(asideFd, name, path);
    if (error == EEXIST)
        SystemLog::write(u"Left %1 in %2, where a removal that did not finish put it: its name is taken"_s.arg(
            path, asidePath));
    else
        SystemLog::write(u"Could not put back %1 from %2: %3"_s.arg(path, asidePath, errnoText(error)));
    return false;
}

// true when nothing of the record is left in the folder.
bool recoverFolder(const QByteArray &folderPath, const QByteArray &asideName)
{
    const FileDescriptor folder(openFolder(folderPath));
    if (folder.get() < 0)
        return true;
    const FileDescriptor aside(
        ::openat(folder.get(), asideName.constData(), O_RDONLY | O_DIRECTORY | O_NOFOLLOW | O_CLOEXEC));
    struct stat status {};
    if (aside.get() < 0 || ::fstat(aside.get(), &status) != 0 || status.st_uid != ::getuid())
        return aside.get() < 0 && errno == ENOENT;
    const QString folderText = QFile::decodeName(folderPath);
    const QString asidePath = folderText + u'/' + QFile::decodeName(asideName);
    bool done = true;
    for (const std::string &name : entryNames(aside.get())) {
        const QString path = folderText + u'/' + QFile::decodeName(name.c_str());
        done = recoverEntry(folder.get(), aside.get(), name.c_str(), path, asidePath) && done;
    }
    return done && (::unlinkat(folder.get(), asideName.constData(), AT_REMOVEDIR) == 0 || errno == ENOENT);
}

void recoverRecord(int journalFd, const char *name)
{
    const FileDescriptor record(takeAbandoned(journalFd, name));
    if (record.get() < 0)
        return;
    // Its removal died before the record was whole, so before any aside folder was made.
    const bool beingWritten = QByteArrayView(name).endsWith(partSuffix);
    bool done = true;
    if (!beingWritten) {
        const QList<QByteArray> fields = readAll(record.get()).split('\0');
        for (qsizetype index = 1; index < fields.size(); ++index) {
            if (!fields.at(index).isEmpty())
                done = recoverFolder(fields.at(index), fields.first()) && done;
        }
    }
    if (done)
        ::unlinkat(journalFd, name, 0);
}

} // namespace

QString AsideJournal::folderPath()
{
    return QStandardPaths::writableLocation(QStandardPaths::AppDataLocation) + "/removing"_L1;
}

std::unique_ptr<AsideJournal> AsideJournal::begin(const QByteArray &asideName, const QStringList &folders)
{
    const QString journal = folderPath();
    QDir().mkpath(QFileInfo(journal).path());
    if (::mkdir(QFile::encodeName(journal).constData(), S_IRWXU) != 0 && errno != EEXIST)
        return nullptr;
    const int journalFd = openFolder(QFile::encodeName(journal));
    if (journalFd < 0)
        return nullptr;
    // Written under a name of its own first, locked, so that a recovery never reads half a record.
    const QByteArray partName = asideName + partSuffix;
    const int fd = ::openat(journalFd, partName.constData(), O_WRONLY | O_CREAT | O_EXCL | O_NOFOLLOW | O_CLOEXEC,
                            S_IRUSR | S_IWUSR);
    std::unique_ptr<AsideJournal> record(new AsideJournal(fd, journalFd, asideName));
    if (fd < 0)
        return nullptr;
    QByteArray text = asideName + '\0';
    for (const QString &folder : folders)
        text += QFile::encodeName(folder) + '\0';
    int error = ::flock(fd, LOCK_EX) != 0 ? errno : writeAll(fd, text);
    if (!error && ::fdatasync(fd) != 0)
        error = errno;
    if (!error && ::renameat(journalFd, partName.constData(), journalFd, asideName.constData()) != 0)
        error = errno;
    if (!error && ::fsync(journalFd) != 0)
        error = errno;
    if (error) {
        ::unlinkat(journalFd, partName.constData(), 0);
        errno = error;
        return nullptr;
    }
    return record;
}

void AsideJournal::drop()
{
    ::unlinkat(m_folder.get(), m_name.constData(), 0);
}

void AsideJournal::recoverLeftOvers()
{
    const FileDescriptor journal(openFolder(QFile::encodeName(folderPath())));
    if (journal.get() < 0)
        return;
    for (const std::string &name : entryNames(journal.get()))
        recoverRecord(journal.get(), name.c_str());
}
