#include "platform/RQError.h"

#include <QFileInfo>

#include <cerrno>
#include <cstring>

using namespace Qt::StringLiterals;

RQError::RQError(QString domain, qint64 code, QString localizedDescription,
                 std::shared_ptr<const RQError> underlyingError)
    : m_domain(std::move(domain))
    , m_code(code)
    , m_localizedDescription(std::move(localizedDescription))
    , m_underlyingError(std::move(underlyingError))
{
}

qint64 RQError::fileSystemCodeForErrno(int errnoValue)
{
    switch (errnoValue) {
    case ENOENT:
        return NSFileNoSuchFileError;
    case EACCES:
    case EPERM:
        return NSFileWriteNoPermissionError;
    case EROFS:
        return NSFileWriteVolumeReadOnlyError;
    default:
        return NSFileWriteUnknownError;
    }
}

RQError RQError::posixError(int errnoValue)
{
    return RQError(QString::fromLatin1(NSPOSIXErrorDomain), errnoValue,
                   QString::fromLocal8Bit(std::strerror(errnoValue)));
}

RQError RQError::fileSystemError(int errnoValue, const QString &path)
{
    const qint64 code = fileSystemCodeForErrno(errnoValue);
    const QString name = QFileInfo(path).fileName();
    const QString description = code == NSFileNoSuchFileError
        ? u"The file \u201c%1\u201d doesn\u2019t exist."_s.arg(name)
        : u"\u201c%1\u201d couldn\u2019t be removed."_s.arg(name);
    return RQError(QString::fromLatin1(NSCocoaErrorDomain), code, description,
                   std::make_shared<const RQError>(posixError(errnoValue)));
}

bool RQError::operator==(const RQError &other) const
{
    if (m_domain != other.m_domain || m_code != other.m_code
        || m_localizedDescription != other.m_localizedDescription)
        return false;
    if (!m_underlyingError || !other.m_underlyingError)
        return m_underlyingError == other.m_underlyingError;
    return *m_underlyingError == *other.m_underlyingError;
}
