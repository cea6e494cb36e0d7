#include "scanning/RQHashHelper.h"

#include "platform/FileDescriptor.h"
#include "platform/LongPathOpening.h"
#include "scanning/Sha1Hasher.h"

#include <QFile>

#include <algorithm>

#include <cerrno>
#include <limits>
#include <fcntl.h>
#include <memory>
#include <sys/stat.h>
#include <sys/uio.h>
#include <unistd.h>

namespace {

// What a range of a scanned file is read against, and the version it was read from.
struct FileRangeChecks
{
    const RQFileIdentity &walked;
    std::optional<FileVersion> &version;
};

FileVersion versionOf(const struct stat &status)
{
    constexpr std::int64_t nanosecondsPerSecond = 1'000'000'000;
    return {status.st_dev, status.st_ino, status.st_size,
            status.st_mtim.tv_sec * nanosecondsPerSecond + status.st_mtim.tv_nsec,
            status.st_ctim.tv_sec * nanosecondsPerSecond + status.st_ctim.tv_nsec};
}

// The open file is the one the walk saw, and the one an earlier range was read from.
bool isExpectedFile(const FileVersion &open, const FileRangeChecks &checks)
{
    const RQFileIdentity &walked = checks.walked;
    if (walked.isKnown()
        && (open.device != walked.device || open.inode != walked.inode
            || open.modificationTimeNs != walked.modificationTimeNs))
        return false;
    return !checks.version || *checks.version == open;
}

// Reads up to wanted bytes at the offset. With fromDisk, the read first tries the page cache
// alone and sets fromDisk to whether the bytes were not there; then it waits for them. Where
// that try fails otherwise (a kernel or file system that cannot tell), the file is read the
// usual way, which reports a real error.
ssize_t readAt(int file, char *buffer, std::size_t wanted, qint64 offset, bool *fromDisk)
{
    if (fromDisk) {
        iovec chunk {buffer, wanted};
        const ssize_t count = ::preadv2(file, &chunk, 1, offset, RWF_NOWAIT);
        if (count >= 0)
            return count;
        *fromDisk = errno == EAGAIN;
    }
    return ::pread(file, buffer, wanted, offset);
}

// Adds bytes [from, to) to the hasher; to none, or equal to the expected size, reads to the end.
// expectedSize: none reads whatever the size; a value makes any other size, on opening or in
// the bytes read, a changed size. checks, when given, make another file or version one too.
// fromDisk, when given, is set to whether the range's first bytes had to come from the disk.
FileRangeRead hashRange(const QString &path, std::size_t chunkSize, std::optional<qint64> expectedSize, qint64 from,
                        std::optional<qint64> to, Sha1Hasher &hasher, const std::function<bool()> &shouldStop,
                        const FileRangeChecks *checks, bool *fromDisk)
{
    if (fromDisk)
        *fromDisk = false;
    if (chunkSize == 0)
        chunkSize = RQHashHelper::defaultChunkSize;
    const QByteArray nativePath = QFile::encodeName(path);
    const FileDescriptor file(LongPathOpening::open(std::string_view(nativePath.constData(), nativePath.size()),
                                                    O_RDONLY | O_NOFOLLOW | O_NONBLOCK | O_CLOEXEC | O_NOCTTY));
    struct stat status {};
    if (file.get() < 0 || ::fstat(file.get(), &status) != 0)
        return FileRangeRead::Unreadable;
    if (!S_ISREG(status.st_mode)) {
        // Read as a file only while it is one; no errno tells this.
        errno = 0;
        return FileRangeRead::Unreadable;
    }
    if (expectedSize && status.st_size != *expectedSize)
        return FileRangeRead::SizeChanged;
    const FileVersion opened = versionOf(status);
    if (checks && !isExpectedFile(opened, *checks))
        return FileRangeRead::SizeChanged;
    // Where reading stops short of the end of the file.
    constexpr qint64 toTheEnd = std::numeric_limits<qint64>::max();
    qint64 end = to.value_or(toTheEnd);
    if (expectedSize && end >= *expectedSize)
        end = toTheEnd;
    // A read of one chunk has nothing to read ahead for, and a scan reads many small files.
    const qint64 last = end == toTheEnd ? expectedSize.value_or(toTheEnd) : end;
    if (last - from > static_cast<qint64>(chunkSize))
        ::posix_fadvise(file.get(), from, 0, POSIX_FADV_SEQUENTIAL);

    // Not cleared: only the bytes read go to the hasher.
    const auto buffer = std::make_unique_for_overwrite<char[]>(chunkSize);
    qint64 total = from;
    for (;;) {
        if (shouldStop && shouldStop())
            return FileRangeRead::Stopped;
        const auto wanted = static_cast<std::size_t>(std::min(static_cast<qint64>(chunkSize), end - total));
        if (wanted == 0)
            break;
        const ssize_t count = readAt(file.get(), buffer.get(), wanted, total, total == from ? fromDisk : nullptr);
        if (count == 0)
            break;
        if (count < 0) {
            if (errno == EINTR)
                continue;
            return FileRangeRead::Unreadable;
        }
        total += count;
        // A file that grows while it is read is not read to its new end.
        if (expectedSize && total > *expectedSize)
            return FileRangeRead::SizeChanged;
        hasher.update(buffer.get(), static_cast<std::size_t>(count));
        // A regular file reads short only at its end: no further read is needed to find it.
        if (expectedSize && total == *expectedSize && static_cast<std::size_t>(count) < wanted)
            break;
    }
    if (expectedSize && total != (end == toTheEnd ? *expectedSize : end))
        return FileRangeRead::SizeChanged;
    if (checks) {
        // Written while it was read: the bytes read may mix two versions.
        if (::fstat(file.get(), &status) != 0 || versionOf(status) != opened)
            return FileRangeRead::SizeChanged;
        checks->version = opened;
    }
    return FileRangeRead::Read;
}

} // namespace

std::optional<Sha1Digest> sha1DigestForFileAtPath(const QString &path, std::size_t chunkSize)
{
    Sha1Hasher hasher;
    if (hashRange(path, chunkSize, std::nullopt, 0, std::nullopt, hasher, {}, nullptr, nullptr) != FileRangeRead::Read)
        return std::nullopt;
    return hasher.finish();
}

FileRangeRead hashFileRange(const QString &path, std::size_t chunkSize, const RQFileIdentity &walked, qint64 size,
                            qint64 from, qint64 to, Sha1Hasher &hasher, std::optional<FileVersion> &version,
                            const std::function<bool()> &shouldStop, bool *fromDisk)
{
    const FileRangeChecks checks {walked, version};
    return hashRange(path, chunkSize, size, from, to, hasher, shouldStop, &checks, fromDisk);
}

QString RQHashHelper::sha1ForFileWithPath(const QString &path)
{
    const auto digest = sha1DigestForFileAtPath(path, defaultChunkSize);
    return digest ? digest->toHex() : QString();
}

QString RQHashHelper::sha1ForString(const QString &string)
{
    return sha1ForData(string.toUtf8());
}

QString RQHashHelper::sha1ForData(const QByteArray &data)
{
    return Sha1Hasher::digest(data.constData(), static_cast<std::size_t>(data.size())).toHex();
}
