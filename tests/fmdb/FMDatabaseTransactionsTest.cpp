#include "FMTestSupport.h"

#include "fmdb/FMDatabase.h"
#include "fmdb/FMException.h"
#include "support/LogCapture.h"
#include "support/TemporaryFolder.h"

#include <gtest/gtest.h>

#include <QRegularExpression>

#include <sqlite3.h>

using namespace Qt::StringLiterals;

namespace {

class FMDatabaseTransactionsTest : public FMDatabaseFixture
{
protected:
    void SetUp() override { openDatabase(u"transactions.db"_s, u"create table t (x)"_s); }

    int rows() { return m_db->intForQuery(u"select count(*) from t"_s); }
};

} // namespace

TEST_F(FMDatabaseTransactionsTest, TheFlagFollowsSuccessfulTransactionStatements)
{
    for (const TransactionCase &testCase : transactionCases) {
        SCOPED_TRACE(testCase.name);
        ASSERT_TRUE(m_db->executeUpdate(u"delete from t"_s));
        ASSERT_TRUE(testCase.deferred ? m_db->beginDeferredTransaction()
                                      : m_db->beginTransaction());
        EXPECT_TRUE(m_db->inTransaction());
        EXPECT_TRUE(m_db->executeUpdate(u"insert into t values (1)"_s));
        EXPECT_TRUE(testCase.rollBack ? m_db->rollback() : m_db->commit());
        EXPECT_FALSE(m_db->inTransaction());
        EXPECT_EQ(rows(), testCase.rowsAdded);
    }

    // Failures leave the flag as it was.
    LogCapture log;
    EXPECT_FALSE(m_db->commit());
    EXPECT_FALSE(m_db->inTransaction());
    EXPECT_EQ(m_db->lastErrorCode(), SQLITE_ERROR);
    ASSERT_TRUE(m_db->beginTransaction());
    EXPECT_FALSE(m_db->beginDeferredTransaction());
    EXPECT_TRUE(m_db->inTransaction());
    EXPECT_TRUE(m_db->rollback());
}

TEST_F(FMDatabaseTransactionsTest, SavepointNamesStayOneQuotedString)
{
    for (const QString &name : {u"plain"_s, u"it's"_s, u"''; drop table t; --"_s}) {
        SCOPED_TRACE(name.toStdString());
        m_db->setTraceExecution(true);
        LogCapture log;
        ASSERT_TRUE(m_db->startSavePointWithName(name));
        m_db->setTraceExecution(false);
        QString quoted = name;
        quoted.replace(u"'"_s, u"''"_s);
        EXPECT_TRUE(
            log.contains(u"%1 executeUpdate: savepoint '%2';"_s.arg(m_db->description(), quoted)));
        EXPECT_TRUE(m_db->executeUpdate(u"insert into t values (1)"_s));
        EXPECT_TRUE(m_db->rollbackToSavePointWithName(name));
        EXPECT_TRUE(m_db->releaseSavePointWithName(name));
        EXPECT_EQ(rows(), 0);
        EXPECT_TRUE(m_db->tableExists(u"t"_s));
    }

    RQError error;
    EXPECT_FALSE(m_db->releaseSavePointWithName(u"never started"_s, &error));
    EXPECT_EQ(error.domain(), u"FMDatabase"_s);
    EXPECT_EQ(error.code(), SQLITE_ERROR);
    EXPECT_EQ(error.localizedDescription(), u"no such savepoint: never started"_s);
    EXPECT_THROW(m_db->startSavePointWithName(QString()), FMException);
}

TEST_F(FMDatabaseTransactionsTest, InSavePointRollsBackOnRequestAndAlwaysReleases)
{
    QStringList names;
    m_db->setTraceExecution(true);
    for (const bool rollBack : {true, false}) {
        LogCapture log;
        const std::optional<RQError> error = m_db->inSavePoint([&](bool *rollback) {
            EXPECT_FALSE(*rollback);
            m_db->executeUpdate(u"insert into t values (1)"_s);
            *rollback = rollBack;
        });
        EXPECT_FALSE(error.has_value());
        const QRegularExpression start(u"executeUpdate: savepoint '(dbSavePoint\\d+)';$"_s);
        for (const QString &line : log.lines()) {
            if (const auto match = start.match(line); match.hasMatch())
                names.append(match.captured(1));
        }
        EXPECT_EQ(log.lines().filter(u"rollback transaction to savepoint"_s).size(),
                  rollBack ? 1 : 0);
        EXPECT_EQ(log.lines().filter(u"release savepoint"_s).size(), 1);
    }
    m_db->setTraceExecution(false);
    EXPECT_EQ(rows(), 1);
    ASSERT_EQ(names.size(), 2);
    EXPECT_EQ(names[1].mid(11).toLong(), names[0].mid(11).toLong() + 1) << "consecutive numbers";

    // A savepoint that cannot start skips the block and answers the error.
    m_db->close();
    bool ran = false;
    LogCapture log;
    const std::optional<RQError> error = m_db->inSavePoint([&](bool *) { ran = true; });
    EXPECT_FALSE(ran);
    ASSERT_TRUE(error.has_value());
    EXPECT_EQ(*error, m_db->lastError());
    EXPECT_TRUE(m_db->hadError());
}

TEST_F(FMDatabaseTransactionsTest, RegisteredFunctionsAreCalledPerRow)
{
    ASSERT_TRUE(m_db->executeUpdate(u"insert into t values (2), (3), (4)"_s));
    QList<int> arguments;
    m_db->makeFunctionNamed(u"triple"_s, 1,
                            [&](sqlite3_context *context, int count, sqlite3_value **values) {
                                EXPECT_EQ(count, 1);
                                arguments.append(sqlite3_value_int(values[0]));
                                sqlite3_result_int(context, 3 * sqlite3_value_int(values[0]));
                            });
    m_db->makeFunctionNamed(u"argc"_s, -1,
                            [](sqlite3_context *context, int count, sqlite3_value **) {
                                sqlite3_result_int(context, count);
                            });
    EXPECT_EQ(m_db->intForQuery(u"select sum(triple(x)) from t"_s), 27);
    EXPECT_EQ(arguments, (QList<int>{2, 3, 4}));
    EXPECT_EQ(m_db->intForQuery(u"select argc(1, 2, 3, 4, 5)"_s), 5);
    EXPECT_EQ(m_db->executeQuery(u"select triple(1, 2)"_s), nullptr)
        << "the argument count is enforced";

    // Registering on a closed connection is refused instead of reaching a missing handle.
    const std::shared_ptr<FMDatabase> closed = FMDatabase::databaseWithPath(std::nullopt);
    LogCapture log;
    closed->makeFunctionNamed(u"f"_s, 0, [](sqlite3_context *, int, sqlite3_value **) {});
    EXPECT_TRUE(log.contains(u"The FMDatabase %1 is not open."_s.arg(closed->description())));
}
