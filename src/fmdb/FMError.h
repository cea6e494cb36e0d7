#pragma once

#include <QString>

// A failure of the SQLite layer as a value: the domain ("FMDatabase" for the engine's errors
// on a connection), the engine's result code and the text that describes it.
struct FMError final
{
    QString domain;
    int code = 0;
    QString description;

    bool operator==(const FMError &) const = default;
};
