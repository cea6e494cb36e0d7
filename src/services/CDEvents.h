#pragma once

#include "services/CDEvent.h"

#include <QList>
#include <QString>
#include <QThread>
#include <QUrl>

#include <functional>
#include <memory>
#include <stdexcept>

class CDEvents;

// Receives the events of a watcher made with a delegate.
class CDEventsDelegate
{
public:
    virtual ~CDEventsDelegate() = default;
    virtual void URLWatcher(CDEvents &watcher, const std::shared_ptr<const CDEvent> &event) = 0;
};

// Raised when the watcher cannot watch: no inotify instance, or none of the folders could be
// watched.
class CDEventsEventStreamCreationFailureException final : public std::runtime_error
{
public:
    CDEventsEventStreamCreationFailureException() : std::runtime_error("Failed to create event stream.") {}
};

// Watches folders, and every folder below them, and hands each change to a block.
//
// Changes are collected for the latency and then delivered as one batch on the event loop of
// the thread that made the watcher, each path once per batch with the flags of all its
// changes, identifiers increasing. Inotify keeps no history, so only changes after the start
// are seen. The constructors raise std::invalid_argument with "Invalid arguments passed to
// CDEvents init-method." for missing folders, block or delegate, or for a run loop other than
// the current thread's, and CDEventsEventStreamCreationFailureException when watching fails.
// The block may destroy the watcher; no further event of that batch is then delivered.
class CDEvents final
{
public:
    using EventBlock = std::function<void(CDEvents &watcher, const std::shared_ptr<const CDEvent> &event)>;

    // Stream creation flags.
    enum StreamCreationFlag : quint32 {
        UseCFTypes = 0x1,
        // Report a watched folder itself being moved or removed (RootChanged).
        WatchRoot = 0x4,
    };
    static constexpr quint64 sinceNow = ~quint64(0);
    static constexpr double defaultNotificationLatency = 3.0;
    static constexpr quint32 defaultStreamCreationFlags = UseCFTypes | WatchRoot;

    CDEvents(const QList<QUrl> &URLs, EventBlock block, QThread *runLoop,
             quint64 sinceEventIdentifier, double notificationLatency,
             bool ignoreEventsFromSubDirs, const QList<QUrl> &excludeURLs,
             quint32 streamCreationFlags);
    CDEvents(const QList<QUrl> &URLs, EventBlock block, QThread *runLoop = QThread::currentThread());
    // The delegate is not owned and must outlive the watcher or be cleared first.
    CDEvents(const QList<QUrl> &URLs, CDEventsDelegate *delegate, QThread *runLoop,
             quint64 sinceEventIdentifier, double notificationLatency,
             bool ignoreEventsFromSubDirs, const QList<QUrl> &excludeURLs,
             quint32 streamCreationFlags);
    CDEvents(const QList<QUrl> &URLs, CDEventsDelegate *delegate,
             QThread *runLoop = QThread::currentThread());
    ~CDEvents();
    CDEvents(const CDEvents &) = delete;
    CDEvents &operator=(const CDEvents &) = delete;

    // A new watcher on the current thread with the same folders, block, latency, start
    // identifier, subfolder flag, exclusions and creation flags, and no delegate.
    std::unique_ptr<CDEvents> copy() const;

    // The identifier of the newest event made in this process.
    static quint64 currentEventIdentifier();

    QList<QUrl> watchedURLs() const;
    // Events whose path begins with the path of one of these (a plain text prefix) are
    // dropped; ignored while ignoreEventsFromSubDirectories is set.
    QList<QUrl> excludedURLs() const;
    void setExcludedURLs(const QList<QUrl> &excludedURLs);
    CDEventsDelegate *delegate() const;
    void setDelegate(CDEventsDelegate *delegate);
    EventBlock eventBlock() const;
    double notificationLatency() const;
    quint64 sinceEventIdentifier() const;
    quint32 streamCreationFlags() const;
    // Only events of the watched folders themselves are delivered.
    bool ignoreEventsFromSubDirectories() const;
    void setIgnoreEventsFromSubDirectories(bool ignore);
    // The last event delivered, or nothing.
    std::shared_ptr<const CDEvent> lastEvent() const;

    // Delivers what has happened so far: now, or on the next turn of the event loop.
    void flushSynchronously();
    void flushAsynchronously();

    QString streamDescription() const;
    QString description() const;

private:
    struct Stream;

    std::shared_ptr<Stream> m_stream;
};
