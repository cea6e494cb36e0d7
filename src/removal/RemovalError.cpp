#include "removal/RemovalError.h"

#include "platform/Trash.h"

#include <utility>

using namespace Qt::StringLiterals;

RQError RemovalError::error(Code code, std::shared_ptr<const RQError> underlyingError)
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
    case TrashNotWritable:
        description = u"The Trash could not be written, so this file was not moved to it."_s;
        break;
    }
    return RQError(QString::fromLatin1(errorDomain), code, description, std::move(underlyingError));
}

RQError RemovalError::fromTrashError(const RQError &error)
{
    if (error.domain() != QLatin1StringView(Trash::errorDomain) || error.code() != Trash::NotWritable)
        return error;
    const RQError *reason = error.underlyingError();
    return RemovalError::error(TrashNotWritable, reason ? std::make_shared<const RQError>(*reason) : nullptr);
}
