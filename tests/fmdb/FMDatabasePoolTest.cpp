#include "FMTestSupport.h"

#include "fmdb/FMDatabase.h"
#include "fmdb/FMDatabasePool.h"
#include "fmdb/FMDatabasePoolDelegate.h"
#include "fmdb/FMException.h"
#include "support/LogCapture.h"
#include "support/TemporaryFolder.h"

#include <gtest/gtest.h>

#include <sqlite3.h>

#include <thread>
#include <vector>

using namespace Qt::StringLiterals;

namespace {

// Answers as told and remembers what it heard.
class RecordingDelegate final : public FMDatabasePoolDelegate
{
public:
    bool databasePoolShouldAddDatabaseToPool(FMDatabasePool *, FMDatabase *database) override
    {
        asked.push_back(database->weak_from_this());
        return answer;
    }
    void databasePoolDidAddDatabase(FMDatabasePool *, FMDatabase *) override { ++added; }

    bool answer = true;
    std::vector<std::weak_ptr<FMDatabase>> asked;
    int added = 0;
};

class FMDatabasePoolTest : public ::testing::Test
{
protected:
    void SetUp() override
    {
        m_pool = FMDatabasePool::databasePoolWithPath(m_folder.filePath(u"pool.db"_s));
        m_pool->inDatabase(
            [](FMDatabase *db) { ASSERT_TRUE(db->executeUpdate(u"create table t (x)"_s)); });
    }

    int rows()
    {
        int count = -1;
        m_pool->inDatabase(
            [&](FMDatabase *db) { count = db->intForQuery(u"select count(*) from t"_s); });
        return count;
    }

    TemporaryFolder m_folder;
    std::unique_ptr<FMDatabasePool> m_pool;
};

} // namespace

TEST_F(FMDatabasePoolTest, ConnectionsAreReusedLastInFirstOut)
{
    RecordingDelegate delegate;
    m_pool->setDelegate(&delegate);
    EXPECT_EQ(m_pool->countOfCheckedInDatabases(), 1u);
    EXPECT_EQ(m_pool->countOfCheckedOutDatabases(), 0u);

    FMDatabase *first = nullptr;
    m_pool->inDatabase([&](FMDatabase *db) {
        first = db;
        EXPECT_EQ(m_pool->countOfCheckedOutDatabases(), 1u);
        m_pool->inDatabase([&](FMDatabase *inner) {
            EXPECT_NE(inner, db);
            EXPECT_EQ(m_pool->countOfOpenDatabases(), 2u);
        });
    });
    EXPECT_EQ(delegate.added, 1) << "only the second connection was new";
    EXPECT_EQ(m_pool->countOfCheckedInDatabases(), 2u);
    m_pool->inDatabase(
        [&](FMDatabase *db) { EXPECT_EQ(db, first) << "the one returned last comes first"; });
    EXPECT_EQ(delegate.added, 1);

    m_pool->releaseAllDatabases();
    EXPECT_EQ(m_pool->countOfOpenDatabases(), 0u);
    for (const std::weak_ptr<FMDatabase> &database : delegate.asked)
        EXPECT_TRUE(database.expired());
}

TEST_F(FMDatabasePoolTest, TheMaximumBoundsHowManyConnectionsExist)
{
    m_pool->setMaximumNumberOfDatabasesToCreate(2);
    LogCapture log;
    bool innermostGotNothing = false;
    bool savePointBlockRan = false;
    std::optional<RQError> savePointError;
    m_pool->inDatabase([&](FMDatabase *a) {
        m_pool->inDatabase([&](FMDatabase *b) {
            EXPECT_TRUE(a && b);
            m_pool->inDatabase([&](FMDatabase *c) { innermostGotNothing = c == nullptr; });
            m_pool->inTransaction([&](FMDatabase *c, bool *) { EXPECT_EQ(c, nullptr); });
            savePointError =
                m_pool->inSavePoint([&](FMDatabase *, bool *) { savePointBlockRan = true; });
        });
    });
    EXPECT_TRUE(innermostGotNothing);
    EXPECT_FALSE(savePointBlockRan);
    EXPECT_FALSE(savePointError.has_value());
    EXPECT_EQ(log.lines().count(u"Maximum number of databases (2) has already been reached!"_s), 3);
    EXPECT_EQ(m_pool->countOfOpenDatabases(), 2u);
}

TEST_F(FMDatabasePoolTest, ARefusingDelegateLeavesThePoolWithoutConnections)
{
    m_pool->releaseAllDatabases();
    RecordingDelegate delegate;
    delegate.answer = false;
    m_pool->setDelegate(&delegate);
    for (int attempt = 0; attempt < 2; ++attempt)
        m_pool->inDatabase([](FMDatabase *db) { EXPECT_EQ(db, nullptr); });
    EXPECT_EQ(delegate.asked.size(), 2u);
    for (const std::weak_ptr<FMDatabase> &database : delegate.asked)
        EXPECT_TRUE(database.expired()) << "refused connections are closed and let go";
    EXPECT_EQ(delegate.added, 0);
    EXPECT_EQ(m_pool->countOfOpenDatabases(), 0u);
}

TEST_F(FMDatabasePoolTest, WithoutAPathEachConnectionHasItsOwnMemoryDatabase)
{
    FMDatabasePool pool;
    EXPECT_FALSE(pool.path().has_value());
    EXPECT_EQ(pool.openFlags(), SQLITE_OPEN_READWRITE | SQLITE_OPEN_CREATE);
    pool.inDatabase([&](FMDatabase *a) {
        ASSERT_TRUE(a->executeUpdate(u"create table mine (x)"_s));
        pool.inDatabase([&](FMDatabase *b) { EXPECT_FALSE(b->tableExists(u"mine"_s)); });
    });
}

TEST_F(FMDatabasePoolTest, PushingBackAConnectionTwiceIsACallersError)
{
    std::shared_ptr<FMDatabase> db;
    m_pool->inDatabase([&](FMDatabase *database) { db = database->shared_from_this(); });
    try {
        m_pool->pushDatabaseBackInPool(db);
        ADD_FAILURE() << "no exception";
    } catch (const FMException &exception) {
        EXPECT_EQ(exception.name(), u"Database already in pool"_s);
        EXPECT_EQ(exception.reason(),
                  u"The FMDatabase being put back into the pool is already present in the pool"_s);
    }
    EXPECT_EQ(m_pool->countOfCheckedInDatabases(), 1u);
    m_pool->pushDatabaseBackInPool(nullptr);
    EXPECT_EQ(m_pool->countOfOpenDatabases(), 1u);
}

TEST_F(FMDatabasePoolTest, AnExceptionInABlockReachesTheCallerAndReturnsTheConnection)
{
    EXPECT_THROW(m_pool->executeLocked([] { throw FMException(u"raised"_s, u"when locked"_s); }),
                 FMException);

    // With one connection allowed, a connection kept out (or a transaction kept open) by a
    // block that raised would leave the next caller without one.
    m_pool->setMaximumNumberOfDatabasesToCreate(1);
    const auto insertThenRaise = [](FMDatabase *db, bool *) {
        ASSERT_NE(db, nullptr) << "no connection left";
        db->executeUpdate(u"insert into t values (1)"_s);
        db->startSavePointWithName(QString());
    };
    EXPECT_THROW(m_pool->inDatabase([&](FMDatabase *db) { insertThenRaise(db, nullptr); }),
                 FMException);
    EXPECT_THROW(m_pool->inTransaction(insertThenRaise), FMException);
    EXPECT_THROW(m_pool->inSavePoint(insertThenRaise), FMException);
    ASSERT_EQ(m_pool->countOfCheckedOutDatabases(), 0u);
    EXPECT_EQ(rows(), 1) << "only the plain block's row stays";
    m_pool->inDatabase([](FMDatabase *db) {
        ASSERT_NE(db, nullptr);
        EXPECT_FALSE(db->inTransaction());
    });
}

TEST_F(FMDatabasePoolTest, TransactionsAndSavepointsFromSeveralThreads)
{
    std::vector<std::thread> threads;
    for (int thread = 0; thread < 4; ++thread) {
        threads.emplace_back([&, thread] {
            for (int index = 0; index < 10; ++index) {
                m_pool->inTransaction([&](FMDatabase *db, bool *rollback) {
                    EXPECT_TRUE(db->executeUpdate(u"insert into t values (?)"_s, thread));
                    *rollback = index % 2 == 1;
                });
            }
        });
    }
    for (std::thread &thread : threads)
        thread.join();
    EXPECT_EQ(rows(), 20) << "the rolled-back half left nothing";
    EXPECT_EQ(m_pool->countOfCheckedOutDatabases(), 0u);
    EXPECT_LE(m_pool->countOfOpenDatabases(), 4u);

    const std::optional<RQError> error = m_pool->inSavePoint([](FMDatabase *db, bool *rollback) {
        db->executeUpdate(u"delete from t"_s);
        *rollback = true;
    });
    EXPECT_FALSE(error.has_value());
    m_pool->inDeferredTransaction(
        [](FMDatabase *db, bool *) { db->executeUpdate(u"insert into t values (9)"_s); });
    EXPECT_EQ(rows(), 21);
}
