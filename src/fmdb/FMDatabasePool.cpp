#include "fmdb/FMDatabasePool.h"

#include "fmdb/FMDatabase.h"
#include "fmdb/FMDatabasePoolDelegate.h"
#include "fmdb/FMDescription.h"
#include "fmdb/FMException.h"
#include "fmdb/FMQueueSync.h"
#include "platform/SerialQueue.h"
#include "platform/SystemLog.h"

#include <algorithm>
#include <atomic>

using namespace Qt::StringLiterals;

std::unique_ptr<FMDatabasePool> FMDatabasePool::databasePoolWithPath(std::optional<QString> path,
                                                                     int flags)
{
    return std::make_unique<FMDatabasePool>(std::move(path), flags);
}

FMDatabasePool::FMDatabasePool(std::optional<QString> path, int flags)
    : m_path(std::move(path))
    , m_lockQueue(
          std::make_unique<SerialQueue>(u"fmdb."_s + fm_objectDescription("FMDatabasePool", this)))
    , m_openFlags(flags)
{}

FMDatabasePool::~FMDatabasePool() = default;

void FMDatabasePool::executeLocked(const std::function<void()> &block)
{
    fm_syncPassingExceptions(*m_lockQueue, block);
}

void FMDatabasePool::pushDatabaseBackInPool(const std::shared_ptr<FMDatabase> &db)
{
    if (!db)
        return;
    bool alreadyInPool = false;
    executeLocked([&] {
        alreadyInPool = std::ranges::find(m_databaseInPool, db) != m_databaseInPool.end();
        if (alreadyInPool)
            return;
        m_databaseInPool.push_back(db);
        std::erase(m_databaseOutPool, db);
    });
    // Raised here, on the caller's thread: an exception must not escape the lock queue's worker.
    if (alreadyInPool) {
        throw FMException(
            u"Database already in pool"_s,
            u"The FMDatabase being put back into the pool is already present in the pool"_s);
    }
}

std::shared_ptr<FMDatabase> FMDatabasePool::db()
{
    std::shared_ptr<FMDatabase> db;
    executeLocked([&] {
        bool isNew = false;
        if (!m_databaseInPool.empty()) {
            db = m_databaseInPool.back();
            m_databaseInPool.pop_back();
            m_databaseOutPool.push_back(db);
        } else {
            const std::size_t count = m_databaseInPool.size() + m_databaseOutPool.size();
            if (m_maximumNumberOfDatabasesToCreate != 0 &&
                count >= m_maximumNumberOfDatabasesToCreate) {
                SystemLog::write(
                    u"Maximum number of databases (%1) has already been reached!"_s.arg(count));
                return;
            }
            db = FMDatabase::databaseWithPath(m_path);
            isNew = true;
        }

        if (!db->openWithFlags(m_openFlags)) {
            SystemLog::write(
                u"Could not open up the database at path %1"_s.arg(m_path.value_or(u"(null)"_s)));
            std::erase(m_databaseOutPool, db);
            db.reset();
            return;
        }
        if (m_delegate && !m_delegate->databasePoolShouldAddDatabaseToPool(this, db.get())) {
            db->close();
            // Refused connections leave the lists, so that they do not count against the maximum.
            std::erase(m_databaseOutPool, db);
            db.reset();
            return;
        }
        if (std::ranges::find(m_databaseOutPool, db) == m_databaseOutPool.end()) {
            m_databaseOutPool.push_back(db);
            if (isNew && m_delegate)
                m_delegate->databasePoolDidAddDatabase(this, db.get());
        }
    });
    return db;
}

std::size_t FMDatabasePool::countOfCheckedInDatabases()
{
    std::size_t count = 0;
    executeLocked([&] { count = m_databaseInPool.size(); });
    return count;
}

std::size_t FMDatabasePool::countOfCheckedOutDatabases()
{
    std::size_t count = 0;
    executeLocked([&] { count = m_databaseOutPool.size(); });
    return count;
}

std::size_t FMDatabasePool::countOfOpenDatabases()
{
    std::size_t count = 0;
    executeLocked([&] { count = m_databaseInPool.size() + m_databaseOutPool.size(); });
    return count;
}

void FMDatabasePool::releaseAllDatabases()
{
    executeLocked([&] {
        m_databaseInPool.clear();
        m_databaseOutPool.clear();
    });
}

void FMDatabasePool::inDatabase(const DatabaseBlock &block)
{
    withDatabase([&](FMDatabase *database) {
        if (block)
            block(database);
    });
}

void FMDatabasePool::inTransaction(const RollbackBlock &block)
{
    beginTransaction(false, block);
}

void FMDatabasePool::inDeferredTransaction(const RollbackBlock &block)
{
    beginTransaction(true, block);
}

void FMDatabasePool::beginTransaction(bool deferred, const RollbackBlock &block)
{
    withDatabase(
        [&](FMDatabase *database) { FMDatabase::inTransactionOn(database, deferred, block); });
}

std::optional<RQError> FMDatabasePool::inSavePoint(const RollbackBlock &block)
{
    static std::atomic<long> savePointCounter = 0;
    const QString name = u"savePoint%1"_s.arg(savePointCounter.fetch_add(1));
    std::optional<RQError> error;
    withDatabase([&](FMDatabase *database) {
        error = FMDatabase::inSavePointOn(database, name, block);
    });
    return error;
}

void FMDatabasePool::withDatabase(const DatabaseBlock &body)
{
    const std::shared_ptr<FMDatabase> database = db();
    try {
        body(database.get());
    } catch (...) {
        // Otherwise the connection stays checked out for good and counts against the maximum.
        pushDatabaseBackInPool(database);
        throw;
    }
    pushDatabaseBackInPool(database);
}
