#pragma once

#include "platform/RQError.h"
#include "scanning/RQDuplicateFinderMailbox.h"

#include <QString>
#include <QStringList>

#include <array>
#include <atomic>
#include <cstddef>
#include <functional>
#include <memory>
#include <optional>
#include <vector>

class RQDuplicateFiles;
class RQIgnoreList;

// Runs one scan: walks the root folders into a tree of items (stage 0), digests the files whose
// size another file shares (stage 1), groups equal items (stages 2 to 5) and hands the groups
// to the completion callback.
//
// Threads: made, configured and started on the main thread; the scan runs on one thread of the
// high-priority global queue, stage 1 on every thread of that pool. Every callback runs on the
// main thread, in posting order; each is optional. The running scan keeps the finder alive.
// Progress, the scanned-items count and the duplicates' totals are coalesced: a callback gets the
// value current when it runs, values only grow, and the last value of each step is always
// delivered.
class RQDuplicateFinder final : public std::enable_shared_from_this<RQDuplicateFinder>
{
public:
    using Groups = std::vector<std::shared_ptr<RQDuplicateFiles>>;

    // groups: none when the scan was refused (a root under a system folder or ignored).
    using CompletionBlock =
        std::function<void(const std::shared_ptr<RQDuplicateFinder> &finder, const std::optional<Groups> &groups)>;
    // Called only when start() finds no roots, with no error, before the (empty) scan runs.
    using FailureBlock = std::function<void(const std::optional<RQError> &error)>;
    // step 0 to 5; progress 0 to 1.
    using ProgressBlock = std::function<void(qint64 step, double progress)>;
    using DidScanFileBlock = std::function<void(qint64 totalFilesScanned)>;
    using DidFindDuplicateBlock = std::function<void(qint64 totalDuplicatesFound, double totalDuplicatesSize)>;

    // Stage 1 reads files in chunks of this size: a little faster than RQHashHelper's 4096 bytes
    // with a warm cache, and fewer reads when the disk is cold (bench/digest-bench).
    static constexpr std::size_t digestChunkSize = 64 * 1024;
    // Files sharing a size are compared by their first block of this size before being read
    // whole: most files that differ, differ there.
    static constexpr std::size_t firstBlockSize = 64 * 1024;

    // Each root is made absolute and cleaned of "." and repeated "/" (one that goes up with ".."
    // is taken where it leads). Empty roots, roots whose names are not valid UTF-8 (which would
    // name another folder), and roots that by where they lead lie in or equal
    // an earlier or enclosing root, are dropped with a log line.
    // minimumFileSize: bytes; smaller files are left out; 0 means no minimum.
    static std::shared_ptr<RQDuplicateFinder> duplicateFinderWithPaths(const QStringList &paths,
                                                                       double minimumFileSize);
    ~RQDuplicateFinder();
    RQDuplicateFinder(const RQDuplicateFinder &) = delete;
    RQDuplicateFinder &operator=(const RQDuplicateFinder &) = delete;

    // Set before start(); passed on to the finder's own ignore list.
    void setIgnoredExtensions(const QStringList &extensions);
    void setIgnoredPaths(const QStringList &paths);

    void setCompletionBlock(CompletionBlock block) { m_completionBlock = std::move(block); }
    void setFailureBlock(FailureBlock block) { m_failureBlock = std::move(block); }
    void setProgressBlock(ProgressBlock block) { m_progressBlock = std::move(block); }
    void setDidScanFileBlock(DidScanFileBlock block) { m_didScanFileBlock = std::move(block); }
    void setDidFindDuplicateBlock(DidFindDuplicateBlock block) { m_didFindDuplicateBlock = std::move(block); }

    // Begins the scan and returns at once. Once per finder.
    void start();
    // Stops the scan soon: the walk gives up before its next entry, the digests before their
    // next file or chunk and the grouping before its next group. From now on no callback runs,
    // the completion included. Any thread; a second call does nothing.
    void cancel();
    bool isCancelled() const { return m_cancelled.load(); }
    // Returns once the scan has left its thread, with nothing of it running any more; at once
    // when it was never started. Not from a callback (they run on the thread that waits).
    void waitUntilFinished() const;

    // The path with its links resolved; cleaned of "." and ".." by its text when it does not
    // exist. Roots are nested and refused by where they lead.
    static QString resolvedPath(const QString &path);

    QStringList paths() const { return m_paths; }
    double minimumFileSize() const { return m_minimumFileSize; }
    qint64 currentProgressStep() const { return m_currentProgressStep.load(); }
    double currentProgress() const { return m_currentProgress.load(); }
    qint64 totalFilesScanned() const { return m_totalFilesScanned.load(); }
    qint64 totalDuplicatesFound() const { return m_totalDuplicatesFound.load(); }
    double totalDuplicatesSize() const { return m_totalDuplicatesSize.load(); }
    // An iPhoto library of an unsupported version was met; read after the completion.
    bool skippedIphoto() const { return m_skippedIphoto.load(); }

private:
    friend class RQDuplicateFinderWalk;
    friend class RQDuplicateFinderGrouping;

    static constexpr int stepCount = 6;

    // The duplicates' totals travel together, so a report never pairs a count with other bytes.
    struct DuplicateTotals
    {
        qint64 count = 0;
        double bytes = 0;
        bool operator==(const DuplicateTotals &) const = default;
    };

    RQDuplicateFinder(const QStringList &paths, double minimumFileSize);

    void findDuplicates();
    void findDuplicatesWithCompletionBlock(const std::function<void(const std::optional<Groups> &)> &completion);
    // Stages 0 to 5; none when a root was refused. Returns once every thread of the scan is done.
    std::optional<Groups> scanRoots();
    void completeWithFiles(const std::optional<Groups> &groups);

    // Delivers what the ending step reported last before anything of the new one.
    void setCurrentProgressStep(qint64 step);
    void flushReports();
    // Stores and reports the value when it is larger than the current one; safe from any thread.
    void setCurrentProgress(double value);
    void addFilesScanned(qint64 count);
    void updateTotalDuplicates(qint64 totalDuplicates, double totalBytes);

    const RQIgnoreList &ignoreList() const { return *m_ignoreList; }
    void setSkippedIphoto() { m_skippedIphoto.store(true); }

    QStringList m_paths;
    double m_minimumFileSize = 0;
    std::unique_ptr<RQIgnoreList> m_ignoreList;

    CompletionBlock m_completionBlock;
    FailureBlock m_failureBlock;
    ProgressBlock m_progressBlock;
    DidScanFileBlock m_didScanFileBlock;
    DidFindDuplicateBlock m_didFindDuplicateBlock;

    std::atomic<qint64> m_currentProgressStep = 0;
    std::atomic<double> m_currentProgress = 0;
    std::atomic<qint64> m_totalFilesScanned = 0;
    std::atomic<qint64> m_totalDuplicatesFound = 0;
    std::atomic<double> m_totalDuplicatesSize = 0;
    std::atomic<bool> m_skippedIphoto = false;
    std::atomic<bool> m_cancelled = false;
    std::atomic<bool> m_running = false;

    // One mailbox per step, so that a value of one step is never delivered as another's.
    std::array<std::unique_ptr<RQDuplicateFinderMailbox<double>>, stepCount> m_progressMailboxes;
    RQDuplicateFinderMailbox<qint64> m_filesScannedMailbox;
    RQDuplicateFinderMailbox<DuplicateTotals> m_duplicatesMailbox;
};
