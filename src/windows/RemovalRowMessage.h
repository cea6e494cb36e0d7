#pragma once

#include "platform/RQError.h"

#include <QString>

// The text a failed row of the removal sheet shows for its error: our own words for the
// file-system failures a user can act on (gone, or not ours to remove), the remover's own
// refusals in theirs, otherwise what the operating system said underneath, and for errors with
// nothing underneath (the library removers') the error's own description.
QString removalRowMessage(const RQError &error);
