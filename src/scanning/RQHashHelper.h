#pragma once

#include "scanning/Sha1Digest.h"

#include <QByteArray>
#include <QString>

#include <cstddef>
#include <functional>
#include <optional>

// SHA-1 digests as text: 40 lower-case hexadecimal characters. Stateless; any thread.
class RQHashHelper final
{
public:
    static constexpr std::size_t defaultChunkSize = 4096;

    // The digest of a regular file's content, or a null string when it cannot be read.
    static QString sha1ForFileWithPath(const QString &path);
    // The digest of the string's UTF-8 bytes.
    static QString sha1ForString(const QString &string);
    static QString sha1ForData(const QByteArray &data);

    RQHashHelper() = delete;
};

// Streams the file in chunks of the given size (0 means the default) and gives its digest.
// Only a regular file is read: a symbolic link is never followed, and opening never blocks on
// a FIFO or a device. A file that cannot be opened or read gives no value.
std::optional<Sha1Digest> sha1DigestForFileAtPath(const QString &path, std::size_t chunkSize);

// The same for a file measured before: it gives a digest only when the opened file still has
// that size and exactly that many bytes were read; otherwise sizeChanged tells the caller that
// the file changed since it was measured. shouldStop, when given, is asked before each chunk;
// once it answers true the file gets no digest.
struct SizedFileDigest
{
    std::optional<Sha1Digest> digest;
    bool sizeChanged = false;
};
SizedFileDigest sha1DigestForFileOfSize(const QString &path, std::size_t chunkSize, qint64 size,
                                        const std::function<bool()> &shouldStop = {});
