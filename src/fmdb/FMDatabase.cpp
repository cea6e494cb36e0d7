#include "fmdb/FMDatabase.h"

#include "fmdb/FMDescription.h"
#include "fmdb/FMException.h"
#include "fmdb/FMStatement.h"
#include "platform/SystemLog.h"

#include <QFile>
#include <QRandomGenerator>

#include <sqlite3.h>

#include <algorithm>
#include <atomic>
#include <chrono>

using namespace Qt::StringLiterals;

namespace {

// Raises the in-use flag for one preparation (and its run) and lowers it on every way out.
class ExecutingStatementScope final
{
public:
    explicit ExecutingStatementScope(bool &flag) : m_flag(flag) { m_flag = true; }
    ~ExecutingStatementScope() { m_flag = false; }
    ExecutingStatementScope(const ExecutingStatementScope &) = delete;
    ExecutingStatementScope &operator=(const ExecutingStatementScope &) = delete;

private:
    bool &m_flag;
};

double secondsNow()
{
    using namespace std::chrono;
    return duration<double>(system_clock::now().time_since_epoch()).count();
}

int scriptRowCallback(void *context, int columnCount, char **values, char **names)
{
    const auto &block = *static_cast<const FMDatabase::ResultBlock *>(context);
    QMap<QString, FMValue> row;
    for (int index = 0; index < columnCount; ++index) {
        row.insert(QString::fromUtf8(names[index]),
                   values[index] ? FMValue(QString::fromUtf8(values[index])) : FMValue::null());
    }
    return block(row);
}

} // namespace

// What the preparation hands to the query and update cores: the statement, and whether it
// came out of the cache.
struct FMDatabase::Prepared
{
    std::shared_ptr<FMStatement> statement;
    bool fromCache = false;
};

void FMDatabase::Closer::operator()(sqlite3 *db) const noexcept
{
    // The deferring close: should a statement still be alive, the engine frees the handle
    // when that statement goes instead of leaking it.
    sqlite3_close_v2(db);
}

std::shared_ptr<FMDatabase> FMDatabase::databaseWithPath(std::optional<QString> path)
{
    return std::make_shared<FMDatabase>(PrivateTag{}, std::move(path));
}

FMDatabase::FMDatabase(PrivateTag, std::optional<QString> path) : m_databasePath(std::move(path))
{
    if (!sqlite3_threadsafe())
        qFatal("sqlite3_threadsafe()");
}

FMDatabase::~FMDatabase()
{
    close();
}

QString FMDatabase::FMDBUserVersion()
{
    return u"2.5"_s;
}

quint32 FMDatabase::FMDBVersion()
{
    static const quint32 version = [] {
        QString text = FMDBUserVersion();
        if (text.count(u'.') <= 1)
            text += ".0"_L1;
        text.remove(u'.');
        return text.toUInt(nullptr, 16);
    }();
    return version;
}

QString FMDatabase::sqliteLibVersion()
{
    return QString::fromUtf8(sqlite3_libversion());
}

bool FMDatabase::isSQLiteThreadSafe()
{
    return sqlite3_threadsafe() != 0;
}

QString FMDatabase::description() const
{
    return fm_objectDescription("FMDatabase", this);
}

QString FMDatabase::nullableText(const std::optional<QString> &text)
{
    return text ? *text : u"(null)"_s;
}

QByteArray FMDatabase::sqlitePath() const
{
    if (!m_databasePath)
        return QByteArrayLiteral(":memory:");
    return QFile::encodeName(*m_databasePath);
}

bool FMDatabase::open()
{
    return openHandle(std::nullopt);
}

bool FMDatabase::openWithFlags(int flags)
{
    return openHandle(flags);
}

bool FMDatabase::openHandle(std::optional<int> flags)
{
    if (m_db && !m_openFailed)
        return true;
    // A handle left by a failed open only described the failure; this is a fresh try.
    m_db.reset();
    sqlite3 *handle = nullptr;
    const QByteArray path = sqlitePath();
    const int result = flags ? sqlite3_open_v2(path.constData(), &handle, *flags, nullptr)
                             : sqlite3_open(path.constData(), &handle);
    // Kept even on failure: the engine's handle tells what went wrong.
    m_db.reset(handle);
    m_openFailed = result != SQLITE_OK;
    if (m_openFailed) {
        SystemLog::write(u"error opening!: %1"_s.arg(result));
        return false;
    }
    if (m_maxBusyRetryTimeInterval > 0.0)
        setMaxBusyRetryTimeInterval(m_maxBusyRetryTimeInterval);
    return true;
}

bool FMDatabase::close()
{
    // Result sets may hold the last references to this connection; detaching them must not
    // end it halfway through.
    const std::shared_ptr<FMDatabase> keepAlive = weak_from_this().lock();
    clearCachedStatements();
    closeOpenResultSets();
    if (!m_db)
        return true;

    int result = sqlite3_close(m_db.get());
    if ((result == SQLITE_BUSY || result == SQLITE_LOCKED) && closeLeakedStatements())
        result = sqlite3_close(m_db.get());
    if (result == SQLITE_OK) {
        // The engine has freed the handle.
        (void)m_db.release();
    } else {
        if (result != SQLITE_BUSY && result != SQLITE_LOCKED)
            SystemLog::write(u"error closing!: %1"_s.arg(result));
        m_db.reset();
    }
    m_openFailed = false;
    m_inTransaction = false;
    return true;
}

bool FMDatabase::closeLeakedStatements()
{
    bool closedAny = false;
    while (sqlite3_stmt *leaked = sqlite3_next_stmt(m_db.get(), nullptr)) {
        SystemLog::write(u"Closing leaked statement"_s);
        closedAny = true;
        const auto wrapper = std::find_if(m_statements.begin(), m_statements.end(),
                                          [leaked](const std::weak_ptr<FMStatement> &weak) {
                                              const auto statement = weak.lock();
                                              return statement && statement->statement() == leaked;
                                          });
        if (wrapper != m_statements.end())
            wrapper->lock()->close();
        else
            sqlite3_finalize(leaked);
    }
    m_statements.clear();
    return closedAny;
}

void FMDatabase::registerStatement(const std::shared_ptr<FMStatement> &statement)
{
    std::erase_if(m_statements,
                  [](const std::weak_ptr<FMStatement> &weak) { return weak.expired(); });
    m_statements.push_back(statement);
}

void FMDatabase::closeOpenResultSets()
{
    const std::shared_ptr<FMDatabase> keepAlive = weak_from_this().lock();
    const std::vector<FMResultSet *> openResultSets = m_openResultSets;
    for (FMResultSet *resultSet : openResultSets) {
        resultSet->setParentDB(nullptr);
        resultSet->close();
        std::erase(m_openResultSets, resultSet);
    }
}

void FMDatabase::resultSetDidClose(FMResultSet *resultSet)
{
    std::erase(m_openResultSets, resultSet);
}

bool FMDatabase::goodConnection()
{
    if (!m_db || m_openFailed)
        return false;
    const std::shared_ptr<FMResultSet> resultSet =
        executeQuery(u"select name from sqlite_master where type='table'"_s);
    if (!resultSet)
        return false;
    resultSet->close();
    return true;
}

void FMDatabase::setMaxBusyRetryTimeInterval(double seconds)
{
    m_maxBusyRetryTimeInterval = seconds;
    if (!m_db || m_openFailed)
        return;
    if (seconds > 0.0)
        sqlite3_busy_handler(m_db.get(), &FMDatabase::busyHandler, this);
    else
        sqlite3_busy_handler(m_db.get(), nullptr, nullptr);
}

int FMDatabase::busyHandler(void *context, int count)
{
    auto *self = static_cast<FMDatabase *>(context);
    const double now = secondsNow();
    if (count == 0) {
        self->m_startBusyRetryTime = now;
        return 1;
    }
    if (self->m_maxBusyRetryTimeInterval <= now - self->m_startBusyRetryTime)
        return 0;
    const int requested = 50 + static_cast<int>(QRandomGenerator::global()->bounded(50));
    const int slept = sqlite3_sleep(requested);
    if (slept != requested) {
        SystemLog::write(u"WARNING: Requested sleep of %1 milliseconds, but SQLite returned %2. "
                         "Maybe SQLite wasn't built with HAVE_USLEEP=1?"_s.arg(requested)
                             .arg(slept));
    }
    return 1;
}

int FMDatabase::busyRetryTimeout()
{
    SystemLog::write(u"%1:%2"_s.arg(QString::fromUtf8(Q_FUNC_INFO)).arg(__LINE__));
    SystemLog::write(
        u"FMDB: busyRetryTimeout no longer works, please use maxBusyRetryTimeInterval"_s);
    return -1;
}

void FMDatabase::setBusyRetryTimeout(int timeout)
{
    Q_UNUSED(timeout)
    SystemLog::write(u"%1:%2"_s.arg(QString::fromUtf8(Q_FUNC_INFO)).arg(__LINE__));
    SystemLog::write(
        u"FMDB: setBusyRetryTimeout does nothing, please use setMaxBusyRetryTimeInterval:"_s);
}

void FMDatabase::stop(const QString &message) const
{
    qFatal("%s", qUtf8Printable(message));
}

bool FMDatabase::databaseExists()
{
    if (m_db && !m_openFailed)
        return true;
    const QString message = u"The FMDatabase %1 is not open."_s.arg(description());
    SystemLog::write(message);
    if (m_crashOnErrors)
        stop(message);
    return false;
}

void FMDatabase::warnInUse()
{
    const QString message = u"The FMDatabase %1 is currently in use."_s.arg(description());
    SystemLog::write(message);
    if (m_crashOnErrors)
        stop(message);
}

bool FMDatabase::canExecute()
{
    if (!databaseExists())
        return false;
    if (m_isExecutingStatement) {
        warnInUse();
        return false;
    }
    return true;
}

int FMDatabase::lastErrorCode() const
{
    return sqlite3_errcode(m_db.get());
}

QString FMDatabase::lastErrorMessage() const
{
    return QString::fromUtf8(sqlite3_errmsg(m_db.get()));
}

bool FMDatabase::hadError() const
{
    const int code = lastErrorCode();
    return code > SQLITE_OK && code < SQLITE_ROW;
}

RQError FMDatabase::lastError() const
{
    return errorWithMessage(lastErrorMessage());
}

RQError FMDatabase::errorWithMessage(const QString &message) const
{
    return RQError(u"FMDatabase"_s, sqlite3_errcode(m_db.get()), message);
}

qint64 FMDatabase::readHandleState(const std::function<qint64(sqlite3 *)> &read)
{
    if (m_isExecutingStatement) {
        warnInUse();
        return 0;
    }
    // The engine does not check for a missing handle.
    if (!m_db)
        return 0;
    ExecutingStatementScope scope(m_isExecutingStatement);
    return read(m_db.get());
}

qint64 FMDatabase::lastInsertRowId()
{
    return readHandleState([](sqlite3 *db) { return sqlite3_last_insert_rowid(db); });
}

int FMDatabase::changes()
{
    return static_cast<int>(readHandleState([](sqlite3 *db) { return sqlite3_changes(db); }));
}

FMDateFormatter FMDatabase::storeableDateFormat(const QString &format)
{
    return FMDateFormatter(format);
}

QDateTime FMDatabase::dateFromString(const QString &string) const
{
    return m_dateFormat ? m_dateFormat->dateFromString(string) : QDateTime();
}

QString FMDatabase::stringFromDate(const QDateTime &date) const
{
    return m_dateFormat ? m_dateFormat->stringFromDate(date) : QString();
}

bool FMDatabase::setKey(const QString &key)
{
    return setKeyWithData(key.toUtf8());
}

bool FMDatabase::rekey(const QString &key)
{
    return rekeyWithData(key.toUtf8());
}

bool FMDatabase::setKeyWithData(const QByteArray &keyData)
{
    Q_UNUSED(keyData)
    return false;
}

bool FMDatabase::rekeyWithData(const QByteArray &keyData)
{
    Q_UNUSED(keyData)
    return false;
}

// ---- statement execution and binding

std::shared_ptr<FMResultSet> FMDatabase::executeQueryWithArgumentsInArray(
    const QString &sql, const FMValueList &arguments)
{
    return executeQueryWithArgumentsInArrayOrDictionary(sql, &arguments, nullptr);
}

std::shared_ptr<FMResultSet> FMDatabase::executeQueryWithParameterDictionary(
    const QString &sql, const FMParameterDictionary &arguments)
{
    return executeQueryWithArgumentsInArrayOrDictionary(sql, nullptr, &arguments);
}

std::shared_ptr<FMResultSet> FMDatabase::executeQueryWithVAList(const QString &sql,
                                                                const FMValueList &arguments)
{
    return executeQueryWithArgumentsInArrayOrDictionary(sql, &arguments, nullptr);
}

bool FMDatabase::executeUpdateWithArgumentsInArray(const QString &sql, const FMValueList &arguments)
{
    return executeUpdateErrorWithArgumentsInArrayOrDictionary(sql, nullptr, &arguments, nullptr);
}

bool FMDatabase::executeUpdateWithParameterDictionary(const QString &sql,
                                                      const FMParameterDictionary &arguments)
{
    return executeUpdateErrorWithArgumentsInArrayOrDictionary(sql, nullptr, nullptr, &arguments);
}

bool FMDatabase::executeUpdateWithVAList(const QString &sql, const FMValueList &arguments)
{
    return executeUpdateErrorWithArgumentsInArrayOrDictionary(sql, nullptr, &arguments, nullptr);
}

std::optional<FMDatabase::Prepared> FMDatabase::prepareAndBind(
    const QString &sql, const FMValueList *array, const FMParameterDictionary *dictionary,
    RQError *prepareError, bool forUpdate)
{
    if (m_traceExecution && !sql.isNull()) {
        SystemLog::write(u"%1 %2: %3"_s.arg(
            description(), forUpdate ? u"executeUpdate"_s : u"executeQuery"_s, sql));
    }

    Prepared prepared;
    if (m_shouldCacheStatements) {
        prepared.statement = cachedStatementForQuery(sql);
        prepared.fromCache = prepared.statement != nullptr;
        if (prepared.statement)
            prepared.statement->reset();
    }
    if (!prepared.statement) {
        sqlite3_stmt *raw = nullptr;
        const QByteArray utf8 = sql.toUtf8();
        const int result = sqlite3_prepare_v2(m_db.get(), utf8.constData(), -1, &raw, nullptr);
        if (result != SQLITE_OK) {
            const QString errorLine =
                u"DB Error: %1 \"%2\""_s.arg(lastErrorCode()).arg(lastErrorMessage());
            if (m_logsErrors) {
                SystemLog::write(errorLine);
                SystemLog::write(u"DB Query: %1"_s.arg(sql));
                SystemLog::write(u"DB Path: %1"_s.arg(nullableText(m_databasePath)));
            }
            if (m_crashOnErrors)
                stop(errorLine);
            if (prepareError)
                *prepareError = errorWithMessage(lastErrorMessage());
            sqlite3_finalize(raw);
            return std::nullopt;
        }
        prepared.statement = std::make_shared<FMStatement>(raw);
        registerStatement(prepared.statement);
    }

    sqlite3_stmt *statement = prepared.statement->statement();
    const int parameterCount = sqlite3_bind_parameter_count(statement);
    int boundCount = 0;
    if (dictionary) {
        for (auto entry = dictionary->constBegin(); entry != dictionary->constEnd(); ++entry) {
            const QString parameterName = u':' + entry.key();
            if (m_traceExecution)
                SystemLog::write(u"%1 = %2"_s.arg(parameterName, entry.value().description()));
            const int index =
                sqlite3_bind_parameter_index(statement, parameterName.toUtf8().constData());
            if (index > 0) {
                bindObject(entry.value(), index, statement);
                ++boundCount;
            } else {
                SystemLog::write(u"Could not find index for %1"_s.arg(entry.key()));
            }
        }
    } else if (array) {
        while (boundCount < parameterCount && boundCount < array->size()) {
            const FMValue &value = array->at(boundCount);
            if (m_traceExecution) {
                SystemLog::write(value.kind() == FMValue::Kind::Bytes
                                     ? u"data: %1 bytes"_s.arg(value.bytes().size())
                                     : u"obj: %1"_s.arg(value.description()));
            }
            bindObject(value, boundCount + 1, statement);
            ++boundCount;
        }
    }

    if (boundCount != parameterCount) {
        SystemLog::write(
            forUpdate
                ? u"Error: the bind count (%1) is not correct for the # of variables in the "
                  "query (%2) (%3) (executeUpdate)"_s.arg(boundCount)
                      .arg(parameterCount)
                      .arg(sql)
                : u"Error: the bind count is not correct for the # of variables (executeQuery)"_s);
        prepared.statement->close();
        // A finalised statement must not stay in the cache for the next query of this text.
        if (prepared.fromCache)
            dropCachedStatement(prepared.statement);
        return std::nullopt;
    }
    return prepared;
}

std::shared_ptr<FMResultSet> FMDatabase::executeQueryWithArgumentsInArrayOrDictionary(
    const QString &sql, const FMValueList *array, const FMParameterDictionary *dictionary)
{
    if (!canExecute())
        return nullptr;
    ExecutingStatementScope scope(m_isExecutingStatement);
    const std::optional<Prepared> prepared = prepareAndBind(sql, array, dictionary, nullptr, false);
    if (!prepared)
        return nullptr;
    if (!prepared->fromCache && m_shouldCacheStatements && !sql.isNull())
        setCachedStatement(prepared->statement, sql);

    std::shared_ptr<FMResultSet> resultSet =
        FMResultSet::resultSetWithStatement(prepared->statement, shared_from_this());
    resultSet->setQuery(sql);
    m_openResultSets.push_back(resultSet.get());
    prepared->statement->setUseCount(prepared->statement->useCount() + 1);
    return resultSet;
}

bool FMDatabase::executeUpdateErrorWithArgumentsInArrayOrDictionary(
    const QString &sql, RQError *error, const FMValueList *array,
    const FMParameterDictionary *dictionary)
{
    if (!canExecute())
        return false;
    ExecutingStatementScope scope(m_isExecutingStatement);
    const std::optional<Prepared> prepared = prepareAndBind(sql, array, dictionary, error, true);
    if (!prepared)
        return false;

    sqlite3_stmt *statement = prepared->statement->statement();
    const int result = sqlite3_step(statement);
    if (result == SQLITE_ROW)
        SystemLog::write(u"A executeUpdate is being called with a query string '%1'"_s.arg(sql));
    if (result != SQLITE_DONE && m_logsErrors) {
        const QString message = lastErrorMessage();
        if (result == SQLITE_ERROR)
            SystemLog::write(
                u"Error calling sqlite3_step (%1: %2) SQLITE_ERROR"_s.arg(result).arg(message));
        else if (result == SQLITE_MISUSE)
            SystemLog::write(
                u"Error calling sqlite3_step (%1: %2) SQLITE_MISUSE"_s.arg(result).arg(message));
        else
            SystemLog::write(
                u"Unknown error calling sqlite3_step (%1: %2) eu"_s.arg(result).arg(message));
        SystemLog::write(u"DB Query: %1"_s.arg(sql));
    }

    const bool keep = prepared->fromCache || m_shouldCacheStatements;
    if (!prepared->fromCache && m_shouldCacheStatements)
        setCachedStatement(prepared->statement, sql);
    // Reset answers what finalising would: the result of the last step.
    const int closeResult = sqlite3_reset(statement);
    if (keep)
        prepared->statement->setUseCount(prepared->statement->useCount() + 1);
    else
        prepared->statement->close();
    if (closeResult != SQLITE_OK && m_logsErrors) {
        SystemLog::write(
            u"Unknown error finalizing or resetting statement (%1: %2)"_s.arg(closeResult)
                .arg(lastErrorMessage()));
        SystemLog::write(u"DB Query: %1"_s.arg(sql));
    }
    return result == SQLITE_DONE || result == SQLITE_OK;
}

void FMDatabase::bindObject(const FMValue &value, int index, sqlite3_stmt *statement) const
{
    // Text and bytes are always copied by the engine (SQLITE_TRANSIENT): the value's storage
    // may go before the statement is stepped.
    const auto bindText = [&](const QString &text) {
        sqlite3_bind_text(statement, index, text.toUtf8().constData(), -1, SQLITE_TRANSIENT);
    };
    switch (value.kind()) {
    case FMValue::Kind::Nil:
    case FMValue::Kind::Null:
        sqlite3_bind_null(statement, index);
        return;
    case FMValue::Kind::Bytes: {
        const QByteArray bytes = value.bytes();
        // A null pointer would bind NULL; empty bytes are a zero-length blob.
        sqlite3_bind_blob64(statement, index, bytes.isEmpty() ? "" : bytes.constData(),
                            static_cast<sqlite3_uint64>(bytes.size()), SQLITE_TRANSIENT);
        return;
    }
    case FMValue::Kind::Date:
        if (m_dateFormat)
            bindText(m_dateFormat->stringFromDate(value.date()));
        else
            sqlite3_bind_double(statement, index,
                                static_cast<double>(value.date().toMSecsSinceEpoch()) / 1000.0);
        return;
    case FMValue::Kind::Number:
        switch (value.numberType()) {
        case 'c':
        case 'C':
        case 's':
        case 'S':
        case 'i':
            sqlite3_bind_int(statement, index, static_cast<int>(value.toLongLong()));
            return;
        case 'I':
        case 'q':
        case 'Q':
            sqlite3_bind_int64(statement, index, value.toLongLong());
            return;
        default:
            sqlite3_bind_double(statement, index, value.toDouble());
            return;
        }
    case FMValue::Kind::Text:
        bindText(value.text());
        return;
    }
}

void FMDatabase::extractSQL(const QString &format, const FMValueList &argumentsList, QString &sql,
                            FMValueList &arguments)
{
    using Conversion = FMValue (*)(const FMValue &);
    struct Specifier
    {
        QStringView letters;
        Conversion convert;
    };
    // Longer specifiers first, so that "lld" is not read as "l" followed by "ld".
    static const Specifier specifiers[] = {
        {u"lld", [](const FMValue &v) { return FMValue(v.toLongLong()); }},
        {u"llu", [](const FMValue &v) { return FMValue(v.toULongLong()); }},
        {u"hi", [](const FMValue &v) { return FMValue(static_cast<short>(v.toLongLong())); }},
        {u"hu",
         [](const FMValue &v) { return FMValue(static_cast<unsigned short>(v.toLongLong())); }},
        {u"qi", [](const FMValue &v) { return FMValue(v.toLongLong()); }},
        {u"qu", [](const FMValue &v) { return FMValue(v.toULongLong()); }},
        {u"ld", [](const FMValue &v) { return FMValue(static_cast<long>(v.toLongLong())); }},
        {u"lu",
         [](const FMValue &v) { return FMValue(static_cast<unsigned long>(v.toULongLong())); }},
        {u"@", [](const FMValue &v) { return v; }},
        {u"c",
         [](const FMValue &v) {
             if (v.kind() == FMValue::Kind::Text)
                 return FMValue(v.text().left(1));
             return FMValue(QString(QChar::fromLatin1(static_cast<char>(v.toLongLong()))));
         }},
        {u"s",
         [](const FMValue &v) {
             if (v.isNil() || v.kind() == FMValue::Kind::Text)
                 return v;
             return FMValue(v.description());
         }},
        {u"d", [](const FMValue &v) { return FMValue(static_cast<int>(v.toLongLong())); }},
        {u"D", [](const FMValue &v) { return FMValue(static_cast<int>(v.toLongLong())); }},
        {u"i", [](const FMValue &v) { return FMValue(static_cast<int>(v.toLongLong())); }},
        {u"u", [](const FMValue &v) { return FMValue(static_cast<unsigned int>(v.toLongLong())); }},
        {u"U", [](const FMValue &v) { return FMValue(static_cast<unsigned int>(v.toLongLong())); }},
        {u"f", [](const FMValue &v) { return FMValue(v.toDouble()); }},
        {u"g", [](const FMValue &v) { return FMValue(static_cast<float>(v.toDouble())); }},
    };

    sql.clear();
    sql.reserve(format.size());
    qsizetype nextArgument = 0;
    const QStringView text(format);
    for (qsizetype position = 0; position < text.size(); ++position) {
        const QChar character = text.at(position);
        if (character != u'%') {
            if (!character.isNull())
                sql += character;
            continue;
        }
        const QStringView rest = text.mid(position + 1);
        if (rest.isEmpty())
            break;
        const auto *specifier = std::find_if(
            std::begin(specifiers), std::end(specifiers),
            [rest](const Specifier &candidate) { return rest.startsWith(candidate.letters); });
        if (specifier == std::end(specifiers)) {
            if (!rest.front().isNull())
                sql += rest.front();
            ++position;
            continue;
        }
        position += specifier->letters.size();
        // A conversion without a value left reads nil.
        const FMValue value =
            nextArgument < argumentsList.size() ? argumentsList.at(nextArgument) : FMValue();
        ++nextArgument;
        if (specifier->letters == u"@" && value.isNil()) {
            sql += "NULL"_L1;
            continue;
        }
        sql += u'?';
        arguments.append(specifier->convert(value));
    }
}

void FMDatabase::setShouldCacheStatements(bool shouldCacheStatements)
{
    m_shouldCacheStatements = shouldCacheStatements;
    // The dropped statements are finalised as their last holders let go of them.
    if (!shouldCacheStatements)
        m_cachedStatements.clear();
}

std::shared_ptr<FMStatement> FMDatabase::cachedStatementForQuery(const QString &query) const
{
    const auto found = m_cachedStatements.find(query);
    if (found == m_cachedStatements.end())
        return nullptr;
    for (const std::shared_ptr<FMStatement> &statement : found->second) {
        if (!statement->inUse() && statement->statement())
            return statement;
    }
    return nullptr;
}

void FMDatabase::setCachedStatement(const std::shared_ptr<FMStatement> &statement,
                                    const QString &query)
{
    statement->setQuery(query);
    m_cachedStatements[query].push_back(statement);
}

void FMDatabase::dropCachedStatement(const std::shared_ptr<FMStatement> &statement)
{
    const auto found = m_cachedStatements.find(statement->query());
    if (found == m_cachedStatements.end())
        return;
    std::erase(found->second, statement);
    if (found->second.empty())
        m_cachedStatements.erase(found);
}

void FMDatabase::clearCachedStatements()
{
    for (const auto &[query, statements] : m_cachedStatements) {
        for (const std::shared_ptr<FMStatement> &statement : statements)
            statement->close();
    }
    m_cachedStatements.clear();
}

bool FMDatabase::executeStatements(const QString &sql)
{
    return executeStatementsWithResultBlock(sql, {});
}

bool FMDatabase::executeStatementsWithResultBlock(const QString &sql, const ResultBlock &block)
{
    char *errorMessage = nullptr;
    const QByteArray utf8 = sql.toUtf8();
    const int result =
        sqlite3_exec(m_db.get(), utf8.constData(), block ? &scriptRowCallback : nullptr,
                     block ? const_cast<ResultBlock *>(&block) : nullptr, &errorMessage);
    if (errorMessage && m_logsErrors)
        SystemLog::write(u"Error inserting batch: %1"_s.arg(QString::fromUtf8(errorMessage)));
    sqlite3_free(errorMessage);
    return result == SQLITE_OK;
}

// ---- transactions, savepoints and SQL functions

bool FMDatabase::runTransactionStatement(const QString &sql, bool inTransactionAfter)
{
    if (!executeUpdate(sql))
        return false;
    m_inTransaction = inTransactionAfter;
    return true;
}

bool FMDatabase::beginTransaction()
{
    return runTransactionStatement(u"begin exclusive transaction"_s, true);
}

bool FMDatabase::beginDeferredTransaction()
{
    return runTransactionStatement(u"begin deferred transaction"_s, true);
}

bool FMDatabase::commit()
{
    return runTransactionStatement(u"commit transaction"_s, false);
}

bool FMDatabase::rollback()
{
    return runTransactionStatement(u"rollback transaction"_s, false);
}

bool FMDatabase::executeSavePointStatement(const QString &format, const QString &name,
                                           RQError *error)
{
    if (name.isNull())
        throw FMException::invalidParameter(u"name"_s);
    // Doubled quotes keep the name one quoted SQL string, whatever it holds.
    QString quoted = name;
    quoted.replace(u'\'', "''"_L1);
    if (executeUpdate(format.arg(quoted)))
        return true;
    if (error)
        *error = lastError();
    return false;
}

bool FMDatabase::startSavePointWithName(const QString &name, RQError *error)
{
    return executeSavePointStatement(u"savepoint '%1';"_s, name, error);
}

bool FMDatabase::releaseSavePointWithName(const QString &name, RQError *error)
{
    return executeSavePointStatement(u"release savepoint '%1';"_s, name, error);
}

bool FMDatabase::rollbackToSavePointWithName(const QString &name, RQError *error)
{
    return executeSavePointStatement(u"rollback transaction to savepoint '%1';"_s, name, error);
}

std::optional<RQError> FMDatabase::inSavePoint(const std::function<void(bool *rollback)> &block)
{
    static std::atomic<long> savePointCounter = 0;
    return inSavePointOn(this, u"dbSavePoint%1"_s.arg(savePointCounter.fetch_add(1)),
                         [&block](FMDatabase *, bool *rollback) {
                             if (block)
                                 block(rollback);
                         });
}

std::optional<RQError> FMDatabase::inSavePointOn(FMDatabase *db, const QString &name,
                                                 const RollbackBlock &block)
{
    if (!db)
        return std::nullopt;
    RQError error;
    if (!db->startSavePointWithName(name, &error))
        return error;
    std::optional<RQError> lastFailure;
    bool shouldRollback = false;
    try {
        if (block)
            block(db, &shouldRollback);
    } catch (...) {
        // A block that raised has not finished its work: none of it stays, nor the savepoint.
        db->rollbackToSavePointWithName(name);
        db->releaseSavePointWithName(name);
        throw;
    }
    if (shouldRollback && !db->rollbackToSavePointWithName(name, &error))
        lastFailure = error;
    // Released after a rollback too, so that the savepoint never outlives the call.
    if (!db->releaseSavePointWithName(name, &error))
        lastFailure = error;
    return lastFailure;
}

void FMDatabase::inTransactionOn(FMDatabase *db, bool deferred, const RollbackBlock &block)
{
    bool shouldRollback = false;
    if (!db) {
        if (block)
            block(nullptr, &shouldRollback);
        return;
    }
    // The block runs even when beginning failed.
    if (deferred)
        db->beginDeferredTransaction();
    else
        db->beginTransaction();
    try {
        if (block)
            block(db, &shouldRollback);
    } catch (...) {
        // A block that raised has not finished its work, and the transaction must not stay
        // open for whoever uses the connection next.
        db->rollback();
        throw;
    }
    if (shouldRollback)
        db->rollback();
    else
        db->commit();
}

void FMDatabase::scalarFunction(sqlite3_context *context, int argumentCount,
                                sqlite3_value **arguments)
{
    const auto &block = *static_cast<const FunctionBlock *>(sqlite3_user_data(context));
    block(context, argumentCount, arguments);
}

void FMDatabase::makeFunctionNamed(const QString &name, int maximumArguments, FunctionBlock block)
{
    // The engine does not check for a missing handle.
    if (!databaseExists())
        return;
    m_openFunctions.push_back(std::make_unique<FunctionBlock>(std::move(block)));
    sqlite3_create_function(m_db.get(), name.toUtf8().constData(), maximumArguments, SQLITE_UTF8,
                            m_openFunctions.back().get(), &FMDatabase::scalarFunction, nullptr,
                            nullptr);
}
