#pragma once

#include <QString>

#include <memory>

struct sqlite3_stmt;

// One prepared engine statement with the query text it was cached under, how many times it
// was handed out or run, and whether a result set holds it. It owns the engine statement and
// finalises it on close() or when it goes. Used on the thread of its connection.
class FMStatement final
{
public:
    // Takes ownership of the engine statement (which may be null).
    explicit FMStatement(sqlite3_stmt *statement);
    ~FMStatement();
    FMStatement(const FMStatement &) = delete;
    FMStatement &operator=(const FMStatement &) = delete;

    // The engine statement, null once finalised.
    sqlite3_stmt *statement() const { return m_statement.get(); }
    QString query() const { return m_query; }
    void setQuery(const QString &query) { m_query = query; }
    qint64 useCount() const { return m_useCount; }
    void setUseCount(qint64 useCount) { m_useCount = useCount; }
    bool inUse() const { return m_inUse; }
    void setInUse(bool inUse) { m_inUse = inUse; }

    // Finalises the engine statement and forgets it; no longer in use.
    void close();
    // Resets the engine statement for another run (bindings stay); no longer in use.
    void reset();

    // "<FMStatement: address> N hit(s) for query <query>"
    QString description() const;

private:
    struct Finalizer
    {
        void operator()(sqlite3_stmt *statement) const noexcept;
    };

    std::unique_ptr<sqlite3_stmt, Finalizer> m_statement;
    QString m_query;
    qint64 m_useCount = 0;
    bool m_inUse = false;
};
