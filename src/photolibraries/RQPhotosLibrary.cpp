#include "photolibraries/RQPhotosLibrary.h"

RQPhotosLibrary &RQPhotosLibrary::sharedInstance()
{
    static RQPhotosLibrary library;
    return library;
}

bool RQPhotosLibrary::pathIsPhotoLibrary(const QString &) const
{
    // No Photos application is known yet, so no folder is one of its libraries.
    return false;
}
