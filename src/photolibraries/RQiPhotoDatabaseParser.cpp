#include "photolibraries/RQiPhotoDatabaseParser.h"

#include "scanning/RQFile.h"

// Transitional: reads nothing yet.
RQiPhotoDatabaseParser::RQiPhotoDatabaseParser(const QString &)
{
}
