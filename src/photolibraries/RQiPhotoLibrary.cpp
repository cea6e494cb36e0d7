#include "photolibraries/RQiPhotoLibrary.h"

RQiPhotoLibrary &RQiPhotoLibrary::sharedInstance()
{
    static RQiPhotoLibrary library;
    return library;
}

bool RQiPhotoLibrary::pathIsPhotoLibrary(const QString &) const
{
    // No iPhoto library is known yet.
    return false;
}
