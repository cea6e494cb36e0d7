#include "FMTestSupport.h"

#include "fmdb/FMDatabase.h"
#include "fmdb/FMDatabaseQueue.h"
#include "fmdb/FMException.h"
#include "support/LogCapture.h"
#include "support/TemporaryFolder.h"

#include <gtest/gtest.h>

#include <QFile>
#include <QRegularExpression>

#include <sqlite3.h>

#include <atomic>
#include <thread>
#include <vector>

using namespace Qt::StringLiterals;

namespace {

class FMDatabaseQueueTest : public ::testing::Test
{
protected:
    void SetUp() override
    {
        m_queue = FMDatabaseQueue::databaseQueueWithPath(m_folder.filePath(u"queue.db"_s));
        ASSERT_TRUE(m_queue);
        m_queue->inDatabase([](FMDatabase *db) { db->executeUpdate(u"create table t (x)"_s); });
    }

    int rows()
    {
        int count = -1;
        m_queue->inDatabase(
            [&](FMDatabase *db) { count = db->intForQuery(u"select count(*) from t"_s); });
        return count;
    }

    TemporaryFolder m_folder;
    std::unique_ptr<FMDatabaseQueue> m_queue;
};

} // namespace

TEST_F(FMDatabaseQueueTest, BlocksFromManyThreadsRunOneAtATime)
{
    std::atomic<int> inside = 0;
    std::atomic<bool> overlapped = false;
    std::vector<std::thread> threads;
    for (int thread = 0; thread < 8; ++thread) {
        threads.emplace_back([&, thread] {
            for (int index = 0; index < 25; ++index) {
                m_queue->inDatabase([&](FMDatabase *db) {
                    if (++inside > 1)
                        overlapped = true;
                    db->executeUpdate(u"insert into t values (?)"_s, thread * 100 + index);
                    --inside;
                });
            }
        });
    }
    for (std::thread &thread : threads)
        thread.join();
    EXPECT_FALSE(overlapped);
    EXPECT_EQ(rows(), 200);
}

TEST_F(FMDatabaseQueueTest, CreationAndReopeningFollowThePathAndFlags)
{
    EXPECT_EQ(m_queue->path(), m_folder.filePath(u"queue.db"_s));
    EXPECT_EQ(m_queue->openFlags(), SQLITE_OPEN_READWRITE | SQLITE_OPEN_CREATE);

    // After close the next block gets a working connection to the same file.
    m_queue->inDatabase([](FMDatabase *db) { db->executeUpdate(u"insert into t values (1)"_s); });
    m_queue->close();
    EXPECT_EQ(rows(), 1);

    {
        LogCapture log;
        const QString missing = m_folder.filePath(u"missing.db"_s);
        EXPECT_EQ(FMDatabaseQueue::databaseQueueWithPath(missing, SQLITE_OPEN_READWRITE), nullptr);
        EXPECT_TRUE(log.contains(u"Could not create database queue for path "_s + missing));
    }

    // A file that is gone by the time of reopening: with create among the flags it is made
    // again, without create the block receives nothing.
    struct Case
    {
        const char *name;
        int flags;
        bool reopens;
    };
    const Case cases[] = {
        {"read-write and create", SQLITE_OPEN_READWRITE | SQLITE_OPEN_CREATE, true},
        {"read-write only", SQLITE_OPEN_READWRITE, false},
    };
    const QString file = m_folder.filePath(u"vanishing.db"_s);
    for (const Case &testCase : cases) {
        SCOPED_TRACE(testCase.name);
        ASSERT_TRUE(FMDatabase::databaseWithPath(file)->open());
        std::unique_ptr<FMDatabaseQueue> queue =
            FMDatabaseQueue::databaseQueueWithPath(file, testCase.flags);
        ASSERT_TRUE(queue);
        queue->close();
        ASSERT_TRUE(QFile::remove(file));
        LogCapture log;
        bool called = false;
        FMDatabase *received = nullptr;
        queue->inDatabase([&](FMDatabase *db) {
            called = true;
            received = db;
        });
        EXPECT_TRUE(called);
        EXPECT_EQ(received != nullptr, testCase.reopens);
        EXPECT_EQ(log.contains(u"FMDatabaseQueue could not reopen database for path "_s + file),
                  !testCase.reopens);
        queue.reset();
        QFile::remove(file);
    }

    // No path: an in-memory database.
    std::unique_ptr<FMDatabaseQueue> memory = FMDatabaseQueue::databaseQueueWithPath(std::nullopt);
    ASSERT_TRUE(memory);
    memory->inDatabase([](FMDatabase *db) { EXPECT_FALSE(db->databasePath().has_value()); });
}

TEST_F(FMDatabaseQueueTest, TransactionsCommitUnlessTheBlockAsksForRollback)
{
    for (const TransactionCase &testCase : transactionCases) {
        SCOPED_TRACE(testCase.name);
        const int before = rows();
        const auto block = [&](FMDatabase *db, bool *rollback) {
            EXPECT_TRUE(db->inTransaction());
            EXPECT_FALSE(*rollback);
            db->executeUpdate(u"insert into t values (1)"_s);
            *rollback = testCase.rollBack;
        };
        if (testCase.deferred)
            m_queue->inDeferredTransaction(block);
        else
            m_queue->inTransaction(block);
        EXPECT_EQ(rows(), before + testCase.rowsAdded);
        m_queue->inDatabase([](FMDatabase *db) { EXPECT_FALSE(db->inTransaction()); });
    }
}

TEST_F(FMDatabaseQueueTest, SavepointsUseConsecutiveNamesAndRollBackOnRequest)
{
    LogCapture log;
    m_queue->inDatabase([](FMDatabase *db) { db->setTraceExecution(true); });
    for (const bool rollBack : {true, false}) {
        const std::optional<RQError> error =
            m_queue->inSavePoint([&](FMDatabase *db, bool *rollback) {
                db->executeUpdate(u"insert into t values (2)"_s);
                *rollback = rollBack;
            });
        EXPECT_FALSE(error.has_value());
    }
    m_queue->inDatabase([](FMDatabase *db) { db->setTraceExecution(false); });
    EXPECT_EQ(rows(), 1);

    QList<long> numbers;
    const QRegularExpression start(u"executeUpdate: savepoint 'savePoint(\\d+)';$"_s);
    for (const QString &line : log.lines()) {
        if (const auto match = start.match(line); match.hasMatch())
            numbers.append(match.captured(1).toLong());
    }
    ASSERT_EQ(numbers.size(), 2);
    EXPECT_EQ(numbers[1], numbers[0] + 1);
}

TEST_F(FMDatabaseQueueTest, ResultSetsLeftOpenAreReported)
{
    LogCapture log;
    std::shared_ptr<FMResultSet> kept;
    m_queue->inDatabase([&](FMDatabase *db) { kept = db->executeQuery(u"select * from t"_s); });
    EXPECT_TRUE(log.contains(u"Warning: there is at least one open result set around after "
                             "performing [FMDatabaseQueue inDatabase:]"_s));
    m_queue->inDatabase([&](FMDatabase *) { kept.reset(); });
}

TEST_F(FMDatabaseQueueTest, AnExceptionInABlockReachesTheCallerAndTheQueueGoesOn)
{
    // A savepoint without a name is the caller's error the layer raises on purpose; raised on
    // the queue's worker it must not end the process.
    const auto insertThenRaise = [](FMDatabase *db, bool *) {
        db->executeUpdate(u"insert into t values (1)"_s);
        db->startSavePointWithName(QString());
    };
    EXPECT_THROW(m_queue->inDatabase([&](FMDatabase *db) { insertThenRaise(db, nullptr); }),
                 FMException);
    EXPECT_EQ(rows(), 1);
    // The work of a transaction or savepoint block that raised is rolled back, and nothing of
    // it stays open for the blocks that follow.
    EXPECT_THROW(m_queue->inTransaction(insertThenRaise), FMException);
    EXPECT_THROW(m_queue->inSavePoint(insertThenRaise), FMException);
    EXPECT_EQ(rows(), 1);
    m_queue->inDatabase([](FMDatabase *db) { EXPECT_FALSE(db->inTransaction()); });
    m_queue->inTransaction(
        [](FMDatabase *db, bool *) { db->executeUpdate(u"insert into t values (2)"_s); });
    EXPECT_EQ(rows(), 2);
}

TEST_F(FMDatabaseQueueTest, AReentrantCallStopsButAnotherQueueRuns)
{
    std::unique_ptr<FMDatabaseQueue> other = FMDatabaseQueue::databaseQueueWithPath(std::nullopt);
    bool nestedRan = false;
    m_queue->inDatabase([&](FMDatabase *) {
        other->inDatabase([&](FMDatabase *db) { nestedRan = db != nullptr; });
    });
    EXPECT_TRUE(nestedRan);

    GTEST_FLAG_SET(death_test_style, "threadsafe");
    EXPECT_DEATH(
        m_queue->inDatabase([&](FMDatabase *) { m_queue->inDatabase({}); }),
        "inDatabase: was called reentrantly on the same queue, which would lead to a deadlock");
}

namespace {

// A connection class of a program's own, and a queue whose connections are of it.
class LabelledDatabase final : public FMDatabase
{
public:
    using FMDatabase::FMDatabase;

    static std::shared_ptr<FMDatabase> databaseWithPath(std::optional<QString> path)
    {
        return std::make_shared<LabelledDatabase>(PrivateTag{}, std::move(path));
    }
};

class LabelledQueue final : public FMDatabaseQueue
{
public:
    using FMDatabaseQueue::FMDatabaseQueue;

protected:
    DatabaseClass databaseClass() const override { return &LabelledDatabase::databaseWithPath; }
};

bool isLabelled(const FMDatabase *db)
{
    return dynamic_cast<const LabelledDatabase *>(db) != nullptr;
}

} // namespace

TEST_F(FMDatabaseQueueTest, ASubclassGivesItsBlocksConnectionsOfItsDatabaseClass)
{
    const QString file = m_folder.filePath(u"queue.db"_s);
    const std::unique_ptr<LabelledQueue> queue = FMDatabaseQueue::databaseQueueWithPath<LabelledQueue>(file);
    ASSERT_TRUE(queue);
    const auto insertReportingLabel = [&queue] {
        bool labelled = false;
        queue->inDatabase([&labelled](FMDatabase *db) {
            labelled = isLabelled(db);
            EXPECT_TRUE(db && db->executeUpdate(u"insert into t values (1)"_s));
        });
        return labelled;
    };
    EXPECT_TRUE(insertReportingLabel());
    queue->close();
    EXPECT_TRUE(insertReportingLabel()) << "a connection opened again is of the class too";
    bool labelledInTransaction = false;
    queue->inTransaction([&](FMDatabase *db, bool *) { labelledInTransaction = isLabelled(db); });
    EXPECT_TRUE(labelledInTransaction);

    // The rows went to the file, and a plain queue's connections stay plain.
    EXPECT_EQ(rows(), 2);
    m_queue->inDatabase([](FMDatabase *db) { EXPECT_FALSE(isLabelled(db)); });
}
