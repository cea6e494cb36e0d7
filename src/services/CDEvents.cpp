#include "services/CDEvents.h"

#include "platform/InotifyTree.h"

#include <QDir>
#include <QHash>
#include <QSocketNotifier>
#include <QTimer>

#include <sys/inotify.h>
#include <sys/stat.h>

#include <algorithm>
#include <atomic>
#include <cmath>
#include <limits>
#include <mutex>
#include <optional>
#include <vector>

using namespace Qt::StringLiterals;

namespace {

const char invalidArguments[] = "Invalid arguments passed to CDEvents init-method.";

std::atomic<quint64> &lastIdentifier()
{
    static std::atomic<quint64> identifier{0};
    return identifier;
}

quint32 itemKind(const InotifyTree::Change &change)
{
    if ((change.mask & IN_ISDIR) || change.onRoot)
        return CDEvent::IsDir;
    // Looked at when the change is read: an item already gone counts as a file.
    struct stat status {};
    if (lstat(QFile::encodeName(change.path).constData(), &status) == 0 && S_ISLNK(status.st_mode))
        return CDEvent::IsSymlink;
    return CDEvent::IsFile;
}

// The event flags of one inotify change; nothing when the change is not to be reported.
std::optional<quint32> eventFlags(const InotifyTree::Change &change, quint32 creationFlags)
{
    if (change.onRoot && (change.mask & (IN_DELETE_SELF | IN_MOVE_SELF))) {
        if (!(creationFlags & CDEvents::WatchRoot))
            return std::nullopt;
        return quint32(CDEvent::RootChanged);
    }
    quint32 flags = 0;
    if (change.mask & IN_CREATE)
        flags |= CDEvent::Created;
    if (change.mask & IN_DELETE)
        flags |= CDEvent::Removed;
    if (change.mask & (IN_MOVED_FROM | IN_MOVED_TO))
        flags |= CDEvent::Renamed;
    if (change.mask & IN_MODIFY)
        flags |= CDEvent::Modified;
    if (change.mask & IN_ATTRIB)
        flags |= CDEvent::InodeMetadataModified;
    if (change.mask & IN_UNMOUNT)
        flags |= CDEvent::VolumeUnmounted;
    return flags | itemKind(change);
}

int latencyMilliseconds(double seconds)
{
    if (!std::isfinite(seconds) || seconds <= 0)
        return 0;
    return int(std::min(seconds * 1000.0, double(std::numeric_limits<int>::max())));
}

QString joinedURLs(const QList<QUrl> &URLs)
{
    QStringList texts;
    for (const QUrl &URL : URLs)
        texts.append(URL.toString());
    return texts.join(", "_L1);
}

} // namespace

// Everything that lives on the watcher's thread. Shared so that a delivery in progress keeps
// it alive when the block destroys the watcher.
struct CDEvents::Stream : std::enable_shared_from_this<Stream>
{
    struct Pending
    {
        QString path;
        quint32 flags = 0;
    };

    Stream(const QList<QUrl> &URLs, EventBlock eventBlock, quint64 since, double latencySeconds,
           bool ignoreSubDirectories, const QList<QUrl> &excludeURLs, quint32 flags)
        : watchedURLs(URLs)
        , block(std::move(eventBlock))
        , sinceEventIdentifier(since)
        , latency(latencySeconds)
        , creationFlags(flags)
        , excludedURLs(excludeURLs)
        , ignoreEventsFromSubDirectories(ignoreSubDirectories)
    {
        for (const QUrl &URL : URLs)
            watchedPaths.append(URL.isLocalFile() ? QDir::cleanPath(URL.toLocalFile()) : QString());
    }

    void start();
    void collect();
    void add(const QString &path, quint32 flags);
    void deliver();
    bool passes(const QString &path) const;

    const QList<QUrl> watchedURLs;
    const EventBlock block;
    const quint64 sinceEventIdentifier;
    const double latency;
    const quint32 creationFlags;
    QStringList watchedPaths;

    mutable std::mutex mutex;
    QList<QUrl> excludedURLs;
    bool ignoreEventsFromSubDirectories;
    CDEventsDelegate *delegate = nullptr;
    std::shared_ptr<const CDEvent> lastEvent;

    CDEvents *watcher = nullptr;
    InotifyTree tree;
    std::unique_ptr<QSocketNotifier> notifier;
    std::unique_ptr<QTimer> timer;
    std::vector<Pending> pending;
    QHash<QString, std::size_t> pendingIndex;
};

void CDEvents::Stream::start()
{
    if (!tree.isValid())
        throw CDEventsEventStreamCreationFailureException();
    bool watching = false;
    for (const QString &path : std::as_const(watchedPaths))
        watching = tree.addRoot(path) || watching;
    if (!watching)
        throw CDEventsEventStreamCreationFailureException();

    // Reading only collects; the block runs from the timer, so it may destroy the watcher
    // without pulling the notifier away under its own signal.
    notifier = std::make_unique<QSocketNotifier>(tree.descriptor(), QSocketNotifier::Read);
    QObject::connect(notifier.get(), &QSocketNotifier::activated, notifier.get(), [this] { collect(); });
    timer = std::make_unique<QTimer>();
    timer->setSingleShot(true);
    QObject::connect(timer.get(), &QTimer::timeout, timer.get(), [this] { deliver(); });
}

// Changes of one path within the latency become one event with all their flags.
void CDEvents::Stream::collect()
{
    for (const InotifyTree::Change &change : tree.read()) {
        if (change.mask & IN_Q_OVERFLOW) {
            for (const QString &root : tree.roots())
                add(root, CDEvent::MustScanSubDirectories | CDEvent::KernelDropped);
        } else if (const auto flags = eventFlags(change, creationFlags)) {
            add(change.path, *flags);
        }
    }
    if (!pending.empty() && !timer->isActive())
        timer->start(latencyMilliseconds(latency));
}

void CDEvents::Stream::add(const QString &path, quint32 flags)
{
    const auto found = pendingIndex.constFind(path);
    if (found != pendingIndex.cend()) {
        pending[*found].flags |= flags;
        return;
    }
    pendingIndex.insert(path, pending.size());
    pending.push_back({path, flags});
}

void CDEvents::Stream::deliver()
{
    const std::shared_ptr<Stream> self = shared_from_this();
    timer->stop();
    const std::vector<Pending> batch = std::move(pending);
    pending.clear();
    pendingIndex.clear();

    std::shared_ptr<const CDEvent> last;
    for (const Pending &entry : batch) {
        const auto event = CDEvent::eventWithIdentifier(
            ++lastIdentifier(), QDateTime::currentDateTime(),
            QUrl::fromLocalFile(entry.path).adjusted(QUrl::NormalizePathSegments), entry.flags);
        if (!passes(entry.path))
            continue;
        if (!watcher)
            break;
        block(*watcher, event);
        last = event;
    }
    if (last) {
        std::lock_guard lock(mutex);
        lastEvent = last;
    }
}

bool CDEvents::Stream::passes(const QString &path) const
{
    std::lock_guard lock(mutex);
    if (ignoreEventsFromSubDirectories)
        return watchedPaths.contains(path);
    for (const QUrl &excluded : excludedURLs) {
        // An excluded URL without a path would otherwise be a prefix of everything.
        const QString prefix = excluded.toLocalFile();
        if (!prefix.isEmpty() && path.startsWith(prefix))
            return false;
    }
    return true;
}

CDEvents::CDEvents(const QList<QUrl> &URLs, EventBlock block, QThread *runLoop,
                   quint64 sinceEventIdentifier, double notificationLatency,
                   bool ignoreEventsFromSubDirs, const QList<QUrl> &excludeURLs,
                   quint32 streamCreationFlags)
{
    if (URLs.isEmpty() || !block || runLoop != QThread::currentThread())
        throw std::invalid_argument(invalidArguments);
    m_stream = std::make_shared<Stream>(URLs, std::move(block), sinceEventIdentifier,
                                        notificationLatency, ignoreEventsFromSubDirs,
                                        excludeURLs, streamCreationFlags);
    m_stream->watcher = this;
    m_stream->start();
}

CDEvents::CDEvents(const QList<QUrl> &URLs, EventBlock block, QThread *runLoop)
    : CDEvents(URLs, std::move(block), runLoop, sinceNow, defaultNotificationLatency, false, {},
               defaultStreamCreationFlags)
{
}

namespace {

// The delegate forms check their delegate before anything else.
const QList<QUrl> &URLsWithDelegate(const QList<QUrl> &URLs, const CDEventsDelegate *delegate)
{
    if (!delegate)
        throw std::invalid_argument(invalidArguments);
    return URLs;
}

} // namespace

CDEvents::CDEvents(const QList<QUrl> &URLs, CDEventsDelegate *delegate, QThread *runLoop,
                   quint64 sinceEventIdentifier, double notificationLatency,
                   bool ignoreEventsFromSubDirs, const QList<QUrl> &excludeURLs,
                   quint32 streamCreationFlags)
    : CDEvents(
        URLsWithDelegate(URLs, delegate),
        [](CDEvents &watcher, const std::shared_ptr<const CDEvent> &event) {
            if (CDEventsDelegate *receiver = watcher.delegate())
                receiver->URLWatcher(watcher, event);
        },
        runLoop, sinceEventIdentifier, notificationLatency, ignoreEventsFromSubDirs, excludeURLs,
        streamCreationFlags)
{
    setDelegate(delegate);
}

CDEvents::CDEvents(const QList<QUrl> &URLs, CDEventsDelegate *delegate, QThread *runLoop)
    : CDEvents(URLs, delegate, runLoop, sinceNow, defaultNotificationLatency, false, {},
               defaultStreamCreationFlags)
{
}

CDEvents::~CDEvents()
{
    m_stream->watcher = nullptr;
    setDelegate(nullptr);
}

std::unique_ptr<CDEvents> CDEvents::copy() const
{
    return std::make_unique<CDEvents>(watchedURLs(), eventBlock(), QThread::currentThread(),
                                      sinceEventIdentifier(), notificationLatency(),
                                      ignoreEventsFromSubDirectories(), excludedURLs(),
                                      streamCreationFlags());
}

quint64 CDEvents::currentEventIdentifier()
{
    return lastIdentifier();
}

QList<QUrl> CDEvents::watchedURLs() const
{
    return m_stream->watchedURLs;
}

QList<QUrl> CDEvents::excludedURLs() const
{
    std::lock_guard lock(m_stream->mutex);
    return m_stream->excludedURLs;
}

void CDEvents::setExcludedURLs(const QList<QUrl> &excludedURLs)
{
    std::lock_guard lock(m_stream->mutex);
    m_stream->excludedURLs = excludedURLs;
}

CDEventsDelegate *CDEvents::delegate() const
{
    std::lock_guard lock(m_stream->mutex);
    return m_stream->delegate;
}

void CDEvents::setDelegate(CDEventsDelegate *delegate)
{
    std::lock_guard lock(m_stream->mutex);
    m_stream->delegate = delegate;
}

CDEvents::EventBlock CDEvents::eventBlock() const
{
    return m_stream->block;
}

double CDEvents::notificationLatency() const
{
    return m_stream->latency;
}

quint64 CDEvents::sinceEventIdentifier() const
{
    return m_stream->sinceEventIdentifier;
}

quint32 CDEvents::streamCreationFlags() const
{
    return m_stream->creationFlags;
}

bool CDEvents::ignoreEventsFromSubDirectories() const
{
    std::lock_guard lock(m_stream->mutex);
    return m_stream->ignoreEventsFromSubDirectories;
}

void CDEvents::setIgnoreEventsFromSubDirectories(bool ignore)
{
    std::lock_guard lock(m_stream->mutex);
    m_stream->ignoreEventsFromSubDirectories = ignore;
}

std::shared_ptr<const CDEvent> CDEvents::lastEvent() const
{
    std::lock_guard lock(m_stream->mutex);
    return m_stream->lastEvent;
}

void CDEvents::flushSynchronously()
{
    // The stream may outlive this call when the block destroys the watcher.
    const std::shared_ptr<Stream> stream = m_stream;
    stream->collect();
    stream->deliver();
}

void CDEvents::flushAsynchronously()
{
    const std::weak_ptr<Stream> weak = m_stream;
    QMetaObject::invokeMethod(
        m_stream->timer.get(),
        [weak] {
            if (const auto stream = weak.lock()) {
                stream->collect();
                stream->deliver();
            }
        },
        Qt::QueuedConnection);
}

QString CDEvents::streamDescription() const
{
    return u"inotify stream { descriptor = %1, watches = %2, latency = %3, since = %4, "
           "flags = 0x%5, paths = (%6) }"_s
        .arg(QString::number(m_stream->tree.descriptor()),
             QString::number(m_stream->tree.watchCount()), QString::number(m_stream->latency),
             QString::number(m_stream->sinceEventIdentifier),
             QString::number(m_stream->creationFlags, 16), m_stream->watchedPaths.join(", "_L1));
}

QString CDEvents::description() const
{
    return u"<CDEvents: 0x%1 { watchedURLs = (%2) }>"_s.arg(
        QString::number(quintptr(this), 16), joinedURLs(watchedURLs()));
}
