#pragma once

#include "platform/RQError.h"

#include <QHash>
#include <QString>

// The errors of one removal: the removal key of each item that failed (its path, see
// KMHSFileRemover::errorKeyForFile) -> its error. Items without an entry count as removed.
using KMHSErrorDictionary = QHash<QString, RQError>;
