#include "FMTestSupport.h"

#include "fmdb/FMDatabase.h"
#include "support/LogCapture.h"
#include "support/TemporaryFolder.h"

#include <gtest/gtest.h>

#include <QTimeZone>

#include <sqlite3.h>

using namespace Qt::StringLiterals;

namespace {

class FMDatabaseAdditionsTest : public FMDatabaseFixture
{
protected:
    void SetUp() override
    {
        openDatabase(u"additions.db"_s,
                     u"create table PHOTOS (Id integer, Title text, Data blob, Taken real);"
                     "insert into PHOTOS values (7, 'first', x'ff', 86400.5);"
                     "insert into PHOTOS values (8, 'second', null, null);"_s);
    }
};

} // namespace

TEST_F(FMDatabaseAdditionsTest, OneValueQueriesReadTheFirstRowOrTheDefault)
{
    const QString first = u"select %1 from PHOTOS where Id >= ? order by Id"_s;
    EXPECT_EQ(m_db->intForQuery(first.arg(u"Id"_s), 0), 7) << "several rows: the first";
    EXPECT_EQ(m_db->longForQuery(first.arg(u"Id * 1000000000"_s), 8), 8000000000L);
    EXPECT_TRUE(m_db->boolForQuery(first.arg(u"Id"_s), 0));
    EXPECT_EQ(m_db->doubleForQuery(first.arg(u"Taken"_s), 0), 86400.5);
    EXPECT_EQ(m_db->stringForQuery(first.arg(u"Title"_s), 8), u"second"_s);
    EXPECT_EQ(m_db->dataForQuery(first.arg(u"Data"_s), 0), QByteArray("\xff", 1));
    EXPECT_EQ(m_db->dateForQuery(first.arg(u"Taken"_s), 0),
              QDateTime::fromMSecsSinceEpoch(86'400'500, QTimeZone::utc()));
    EXPECT_FALSE(m_db->hasOpenResultSets());

    // No row, or no result set at all: the default.
    for (const QString &query : {first.arg(u"Id"_s), u"selec nothing ?"_s}) {
        SCOPED_TRACE(query.toStdString());
        EXPECT_EQ(m_db->intForQuery(query, 100), 0);
        EXPECT_EQ(m_db->longForQuery(query, 100), 0);
        EXPECT_FALSE(m_db->boolForQuery(query, 100));
        EXPECT_EQ(m_db->doubleForQuery(query, 100), 0.0);
        EXPECT_TRUE(m_db->stringForQuery(query, 100).isNull());
        EXPECT_TRUE(m_db->dataForQuery(query, 100).isNull());
        EXPECT_FALSE(m_db->dateForQuery(query, 100).isValid());
    }
}

TEST_F(FMDatabaseAdditionsTest, SchemaQueriesIgnoreCase)
{
    EXPECT_TRUE(m_db->tableExists(u"photos"_s));
    EXPECT_TRUE(m_db->tableExists(u"Photos"_s));
    EXPECT_FALSE(m_db->tableExists(u"albums"_s));
    EXPECT_TRUE(m_db->columnExistsInTableWithName(u"title"_s, u"Photos"_s));
    EXPECT_TRUE(m_db->columnExistsColumnName(u"photos"_s, u"TITLE"_s));
    EXPECT_FALSE(m_db->columnExistsInTableWithName(u"caption"_s, u"photos"_s));
    EXPECT_FALSE(m_db->hasOpenResultSets());

    ASSERT_TRUE(m_db->executeUpdate(u"create temp table scratch (a)"_s));
    ASSERT_TRUE(m_db->executeUpdate(u"create index photo_ids on PHOTOS (Id)"_s));
    const std::shared_ptr<FMResultSet> schema = m_db->getSchema();
    ASSERT_TRUE(schema);
    QStringList objects;
    while (schema->next())
        objects.append(schema->stringForColumn(u"type"_s) + u' ' +
                       schema->stringForColumn(u"name"_s));
    EXPECT_EQ(objects, (QStringList{u"table PHOTOS"_s, u"index photo_ids"_s, u"table scratch"_s}));

    const std::shared_ptr<FMResultSet> columns = m_db->getTableSchema(u"PHOTOS"_s);
    ASSERT_TRUE(columns);
    QStringList names;
    while (columns->next())
        names.append(columns->stringForColumn(u"name"_s));
    EXPECT_EQ(names, (QStringList{u"Id"_s, u"Title"_s, u"Data"_s, u"Taken"_s}));
}

TEST_F(FMDatabaseAdditionsTest, HeaderValuesRoundTrip)
{
    EXPECT_EQ(m_db->applicationID(), 0u);
    m_db->setApplicationID(0xF0E1D2C3u);
    EXPECT_EQ(m_db->applicationID(), 0xF0E1D2C3u) << "the high bit survives the signed pragma text";
    m_db->setApplicationIDString(u"MRWK"_s);
    EXPECT_EQ(m_db->applicationID(), 0x4D52574Bu);
    EXPECT_EQ(m_db->applicationIDString(), u"MRWK"_s);

    LogCapture log;
    m_db->setApplicationIDString(u"ABCDE"_s);
    EXPECT_TRUE(log.contains(
        u"setApplicationIDString: string passed is not exactly 4 chars long. (was 5)"_s));
    EXPECT_EQ(m_db->applicationIDString(), u"ABCD"_s);

    m_db->setUserVersion(42);
    EXPECT_EQ(m_db->userVersion(), 42u);
    EXPECT_FALSE(m_db->hasOpenResultSets());
}

TEST_F(FMDatabaseAdditionsTest, ValidateSqlCompilesWithoutRunning)
{
    RQError error;
    EXPECT_TRUE(m_db->validateSQL(u"delete from PHOTOS"_s, &error));
    EXPECT_EQ(m_db->intForQuery(u"select count(*) from PHOTOS"_s), 2);

    EXPECT_FALSE(m_db->validateSQL(u"selct * from PHOTOS"_s, &error));
    EXPECT_EQ(error.domain(), u"NSCocoaErrorDomain"_s);
    EXPECT_EQ(error.code(), SQLITE_ERROR);
    EXPECT_EQ(error.localizedDescription(), u"near \"selct\": syntax error"_s);
    EXPECT_EQ(sqlite3_next_stmt(m_db->sqliteHandle(), nullptr), nullptr) << "nothing left prepared";
}
