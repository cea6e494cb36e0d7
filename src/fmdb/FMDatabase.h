#pragma once

#include "fmdb/FMDateFormatter.h"
#include "platform/RQError.h"
#include "fmdb/FMResultSet.h"
#include "fmdb/FMValue.h"

#include <QByteArray>
#include <QDateTime>
#include <QMap>
#include <QString>

#include <functional>
#include <map>
#include <memory>
#include <optional>
#include <vector>

struct sqlite3;
struct sqlite3_context;
struct sqlite3_stmt;
struct sqlite3_value;
class FMStatement;

// One connection to one SQLite database file. It owns the engine's handle, its cached
// statements and its SQL function blocks; open result sets keep it alive (it knows them only by
// plain pointers and detaches them when it closes). Connections are always held by a
// std::shared_ptr (made by databaseWithPath(), or by a subclass's own factory through the
// protected tag); the last reference going closes it.
//
// Threads: no lock of its own, one thread at a time. The in-use flag refuses a preparation
// that starts while another is under way on the same connection instead of waiting. Work
// from several threads goes through FMDatabaseQueue or FMDatabasePool.
//
// Failures are return values (false, nullptr, 0) plus a log line; the only stops are the
// ones crashOnErrors asks for.
class FMDatabase : public std::enable_shared_from_this<FMDatabase>
{
protected:
    struct PrivateTag
    {
        explicit PrivateTag() = default;
    };

public:
    // A row of a script run: column name to its text, or the null marker for NULL. A
    // non-zero answer stops the script.
    using ResultBlock = std::function<int(const QMap<QString, FMValue> &row)>;
    // A scalar SQL function: sets its result itself through the engine's sqlite3_result_*.
    using FunctionBlock =
        std::function<void(sqlite3_context *context, int argumentCount, sqlite3_value **arguments)>;
    // A block given a connection (or nullptr) and a rollback flag it may set.
    using RollbackBlock = std::function<void(FMDatabase *db, bool *rollback)>;
    using StatementCache = std::map<QString, std::vector<std::shared_ptr<FMStatement>>>;

    // Not opened yet; touches no file. No path is an in-memory database, an empty path the
    // engine's private temporary database.
    static std::shared_ptr<FMDatabase> databaseWithPath(std::optional<QString> path = std::nullopt);

    FMDatabase(PrivateTag, std::optional<QString> path);
    virtual ~FMDatabase();
    FMDatabase(const FMDatabase &) = delete;
    FMDatabase &operator=(const FMDatabase &) = delete;

    static QString FMDBUserVersion();
    static quint32 FMDBVersion();
    static QString sqliteLibVersion();
    static bool isSQLiteThreadSafe();

    std::optional<QString> databasePath() const { return m_databasePath; }
    sqlite3 *sqliteHandle() const { return m_db.get(); }
    bool logsErrors() const { return m_logsErrors; }
    void setLogsErrors(bool logsErrors) { m_logsErrors = logsErrors; }
    bool crashOnErrors() const { return m_crashOnErrors; }
    void setCrashOnErrors(bool crashOnErrors) { m_crashOnErrors = crashOnErrors; }
    bool traceExecution() const { return m_traceExecution; }
    void setTraceExecution(bool traceExecution) { m_traceExecution = traceExecution; }
    // A plain flag for holders of the connection; nothing here reads it.
    bool checkedOut() const { return m_checkedOut; }
    void setCheckedOut(bool checkedOut) { m_checkedOut = checkedOut; }
    bool inTransaction() const { return m_inTransaction; }
    // The description used in log lines: "<FMDatabase: address>".
    QString description() const;

    // Opening and closing. open() uses the engine's default flags (read-write, create);
    // openWithFlags() the given SQLITE_OPEN_* flags. Both answer true at once when open.
    bool open();
    bool openWithFlags(int flags);
    // Finalises cached and leaked statements, detaches and closes open result sets and
    // releases the handle. Always true.
    bool close();
    void closeOpenResultSets();
    bool hasOpenResultSets() const { return !m_openResultSets.empty(); }
    // Called by a result set that closes.
    void resultSetDidClose(FMResultSet *resultSet);
    // Whether a query runs; answers true with the handle when it does.
    bool goodConnection();

    // Busy handling: a locked database is retried for up to this many seconds; 0 or less
    // installs no busy handler, so a locked database fails at once.
    double maxBusyRetryTimeInterval() const { return m_maxBusyRetryTimeInterval; }
    void setMaxBusyRetryTimeInterval(double seconds);
    // Retired: log that they no longer work.
    int busyRetryTimeout();
    void setBusyRetryTimeout(int timeout);

    // Logs "not open" (and stops when crashOnErrors) when there is no open handle.
    bool databaseExists();

    // The engine's state of the handle.
    int lastErrorCode() const;
    QString lastErrorMessage() const;
    bool hadError() const;
    // Domain "FMDatabase", the engine's result code and its message.
    RQError lastError() const;
    qint64 lastInsertRowId();
    int changes();

    // Dates are stored as seconds since 1970 unless a formatter is set; then as its text.
    static FMDateFormatter storeableDateFormat(const QString &format);
    void setDateFormat(std::optional<FMDateFormatter> format) { m_dateFormat = std::move(format); }
    bool hasDateFormatter() const { return m_dateFormat.has_value(); }
    QDateTime dateFromString(const QString &string) const;
    QString stringFromDate(const QDateTime &date) const;

    // The engine is used without encryption: every key operation answers false.
    bool setKey(const QString &key);
    bool rekey(const QString &key);
    bool setKeyWithData(const QByteArray &keyData);
    bool rekeyWithData(const QByteArray &keyData);

    // Queries: a result set, not stepped yet, or nullptr. Values bind to the parameters in
    // order (values beyond the parameters are ignored, too few fail), or by name from a
    // dictionary (names without their colon).
    template<typename... Values>
    std::shared_ptr<FMResultSet> executeQuery(const QString &sql, Values &&...values)
    {
        return executeQueryWithVAList(sql, {FMValue(std::forward<Values>(values))...});
    }
    std::shared_ptr<FMResultSet> executeQueryWithArgumentsInArray(const QString &sql,
                                                                  const FMValueList &arguments);
    std::shared_ptr<FMResultSet> executeQueryWithParameterDictionary(
        const QString &sql, const FMParameterDictionary &arguments);
    std::shared_ptr<FMResultSet> executeQueryWithVAList(const QString &sql,
                                                        const FMValueList &arguments);
    // Printf-like: each conversion becomes a "?" with its value bound (see extractSQL).
    template<typename... Values>
    std::shared_ptr<FMResultSet> executeQueryWithFormat(const QString &format, Values &&...values)
    {
        QString sql;
        FMValueList arguments;
        extractSQL(format, {FMValue(std::forward<Values>(values))...}, sql, arguments);
        return executeQueryWithArgumentsInArray(sql, arguments);
    }

    // Updates: true when the statement ran to completion.
    template<typename... Values>
    bool executeUpdate(const QString &sql, Values &&...values)
    {
        return executeUpdateWithVAList(sql, {FMValue(std::forward<Values>(values))...});
    }
    bool executeUpdateWithArgumentsInArray(const QString &sql, const FMValueList &arguments);
    bool executeUpdateWithParameterDictionary(const QString &sql,
                                              const FMParameterDictionary &arguments);
    bool executeUpdateWithVAList(const QString &sql, const FMValueList &arguments);
    template<typename... Values>
    bool executeUpdateWithFormat(const QString &format, Values &&...values)
    {
        QString sql;
        FMValueList arguments;
        extractSQL(format, {FMValue(std::forward<Values>(values))...}, sql, arguments);
        return executeUpdateWithArgumentsInArray(sql, arguments);
    }
    // The error is filled only when preparing the statement fails.
    template<typename... Values>
    bool executeUpdateWithErrorAndBindings(const QString &sql, RQError *error, Values &&...values)
    {
        const FMValueList arguments{FMValue(std::forward<Values>(values))...};
        return executeUpdateErrorWithArgumentsInArrayOrDictionary(sql, error, &arguments, nullptr);
    }
    template<typename... Values>
    bool update(const QString &sql, RQError *error, Values &&...values)
    {
        return executeUpdateWithErrorAndBindings(sql, error, std::forward<Values>(values)...);
    }

    // Binds one value at a 1-based parameter index. The engine copies text and bytes, so
    // the value may go before the statement runs.
    void bindObject(const FMValue &value, int index, sqlite3_stmt *statement) const;

    // The format extraction behind the *WithFormat operations: every conversion after a "%"
    // ("@", "c", "s", "d", "D", "i", "u", "U", "hi", "hu", "qi", "qu", "ld", "lu", "lld",
    // "llu", "f", "g") reads the next value, appends "?" and collects the value converted to
    // the conversion's type; a nil value for "%@" (and a missing one) appends "NULL" instead.
    // Any other character after "%" is copied alone.
    static void extractSQL(const QString &format, const FMValueList &argumentsList, QString &sql,
                           FMValueList &arguments);

    // Statement cache: off by default; switching it off drops every cached statement.
    bool shouldCacheStatements() const { return m_shouldCacheStatements; }
    void setShouldCacheStatements(bool shouldCacheStatements);
    const StatementCache &cachedStatements() const { return m_cachedStatements; }
    std::shared_ptr<FMStatement> cachedStatementForQuery(const QString &query) const;
    void setCachedStatement(const std::shared_ptr<FMStatement> &statement, const QString &query);
    void clearCachedStatements();

    // Runs a script of several statements; with a block, once per result row.
    bool executeStatements(const QString &sql);
    bool executeStatementsWithResultBlock(const QString &sql, const ResultBlock &block);

    // Transactions; the flag follows only these operations.
    bool beginTransaction();
    bool beginDeferredTransaction();
    bool commit();
    bool rollback();

    // Savepoints: quotes in the name are doubled. A null name is a caller's error
    // (FMException "Invalid parameter not satisfying: name").
    bool startSavePointWithName(const QString &name, RQError *error = nullptr);
    bool releaseSavePointWithName(const QString &name, RQError *error = nullptr);
    bool rollbackToSavePointWithName(const QString &name, RQError *error = nullptr);
    // Runs the block inside a fresh savepoint; setting *rollback rolls its work back. No value
    // when every step succeeded, else the error of the last step that failed.
    std::optional<RQError> inSavePoint(const std::function<void(bool *rollback)> &block);

    // The two algorithms that the queue and the pool share with the connection. A savepoint
    // of the given name around the block (skipped without a connection). A transaction,
    // exclusive or deferred, that the block may ask to roll back: it begins without looking
    // at the answer and runs the block in any case (with nullptr without a connection), then
    // rolls back or commits. A block that raises is rolled back, and the exception goes on.
    static std::optional<RQError> inSavePointOn(FMDatabase *db, const QString &name,
                                                const RollbackBlock &block);
    static void inTransactionOn(FMDatabase *db, bool deferred, const RollbackBlock &block);

    // Registers a scalar SQL function (argument count -1: any number); the block lives as
    // long as the connection.
    void makeFunctionNamed(const QString &name, int maximumArguments, FunctionBlock block);

    // One-value queries: column 0 of the first row, or the empty value.
    template<typename... Values>
    QString stringForQuery(const QString &sql, Values &&...values)
    {
        return firstValueForQuery(sql, {FMValue(std::forward<Values>(values))...},
                                  &FMResultSet::stringForColumnIndex);
    }
    template<typename... Values>
    int intForQuery(const QString &sql, Values &&...values)
    {
        return firstValueForQuery(sql, {FMValue(std::forward<Values>(values))...},
                                  &FMResultSet::intForColumnIndex);
    }
    template<typename... Values>
    long longForQuery(const QString &sql, Values &&...values)
    {
        return firstValueForQuery(sql, {FMValue(std::forward<Values>(values))...},
                                  &FMResultSet::longForColumnIndex);
    }
    template<typename... Values>
    bool boolForQuery(const QString &sql, Values &&...values)
    {
        return firstValueForQuery(sql, {FMValue(std::forward<Values>(values))...},
                                  &FMResultSet::boolForColumnIndex);
    }
    template<typename... Values>
    double doubleForQuery(const QString &sql, Values &&...values)
    {
        return firstValueForQuery(sql, {FMValue(std::forward<Values>(values))...},
                                  &FMResultSet::doubleForColumnIndex);
    }
    template<typename... Values>
    QByteArray dataForQuery(const QString &sql, Values &&...values)
    {
        return firstValueForQuery(sql, {FMValue(std::forward<Values>(values))...},
                                  &FMResultSet::dataForColumnIndex);
    }
    template<typename... Values>
    QDateTime dateForQuery(const QString &sql, Values &&...values)
    {
        return firstValueForQuery(sql, {FMValue(std::forward<Values>(values))...},
                                  &FMResultSet::dateForColumnIndex);
    }

    // Schema.
    bool tableExists(const QString &tableName);
    std::shared_ptr<FMResultSet> getSchema();
    std::shared_ptr<FMResultSet> getTableSchema(const QString &tableName);
    bool columnExistsInTableWithName(const QString &columnName, const QString &tableName);
    bool columnExistsColumnName(const QString &tableName, const QString &columnName);

    // Header values of the database file.
    quint32 applicationID();
    void setApplicationID(quint32 applicationID);
    // The application id as four 8-bit characters, the highest byte first.
    QString applicationIDString();
    void setApplicationIDString(const QString &string);
    quint32 userVersion();
    void setUserVersion(quint32 version);

    // Whether the text compiles; nothing runs.
    bool validateSQL(const QString &sql, RQError *error = nullptr);

private:
    struct Closer
    {
        void operator()(sqlite3 *db) const noexcept;
    };
    struct Prepared;

    static int busyHandler(void *context, int count);
    static void scalarFunction(sqlite3_context *context, int argumentCount,
                               sqlite3_value **arguments);
    static QString nullableText(const std::optional<QString> &text);

    QByteArray sqlitePath() const;
    // Without flags the engine's default open.
    bool openHandle(std::optional<int> flags);
    void stop(const QString &message) const;
    void warnInUse();
    // The open check and the in-use check that every statement passes first.
    bool canExecute();
    RQError errorWithMessage(const QString &message) const;
    // True when there was at least one statement to finalise.
    bool closeLeakedStatements();
    void registerStatement(const std::shared_ptr<FMStatement> &statement);

    std::optional<Prepared> prepareAndBind(const QString &sql, const FMValueList *array,
                                           const FMParameterDictionary *dictionary,
                                           RQError *prepareError, bool forUpdate);
    bool runTransactionStatement(const QString &sql, bool inTransactionAfter);
    // The in-use check and flag around one read of the handle's state.
    qint64 readHandleState(const std::function<qint64(sqlite3 *)> &read);
    void dropCachedStatement(const std::shared_ptr<FMStatement> &statement);
    std::shared_ptr<FMResultSet> executeQueryWithArgumentsInArrayOrDictionary(
        const QString &sql, const FMValueList *array, const FMParameterDictionary *dictionary);
    bool executeUpdateErrorWithArgumentsInArrayOrDictionary(
        const QString &sql, RQError *error, const FMValueList *array,
        const FMParameterDictionary *dictionary);
    bool executeSavePointStatement(const QString &format, const QString &name, RQError *error);
    quint32 headerValue(const QString &pragma);
    void setHeaderValue(const QString &pragma);

    template<typename Result>
    Result firstValueForQuery(const QString &sql, const FMValueList &arguments,
                              Result (FMResultSet::*getter)(int) const)
    {
        const std::shared_ptr<FMResultSet> resultSet =
            executeQueryWithArgumentsInArray(sql, arguments);
        if (!resultSet || !resultSet->next())
            return Result();
        Result value = ((*resultSet).*getter)(0);
        resultSet->close();
        return value;
    }

    std::unique_ptr<sqlite3, Closer> m_db;
    std::optional<QString> m_databasePath;
    bool m_logsErrors = true;
    bool m_crashOnErrors = false;
    bool m_traceExecution = false;
    bool m_checkedOut = false;
    bool m_shouldCacheStatements = false;
    bool m_isExecutingStatement = false;
    bool m_inTransaction = false;
    // The handle kept after a failed open only tells what went wrong; it is not open.
    bool m_openFailed = false;
    double m_maxBusyRetryTimeInterval = 2.0;
    double m_startBusyRetryTime = 0.0;
    StatementCache m_cachedStatements;
    std::vector<FMResultSet *> m_openResultSets;
    // Every statement wrapper made here, so that closing can finalise leaked ones through
    // their wrappers instead of leaving them to finalise a freed handle later.
    std::vector<std::weak_ptr<FMStatement>> m_statements;
    std::vector<std::unique_ptr<FunctionBlock>> m_openFunctions;
    std::optional<FMDateFormatter> m_dateFormat;
};
