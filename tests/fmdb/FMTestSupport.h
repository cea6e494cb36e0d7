#pragma once

#include "fmdb/FMDatabase.h"
#include "fmdb/FMValue.h"

#include <QString>

#include <memory>
#include <ostream>

// Readable failure messages for the layer's values.
inline void PrintTo(const FMValue &value, std::ostream *stream)
{
    *stream << "FMValue(kind " << static_cast<int>(value.kind()) << ", type '"
            << (value.numberType() ? value.numberType() : ' ') << "', "
            << value.description().toStdString() << ")";
}

inline void PrintTo(const QString &text, std::ostream *stream)
{
    *stream << '"' << text.toStdString() << '"';
}

// A connection opened with the engine's default flags (read-write, create); no path is an
// in-memory database.
inline std::shared_ptr<FMDatabase> openedDatabase(std::optional<QString> path = std::nullopt)
{
    std::shared_ptr<FMDatabase> db = FMDatabase::databaseWithPath(std::move(path));
    if (!db->open())
        return nullptr;
    return db;
}
