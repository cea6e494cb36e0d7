#pragma once

#include "fmdb/FMDatabase.h"
#include "fmdb/FMValue.h"
#include "support/TemporaryFolder.h"

#include <gtest/gtest.h>

#include <QString>

#include <memory>
#include <ostream>

// Readable failure messages for the layer's values (Qt's own come from support/QtPrinters.h).
inline void PrintTo(const FMValue &value, std::ostream *stream)
{
    *stream << "FMValue(kind " << static_cast<int>(value.kind()) << ", type '"
            << (value.numberType() ? value.numberType() : ' ') << "', "
            << value.description().toStdString() << ")";
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

// A test with a database file of its own in a temporary folder.
class FMDatabaseFixture : public ::testing::Test
{
protected:
    // Opens the file and runs the script on it.
    void openDatabase(const QString &fileName, const QString &script)
    {
        m_db = openedDatabase(m_folder.filePath(fileName));
        ASSERT_TRUE(m_db);
        ASSERT_TRUE(m_db->executeStatements(script));
    }

    TemporaryFolder m_folder;
    std::shared_ptr<FMDatabase> m_db;
};

// The transaction kinds, and what a block that inserts one row leaves behind.
struct TransactionCase
{
    const char *name;
    bool deferred;
    bool rollBack;
    int rowsAdded;
};
inline constexpr TransactionCase transactionCases[] = {
    {"exclusive, committed", false, false, 1},
    {"exclusive, rolled back", false, true, 0},
    {"deferred, committed", true, false, 1},
    {"deferred, rolled back", true, true, 0},
};
