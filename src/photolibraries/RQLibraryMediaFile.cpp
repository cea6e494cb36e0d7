#include "photolibraries/RQLibraryMediaFile.h"

#include "scanning/RQFile.h"

#include <QFile>
#include <QUrl>

#include <fcntl.h>
#include <sys/stat.h>

namespace {

QDateTime dateFromTimestamp(const struct statx_timestamp &timestamp)
{
    const qint64 milliseconds = timestamp.tv_sec * 1000 + timestamp.tv_nsec / 1'000'000;
    return QDateTime::fromMSecsSinceEpoch(milliseconds, Qt::UTC);
}

} // namespace

std::shared_ptr<RQFile> rq_libraryMediaFileWithPath(const QString &path)
{
    auto item = RQFile::fileWithURL(QUrl::fromLocalFile(path));
    const QByteArray nativePath = QFile::encodeName(path);
    struct statx status {};
    if (::statx(AT_FDCWD, nativePath.constData(), AT_SYMLINK_NOFOLLOW | AT_STATX_SYNC_AS_STAT,
                STATX_SIZE | STATX_BTIME | STATX_MTIME, &status)
        != 0)
        return item;

    if (status.stx_mask & STATX_SIZE)
        item->setFileSize(static_cast<double>(status.stx_size));
    if (status.stx_mask & STATX_BTIME)
        item->setCreationDate(dateFromTimestamp(status.stx_btime));
    if (status.stx_mask & STATX_MTIME)
        item->setModificationDate(dateFromTimestamp(status.stx_mtime));
    return item;
}
