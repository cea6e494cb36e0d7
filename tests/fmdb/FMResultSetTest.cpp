#include "FMTestSupport.h"

#include "fmdb/FMDatabase.h"
#include "fmdb/FMException.h"
#include "fmdb/FMResultSet.h"
#include "fmdb/FMStatement.h"
#include "support/LogCapture.h"
#include "support/TemporaryFolder.h"

#include <gtest/gtest.h>

#include <QObject>
#include <QTimeZone>

#include <sqlite3.h>

using namespace Qt::StringLiterals;

namespace {

class FMResultSetTest : public FMDatabaseFixture
{
protected:
    void SetUp() override
    {
        openDatabase(
            u"rows.db"_s,
            u"create table files (fileName text, size integer, ratio real, data blob, missing);"
            "insert into files values ('a.jpg', 9000000000, 0.25, x'0102', null);"
            "insert into files values ('', -1, 0, x'', null);"_s);
    }

    // The result set positioned on the first row of the query.
    std::shared_ptr<FMResultSet> firstRow(const QString &sql)
    {
        std::shared_ptr<FMResultSet> resultSet = m_db->executeQuery(sql);
        if (!resultSet || !resultSet->next())
            return nullptr;
        return resultSet;
    }
};

} // namespace

TEST_F(FMResultSetTest, ColumnsReadByIndexAndByNameInAnyCase)
{
    const std::shared_ptr<FMResultSet> row = firstRow(u"select * from files order by rowid"_s);
    ASSERT_TRUE(row);
    EXPECT_EQ(row->columnCount(), 5);
    EXPECT_EQ(row->columnNameForIndex(0), u"fileName"_s);
    for (const QString &name : {u"fileName"_s, u"filename"_s, u"FILENAME"_s}) {
        EXPECT_EQ(row->stringForColumn(name), u"a.jpg"_s);
        EXPECT_EQ(row->columnIndexForName(name), 0);
    }
    EXPECT_EQ(row->stringForColumnIndex(0), u"a.jpg"_s);
    EXPECT_STREQ(row->UTF8StringForColumnName(u"FileName"_s), "a.jpg");
    EXPECT_EQ(row->intForColumn(u"size"_s), static_cast<int>(9000000000LL));
    EXPECT_EQ(row->longForColumn(u"size"_s), 9000000000L);
    EXPECT_EQ(row->longLongIntForColumnIndex(1), 9000000000LL);
    EXPECT_EQ(row->unsignedLongLongIntForColumn(u"Size"_s), 9000000000ULL);
    EXPECT_TRUE(row->boolForColumn(u"size"_s));
    EXPECT_EQ(row->doubleForColumn(u"ratio"_s), 0.25);
    EXPECT_EQ(row->dataForColumn(u"data"_s), QByteArray("\x01\x02", 2));
    EXPECT_EQ(row->dataNoCopyForColumnIndex(3), QByteArray("\x01\x02", 2));
    EXPECT_FALSE(row->columnIsNull(u"ratio"_s));
    EXPECT_EQ(row->dateForColumn(u"ratio"_s),
              QDateTime::fromMSecsSinceEpoch(250, QTimeZone::utc()));

    // Objects by the column's type; subscripts are the same reads.
    EXPECT_EQ(row->objectForColumnIndex(0), FMValue(u"a.jpg"_s));
    EXPECT_EQ(row->objectForColumnName(u"size"_s), FMValue(9000000000LL));
    EXPECT_EQ((*row)[2], FMValue(0.25));
    EXPECT_EQ((*row)[u"DATA"_s], FMValue(QByteArray("\x01\x02", 2)));
    EXPECT_EQ((*row)[4], FMValue::null());

    const std::optional<QMap<QString, FMValue>> byName = row->resultDictionary();
    ASSERT_TRUE(byName);
    EXPECT_EQ(byName->keys(),
              (QStringList{u"data"_s, u"fileName"_s, u"missing"_s, u"ratio"_s, u"size"_s}));
    EXPECT_EQ(byName->value(u"missing"_s), FMValue::null());
    const std::optional<QMap<QString, FMValue>> lowerCased = row->resultDict();
    ASSERT_TRUE(lowerCased);
    EXPECT_EQ(lowerCased->value(u"filename"_s), FMValue(u"a.jpg"_s));
}

TEST_F(FMResultSetTest, NullColumnsAndEmptyValues)
{
    const std::shared_ptr<FMResultSet> row = firstRow(u"select * from files where size = -1"_s);
    ASSERT_TRUE(row);
    // NULL: nil for objects that can be nil, 0 for numbers, the marker for objects.
    EXPECT_TRUE(row->columnIndexIsNull(4));
    EXPECT_TRUE(row->stringForColumnIndex(4).isNull());
    EXPECT_EQ(row->UTF8StringForColumnIndex(4), nullptr);
    EXPECT_EQ(row->intForColumnIndex(4), 0);
    EXPECT_TRUE(row->dataForColumnIndex(4).isNull());
    EXPECT_TRUE(row->dataNoCopyForColumnIndex(4).isNull());
    EXPECT_FALSE(row->dateForColumnIndex(4).isValid());
    EXPECT_EQ(row->objectForColumnIndex(4), FMValue::null());

    // Empty text is a value; a zero-length blob copies as nil but reads without copy as empty.
    EXPECT_FALSE(row->stringForColumn(u"fileName"_s).isNull());
    EXPECT_TRUE(row->stringForColumn(u"fileName"_s).isEmpty());
    EXPECT_FALSE(row->columnIsNull(u"data"_s));
    EXPECT_TRUE(row->dataForColumn(u"data"_s).isNull());
    const QByteArray noCopy = row->dataNoCopyForColumn(u"data"_s);
    EXPECT_FALSE(noCopy.isNull());
    EXPECT_TRUE(noCopy.isEmpty());
    EXPECT_EQ(row->objectForColumnName(u"data"_s), FMValue::null());
}

TEST_F(FMResultSetTest, UnknownNamesWarnAndReadAsAnOutOfRangeColumn)
{
    const std::shared_ptr<FMResultSet> row = firstRow(u"select * from files"_s);
    ASSERT_TRUE(row);
    LogCapture log;
    EXPECT_EQ(row->intForColumn(u"Nope"_s), 0);
    EXPECT_TRUE(row->stringForColumn(u"nope"_s).isNull());
    EXPECT_TRUE(row->dataForColumn(u"nope"_s).isNull());
    EXPECT_FALSE(row->boolForColumn(u"nope"_s));
    EXPECT_TRUE(row->columnIsNull(u"nope"_s));
    EXPECT_EQ(row->UTF8StringForColumnName(u"nope"_s), nullptr);
    EXPECT_EQ(log.lines().count(u"Warning: I could not find the column named 'nope'."_s), 6);
}

TEST_F(FMResultSetTest, DuplicateNamesReadTheLaterColumn)
{
    const std::shared_ptr<FMResultSet> row = firstRow(u"select 1 as id, 2 as ID"_s);
    ASSERT_TRUE(row);
    EXPECT_EQ(row->intForColumn(u"id"_s), 2);
    EXPECT_EQ(row->columnNameToIndexMap(), (QHash<QString, int>{{u"id"_s, 1}}));
}

TEST_F(FMResultSetTest, TheLastStepClosesTheSetQuietly)
{
    LogCapture log;
    const std::shared_ptr<FMResultSet> none = m_db->executeQuery(u"select * from files where 0"_s);
    ASSERT_TRUE(none);
    EXPECT_TRUE(m_db->hasOpenResultSets());
    EXPECT_FALSE(none->next());
    EXPECT_FALSE(m_db->hasOpenResultSets());
    EXPECT_EQ(none->statement(), nullptr);
    none->close();
    EXPECT_TRUE(log.lines().isEmpty());

    // A step after closing is a misuse, reported as one.
    RQError error;
    EXPECT_FALSE(none->nextWithError(&error));
    EXPECT_EQ(error, (RQError(u"FMDatabase"_s, SQLITE_MISUSE, u"parentDB does not exist"_s)));
    EXPECT_TRUE(
        log.contains(u"Error calling sqlite3_step (21: bad parameter or other API misuse) rs"_s));
    EXPECT_EQ(none->intForColumnIndex(0), 0);
    EXPECT_TRUE(none->stringForColumnIndex(0).isNull());
    EXPECT_FALSE(none->resultDictionary());
}

TEST_F(FMResultSetTest, StepErrorsCloseTheSetAndDescribeTheError)
{
    m_db->makeFunctionNamed(u"explode"_s, 1,
                            [](sqlite3_context *context, int, sqlite3_value **values) {
                                if (sqlite3_value_int(values[0]) == 2)
                                    sqlite3_result_error(context, "boom", -1);
                                else
                                    sqlite3_result_int(context, sqlite3_value_int(values[0]));
                            });
    const std::shared_ptr<FMResultSet> resultSet =
        m_db->executeQuery(u"select explode(value) from (select 1 as value union all select 2)"_s);
    ASSERT_TRUE(resultSet && resultSet->next());
    EXPECT_EQ(resultSet->intForColumnIndex(0), 1);
    LogCapture log;
    RQError error;
    EXPECT_FALSE(resultSet->nextWithError(&error));
    EXPECT_EQ(error, (RQError(u"FMDatabase"_s, SQLITE_ERROR, u"boom"_s)));
    EXPECT_TRUE(log.contains(u"Error calling sqlite3_step (1: boom) rs"_s));
    EXPECT_EQ(resultSet->statement(), nullptr);
    EXPECT_FALSE(m_db->hasOpenResultSets());
}

TEST_F(FMResultSetTest, AStatementServesOneResultSetAtATime)
{
    sqlite3_stmt *raw = nullptr;
    ASSERT_EQ(sqlite3_prepare_v2(m_db->sqliteHandle(), "select 1", -1, &raw, nullptr), SQLITE_OK);
    const auto statement = std::make_shared<FMStatement>(raw);
    const std::shared_ptr<FMResultSet> first = FMResultSet::resultSetWithStatement(statement, m_db);
    EXPECT_TRUE(statement->inUse());
    try {
        FMResultSet::resultSetWithStatement(statement, m_db);
        ADD_FAILURE() << "a statement in use was handed out again";
    } catch (const FMException &exception) {
        EXPECT_EQ(exception.reason(), u"Invalid parameter not satisfying: ![statement inUse]"_s);
    }
    first->close();
    EXPECT_FALSE(statement->inUse());
    EXPECT_NE(statement->statement(), nullptr) << "closing a result set only resets";
}

TEST_F(FMResultSetTest, KvcMagicSetsPropertiesFromTextColumns)
{
    const std::shared_ptr<FMResultSet> row = firstRow(u"select fileName, missing from files"_s);
    ASSERT_TRUE(row);
    QObject object;
    row->kvcMagic(&object);
    EXPECT_EQ(object.property("fileName").toString(), u"a.jpg"_s);
    EXPECT_FALSE(object.property("missing").isValid());
}
