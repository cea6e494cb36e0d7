#include "scanning/RQDuplicateFinderDigests.h"

#include "platform/DispatchQueue.h"
#include "platform/ParallelFor.h"
#include "platform/SystemLog.h"
#include "scanning/RQFile.h"
#include "scanning/RQHashHelper.h"
#include "scanning/Sha1Hasher.h"

#include <QThread>

#include <algorithm>
#include <array>
#include <atomic>
#include <cerrno>
#include <cstring>
#include <utility>
#include <vector>

using namespace Qt::StringLiterals;

namespace {

constexpr std::size_t blockSize = 4096;
constexpr std::size_t blockCount = 65536;
constexpr quint64 closedBit = quint64(1) << 63;

// Why the read just made found the file unreadable, from its errno.
QString unreadableReason()
{
    const int error = errno;
    return error == 0 ? u"no longer a regular file"_s : QString::fromLocal8Bit(std::strerror(error));
}

const Sha1Digest &emptyDigest()
{
    static const Sha1Digest digest = Sha1Hasher::digest(nullptr, 0);
    return digest;
}

} // namespace

// A file of which only the first block was read: its digest so far, and the digest of that block.
struct RQDuplicateFinderDigests::PartlyRead
{
    RQFile *file = nullptr;
    Sha1Digest firstBlockDigest;
    std::unique_ptr<Sha1Hasher> hasher;
    // The file the first block was read from: the rest must come from the same version of it.
    std::optional<FileVersion> version;
    // The next one in the list the digest threads push to.
    PartlyRead *next = nullptr;
};

// What the digest threads share with the scan's thread. Workers hold it by a shared pointer,
// so one that starts late, after the stream has closed, touches nothing else.
struct RQDuplicateFinderDigests::Shared : std::enable_shared_from_this<Shared>
{
    Shared(std::size_t chunk, std::size_t firstBlock, const std::atomic<bool> *stopped, QThreadPool &readers)
        : chunkSize(chunk), firstBlockSize(firstBlock), scanStopped(stopped), diskReaders(&readers)
    {
    }
    ~Shared()
    {
        for (PartlyRead *file = partlyRead.load(); file;)
            delete std::exchange(file, file->next);
    }
    Shared(const Shared &) = delete;
    Shared &operator=(const Shared &) = delete;

    bool isCancelled() const
    {
        return cancelled.load(std::memory_order_acquire) || (scanStopped && scanStopped->load(std::memory_order_acquire));
    }

    enum class Until { StreamEnds, ReadFromMemory };

    // Claims files one by one, waiting for them to be published, until the stream is closed
    // and no file is left, or, for a disk reader, until a file came from memory.
    void work(Until until = Until::StreamEnds)
    {
        for (;;) {
            const quint64 index = next.fetch_add(1);
            quint64 state = published.load(std::memory_order_acquire);
            while (index >= (state & ~closedBit)) {
                if (state & closedBit)
                    return;
                published.wait(state, std::memory_order_acquire);
                state = published.load(std::memory_order_acquire);
            }
            RQFile &file = *blocks[index / blockSize][index % blockSize];
            bool fromDisk = false;
            if (isCancelled() || digestOrStart(file, fromDisk))
                countDigested(1);
            // Before the count below, so that the readers are never started once finish() or
            // the destructor has stopped waiting.
            if (fromDisk)
                startDiskReaders();
            // Counted only after the report and the hand-over of a partly read file, so
            // finish() returns when no report runs and finds every such file.
            completed.fetch_add(1);
            completed.notify_all();
            if (until == Until::ReadFromMemory && !fromDisk)
                return;
        }
    }

    // Once, when a file came from the disk: the rest of the disk readers join the first.
    void startDiskReaders()
    {
        if (diskReadersStarted.exchange(true))
            return;
        for (int reader = 1; reader < diskReaders->maxThreadCount(); ++reader)
            startDiskReader();
    }

    void startDiskReader()
    {
        diskReaders->start([shared = shared_from_this()] { shared->work(Until::ReadFromMemory); });
    }

    void countDigested(qsizetype count)
    {
        const qsizetype done = digested.fetch_add(count) + count;
        // Sequentially consistent, like the store in finish(): with acquire and release
        // alone, this thread could miss the report while finish() misses this count, and
        // the last file of a scan would never be reported.
        if (const auto *report = onFileDigested.load())
            (*report)(reportOffset + done);
    }

    // Digests a file no larger than the first block, or reads the first block of a larger one
    // and hands it over for later. Returns whether the file's digest is settled; fromDisk tells
    // whether the file's bytes were not in memory.
    bool digestOrStart(RQFile &file, bool &fromDisk)
    {
        const auto size = static_cast<qint64>(file.fileSize());
        const bool whole = firstBlockSize == 0 || size <= static_cast<qint64>(firstBlockSize);
        auto hasher = std::make_unique<Sha1Hasher>();
        std::optional<FileVersion> version;
        if (!read(file, 0, whole ? size : static_cast<qint64>(firstBlockSize), *hasher, version, &fromDisk))
            return true;
        if (whole) {
            file.setContentDigest(hasher->finish());
            return true;
        }
        auto *started = new PartlyRead {&file, hasher->digestSoFar(), std::move(hasher), version, partlyRead.load()};
        while (!partlyRead.compare_exchange_weak(started->next, started)) {
        }
        return false;
    }

    // Reads a file of which the first block was read on to its end.
    void digestRest(PartlyRead &started) const
    {
        const auto size = static_cast<qint64>(started.file->fileSize());
        if (read(*started.file, static_cast<qint64>(firstBlockSize), size, *started.hasher, started.version))
            started.file->setContentDigest(started.hasher->finish());
    }

    // Only the bytes the walk measured are compared: a file whose size has changed since then
    // gets no digest, as its walked size would no longer be its size; nor does one that is no
    // longer the file the walk saw, or the version an earlier range was read from.
    bool read(RQFile &file, qint64 from, qint64 to, Sha1Hasher &hasher, std::optional<FileVersion> &version,
              bool *fromDisk = nullptr) const
    {
        const auto size = static_cast<qint64>(file.fileSize());
        const FileRangeRead result = hashFileRange(file.path(), chunkSize, file.identity(), size, from, to, hasher,
                                                   version, [this] { return isCancelled(); }, fromDisk);
        if (result == FileRangeRead::Unreadable)
            SystemLog::debug(u"Cannot read %1: %2; it is left out"_s.arg(file.path(), unreadableReason()));
        if (result == FileRangeRead::SizeChanged)
            SystemLog::debug(u"The size of %1 changed during the scan; it is left out"_s.arg(file.path()));
        if (result != FileRangeRead::Read)
            file.setContentDigest(std::nullopt);
        return result == FileRangeRead::Read;
    }

    void waitForAll(quint64 total)
    {
        for (quint64 done = completed.load(); done < total; done = completed.load())
            completed.wait(done);
    }

    const std::size_t chunkSize;
    const std::size_t firstBlockSize;
    const std::atomic<bool> *const scanStopped;
    // Each written by the scan's thread before the count that covers it is published.
    std::array<std::unique_ptr<RQFile *[]>, blockCount> blocks;
    // Files published, with the closed mark once no more will come.
    std::atomic<quint64> published = 0;
    std::atomic<quint64> next = 0;
    std::atomic<qsizetype> digested = 0;
    std::atomic<quint64> completed = 0;
    std::atomic<bool> cancelled = false;
    // The readers of the files that come from the disk, which do not live longer than the
    // digests: they are started only while a file is being read, before it is counted.
    QThreadPool *const diskReaders;
    std::atomic<bool> diskReadersStarted = false;
    std::atomic<const std::function<void(qsizetype)> *> onFileDigested = nullptr;
    // Files read to their first block only, pushed by the digest threads without a lock.
    std::atomic<PartlyRead *> partlyRead = nullptr;
    // Files given their digest without the threads (empty ones), set before reports begin.
    qsizetype reportOffset = 0;
};

RQDuplicateFinderDigests::RQDuplicateFinderDigests(std::size_t chunkSize, std::size_t firstBlockSize,
                                                   const std::atomic<bool> *stopped)
    : m_shared(std::make_shared<Shared>(chunkSize, firstBlockSize, stopped, m_diskReaders))
{
    // Reading from the disk, a thread mostly waits: twice as many keep more reads in flight.
    m_diskReaders.setMaxThreadCount(2 * QThread::idealThreadCount());
}

RQDuplicateFinderDigests::~RQDuplicateFinderDigests()
{
    if (m_finished)
        return;
    // An abandoned scan: what is not yet read stays unread, but nothing is left running.
    Shared &shared = *m_shared;
    shared.cancelled.store(true);
    const quint64 total = shared.published.fetch_or(closedBit) & ~closedBit;
    shared.published.notify_all();
    // The other threads may never start (the pool can be busy, or as narrow as this one
    // thread), so this one clears what is left itself.
    shared.work();
    shared.waitForAll(total);
}

qsizetype RQDuplicateFinderDigests::filesToDigest() const
{
    return m_emptyFiles + static_cast<qsizetype>(m_shared->published.load() & ~closedBit);
}

void RQDuplicateFinderDigests::addFile(RQFile &file)
{
    ++m_filesAdded;
    if (file.fileSize() == 0) {
        // Known without reading, so never handed over.
        file.setContentDigest(emptyDigest());
        ++m_emptyFiles;
        return;
    }
    const auto [found, isFirst] = m_firstOfSize.try_emplace(file.fileSize(), &file);
    if (isFirst)
        return;
    if (found->second) {
        publish(found->second);
        found->second = nullptr;
    }
    publish(&file);
}

void RQDuplicateFinderDigests::publish(RQFile *file)
{
    Shared &shared = *m_shared;
    const quint64 index = shared.published.load(std::memory_order_relaxed);
    if (index / blockSize >= blockCount)
        return; // beyond a quarter of a billion files: left without a digest
    auto &block = shared.blocks[index / blockSize];
    if (!block)
        block = std::make_unique<RQFile *[]>(blockSize);
    block[index % blockSize] = file;
    shared.published.store(index + 1, std::memory_order_release);
    shared.published.notify_one();
    // The first reader learns from the first file whether the files come from the disk; if
    // they do, it reads on with the others while the walk still holds the pool's threads.
    if (index == 0)
        shared.startDiskReader();
}

void RQDuplicateFinderDigests::finish(const std::function<void(qsizetype digested)> &onFileDigested)
{
    m_finished = true;
    m_firstOfSize = {};
    Shared &shared = *m_shared;
    const std::function<void(qsizetype)> report = onFileDigested ? onFileDigested : [](qsizetype) {};
    shared.reportOffset = m_emptyFiles;
    shared.onFileDigested.store(&report);
    report(m_emptyFiles + shared.digested.load());
    const quint64 total = shared.published.fetch_or(closedBit) & ~closedBit;
    shared.published.notify_all();
    const int helpers = std::max(1, QThread::idealThreadCount() - 1);
    for (int helper = 0; helper < helpers; ++helper)
        DispatchQueue::global(DispatchPriority::High).async([shared = m_shared] { shared->work(); });
    shared.work();
    shared.waitForAll(total);
    // Every file handed over is done, so the hand-over is read no more.
    shared.blocks = {};
    finishPartlyRead();
    shared.onFileDigested.store(nullptr, std::memory_order_release);
}

void RQDuplicateFinderDigests::finishPartlyRead()
{
    Shared &shared = *m_shared;
    std::vector<std::unique_ptr<PartlyRead>> started;
    for (PartlyRead *file = shared.partlyRead.exchange(nullptr); file; file = file->next)
        started.emplace_back(file);
    const auto key = [](const std::unique_ptr<PartlyRead> &file) {
        return std::pair(file->file->fileSize(), file->firstBlockDigest.bytes());
    };
    std::sort(started.begin(), started.end(), [&key](const auto &a, const auto &b) { return key(a) < key(b); });
    // Runs of equal size and first block are read on; a file alone in its run is settled as is.
    std::vector<PartlyRead *> toReadOn;
    qsizetype settled = 0;
    for (auto first = started.begin(); first != started.end();) {
        const auto last = std::find_if(first, started.end(), [&](const auto &file) { return key(file) != key(*first); });
        if (last - first == 1)
            ++settled;
        for (auto file = first; last - first > 1 && file != last; ++file)
            toReadOn.push_back(file->get());
        first = last;
    }
    shared.countDigested(settled);
    // The largest first, so that no thread is left reading a large file alone at the end.
    std::reverse(toReadOn.begin(), toReadOn.end());
    parallelFor(
        static_cast<qsizetype>(toReadOn.size()),
        [&shared, &toReadOn](qsizetype index) {
            if (!shared.isCancelled())
                shared.digestRest(*toReadOn[static_cast<std::size_t>(index)]);
            shared.countDigested(1);
        },
        DispatchPriority::High);
}
