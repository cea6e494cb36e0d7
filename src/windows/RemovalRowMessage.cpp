#include "windows/RemovalRowMessage.h"

#include "removal/RemovalError.h"

using namespace Qt::StringLiterals;

namespace {

const QString noLongerExists = u"The file no longer exists."_s;
const QString permissionsIssue = u"Could not remove this file because of a permissions issue. Delete using "
                                 u"the file manager by right clicking and selecting 'Show in File Manager'."_s;

// Carbon's file-not-found and access-denied codes, still met in errors read from elsewhere.
constexpr qint64 fileNotFoundStatus = -43;
constexpr qint64 accessDeniedStatus = -5000;

QString ownText(const RQError &error)
{
    // The remover's own words, whatever lies underneath.
    if (error.domain() == QLatin1StringView(RemovalError::errorDomain))
        return error.localizedDescription();
    if (error.domain() == QLatin1StringView(RQError::NSOSStatusErrorDomain)) {
        if (error.code() == fileNotFoundStatus)
            return noLongerExists;
        if (error.code() == accessDeniedStatus)
            return permissionsIssue;
    }
    if (error.domain() == QLatin1StringView(RQError::NSCocoaErrorDomain)) {
        switch (error.code()) {
        case RQError::NSFileNoSuchFileError:
            return noLongerExists;
        case RQError::NSFileLockingError:
        case RQError::NSFileReadNoPermissionError:
        case RQError::NSFileWriteUnknownError:
        case RQError::NSFileWriteNoPermissionError:
        case RQError::NSFileWriteVolumeReadOnlyError:
            return permissionsIssue;
        default:
            break;
        }
    }
    return {};
}

} // namespace

QString removalRowMessage(const RQError &error)
{
    QString text = ownText(error);
    if (text.isEmpty() && error.underlyingError())
        text = error.underlyingError()->localizedDescription();
    if (text.isEmpty())
        text = error.localizedDescription();
    return text;
}
