#include "fmdb/FMResultSet.h"

#include "fmdb/FMDatabase.h"
#include "fmdb/FMException.h"
#include "fmdb/FMStatement.h"
#include "platform/SystemLog.h"

#include <QObject>
#include <QTimeZone>

#include <sqlite3.h>

#include <cmath>

std::shared_ptr<FMResultSet> FMResultSet::resultSetWithStatement(
    std::shared_ptr<FMStatement> statement, std::shared_ptr<FMDatabase> parentDB)
{
    if (statement && statement->inUse())
        throw FMException::invalidParameter(QStringLiteral("![statement inUse]"));
    return std::make_shared<FMResultSet>(PrivateTag{}, std::move(statement), std::move(parentDB));
}

FMResultSet::FMResultSet(PrivateTag, std::shared_ptr<FMStatement> statement,
                         std::shared_ptr<FMDatabase> parentDB)
    : m_parentDB(std::move(parentDB))
    , m_statement(std::move(statement))
{
    if (m_statement)
        m_statement->setInUse(true);
}

FMResultSet::~FMResultSet()
{
    close();
}

void FMResultSet::close()
{
    if (m_statement) {
        m_statement->reset();
        m_statement.reset();
    }
    // The connection may go with our reference, so it is moved out before it is told.
    if (std::shared_ptr<FMDatabase> parent = std::move(m_parentDB))
        parent->resultSetDidClose(this);
}

bool FMResultSet::nextWithError(RQError *error)
{
    sqlite3_stmt *statement = handle();
    // A closed result set has no statement; the engine would answer a null one with misuse.
    const int result = statement ? sqlite3_step(statement) : SQLITE_MISUSE;
    if (result == SQLITE_ROW)
        return true;

    if (result == SQLITE_BUSY || result == SQLITE_LOCKED) {
        const QString path = m_parentDB && m_parentDB->databasePath() ? *m_parentDB->databasePath()
                                                                      : QStringLiteral("(null)");
        SystemLog::write(QStringLiteral("%1:%2 Database busy (%3)")
                             .arg(QString::fromUtf8(Q_FUNC_INFO))
                             .arg(__LINE__)
                             .arg(path));
        SystemLog::write(QStringLiteral("Database busy"));
    } else if (result != SQLITE_DONE) {
        const QString message =
            m_parentDB ? m_parentDB->lastErrorMessage() : QString::fromUtf8(sqlite3_errstr(result));
        const bool known = result == SQLITE_ERROR || result == SQLITE_MISUSE;
        SystemLog::write((known ? QStringLiteral("Error calling sqlite3_step (%1: %2) rs")
                                : QStringLiteral("Unknown error calling sqlite3_step (%1: %2) rs"))
                             .arg(result)
                             .arg(message));
    }
    if (error && result != SQLITE_DONE)
        *error = stepError(result);
    close();
    return false;
}

RQError FMResultSet::stepError(int result) const
{
    if (m_parentDB)
        return m_parentDB->lastError();
    return RQError(QStringLiteral("FMDatabase"), result, QStringLiteral("parentDB does not exist"));
}

bool FMResultSet::hasAnotherRow() const
{
    return m_parentDB && m_parentDB->lastErrorCode() == SQLITE_ROW;
}

sqlite3_stmt *FMResultSet::handle() const
{
    return m_statement ? m_statement->statement() : nullptr;
}

int FMResultSet::columnCount() const
{
    return sqlite3_column_count(handle());
}

QString FMResultSet::columnNameForIndex(int columnIndex) const
{
    if (!handle())
        return {};
    return QString::fromUtf8(sqlite3_column_name(handle(), columnIndex));
}

const QHash<QString, int> &FMResultSet::columnNameToIndexMap() const
{
    if (!m_columnNameToIndexMap) {
        QHash<QString, int> map;
        const int count = columnCount();
        for (int index = 0; index < count; ++index)
            map.insert(columnNameForIndex(index).toLower(), index);
        m_columnNameToIndexMap = std::move(map);
    }
    return *m_columnNameToIndexMap;
}

int FMResultSet::columnIndexForName(const QString &columnName) const
{
    const QString name = columnName.toLower();
    const auto found = columnNameToIndexMap().constFind(name);
    if (found != columnNameToIndexMap().constEnd())
        return found.value();
    SystemLog::write(QStringLiteral("Warning: I could not find the column named '%1'.").arg(name));
    return -1;
}

int FMResultSet::intForColumnIndex(int columnIndex) const
{
    return sqlite3_column_int(handle(), columnIndex);
}

int FMResultSet::intForColumn(const QString &columnName) const
{
    return intForColumnIndex(columnIndexForName(columnName));
}

long FMResultSet::longForColumnIndex(int columnIndex) const
{
    return static_cast<long>(sqlite3_column_int64(handle(), columnIndex));
}

long FMResultSet::longForColumn(const QString &columnName) const
{
    return longForColumnIndex(columnIndexForName(columnName));
}

long long FMResultSet::longLongIntForColumnIndex(int columnIndex) const
{
    return sqlite3_column_int64(handle(), columnIndex);
}

long long FMResultSet::longLongIntForColumn(const QString &columnName) const
{
    return longLongIntForColumnIndex(columnIndexForName(columnName));
}

unsigned long long FMResultSet::unsignedLongLongIntForColumnIndex(int columnIndex) const
{
    return static_cast<unsigned long long>(longLongIntForColumnIndex(columnIndex));
}

unsigned long long FMResultSet::unsignedLongLongIntForColumn(const QString &columnName) const
{
    return unsignedLongLongIntForColumnIndex(columnIndexForName(columnName));
}

bool FMResultSet::boolForColumnIndex(int columnIndex) const
{
    return intForColumnIndex(columnIndex) != 0;
}

bool FMResultSet::boolForColumn(const QString &columnName) const
{
    return boolForColumnIndex(columnIndexForName(columnName));
}

double FMResultSet::doubleForColumnIndex(int columnIndex) const
{
    return sqlite3_column_double(handle(), columnIndex);
}

double FMResultSet::doubleForColumn(const QString &columnName) const
{
    return doubleForColumnIndex(columnIndexForName(columnName));
}

QString FMResultSet::stringForColumnIndex(int columnIndex) const
{
    const char *text = UTF8StringForColumnIndex(columnIndex);
    if (!text)
        return {};
    return QString::fromUtf8(text);
}

QString FMResultSet::stringForColumn(const QString &columnName) const
{
    return stringForColumnIndex(columnIndexForName(columnName));
}

QDateTime FMResultSet::dateForColumnIndex(int columnIndex) const
{
    if (columnIndex < 0 || columnIndexIsNull(columnIndex))
        return {};
    if (m_parentDB && m_parentDB->hasDateFormatter())
        return m_parentDB->dateFromString(stringForColumnIndex(columnIndex));
    const double seconds = doubleForColumnIndex(columnIndex);
    return QDateTime::fromMSecsSinceEpoch(std::llround(seconds * 1000.0), QTimeZone::utc());
}

QDateTime FMResultSet::dateForColumn(const QString &columnName) const
{
    return dateForColumnIndex(columnIndexForName(columnName));
}

QByteArray FMResultSet::dataForColumnIndex(int columnIndex) const
{
    if (columnIndex < 0 || columnIndexIsNull(columnIndex))
        return {};
    const void *bytes = sqlite3_column_blob(handle(), columnIndex);
    const int length = sqlite3_column_bytes(handle(), columnIndex);
    if (!bytes)
        return {};
    return QByteArray(static_cast<const char *>(bytes), length);
}

QByteArray FMResultSet::dataForColumn(const QString &columnName) const
{
    return dataForColumnIndex(columnIndexForName(columnName));
}

QByteArray FMResultSet::dataNoCopyForColumnIndex(int columnIndex) const
{
    if (columnIndex < 0 || columnIndexIsNull(columnIndex))
        return {};
    const void *bytes = sqlite3_column_blob(handle(), columnIndex);
    const int length = sqlite3_column_bytes(handle(), columnIndex);
    if (!bytes || length == 0)
        return QByteArray("", 0);
    return QByteArray::fromRawData(static_cast<const char *>(bytes), length);
}

QByteArray FMResultSet::dataNoCopyForColumn(const QString &columnName) const
{
    return dataNoCopyForColumnIndex(columnIndexForName(columnName));
}

bool FMResultSet::columnIndexIsNull(int columnIndex) const
{
    return sqlite3_column_type(handle(), columnIndex) == SQLITE_NULL;
}

bool FMResultSet::columnIsNull(const QString &columnName) const
{
    return columnIndexIsNull(columnIndexForName(columnName));
}

const char *FMResultSet::UTF8StringForColumnIndex(int columnIndex) const
{
    if (columnIndex < 0 || columnIndexIsNull(columnIndex))
        return nullptr;
    return reinterpret_cast<const char *>(sqlite3_column_text(handle(), columnIndex));
}

const char *FMResultSet::UTF8StringForColumnName(const QString &columnName) const
{
    return UTF8StringForColumnIndex(columnIndexForName(columnName));
}

FMValue FMResultSet::objectForColumnIndex(int columnIndex) const
{
    FMValue value;
    switch (sqlite3_column_type(handle(), columnIndex)) {
    case SQLITE_INTEGER:
        value = longLongIntForColumnIndex(columnIndex);
        break;
    case SQLITE_FLOAT:
        value = doubleForColumnIndex(columnIndex);
        break;
    case SQLITE_BLOB:
        if (const QByteArray bytes = dataForColumnIndex(columnIndex); !bytes.isNull())
            value = bytes;
        break;
    default:
        if (const QString text = stringForColumnIndex(columnIndex); !text.isNull())
            value = text;
        break;
    }
    return value.isNil() ? FMValue::null() : value;
}

FMValue FMResultSet::objectForColumnName(const QString &columnName) const
{
    return objectForColumnIndex(columnIndexForName(columnName));
}

std::optional<QMap<QString, FMValue>> FMResultSet::resultDictionary() const
{
    if (!rowHasColumns())
        return std::nullopt;
    QMap<QString, FMValue> row;
    for (int index = 0; index < columnCount(); ++index)
        row.insert(columnNameForIndex(index), objectForColumnIndex(index));
    return row;
}

std::optional<QMap<QString, FMValue>> FMResultSet::resultDict() const
{
    if (!rowHasColumns())
        return std::nullopt;
    QMap<QString, FMValue> row;
    const QHash<QString, int> &map = columnNameToIndexMap();
    for (auto entry = map.constBegin(); entry != map.constEnd(); ++entry)
        row.insert(entry.key(), objectForColumnName(entry.key()));
    return row;
}

bool FMResultSet::rowHasColumns() const
{
    if (sqlite3_data_count(handle()) != 0)
        return true;
    SystemLog::write(QStringLiteral("Warning: There seem to be no columns in this set."));
    return false;
}

void FMResultSet::kvcMagic(QObject *object) const
{
    if (!object)
        return;
    for (int index = 0; index < columnCount(); ++index) {
        const QString text = stringForColumnIndex(index);
        if (!text.isNull())
            object->setProperty(columnNameForIndex(index).toUtf8().constData(), text);
    }
}
