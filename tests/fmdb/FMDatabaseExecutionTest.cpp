#include "FMTestSupport.h"

#include "fmdb/FMDatabase.h"
#include "fmdb/FMStatement.h"
#include "support/LogCapture.h"
#include "support/TemporaryFolder.h"

#include <gtest/gtest.h>

#include <QTimeZone>

#include <sqlite3.h>

#include <limits>

using namespace Qt::StringLiterals;

namespace {

class FMDatabaseExecutionTest : public FMDatabaseFixture
{
protected:
    void SetUp() override { openDatabase(u"execution.db"_s, u"create table t (a, b)"_s); }

    // typeof() and quote() of the one value stored in t.
    std::pair<QString, QString> storedTypeAndText()
    {
        const std::shared_ptr<FMResultSet> resultSet =
            m_db->executeQuery(u"select typeof(a), quote(a) from t"_s);
        if (!resultSet || !resultSet->next())
            return {};
        std::pair<QString, QString> stored{resultSet->stringForColumnIndex(0),
                                           resultSet->stringForColumnIndex(1)};
        resultSet->close();
        return stored;
    }
};

} // namespace

TEST_F(FMDatabaseExecutionTest, BindingFollowsTheValueKindAndStorageType)
{
    const QDateTime date = QDateTime::fromMSecsSinceEpoch(1'500'000'000'250, QTimeZone::utc());
    struct Case
    {
        const char *name;
        FMValue value;
        const char *type;
        const char *quoted;
    };
    const Case cases[] = {
        {"nil", FMValue(), "null", "NULL"},
        {"null marker", FMValue::null(), "null", "NULL"},
        {"bytes", QByteArray("ab\0c", 4), "blob", "X'61620063'"},
        {"empty bytes are a zero-length blob", QByteArray(), "blob", "X''"},
        {"bool", true, "integer", "1"},
        {"signed 8-bit", static_cast<signed char>(-5), "integer", "-5"},
        {"unsigned 16-bit", static_cast<unsigned short>(65535), "integer", "65535"},
        {"signed 32-bit", std::numeric_limits<int>::min(), "integer", "-2147483648"},
        {"unsigned 32-bit keeps its range", std::numeric_limits<unsigned int>::max(), "integer",
         "4294967295"},
        {"signed 64-bit", std::numeric_limits<long long>::max(), "integer", "9223372036854775807"},
        {"unsigned 64-bit as signed bits", std::numeric_limits<unsigned long long>::max(),
         "integer", "-1"},
        {"float widened", 0.5f, "real", "0.5"},
        {"double", 2.25, "real", "2.25"},
        {"text", u"caf\u00e9 'x'"_s, "text", "'caf\u00e9 ''x'''"},
        {"UTF-8 text", "plain", "text", "'plain'"},
        {"date as seconds since 1970", date, "real", "1500000000.25"},
    };
    for (const Case &testCase : cases) {
        SCOPED_TRACE(testCase.name);
        ASSERT_TRUE(m_db->executeUpdate(u"delete from t"_s));
        ASSERT_TRUE(m_db->executeUpdate(u"insert into t (a) values (?)"_s, testCase.value));
        const auto [type, quoted] = storedTypeAndText();
        EXPECT_EQ(type, QString::fromLatin1(testCase.type));
        EXPECT_EQ(quoted.toUtf8(), QByteArray(testCase.quoted));
    }
}

TEST_F(FMDatabaseExecutionTest, DatesGoThroughTheFormatterWhenOneIsSet)
{
    const QDateTime date(QDate(2021, 3, 4), QTime(5, 6, 7), QTimeZone::utc());
    m_db->setDateFormat(FMDatabase::storeableDateFormat(u"yyyy-MM-dd HH:mm:ss"_s));
    EXPECT_TRUE(m_db->hasDateFormatter());
    ASSERT_TRUE(m_db->executeUpdate(u"insert into t (a) values (?)"_s, date));
    EXPECT_EQ(storedTypeAndText(), std::make_pair(u"text"_s, u"'2021-03-04 05:06:07'"_s));
    EXPECT_EQ(m_db->dateForQuery(u"select a from t"_s), date);

    m_db->setDateFormat(std::nullopt);
    EXPECT_FALSE(m_db->hasDateFormatter());
    ASSERT_TRUE(m_db->executeUpdate(u"update t set a = ?"_s, date));
    EXPECT_EQ(m_db->dateForQuery(u"select a from t"_s), date);
    EXPECT_EQ(m_db->doubleForQuery(u"select a from t"_s),
              static_cast<double>(date.toSecsSinceEpoch()));
}

TEST_F(FMDatabaseExecutionTest, BoundTextAndBytesOutliveTheirValues)
{
    // The values die before the statement is stepped: the engine must hold copies.
    const auto bindFromAScopeThatEnds = [this](int rowNumber) {
        QString text = u"text of row %1 "_s.arg(rowNumber).repeated(50);
        QByteArray bytes(4096, static_cast<char>('a' + rowNumber));
        FMValueList values{text, bytes};
        std::shared_ptr<FMResultSet> resultSet =
            m_db->executeQueryWithArgumentsInArray(u"select ?, ?"_s, values);
        text.fill(u'#');
        bytes.fill('#');
        values.clear();
        return resultSet;
    };
    for (const bool caching : {false, true}) {
        SCOPED_TRACE(caching);
        m_db->setShouldCacheStatements(caching);
        for (int row = 0; row < 3; ++row) {
            const std::shared_ptr<FMResultSet> resultSet = bindFromAScopeThatEnds(row);
            ASSERT_TRUE(resultSet && resultSet->next());
            EXPECT_EQ(resultSet->stringForColumnIndex(0),
                      u"text of row %1 "_s.arg(row).repeated(50));
            EXPECT_EQ(resultSet->dataForColumnIndex(1),
                      QByteArray(4096, static_cast<char>('a' + row)));
            resultSet->close();
        }
    }

    // Binding straight onto an engine statement, then stepping after the value has gone.
    sqlite3_stmt *raw = nullptr;
    ASSERT_EQ(sqlite3_prepare_v2(m_db->sqliteHandle(), "select ?", -1, &raw, nullptr), SQLITE_OK);
    {
        const FMValue value(u"short-lived %1"_s.arg(42));
        m_db->bindObject(value, 1, raw);
    }
    ASSERT_EQ(sqlite3_step(raw), SQLITE_ROW);
    EXPECT_STREQ(reinterpret_cast<const char *>(sqlite3_column_text(raw, 0)), "short-lived 42");
    sqlite3_finalize(raw);
}

TEST_F(FMDatabaseExecutionTest, TheBindCountMustMatchTheParameters)
{
    const QString queryLine =
        u"Error: the bind count is not correct for the # of variables (executeQuery)"_s;
    struct Case
    {
        const char *name;
        QString parameters;
        FMValueList values;
        bool succeeds;
    };
    const Case cases[] = {
        {"no parameters, no values", u""_s, {}, true},
        {"an extra value is ignored", u""_s, {7}, true},
        {"exact", u", ?, ?"_s, {1, 2}, true},
        {"one value short", u", ?, ?"_s, {1}, false},
    };
    for (const Case &testCase : cases) {
        SCOPED_TRACE(testCase.name);
        LogCapture log;
        const QString query = u"select 0"_s + testCase.parameters;
        EXPECT_EQ(m_db->executeQueryWithArgumentsInArray(query, testCase.values) != nullptr,
                  testCase.succeeds);
        EXPECT_EQ(log.contains(queryLine), !testCase.succeeds);

        const QString update = u"update t set a = a where 0 in (0"_s + testCase.parameters + u')';
        EXPECT_EQ(m_db->executeUpdateWithArgumentsInArray(update, testCase.values),
                  testCase.succeeds);
        const QString updateLine = u"Error: the bind count (1) is not correct for the # of "
                                   "variables in the query (2) (%1) (executeUpdate)"_s.arg(update);
        EXPECT_EQ(log.contains(updateLine), !testCase.succeeds);
    }
}

TEST_F(FMDatabaseExecutionTest, NamedParametersComeFromADictionary)
{
    LogCapture log;
    EXPECT_TRUE(m_db->executeUpdateWithParameterDictionary(
        u"insert into t (a, b) values (:a, :b)"_s,
        {{u"a"_s, 1}, {u"b"_s, u"two"_s}, {u"unused"_s, 3}}));
    EXPECT_TRUE(log.contains(u"Could not find index for unused"_s));
    EXPECT_EQ(m_db->stringForQuery(u"select b from t where a = 1"_s), u"two"_s);

    EXPECT_FALSE(m_db->executeUpdateWithParameterDictionary(
        u"insert into t (a, b) values (:a, :b)"_s, {{u"a"_s, 1}}));
    const std::shared_ptr<FMResultSet> resultSet =
        m_db->executeQueryWithParameterDictionary(u"select b from t where a = :a"_s, {{u"a"_s, 1}});
    ASSERT_TRUE(resultSet && resultSet->next());
    EXPECT_EQ(resultSet->stringForColumnIndex(0), u"two"_s);
}

TEST_F(FMDatabaseExecutionTest, TheStatementCacheReusesStatementsThatAreNotInUse)
{
    const QString query = u"select a from t where a = ?"_s;
    m_db->setShouldCacheStatements(true);
    ASSERT_TRUE(m_db->executeUpdate(u"insert into t (a) values (1), (2)"_s));

    for (int value : {1, 2}) {
        const std::shared_ptr<FMResultSet> resultSet = m_db->executeQuery(query, value);
        ASSERT_TRUE(resultSet && resultSet->next());
        EXPECT_EQ(resultSet->intForColumnIndex(0), value);
        resultSet->close();
    }
    ASSERT_EQ(m_db->cachedStatements().at(query).size(), 1u);
    const std::shared_ptr<FMStatement> cached = m_db->cachedStatements().at(query).front();
    EXPECT_EQ(cached->useCount(), 2);
    EXPECT_EQ(cached->query(), query);
    EXPECT_FALSE(cached->inUse());
    EXPECT_EQ(cached->description(),
              u"<FMStatement: 0x%1> 2 hit(s) for query %2"_s.arg(
                  QString::number(reinterpret_cast<quintptr>(cached.get()), 16), query));

    // Two result sets of one text open at once need two statements, both cached.
    const std::shared_ptr<FMResultSet> first = m_db->executeQuery(query, 1);
    const std::shared_ptr<FMResultSet> second = m_db->executeQuery(query, 2);
    EXPECT_EQ(first->statement(), cached);
    EXPECT_TRUE(cached->inUse());
    EXPECT_NE(second->statement(), cached);
    EXPECT_EQ(m_db->cachedStatements().at(query).size(), 2u);
    first->close();
    second->close();

    // A cached statement whose binding fails is finalised and leaves the cache.
    EXPECT_EQ(m_db->executeQuery(query), nullptr);
    EXPECT_EQ(m_db->cachedStatements().at(query).size(), 1u);
    EXPECT_EQ(m_db->intForQuery(query, 2), 2);

    // Updates are cached and counted as well.
    const QString update = u"update t set b = ? where a = 1"_s;
    EXPECT_TRUE(m_db->executeUpdate(update, 10));
    EXPECT_TRUE(m_db->executeUpdate(update, 11));
    ASSERT_EQ(m_db->cachedStatements().at(update).size(), 1u);
    EXPECT_EQ(m_db->cachedStatements().at(update).front()->useCount(), 2);
    EXPECT_EQ(m_db->intForQuery(u"select b from t where a = 1"_s), 11);

    m_db->clearCachedStatements();
    EXPECT_TRUE(m_db->cachedStatements().empty());
    EXPECT_EQ(cached->statement(), nullptr);
    EXPECT_EQ(m_db->intForQuery(query, 1), 1);
    m_db->setShouldCacheStatements(false);
    EXPECT_TRUE(m_db->cachedStatements().empty());
    EXPECT_EQ(m_db->intForQuery(query, 1), 1);
    EXPECT_TRUE(m_db->cachedStatements().empty());
}

TEST_F(FMDatabaseExecutionTest, StepFailuresOfUpdatesAreLoggedAndAnswered)
{
    ASSERT_TRUE(m_db->executeUpdate(u"create table u (x unique)"_s));
    ASSERT_TRUE(m_db->executeUpdate(u"insert into u values (1)"_s));
    m_db->makeFunctionNamed(u"fail"_s, 0, [](sqlite3_context *context, int, sqlite3_value **) {
        sqlite3_result_error(context, "no luck", -1);
    });
    struct Case
    {
        const char *name;
        QString sql;
        int code;
        QString stepLine;
    };
    const Case cases[] = {
        {"constraint", u"insert into u values (1)"_s, SQLITE_CONSTRAINT,
         u"Unknown error calling sqlite3_step (19: UNIQUE constraint failed: u.x) eu"_s},
        {"error", u"insert into u select fail()"_s, SQLITE_ERROR,
         u"Error calling sqlite3_step (1: no luck) SQLITE_ERROR"_s},
        {"a row", u"select * from u"_s, SQLITE_ROW,
         u"Unknown error calling sqlite3_step (100: another row available) eu"_s},
    };
    for (const Case &testCase : cases) {
        SCOPED_TRACE(testCase.name);
        LogCapture log;
        RQError error(u"untouched"_s, 0, {});
        EXPECT_FALSE(m_db->executeUpdateWithErrorAndBindings(testCase.sql, &error));
        EXPECT_EQ(error.domain(), u"untouched"_s) << "the error tells preparation failures only";
        EXPECT_TRUE(log.contains(testCase.stepLine)) << log.lines().join(u'\n').toStdString();
        EXPECT_TRUE(log.contains(u"DB Query: "_s + testCase.sql));
        if (testCase.code == SQLITE_ROW) {
            EXPECT_TRUE(log.contains(
                u"A executeUpdate is being called with a query string '%1'"_s.arg(testCase.sql)));
        } else {
            EXPECT_EQ(m_db->lastErrorCode(), testCase.code);
        }
    }
    EXPECT_EQ(m_db->intForQuery(u"select count(*) from u"_s), 1);
}

TEST_F(FMDatabaseExecutionTest, FormatExtractionTurnsConversionsIntoParameters)
{
    struct Case
    {
        const char *name;
        QString format;
        FMValueList values;
        QString sql;
        FMValueList arguments;
    };
    const Case cases[] = {
        {"object", u"a = %@"_s, {u"x"_s}, u"a = ?"_s, {u"x"_s}},
        {"nil object", u"a = %@ and b = %@"_s, {FMValue(), 2}, u"a = NULL and b = ?"_s, {2}},
        {"character", u"%c"_s, {65}, u"?"_s, {u"A"_s}},
        {"text", u"%s"_s, {"utf8"}, u"?"_s, {u"utf8"_s}},
        {"signed 32-bit", u"%d %D %i"_s, {1LL, 2, 3}, u"? ? ?"_s, {1, 2, 3}},
        {"unsigned 32-bit", u"%u%U"_s, {4, 5}, u"??"_s, {4u, 5u}},
        {"16-bit",
         u"%hi %hu"_s,
         {-1, 65535},
         u"? ?"_s,
         {static_cast<short>(-1), static_cast<unsigned short>(65535)}},
        {"64-bit", u"%qi %qu %lld %llu"_s, {-1, 2, -3, 4}, u"? ? ? ?"_s, {-1LL, 2ULL, -3LL, 4ULL}},
        {"long", u"%ld %lu"_s, {-6, 7}, u"? ?"_s, {-6L, 7UL}},
        {"double and float", u"%f %g"_s, {1.5, 2.5}, u"? ?"_s, {1.5, 2.5f}},
        {"percent and unknown letters are copied",
         u"100%% %x %hx %llx"_s,
         {},
         u"100% x hx llx"_s,
         {}},
        {"a lone percent at the end is dropped", u"a%"_s, {}, u"a"_s, {}},
        {"NUL characters are not copied", u"a\0b"_s, {}, u"ab"_s, {}},
        {"missing values read nil", u"%@ %d"_s, {}, u"NULL ?"_s, {0}},
    };
    for (const Case &testCase : cases) {
        SCOPED_TRACE(testCase.name);
        QString sql;
        FMValueList arguments;
        FMDatabase::extractSQL(testCase.format, testCase.values, sql, arguments);
        EXPECT_EQ(sql, testCase.sql);
        EXPECT_EQ(arguments, testCase.arguments);
    }

    ASSERT_TRUE(
        m_db->executeUpdateWithFormat(u"insert into t (a, b) values (%d, %@)"_s, 3, u"three"_s));
    const std::shared_ptr<FMResultSet> resultSet =
        m_db->executeQueryWithFormat(u"select b from t where a = %d and b is not %@"_s, 3, nullptr);
    ASSERT_TRUE(resultSet && resultSet->next());
    EXPECT_EQ(resultSet->stringForColumnIndex(0), u"three"_s);
    EXPECT_EQ(resultSet->query(), u"select b from t where a = ? and b is not NULL"_s);
}

TEST_F(FMDatabaseExecutionTest, ScriptsRunWholeAndReportRows)
{
    ASSERT_TRUE(m_db->executeStatements(
        u"insert into t values (1, 'x'); insert into t values (2, null);"_s));
    QList<QMap<QString, FMValue>> rows;
    EXPECT_TRUE(m_db->executeStatementsWithResultBlock(u"select a, b as B from t order by a"_s,
                                                       [&](const QMap<QString, FMValue> &row) {
                                                           rows.append(row);
                                                           return 0;
                                                       }));
    ASSERT_EQ(rows.size(), 2);
    EXPECT_EQ(rows[0], (QMap<QString, FMValue>{{u"a"_s, u"1"_s}, {u"B"_s, u"x"_s}}));
    EXPECT_EQ(rows[1], (QMap<QString, FMValue>{{u"a"_s, u"2"_s}, {u"B"_s, FMValue::null()}}));

    int calls = 0;
    EXPECT_FALSE(m_db->executeStatementsWithResultBlock(u"select a from t"_s, [&](const auto &) {
        ++calls;
        return 1;
    })) << "a non-zero answer stops the script";
    EXPECT_EQ(calls, 1);

    LogCapture log;
    EXPECT_FALSE(m_db->executeStatements(u"insert into t values (3, 3); bogus;"_s));
    EXPECT_TRUE(log.contains(u"Error inserting batch: near \"bogus\": syntax error"_s))
        << log.lines().join(u'\n').toStdString();
    EXPECT_EQ(m_db->intForQuery(u"select count(*) from t"_s), 3)
        << "statements before the error ran";
}

TEST_F(FMDatabaseExecutionTest, TracingLogsQueriesAndBoundValues)
{
    m_db->setTraceExecution(true);
    LogCapture log;
    ASSERT_TRUE(m_db->executeUpdate(u"insert into t values (?, ?)"_s, QByteArray("abc"), 5));
    ASSERT_TRUE(m_db->executeQueryWithParameterDictionary(u"select :x"_s, {{u"x"_s, u"y"_s}}));
    EXPECT_EQ(
        log.lines(),
        (QStringList{u"%1 executeUpdate: insert into t values (?, ?)"_s.arg(m_db->description()),
                     u"data: 3 bytes"_s, u"obj: 5"_s,
                     u"%1 executeQuery: select :x"_s.arg(m_db->description()), u":x = y"_s}));
}
