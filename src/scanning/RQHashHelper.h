#pragma once

#include "scanning/RQFileIdentity.h"
#include "scanning/Sha1Digest.h"

#include <QByteArray>
#include <QString>

#include <cstddef>
#include <cstdint>
#include <functional>
#include <optional>

class Sha1Hasher;

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

// An open file as fstat describes it: another object at the path, or the same one written
// meanwhile, differs in one of these.
struct FileVersion
{
    std::uint64_t device = 0;
    std::uint64_t inode = 0;
    std::int64_t size = 0;
    std::int64_t modificationTimeNs = 0;
    std::int64_t changeTimeNs = 0;
    friend bool operator==(const FileVersion &, const FileVersion &) = default;
};

// Adds bytes [from, to) of a regular file measured before at size bytes to the hasher. The file
// is read only while it still has that size: another size on opening or in the bytes read is a
// changed size; a range that ends at the size reads on to the end of the file, so that one that
// grew is caught. The open file must also be the one the walk saw (walked, when known) and, when
// version holds one, the version an earlier range of the file was read from; a file that is
// another, or whose times changed while it was read, is a changed size too. A range read sets
// version to the file's, so that a digest made of several ranges comes from one version of one
// file. The file is opened for this call alone. shouldStop, when given, is asked before each
// chunk; once it answers true the read ends as stopped. An unreadable file leaves errno at the
// reason, 0 when the path no longer names a regular file. A path longer than PATH_MAX is opened
// part by part. fromDisk, when given, is set to whether the range's first bytes were not in
// memory (the page cache), so that the reading had to wait for the disk.
enum class FileRangeRead { Read, Unreadable, SizeChanged, Stopped };
FileRangeRead hashFileRange(const QString &path, std::size_t chunkSize, const RQFileIdentity &walked, qint64 size,
                            qint64 from, qint64 to, Sha1Hasher &hasher, std::optional<FileVersion> &version,
                            const std::function<bool()> &shouldStop = {}, bool *fromDisk = nullptr);
