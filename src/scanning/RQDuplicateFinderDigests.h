#pragma once

#include <QThreadPool>
#include <QtGlobal>

#include <atomic>
#include <cstddef>
#include <functional>
#include <memory>
#include <unordered_map>

class RQFile;

// Stage 1 of a scan, fed by the walk: a file is handed over to be digested as soon as a second
// file of its size is met (the first one with it), so only files whose size another file shares
// are read, each once. A file larger than the first block is read only that far at first; once
// the walk is over, only the files whose first blocks are equal to another's of their size are
// read on to the end, their digest going on from the first block, and the others keep no
// digest, as a file of a size met once: a file that matches no other by its start matches none
// whole. The first block size 0 reads every file whole at once. The reading begins in finish(),
// on the other threads of the high-priority global queue and the calling one: during the walk
// those threads read folders. A reader of the digests' own takes the first file as soon as it
// is handed over; while the files come from the disk, not from memory, it and more of them
// (twice as many as the processors in all) read on, during the walk too, since such reads wait
// on the disk, not on the processors. Each stops at the first file that came from memory.
// A file that is no longer a regular file at its path (gone, replaced by a link, a FIFO or a
// folder), whose size is no longer the one it was given (with a log line), or that cannot be
// read keeps no digest; one that the walk found empty gets the digest of empty content unread.
// The hand-over takes no lock: files are published through one atomic word, and each is
// digested by one thread.
//
// addFile() and finish() are called on the scan's thread; the files must outlive finish().
class RQDuplicateFinderDigests final
{
public:
    // stopped, when given, is the scan's cancel flag: once set, no further file or chunk is
    // read, and the files left keep no digest. It must outlive finish() or the destructor.
    RQDuplicateFinderDigests(std::size_t chunkSize, std::size_t firstBlockSize,
                             const std::atomic<bool> *stopped = nullptr);
    // Finishes the digests if finish() was not called.
    ~RQDuplicateFinderDigests();
    RQDuplicateFinderDigests(const RQDuplicateFinderDigests &) = delete;
    RQDuplicateFinderDigests &operator=(const RQDuplicateFinderDigests &) = delete;

    // A regular file of the scan, its size set.
    void addFile(RQFile &file);
    qsizetype filesAdded() const { return m_filesAdded; }
    // The files that get a digest: those whose size another file shares, and empty ones.
    qsizetype filesToDigest() const;

    // Returns once every file to digest has its digest. onFileDigested(count of files digested
    // so far) is called first on the calling thread with the count done during the walk, then
    // after each further file, on the thread that digested it. A file read only to its first
    // block counts once its digest is settled.
    void finish(const std::function<void(qsizetype digested)> &onFileDigested);

private:
    struct Shared;
    struct PartlyRead;

    // Reads on the files whose first blocks are equal to another's of their size.
    void finishPartlyRead();
    void publish(RQFile *file);

    // Threads of the digests' own for files that come from the disk (see above).
    QThreadPool m_diskReaders;
    std::shared_ptr<Shared> m_shared;
    // The first file of each size, until a second one hands both over (then null).
    std::unordered_map<double, RQFile *> m_firstOfSize;
    qsizetype m_filesAdded = 0;
    qsizetype m_emptyFiles = 0;
    bool m_finished = false;
};
