#include "removal/RemovalError.h"

using namespace Qt::StringLiterals;

RQError RemovalError::error(Code code)
{
    QString description;
    switch (code) {
    case ChangedAfterScan:
        description = u"The file changed after the scan, so it was not removed."_s;
        break;
    case KeptCopyWouldBeRemoved:
        description = u"The copy that stays would be removed too, so this file was not removed."_s;
        break;
    case KeptCopyGone:
        description = u"The copy that stays no longer exists, so this file was not removed."_s;
        break;
    case KeptCopyChanged:
        description = u"The copy that stays changed after the scan, so this file was not removed."_s;
        break;
    }
    return RQError(QString::fromLatin1(errorDomain), code, description);
}
