#include "scanning/RQDuplicateFinder.h"

#include "platform/DispatchQueue.h"
#include "platform/SystemLog.h"
#include "scanning/RQDuplicateFiles.h"
#include "scanning/RQDuplicateFinderDigests.h"
#include "scanning/RQDuplicateFinderGrouping.h"
#include "scanning/RQDuplicateFinderScan.h"
#include "scanning/RQDuplicateFinderWalk.h"
#include "scanning/RQFile.h"
#include "scanning/RQIgnoreList.h"
#include "foundation/RQStringPath.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>

#include <algorithm>

using namespace Qt::StringLiterals;

namespace {

// path lies strictly under otherPath, or equals it while otherPath stands earlier in the list.
bool isNestedIn(const QString &path, const QString &otherPath, bool earlier)
{
    const bool equal = rq_isEqualToPath(path, otherPath);
    return (equal && earlier) || (!equal && rq_isChildOfPath(path, otherPath));
}

// Drops each empty root, which the walk would take for the whole disk.
QStringList withoutEmptyPaths(const QStringList &paths)
{
    QStringList kept;
    for (const QString &path : paths) {
        if (path.isEmpty())
            SystemLog::debug(u"Ignoring path: %1 because it's empty"_s.arg(path));
        else
            kept.append(path);
    }
    return kept;
}

// Drops each root whose name did not come through as text intact (bytes that are not UTF-8
// are decoded to U+FFFD): encoded back, it would name another folder, or none.
QStringList withoutUnrepresentablePaths(const QStringList &paths)
{
    QStringList kept;
    for (const QString &path : paths) {
        if (path.contains(QChar::ReplacementCharacter) || QFile::decodeName(QFile::encodeName(path)) != path)
            SystemLog::debug(u"Ignoring path: %1 because its name is not valid UTF-8"_s.arg(path));
        else
            kept.append(path);
    }
    return kept;
}

// The root as its members' paths begin: absolute, so that a relative link's target is made
// absolute against a real folder, and without "." or repeated "/", which would be echoed into
// every path. A root that goes up with ".." is taken where it leads, which its text cannot tell
// when a link stands before the "..". A trailing "/" stays as given.
QString absoluteCleanPath(const QString &path)
{
    const QString absolute = QDir::isAbsolutePath(path) ? path : QDir::current().absoluteFilePath(path);
    const bool goesUp = absolute.split(u'/').contains(u".."_s);
    QString cleaned = goesUp ? RQDuplicateFinder::resolvedPath(absolute) : QDir::cleanPath(absolute);
    if (path.endsWith(u'/') && !cleaned.endsWith(u'/'))
        cleaned += u'/';
    return cleaned;
}

QStringList absoluteCleanPaths(const QStringList &paths)
{
    QStringList cleaned;
    for (const QString &path : paths)
        cleaned.append(absoluteCleanPath(path));
    return cleaned;
}

// Drops each root that lies strictly under another root, or equals an earlier one, by where
// they lead: a root reached through a link would otherwise offer each file as a copy of
// itself, and by their text alone a root beside another, or reached through a link from
// inside it, would pass for one inside it.
QStringList withoutNestedPaths(const QStringList &paths)
{
    QStringList resolved;
    for (const QString &path : paths)
        resolved.append(RQDuplicateFinder::resolvedPath(path));
    QStringList kept;
    for (qsizetype index = 0; index < paths.size(); ++index) {
        const QString &path = paths.at(index);
        bool dropped = false;
        for (qsizetype other = 0; other < paths.size() && !dropped; ++other) {
            if (other == index || !isNestedIn(resolved.at(index), resolved.at(other), other < index))
                continue;
            SystemLog::debug(u"Ignoring path: %1 because it's a child of %2"_s.arg(path, paths.at(other)));
            dropped = true;
        }
        if (!dropped)
            kept.append(path);
    }
    return kept;
}

} // namespace

QString RQDuplicateFinder::resolvedPath(const QString &path)
{
    const QString canonical = QFileInfo(path).canonicalFilePath();
    return canonical.isEmpty() ? QDir::cleanPath(path) : canonical;
}

std::shared_ptr<RQDuplicateFinder> RQDuplicateFinder::duplicateFinderWithPaths(const QStringList &paths,
                                                                               double minimumFileSize)
{
    return std::shared_ptr<RQDuplicateFinder>(new RQDuplicateFinder(paths, minimumFileSize));
}

RQDuplicateFinder::RQDuplicateFinder(const QStringList &paths, double minimumFileSize)
    : m_paths(withoutNestedPaths(absoluteCleanPaths(withoutUnrepresentablePaths(withoutEmptyPaths(paths))))),
      m_minimumFileSize(minimumFileSize),
      m_ignoreList(RQIgnoreList::ignoreList()),
      m_filesScannedMailbox([this](qint64 total) {
          if (m_didScanFileBlock && !isCancelled())
              m_didScanFileBlock(total);
      }),
      m_duplicatesMailbox([this](DuplicateTotals totals) {
          if (m_didFindDuplicateBlock && !isCancelled())
              m_didFindDuplicateBlock(totals.count, totals.bytes);
      })
{
    for (qint64 step = 0; step < stepCount; ++step) {
        m_progressMailboxes[static_cast<std::size_t>(step)] =
            std::make_unique<RQDuplicateFinderMailbox<double>>([this, step](double progress) {
                if (m_progressBlock && !isCancelled())
                    m_progressBlock(step, progress);
            });
    }
}

RQDuplicateFinder::~RQDuplicateFinder() = default;

void RQDuplicateFinder::setIgnoredExtensions(const QStringList &extensions)
{
    m_ignoreList->setIgnoredExtensions(extensions);
}

void RQDuplicateFinder::setIgnoredPaths(const QStringList &paths)
{
    m_ignoreList->setIgnoredPaths(paths);
}

void RQDuplicateFinder::start()
{
    // The caller leaves its scanning state on the completion, which the empty scan still sends.
    if (m_paths.isEmpty() && m_failureBlock && !isCancelled())
        m_failureBlock(std::nullopt);
    m_running.store(true);
    DispatchQueue::global(DispatchPriority::High).async([self = shared_from_this()] {
        self->findDuplicates();
        self->m_running.store(false);
        self->m_running.notify_all();
    });
}

void RQDuplicateFinder::cancel()
{
    m_cancelled.store(true);
}

void RQDuplicateFinder::waitUntilFinished() const
{
    m_running.wait(true);
}

void RQDuplicateFinder::findDuplicates()
{
    findDuplicatesWithCompletionBlock([this](const std::optional<Groups> &groups) { completeWithFiles(groups); });
}

void RQDuplicateFinder::findDuplicatesWithCompletionBlock(
    const std::function<void(const std::optional<Groups> &)> &completion)
{
    // The caller may end the program on the completion, so nothing of the scan may still run
    // then: its state, with the digest threads and the tree, is gone before the completion.
    const std::optional<Groups> groups = scanRoots();
    completion(groups);
}

std::optional<RQDuplicateFinder::Groups> RQDuplicateFinder::scanRoots()
{
    RQDuplicateFinderScan scan(&m_cancelled);
    setCurrentProgressStep(0);
    if (!RQDuplicateFinderWalk(*this, scan).walkRoots() || isCancelled())
        return std::nullopt;

    setCurrentProgressStep(1);
    const double fileCount = static_cast<double>(scan.allFilesCount);
    // Every thread sets the progress, so it is set about a thousand times, not once per file.
    const qsizetype toDigest = scan.digests.filesToDigest();
    const qsizetype stride = std::max<qsizetype>(1, toDigest / 1000);
    scan.digests.finish([&](qsizetype digested) {
        if (digested % stride == 0 || digested == toDigest)
            setCurrentProgress((2.0 + static_cast<double>(digested) / fileCount) / 6.0);
    });

    if (isCancelled())
        return std::nullopt;
    // The tree goes with the scan, and only the members of the groups outlive it.
    return RQDuplicateFinderGrouping(*this, scan).findGroups();
}

void RQDuplicateFinder::setCurrentProgressStep(qint64 step)
{
    flushReports();
    m_currentProgressStep.store(step);
}

void RQDuplicateFinder::flushReports()
{
    m_filesScannedMailbox.flush();
    m_duplicatesMailbox.flush();
    for (const auto &mailbox : m_progressMailboxes)
        mailbox->flush();
}

void RQDuplicateFinder::completeWithFiles(const std::optional<Groups> &groups)
{
    flushReports();
    // The task holds the finder until every report posted before it has been delivered.
    DispatchQueue::main().async([self = shared_from_this(), groups] {
        if (self->m_completionBlock && !self->isCancelled())
            self->m_completionBlock(self, groups);
    });
}

void RQDuplicateFinder::setCurrentProgress(double value)
{
    double current = m_currentProgress.load();
    do {
        // Progress never goes back: a value that a slower digest thread computed earlier than
        // the current one, and an equal value, report nothing.
        if (!(value > current))
            return;
    } while (!m_currentProgress.compare_exchange_weak(current, value));
    const auto step = std::clamp<qint64>(m_currentProgressStep.load(), 0, stepCount - 1);
    m_progressMailboxes[static_cast<std::size_t>(step)]->post(value);
}

void RQDuplicateFinder::addFilesScanned(qint64 count)
{
    m_filesScannedMailbox.post(m_totalFilesScanned.fetch_add(count) + count);
}

void RQDuplicateFinder::updateTotalDuplicates(qint64 totalDuplicates, double totalBytes)
{
    m_totalDuplicatesFound.store(totalDuplicates);
    m_totalDuplicatesSize.store(totalBytes);
    m_duplicatesMailbox.post({totalDuplicates, totalBytes});
}
