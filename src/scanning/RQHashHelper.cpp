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

bool isRegularFile(int descriptor)
{
    struct stat status {};
    return ::fstat(descriptor, &status) == 0 && S_ISREG(status.st_mode);
}

} // namespace

std::optional<Sha1Digest> sha1DigestForFileAtPath(const QString &path, std::size_t chunkSize)
{
    if (chunkSize == 0)
        chunkSize = RQHashHelper::defaultChunkSize;
    const QByteArray nativePath = QFile::encodeName(path);
    const FileDescriptor file(::open(nativePath.constData(),
                                     O_RDONLY | O_NOFOLLOW | O_NONBLOCK | O_CLOEXEC | O_NOCTTY));
    if (file.get() < 0 || !isRegularFile(file.get()))
        return std::nullopt;
    ::posix_fadvise(file.get(), 0, 0, POSIX_FADV_SEQUENTIAL);

    const auto buffer = std::make_unique<char[]>(chunkSize);
    Sha1Hasher hasher;
    for (;;) {
        const ssize_t count = ::read(file.get(), buffer.get(), chunkSize);
        if (count == 0)
            return hasher.finish();
        if (count < 0) {
            if (errno == EINTR)
                continue;
            return std::nullopt;
        }
        hasher.update(buffer.get(), static_cast<std::size_t>(count));
    }
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
