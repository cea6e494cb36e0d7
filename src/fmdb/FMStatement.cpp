#include "fmdb/FMStatement.h"

#include "fmdb/FMDescription.h"

#include <sqlite3.h>

void FMStatement::Finalizer::operator()(sqlite3_stmt *statement) const noexcept
{
    sqlite3_finalize(statement);
}

FMStatement::FMStatement(sqlite3_stmt *statement) : m_statement(statement) {}

FMStatement::~FMStatement() = default;

void FMStatement::close()
{
    m_statement.reset();
    m_inUse = false;
}

void FMStatement::reset()
{
    if (m_statement)
        sqlite3_reset(m_statement.get());
    m_inUse = false;
}

QString FMStatement::description() const
{
    return fm_objectDescription("FMStatement", this) + u' ' + QString::number(m_useCount) +
        QStringLiteral(" hit(s) for query ") + m_query;
}
