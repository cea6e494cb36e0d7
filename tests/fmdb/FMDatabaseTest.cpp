#include "FMTestSupport.h"

#include "fmdb/FMDatabase.h"
#include "fmdb/FMStatement.h"
#include "support/LogCapture.h"
#include "support/TemporaryFolder.h"

#include <gtest/gtest.h>

#include <QFile>

#include <sqlite3.h>

#include <atomic>
#include <chrono>
#include <thread>

using namespace Qt::StringLiterals;

namespace {

class FMDatabaseTest : public ::testing::Test
{
protected:
    QString path(const QString &name = u"test.db"_s) const { return m_folder.filePath(name); }

    // A database file with one table "t" (id, name) holding one row.
    QString makeDatabaseFile(const QString &name = u"test.db"_s) const
    {
        const std::shared_ptr<FMDatabase> db = openedDatabase(path(name));
        db->executeStatements(u"create table t (id integer primary key, name text);"
                              "insert into t (name) values ('first');"_s);
        db->close();
        return path(name);
    }

    TemporaryFolder m_folder;
};

} // namespace

TEST_F(FMDatabaseTest, OpenFlagsDecideWhetherAFileIsMadeAndWritten)
{
    struct Case
    {
        const char *name;
        bool fileExists;
        int flags; // 0: open() with the engine's default
        bool opens;
        bool writes;
    };
    const Case cases[] = {
        {"default creates", false, 0, true, true},
        {"read-write needs the file", false, SQLITE_OPEN_READWRITE, false, false},
        {"read-write + create", false, SQLITE_OPEN_READWRITE | SQLITE_OPEN_CREATE, true, true},
        {"read-write on a file", true, SQLITE_OPEN_READWRITE, true, true},
        {"read-write + WAL on a file", true, 0x80002, true, true},
        {"read-only on a file", true, SQLITE_OPEN_READONLY, true, false},
    };
    for (const Case &testCase : cases) {
        SCOPED_TRACE(testCase.name);
        const QString file = path(QString::fromLatin1(testCase.name) + u".db"_s);
        if (testCase.fileExists)
            makeDatabaseFile(QString::fromLatin1(testCase.name) + u".db"_s);
        LogCapture log;
        const std::shared_ptr<FMDatabase> db = FMDatabase::databaseWithPath(file);
        EXPECT_FALSE(QFile::exists(file) && !testCase.fileExists) << "creation touches no file";
        const bool opened = testCase.flags ? db->openWithFlags(testCase.flags) : db->open();
        EXPECT_EQ(opened, testCase.opens);
        EXPECT_EQ(QFile::exists(file), testCase.opens);
        if (!opened) {
            EXPECT_EQ(db->lastErrorCode(), SQLITE_CANTOPEN);
            EXPECT_TRUE(log.contains(u"error opening!: 14"_s))
                << log.lines().join(u'\n').toStdString();
            continue;
        }
        EXPECT_EQ(db->executeUpdate(
                      u"create table if not exists t (id integer primary key, name text)"_s) &&
                      db->executeUpdate(u"insert into t (name) values (?)"_s, u"second"_s),
                  testCase.writes);
        if (!testCase.writes) {
            EXPECT_EQ(db->lastErrorCode(), SQLITE_READONLY);
        }
    }
}

TEST_F(FMDatabaseTest, FailedOpenKeepsTheEngineErrorAndASecondOpenTriesAgain)
{
    const QString file = path(u"later.db"_s);
    const std::shared_ptr<FMDatabase> db = FMDatabase::databaseWithPath(file);
    ASSERT_FALSE(db->openWithFlags(SQLITE_OPEN_READWRITE));
    EXPECT_NE(db->sqliteHandle(), nullptr) << "the failed handle tells what went wrong";
    EXPECT_FALSE(db->lastErrorMessage().isEmpty());
    EXPECT_TRUE(db->hadError());
    {
        LogCapture log;
        EXPECT_EQ(db->executeQuery(u"select 1"_s), nullptr) << "a failed open is not open";
        EXPECT_TRUE(log.contains(u"The FMDatabase %1 is not open."_s.arg(db->description())));
    }
    makeDatabaseFile(u"later.db"_s);
    EXPECT_TRUE(db->openWithFlags(SQLITE_OPEN_READWRITE));
    EXPECT_EQ(db->intForQuery(u"select count(*) from t"_s), 1);
    EXPECT_TRUE(db->close());
    EXPECT_EQ(db->sqliteHandle(), nullptr);
}

TEST_F(FMDatabaseTest, PathKindsAndRepeatedOpenAndClose)
{
    // No path: each connection has a database of its own in memory.
    const std::shared_ptr<FMDatabase> memoryA = openedDatabase();
    const std::shared_ptr<FMDatabase> memoryB = openedDatabase();
    ASSERT_TRUE(memoryA && memoryB);
    EXPECT_FALSE(memoryA->databasePath().has_value());
    EXPECT_TRUE(memoryA->executeUpdate(u"create table only_a (x)"_s));
    EXPECT_FALSE(memoryB->tableExists(u"only_a"_s));

    // An empty path: the engine's private temporary database, usable like any other.
    const std::shared_ptr<FMDatabase> temporary = openedDatabase(u""_s);
    ASSERT_TRUE(temporary);
    EXPECT_EQ(temporary->databasePath(), u""_s);
    EXPECT_TRUE(temporary->executeUpdate(u"create table x (y)"_s));
    EXPECT_TRUE(temporary->tableExists(u"x"_s));

    // open() on an open connection keeps the handle; close() twice is harmless; reopening works.
    const std::shared_ptr<FMDatabase> db = openedDatabase(makeDatabaseFile());
    sqlite3 *handle = db->sqliteHandle();
    EXPECT_TRUE(db->open());
    EXPECT_EQ(db->sqliteHandle(), handle);
    EXPECT_TRUE(db->goodConnection());
    EXPECT_TRUE(db->close());
    EXPECT_TRUE(db->close());
    EXPECT_FALSE(db->goodConnection());
    EXPECT_TRUE(db->open());
    EXPECT_EQ(db->stringForQuery(u"select name from t"_s), u"first"_s);
}

TEST_F(FMDatabaseTest, ClosingFinalisesLeakedStatementsAndDetachesOpenResultSets)
{
    const std::shared_ptr<FMDatabase> db = openedDatabase(makeDatabaseFile());
    // One statement prepared behind the layer's back, one kept alive after its result set.
    sqlite3_stmt *raw = nullptr;
    ASSERT_EQ(sqlite3_prepare_v2(db->sqliteHandle(), "select 1", -1, &raw, nullptr), SQLITE_OK);
    std::shared_ptr<FMStatement> kept;
    {
        const std::shared_ptr<FMResultSet> finished = db->executeQuery(u"select id from t"_s);
        kept = finished->statement();
    }
    const std::shared_ptr<FMResultSet> open = db->executeQuery(u"select name from t"_s);
    ASSERT_TRUE(open);
    EXPECT_TRUE(db->hasOpenResultSets());

    LogCapture log;
    EXPECT_TRUE(db->close());
    EXPECT_EQ(db->sqliteHandle(), nullptr);
    EXPECT_FALSE(db->hasOpenResultSets());
    EXPECT_EQ(log.lines().count(u"Closing leaked statement"_s), 2);
    EXPECT_EQ(kept->statement(), nullptr) << "finalised through its wrapper, never twice";
    EXPECT_EQ(open->parentDB(), nullptr);
    EXPECT_EQ(open->statement(), nullptr);
    EXPECT_FALSE(open->next());
    EXPECT_TRUE(
        log.contains(u"Error calling sqlite3_step (21: bad parameter or other API misuse) rs"_s))
        << log.lines().join(u'\n').toStdString();
}

TEST_F(FMDatabaseTest, AnOpenResultSetKeepsItsConnectionAlive)
{
    std::weak_ptr<FMDatabase> weak;
    std::shared_ptr<FMResultSet> resultSet;
    {
        const std::shared_ptr<FMDatabase> db = openedDatabase(makeDatabaseFile());
        weak = db;
        resultSet = db->executeQuery(u"select name from t"_s);
    }
    ASSERT_FALSE(weak.expired());
    ASSERT_TRUE(resultSet->next());
    EXPECT_EQ(resultSet->stringForColumn(u"name"_s), u"first"_s);
    EXPECT_FALSE(resultSet->next());
    EXPECT_TRUE(weak.expired()) << "the ending step closed the set and let the connection go";
}

TEST_F(FMDatabaseTest, BusyRetriesAreBoundedByTheMaximumInterval)
{
    const QString file = makeDatabaseFile();
    const std::shared_ptr<FMDatabase> holder = openedDatabase(file);
    for (const double interval : {0.0, 0.2}) {
        SCOPED_TRACE(interval);
        const std::shared_ptr<FMDatabase> db = FMDatabase::databaseWithPath(file);
        db->setMaxBusyRetryTimeInterval(interval); // before opening: applied on open
        ASSERT_TRUE(db->open());
        // Prepared while the file is free; the other connection then takes the write lock.
        const std::shared_ptr<FMResultSet> resultSet = db->executeQuery(u"select * from t"_s);
        ASSERT_TRUE(resultSet);
        ASSERT_TRUE(holder->beginTransaction());

        LogCapture log;
        EXPECT_FALSE(db->executeUpdate(u"insert into t (name) values ('blocked')"_s));
        EXPECT_EQ(db->lastErrorCode(), SQLITE_BUSY);
        EXPECT_EQ(db->lastError().code(), SQLITE_BUSY);
        EXPECT_EQ(db->lastError().domain(), u"FMDatabase"_s);
        EXPECT_TRUE(
            log.contains(u"Unknown error calling sqlite3_step (5: database is locked) eu"_s))
            << log.lines().join(u'\n').toStdString();

        RQError error;
        EXPECT_FALSE(resultSet->nextWithError(&error));
        EXPECT_EQ(error.code(), SQLITE_BUSY);
        EXPECT_TRUE(log.contains(u"Database busy"_s));
        EXPECT_EQ(resultSet->statement(), nullptr);
        EXPECT_TRUE(holder->commit());
    }
}

TEST_F(FMDatabaseTest, BusyWaitSucceedsWhenTheLockGoesInTime)
{
    const QString file = makeDatabaseFile();
    const std::shared_ptr<FMDatabase> holder = openedDatabase(file);
    ASSERT_TRUE(holder->beginTransaction());

    const std::shared_ptr<FMDatabase> db = openedDatabase(file);
    db->setMaxBusyRetryTimeInterval(60.0);
    std::atomic<bool> finished = false;
    bool updated = false;
    std::thread writer([&] {
        updated = db->executeUpdate(u"insert into t (name) values ('after the lock')"_s);
        finished = true;
    });
    std::this_thread::sleep_for(std::chrono::milliseconds(300));
    EXPECT_FALSE(finished) << "the writer must still be waiting for the lock";
    EXPECT_TRUE(holder->commit());
    writer.join();
    EXPECT_TRUE(updated);
    EXPECT_EQ(db->intForQuery(u"select count(*) from t"_s), 2);
}

TEST_F(FMDatabaseTest, GuardsRefuseAClosedConnectionAndOverlappingUse)
{
    const std::shared_ptr<FMDatabase> closed = FMDatabase::databaseWithPath(path());
    {
        LogCapture log;
        EXPECT_EQ(closed->executeQuery(u"select 1"_s), nullptr);
        EXPECT_FALSE(closed->executeUpdate(u"create table x (y)"_s));
        EXPECT_EQ(closed->lastInsertRowId(), 0);
        EXPECT_EQ(closed->changes(), 0);
        EXPECT_EQ(log.lines().count(u"The FMDatabase %1 is not open."_s.arg(closed->description())),
                  2);
    }

    // A SQL function that runs a query on its own connection while that connection is
    // executing the statement that called it.
    const std::shared_ptr<FMDatabase> db = openedDatabase();
    bool innerRefused = false;
    db->makeFunctionNamed(u"reenter"_s, 0, [&](sqlite3_context *context, int, sqlite3_value **) {
        innerRefused = db->executeQuery(u"select 1"_s) == nullptr && db->changes() == 0;
        sqlite3_result_int(context, 1);
    });
    LogCapture log;
    EXPECT_TRUE(db->executeUpdate(u"create table x as select reenter() as y"_s));
    EXPECT_TRUE(innerRefused);
    EXPECT_EQ(log.lines().count(u"The FMDatabase %1 is currently in use."_s.arg(db->description())),
              2);
    EXPECT_EQ(db->intForQuery(u"select y from x"_s), 1);
}

TEST_F(FMDatabaseTest, CrashOnErrorsStopsTheProcess)
{
    GTEST_FLAG_SET(death_test_style, "threadsafe");
    const std::shared_ptr<FMDatabase> closed = FMDatabase::databaseWithPath(path());
    closed->setCrashOnErrors(true);
    EXPECT_DEATH(closed->executeQuery(u"select 1"_s), "is not open");

    const std::shared_ptr<FMDatabase> db = openedDatabase();
    db->setCrashOnErrors(true);
    EXPECT_DEATH(db->executeQuery(u"selec 1"_s), "DB Error: 1");
}

TEST_F(FMDatabaseTest, ErrorStateFollowsTheEngine)
{
    const std::shared_ptr<FMDatabase> db = openedDatabase();
    EXPECT_EQ(db->lastErrorCode(), SQLITE_OK);
    EXPECT_FALSE(db->hadError());

    const std::shared_ptr<FMResultSet> resultSet =
        db->executeQuery(u"select 1 union all select 2"_s);
    ASSERT_TRUE(resultSet->next());
    EXPECT_EQ(db->lastErrorCode(), SQLITE_ROW);
    EXPECT_FALSE(db->hadError());
    EXPECT_TRUE(resultSet->hasAnotherRow());
    ASSERT_TRUE(resultSet->next());
    EXPECT_FALSE(resultSet->next());
    EXPECT_FALSE(db->hadError()) << "done is no error";

    LogCapture log;
    RQError error;
    EXPECT_FALSE(db->executeUpdateWithErrorAndBindings(u"creat table x (y)"_s, &error));
    EXPECT_EQ(db->lastErrorCode(), SQLITE_ERROR);
    EXPECT_TRUE(db->hadError());
    EXPECT_EQ(error.domain(), u"FMDatabase"_s);
    EXPECT_EQ(error.code(), SQLITE_ERROR);
    EXPECT_EQ(error.localizedDescription(), db->lastErrorMessage());
    EXPECT_EQ(log.lines(),
              (QStringList{u"DB Error: 1 \"%1\""_s.arg(db->lastErrorMessage()),
                           u"DB Query: creat table x (y)"_s, u"DB Path: (null)"_s}));

    // Without logsErrors the failure is quiet, and still a failure.
    db->setLogsErrors(false);
    LogCapture quiet;
    EXPECT_FALSE(db->executeUpdate(u"creat table x (y)"_s));
    EXPECT_TRUE(quiet.lines().isEmpty());
}

TEST_F(FMDatabaseTest, InsertedRowIdAndChanges)
{
    const std::shared_ptr<FMDatabase> db = openedDatabase(makeDatabaseFile());
    EXPECT_TRUE(db->executeUpdate(u"insert into t (name) values (?), (?)"_s, u"a"_s, u"b"_s));
    EXPECT_EQ(db->lastInsertRowId(), 3);
    EXPECT_EQ(db->changes(), 2);
    EXPECT_TRUE(db->executeUpdate(u"update t set name = 'c'"_s));
    EXPECT_EQ(db->changes(), 3);
}

TEST_F(FMDatabaseTest, FixedAnswersOfTheLayer)
{
    EXPECT_EQ(FMDatabase::FMDBUserVersion(), u"2.5"_s);
    EXPECT_EQ(FMDatabase::FMDBVersion(), 0x250u);
    EXPECT_EQ(FMDatabase::sqliteLibVersion(), QString::fromLatin1(sqlite3_libversion()));
    EXPECT_TRUE(FMDatabase::isSQLiteThreadSafe());

    const std::shared_ptr<FMDatabase> db = openedDatabase();
    EXPECT_FALSE(db->setKey(u"secret"_s));
    EXPECT_FALSE(db->rekey(u"secret"_s));
    EXPECT_EQ(db->maxBusyRetryTimeInterval(), 2.0);
    LogCapture log;
    EXPECT_EQ(db->busyRetryTimeout(), -1);
    db->setBusyRetryTimeout(5);
    EXPECT_TRUE(log.contains(
        u"FMDB: busyRetryTimeout no longer works, please use maxBusyRetryTimeInterval"_s));
    EXPECT_TRUE(log.contains(
        u"FMDB: setBusyRetryTimeout does nothing, please use setMaxBusyRetryTimeInterval:"_s));
    EXPECT_EQ(db->maxBusyRetryTimeInterval(), 2.0);
}
