#pragma once

#include <QtGlobal>

// Progress of a removal: items handed to a road so far, of all items given.
struct KMHSDetails
{
    qint64 filesRemoved = 0;
    qint64 totalFiles = 0;

    bool operator==(const KMHSDetails &) const = default;
};
