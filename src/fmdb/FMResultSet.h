#pragma once

#include "platform/RQError.h"
#include "fmdb/FMValue.h"

#include <QByteArray>
#include <QDateTime>
#include <QHash>
#include <QMap>
#include <QString>

#include <memory>
#include <optional>

class FMDatabase;
struct sqlite3_stmt;
class FMStatement;
class QObject;

// The row cursor of a query. It keeps its connection and its statement alive while it is open;
// the connection knows it only by a plain pointer and detaches it when the connection closes.
// next() steps; the step that ends the rows (or fails) closes the result set, as do close()
// and the last reference going. A closed result set holds neither statement nor connection;
// its getters then give their empty values. Used on the thread of its connection.
//
// Getters come by 0-based index and by column name; names are matched case-insensitively.
// Nil results are null objects: a null QString, a null QByteArray, an invalid QDateTime.
class FMResultSet final
{
    struct PrivateTag
    {
        explicit PrivateTag() = default;
    };

public:
    // Marks the statement in use. A statement already in use is a caller's error: FMException
    // "Invalid parameter not satisfying: ![statement inUse]".
    static std::shared_ptr<FMResultSet> resultSetWithStatement(
        std::shared_ptr<FMStatement> statement, std::shared_ptr<FMDatabase> parentDB);

    FMResultSet(PrivateTag, std::shared_ptr<FMStatement> statement,
                std::shared_ptr<FMDatabase> parentDB);
    ~FMResultSet();
    FMResultSet(const FMResultSet &) = delete;
    FMResultSet &operator=(const FMResultSet &) = delete;

    FMDatabase *parentDB() const { return m_parentDB.get(); }
    void setParentDB(std::shared_ptr<FMDatabase> parentDB) { m_parentDB = std::move(parentDB); }
    QString query() const { return m_query; }
    void setQuery(const QString &query) { m_query = query; }
    std::shared_ptr<FMStatement> statement() const { return m_statement; }
    void setStatement(std::shared_ptr<FMStatement> statement)
    {
        m_statement = std::move(statement);
    }

    // Resets the statement, lets go of it and of the connection; a second call does nothing.
    void close();

    // One step: true while there is a row. Anything else closes the result set; busy, error
    // and misuse results are logged and, when an error is asked for, described in it.
    bool next() { return nextWithError(nullptr); }
    bool nextWithError(RQError *error);
    bool hasAnotherRow() const;

    int columnCount() const;
    QString columnNameForIndex(int columnIndex) const;
    // Lower-cased column name to index; with duplicate names the later column wins.
    const QHash<QString, int> &columnNameToIndexMap() const;
    // -1 (after a warning line) for an unknown name.
    int columnIndexForName(const QString &columnName) const;

    int intForColumnIndex(int columnIndex) const;
    int intForColumn(const QString &columnName) const;
    long longForColumnIndex(int columnIndex) const;
    long longForColumn(const QString &columnName) const;
    long long longLongIntForColumnIndex(int columnIndex) const;
    long long longLongIntForColumn(const QString &columnName) const;
    unsigned long long unsignedLongLongIntForColumnIndex(int columnIndex) const;
    unsigned long long unsignedLongLongIntForColumn(const QString &columnName) const;
    bool boolForColumnIndex(int columnIndex) const;
    bool boolForColumn(const QString &columnName) const;
    double doubleForColumnIndex(int columnIndex) const;
    double doubleForColumn(const QString &columnName) const;
    // Null for NULL, for a negative index, or when the engine gives no text.
    QString stringForColumnIndex(int columnIndex) const;
    QString stringForColumn(const QString &columnName) const;
    // Through the connection's date formatter when it has one, else seconds since 1970 (UTC).
    QDateTime dateForColumnIndex(int columnIndex) const;
    QDateTime dateForColumn(const QString &columnName) const;
    // A copy of the bytes; null for NULL, a negative index or a zero-length blob.
    QByteArray dataForColumnIndex(int columnIndex) const;
    QByteArray dataForColumn(const QString &columnName) const;
    // The engine's bytes without a copy, valid until the next step, reset or close; empty
    // (not null) for a zero-length blob, null for NULL or a negative index.
    QByteArray dataNoCopyForColumnIndex(int columnIndex) const;
    QByteArray dataNoCopyForColumn(const QString &columnName) const;
    bool columnIndexIsNull(int columnIndex) const;
    bool columnIsNull(const QString &columnName) const;
    // The engine's own text, valid until the next step, reset or close; null for NULL.
    const char *UTF8StringForColumnIndex(int columnIndex) const;
    const char *UTF8StringForColumnName(const QString &columnName) const;
    // By the column's type: a 64-bit integer, a double, bytes, else text; nil becomes the
    // null marker.
    FMValue objectForColumnIndex(int columnIndex) const;
    FMValue objectForColumnName(const QString &columnName) const;
    FMValue operator[](int columnIndex) const { return objectForColumnIndex(columnIndex); }
    FMValue operator[](const QString &columnName) const { return objectForColumnName(columnName); }

    // The row keyed by the column names as the engine gives them; no value (after a warning
    // line) when the row has no columns.
    std::optional<QMap<QString, FMValue>> resultDictionary() const;
    // The same keyed by the lower-cased names.
    std::optional<QMap<QString, FMValue>> resultDict() const;
    // Sets, for each column that is not NULL, the object's property named like the column to
    // the column's text.
    void kvcMagic(QObject *object) const;

private:
    sqlite3_stmt *handle() const;
    RQError stepError(int result) const;
    // Logs the warning when the current row has no columns.
    bool rowHasColumns() const;

    std::shared_ptr<FMDatabase> m_parentDB;
    std::shared_ptr<FMStatement> m_statement;
    QString m_query;
    mutable std::optional<QHash<QString, int>> m_columnNameToIndexMap;
};
