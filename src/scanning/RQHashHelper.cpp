#include "scanning/RQHashHelper.h"

#include "platform/FileDescriptor.h"
#include "scanning/Sha1Hasher.h"

#include <QFile>

#include <cerrno>
#include <fcntl.h>
#include <memory>
#include <sys/stat.h>
#include <unistd.h>

namespace {

// expectedSize: none reads to the end whatever the size; a value makes any other size, on
// opening or in the bytes read, a changed size.
SizedFileDigest readDigest(const QString &path, std::size_t chunkSize, std::optional<qint64> expectedSize,
                           const std::function<bool()> &shouldStop)
{
    if (chunkSize == 0)
        chunkSize = RQHashHelper::defaultChunkSize;
    const QByteArray nativePath = QFile::encodeName(path);
    const FileDescriptor file(::open(nativePath.constData(),
                                     O_RDONLY | O_NOFOLLOW | O_NONBLOCK | O_CLOEXEC | O_NOCTTY));
    struct stat status {};
    if (file.get() < 0 || ::fstat(file.get(), &status) != 0 || !S_ISREG(status.st_mode))
        return {};
    const SizedFileDigest changed {std::nullopt, true};
    if (expectedSize && status.st_size != *expectedSize)
        return changed;
    ::posix_fadvise(file.get(), 0, 0, POSIX_FADV_SEQUENTIAL);

    const auto buffer = std::make_unique<char[]>(chunkSize);
    Sha1Hasher hasher;
    qint64 total = 0;
    for (;;) {
        if (shouldStop && shouldStop())
            return {};
        const ssize_t count = ::read(file.get(), buffer.get(), chunkSize);
        if (count == 0)
            break;
        if (count < 0) {
            if (errno == EINTR)
                continue;
            return {};
        }
        total += count;
        // A file that grows while it is read is not read to its new end.
        if (expectedSize && total > *expectedSize)
            return changed;
        hasher.update(buffer.get(), static_cast<std::size_t>(count));
    }
    if (expectedSize && total != *expectedSize)
        return changed;
    return {hasher.finish(), false};
}

} // namespace

std::optional<Sha1Digest> sha1DigestForFileAtPath(const QString &path, std::size_t chunkSize)
{
    return readDigest(path, chunkSize, std::nullopt, {}).digest;
}

SizedFileDigest sha1DigestForFileOfSize(const QString &path, std::size_t chunkSize, qint64 size,
                                        const std::function<bool()> &shouldStop)
{
    return readDigest(path, chunkSize, size, shouldStop);
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
