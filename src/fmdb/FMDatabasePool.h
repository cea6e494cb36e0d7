#pragma once

#include "platform/RQError.h"

#include <QString>

#include <cstddef>
#include <functional>
#include <memory>
#include <optional>
#include <vector>

class FMDatabase;
class FMDatabasePoolDelegate;
class SerialQueue;

// Keeps open connections to one database file and hands one out per operation, so that
// threads work on the file in parallel, each with its own connection. Connections are made on
// demand and reused last in, first out; a maximum (0: none) bounds how many exist. The lists
// are guarded by a serial lock queue; blocks and statements run on the caller's thread. Any
// thread may use the pool, but never from inside an executeLocked() block or a delegate call.
class FMDatabasePool final
{
public:
    using DatabaseBlock = std::function<void(FMDatabase *db)>;
    using RollbackBlock = std::function<void(FMDatabase *db, bool *rollback)>;

    // Opens nothing yet. No path gives every connection an in-memory database of its own;
    // the flags default to read-write and create.
    static std::unique_ptr<FMDatabasePool> databasePoolWithPath(std::optional<QString> path,
                                                                int flags = 6);
    explicit FMDatabasePool(std::optional<QString> path = std::nullopt, int flags = 6);
    ~FMDatabasePool();
    FMDatabasePool(const FMDatabasePool &) = delete;
    FMDatabasePool &operator=(const FMDatabasePool &) = delete;

    std::optional<QString> path() const { return m_path; }
    int openFlags() const { return m_openFlags; }
    // Not owned; it must outlive its use by the pool. Set it before other threads use the pool.
    FMDatabasePoolDelegate *delegate() const { return m_delegate; }
    void setDelegate(FMDatabasePoolDelegate *delegate) { m_delegate = delegate; }
    quint64 maximumNumberOfDatabasesToCreate() const { return m_maximumNumberOfDatabasesToCreate; }
    void setMaximumNumberOfDatabasesToCreate(quint64 maximum)
    {
        m_maximumNumberOfDatabasesToCreate = maximum;
    }

    // Runs the block on the lock queue and waits for it.
    void executeLocked(const std::function<void()> &block);
    // Returns a connection that was handed out. Pushing back one that is already checked in
    // is a caller's error: FMException "Database already in pool".
    void pushDatabaseBackInPool(const std::shared_ptr<FMDatabase> &db);

    std::size_t countOfCheckedInDatabases();
    std::size_t countOfCheckedOutDatabases();
    std::size_t countOfOpenDatabases();
    // Forgets every connection; each closes when its last holder lets go.
    void releaseAllDatabases();

    // The block receives a connection of its own, or nullptr when none could be had. An
    // exception the block raises reaches the caller, after the connection went back into the
    // pool (with its transaction or savepoint rolled back). So does one raised in executeLocked().
    void inDatabase(const DatabaseBlock &block);
    void inTransaction(const RollbackBlock &block);
    void inDeferredTransaction(const RollbackBlock &block);
    // Without a connection the block is skipped and no error is answered.
    std::optional<RQError> inSavePoint(const RollbackBlock &block);

private:
    // A connection, checked out, or nullptr; all of it under the lock.
    std::shared_ptr<FMDatabase> db();
    void beginTransaction(bool deferred, const RollbackBlock &block);
    // Checks a connection out (nullptr when none could be had), runs the body with it and
    // pushes it back, also when the body raises.
    void withDatabase(const DatabaseBlock &body);

    std::optional<QString> m_path;
    std::unique_ptr<SerialQueue> m_lockQueue;
    std::vector<std::shared_ptr<FMDatabase>> m_databaseInPool;
    std::vector<std::shared_ptr<FMDatabase>> m_databaseOutPool;
    FMDatabasePoolDelegate *m_delegate = nullptr;
    quint64 m_maximumNumberOfDatabasesToCreate = 0;
    int m_openFlags = 0;
};
