#include "support/PageCache.h"

#include <QFile>

#include <fcntl.h>
#include <sys/mman.h>
#include <sys/stat.h>
#include <unistd.h>

#include <vector>

namespace {

// Whether no page of the range is in memory, by mapping the file and asking the kernel.
bool isOutOfMemory(int file, qint64 from, qint64 length)
{
    const long pageSize = ::sysconf(_SC_PAGESIZE);
    const qint64 start = from / pageSize * pageSize;
    const auto mappedLength = static_cast<std::size_t>(from + length - start);
    void *mapped = ::mmap(nullptr, mappedLength, PROT_READ, MAP_SHARED, file, start);
    if (mapped == MAP_FAILED)
        return false;
    std::vector<unsigned char> resident((mappedLength + pageSize - 1) / pageSize);
    bool out = ::mincore(mapped, mappedLength, resident.data()) == 0;
    for (const unsigned char page : resident)
        out = out && !(page & 1);
    ::munmap(mapped, mappedLength);
    return out;
}

} // namespace

bool evictFromMemory(const QString &path, qint64 from, qint64 length)
{
    const int file = ::open(QFile::encodeName(path).constData(), O_RDONLY | O_CLOEXEC);
    if (file < 0)
        return false;
    struct stat status {};
    const bool evicted = ::fstat(file, &status) == 0 && ::fdatasync(file) == 0
                         && ::posix_fadvise(file, from, length, POSIX_FADV_DONTNEED) == 0
                         && isOutOfMemory(file, from, length > 0 ? length : status.st_size - from);
    ::close(file);
    return evicted;
}
