#include "photolibraries/RQPhotosLibraryParser.h"

#include "scanning/RQFile.h"

// Transitional: reads nothing yet.
RQPhotosLibraryParser::RQPhotosLibraryParser(const QString &)
{
}
