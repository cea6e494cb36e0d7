#pragma once

#include "platform/RQError.h"

#include <QString>

#include <functional>
#include <memory>
#include <optional>

class FMDatabase;
class SerialQueue;

// Lets several threads share one connection: every operation runs the caller's block on a
// serial queue of its own and waits for it, so blocks from different threads use the
// connection one after another, in the order the queue receives them. Any thread may call
// any operation, but never from a block running on this queue (that would wait for itself;
// every operation stops the process with an assertion instead).
//
// Blocks receive the connection, or nullptr when it could not be reopened after close(). An
// exception a block raises reaches the caller of the operation (a transaction or savepoint of
// that block rolled back first), and the queue goes on serving blocks.
//
// A subclass that overrides databaseClass() has connections of its own FMDatabase subclass;
// it inherits the constructor and is made by databaseQueueWithPath<Subclass>().
class FMDatabaseQueue
{
protected:
    struct PrivateTag
    {
        explicit PrivateTag() = default;
    };

public:
    using DatabaseBlock = std::function<void(FMDatabase *db)>;
    using RollbackBlock = std::function<void(FMDatabase *db, bool *rollback)>;
    // Makes an unopened connection for a path, as FMDatabase::databaseWithPath does.
    using DatabaseClass = std::function<std::shared_ptr<FMDatabase>(std::optional<QString> path)>;

    // A queue of the given class whose connection, of its databaseClass(), is opened with the
    // flags (default: read-write and create); nullptr, after a log line, when it cannot be
    // opened. No path is an in-memory database.
    template<typename Queue = FMDatabaseQueue>
    static std::unique_ptr<Queue> databaseQueueWithPath(std::optional<QString> path, int flags = 6)
    {
        auto queue = std::make_unique<Queue>(PrivateTag{}, std::move(path), flags);
        if (!queue->openAtCreation())
            return nullptr;
        return queue;
    }

    // Not opened yet: databaseQueueWithPath() opens it once the whole object exists, so that
    // a subclass's databaseClass() is the one asked.
    FMDatabaseQueue(PrivateTag, std::optional<QString> path, int flags);
    virtual ~FMDatabaseQueue();
    FMDatabaseQueue(const FMDatabaseQueue &) = delete;
    FMDatabaseQueue &operator=(const FMDatabaseQueue &) = delete;

    std::optional<QString> path() const { return m_path; }
    int openFlags() const { return m_openFlags; }

    // Closes the connection; the next operation opens it again with the same path and flags.
    void close();

    void inDatabase(const DatabaseBlock &block);
    // Exclusive and deferred transactions around the block; setting *rollback rolls back,
    // else the work is committed.
    void inTransaction(const RollbackBlock &block);
    void inDeferredTransaction(const RollbackBlock &block);
    // A savepoint around the block; no value when every step succeeded, else the error of
    // the last step that failed.
    std::optional<RQError> inSavePoint(const RollbackBlock &block);

protected:
    // The class of the queue's connections, at creation and at every reopening:
    // FMDatabase's own unless a subclass answers another.
    virtual DatabaseClass databaseClass() const;

private:
    // Logs and answers false when the first connection cannot be opened.
    bool openAtCreation();
    // A connection of databaseClass() for the path, opened with the flags; nullptr on failure.
    std::shared_ptr<FMDatabase> openedConnection() const;
    // On the queue: the connection, reopened when needed.
    FMDatabase *database();
    void beginTransaction(bool deferred, const RollbackBlock &block);
    // Every operation checks: a call from the queue's own block would wait for itself.
    void stopIfReentrant(const char *operation) const;

    std::optional<QString> m_path;
    std::unique_ptr<SerialQueue> m_queue;
    std::shared_ptr<FMDatabase> m_db;
    int m_openFlags = 0;
};
