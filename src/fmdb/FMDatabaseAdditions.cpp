// The one-value, schema, header-value and compile-check operations of FMDatabase.
#include "fmdb/FMDatabase.h"

#include "platform/SystemLog.h"

#include <sqlite3.h>

using namespace Qt::StringLiterals;

bool FMDatabase::tableExists(const QString &tableName)
{
    const std::shared_ptr<FMResultSet> resultSet = executeQuery(
        u"select [sql] from sqlite_master where [type] = 'table' and lower(name) = ?"_s,
        tableName.toLower());
    if (!resultSet)
        return false;
    const bool exists = resultSet->next();
    resultSet->close();
    return exists;
}

std::shared_ptr<FMResultSet> FMDatabase::getSchema()
{
    return executeQuery(
        u"SELECT type, name, tbl_name, rootpage, sql FROM (SELECT * FROM sqlite_master UNION ALL "
        "SELECT * FROM sqlite_temp_master) WHERE type != 'meta' AND name NOT LIKE 'sqlite_%' "
        "ORDER BY tbl_name, type DESC, name"_s);
}

std::shared_ptr<FMResultSet> FMDatabase::getTableSchema(const QString &tableName)
{
    return executeQuery(u"pragma table_info('%1')"_s.arg(tableName));
}

bool FMDatabase::columnExistsInTableWithName(const QString &columnName, const QString &tableName)
{
    const QString column = columnName.toLower();
    const std::shared_ptr<FMResultSet> resultSet = getTableSchema(tableName.toLower());
    if (!resultSet)
        return false;
    bool found = false;
    while (!found && resultSet->next())
        found = resultSet->stringForColumn(u"name"_s).toLower() == column;
    resultSet->close();
    return found;
}

bool FMDatabase::columnExistsColumnName(const QString &tableName, const QString &columnName)
{
    return columnExistsInTableWithName(columnName, tableName);
}

quint32 FMDatabase::headerValue(const QString &pragma)
{
    const std::shared_ptr<FMResultSet> resultSet = executeQuery(pragma);
    if (!resultSet)
        return 0;
    quint32 value = 0;
    if (resultSet->next())
        value = static_cast<quint32>(resultSet->longLongIntForColumnIndex(0));
    resultSet->close();
    return value;
}

void FMDatabase::setHeaderValue(const QString &pragma)
{
    if (const std::shared_ptr<FMResultSet> resultSet = executeQuery(pragma)) {
        resultSet->next();
        resultSet->close();
    }
}

quint32 FMDatabase::applicationID()
{
    return headerValue(u"pragma application_id"_s);
}

void FMDatabase::setApplicationID(quint32 applicationID)
{
    setHeaderValue(u"pragma application_id=%1"_s.arg(static_cast<qint32>(applicationID)));
}

QString FMDatabase::applicationIDString()
{
    const quint32 code = applicationID();
    QString text;
    for (int shift = 24; shift >= 0; shift -= 8)
        text += QChar::fromLatin1(static_cast<char>((code >> shift) & 0xFF));
    return text;
}

void FMDatabase::setApplicationIDString(const QString &string)
{
    if (string.size() != 4) {
        SystemLog::write(
            u"setApplicationIDString: string passed is not exactly 4 chars long. (was %1)"_s.arg(
                string.size()));
    }
    // Like a four-character code: the first four characters, highest byte first, as Latin-1;
    // a shorter text leaves the low bytes 0.
    const QByteArray latin1 = string.left(4).toLatin1();
    quint32 code = 0;
    for (int index = 0; index < 4; ++index) {
        const quint8 byte = index < latin1.size() ? static_cast<quint8>(latin1.at(index)) : 0;
        code = (code << 8) | byte;
    }
    setApplicationID(code);
}

quint32 FMDatabase::userVersion()
{
    return headerValue(u"pragma user_version"_s);
}

void FMDatabase::setUserVersion(quint32 version)
{
    setHeaderValue(u"pragma user_version = %1"_s.arg(static_cast<qint32>(version)));
}

bool FMDatabase::validateSQL(const QString &sql, RQError *error)
{
    sqlite3_stmt *statement = nullptr;
    const QByteArray utf8 = sql.toUtf8();
    const int result = sqlite3_prepare_v2(m_db.get(), utf8.constData(), -1, &statement, nullptr);
    const bool valid = result == SQLITE_OK;
    if (!valid && error)
        *error = RQError(u"NSCocoaErrorDomain"_s, lastErrorCode(), lastErrorMessage());
    sqlite3_finalize(statement);
    return valid;
}
