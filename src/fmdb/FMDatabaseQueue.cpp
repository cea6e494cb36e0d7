#include "fmdb/FMDatabaseQueue.h"

#include "fmdb/FMDatabase.h"
#include "fmdb/FMDescription.h"
#include "fmdb/FMQueueSync.h"
#include "platform/SerialQueue.h"
#include "platform/SystemLog.h"

#include <atomic>

using namespace Qt::StringLiterals;

FMDatabaseQueue::FMDatabaseQueue(PrivateTag, std::optional<QString> path, int flags)
    : m_path(std::move(path))
    , m_queue(
          std::make_unique<SerialQueue>(u"fmdb."_s + fm_objectDescription("FMDatabaseQueue", this)))
    , m_openFlags(flags)
{}

FMDatabaseQueue::~FMDatabaseQueue()
{
    // Stop the worker before the connection goes: nothing may still be using it.
    m_queue.reset();
}

void FMDatabaseQueue::stopIfReentrant(const char *operation) const
{
    if (m_queue->isCurrent())
        qFatal("%s was called reentrantly on the same queue, which would lead to a deadlock",
               operation);
}

void FMDatabaseQueue::close()
{
    stopIfReentrant("close");
    fm_syncPassingExceptions(*m_queue, [this] {
        if (m_db)
            m_db->close();
        m_db.reset();
    });
}

FMDatabaseQueue::DatabaseClass FMDatabaseQueue::databaseClass() const
{
    return [](std::optional<QString> path) { return FMDatabase::databaseWithPath(std::move(path)); };
}

bool FMDatabaseQueue::openAtCreation()
{
    m_db = openedConnection();
    if (!m_db) {
        SystemLog::write(
            u"Could not create database queue for path %1"_s.arg(m_path.value_or(u"(null)"_s)));
    }
    return m_db != nullptr;
}

std::shared_ptr<FMDatabase> FMDatabaseQueue::openedConnection() const
{
    std::shared_ptr<FMDatabase> db = databaseClass()(m_path);
    if (!db || !db->openWithFlags(m_openFlags))
        return nullptr;
    return db;
}

FMDatabase *FMDatabaseQueue::database()
{
    if (!m_db) {
        m_db = openedConnection();
        if (!m_db) {
            SystemLog::write(u"FMDatabaseQueue could not reopen database for path %1"_s.arg(
                m_path.value_or(u"(null)"_s)));
        }
    }
    return m_db.get();
}

void FMDatabaseQueue::inDatabase(const DatabaseBlock &block)
{
    stopIfReentrant("inDatabase:");
    fm_syncPassingExceptions(*m_queue, [&] {
        FMDatabase *db = database();
        if (block)
            block(db);
        if (db && db->hasOpenResultSets()) {
            SystemLog::write(u"Warning: there is at least one open result set around after "
                             "performing [FMDatabaseQueue inDatabase:]"_s);
        }
    });
}

void FMDatabaseQueue::inTransaction(const RollbackBlock &block)
{
    beginTransaction(false, block);
}

void FMDatabaseQueue::inDeferredTransaction(const RollbackBlock &block)
{
    beginTransaction(true, block);
}

void FMDatabaseQueue::beginTransaction(bool deferred, const RollbackBlock &block)
{
    stopIfReentrant(deferred ? "inDeferredTransaction:" : "inTransaction:");
    fm_syncPassingExceptions(
        *m_queue, [&] { FMDatabase::inTransactionOn(database(), deferred, block); });
}

std::optional<RQError> FMDatabaseQueue::inSavePoint(const RollbackBlock &block)
{
    static std::atomic<long> savePointCounter = 0;
    stopIfReentrant("inSavePoint:");
    std::optional<RQError> error;
    fm_syncPassingExceptions(*m_queue, [&] {
        const QString name = u"savePoint%1"_s.arg(savePointCounter.fetch_add(1));
        error = FMDatabase::inSavePointOn(database(), name, block);
    });
    return error;
}
