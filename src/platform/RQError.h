#pragma once

#include <QString>

#include <memory>

// A failure as a value: a domain, an integer code, a localized description and, for
// file-system failures, the operating system's own error underneath. Copies share the
// underlying error, which never changes. Any thread.
class RQError final
{
public:
    // The domains the removal sheet reads.
    static constexpr auto NSCocoaErrorDomain = "NSCocoaErrorDomain";
    static constexpr auto NSOSStatusErrorDomain = "NSOSStatusErrorDomain";
    // Underlying errors of file-system failures: the code is the errno value.
    static constexpr auto NSPOSIXErrorDomain = "NSPOSIXErrorDomain";

    // File-system codes of NSCocoaErrorDomain. The removal sheet shows its own texts for the
    // first six; every errno value maps onto one of these (see fileSystemError).
    enum FileSystemCode : qint64 {
        NSFileNoSuchFileError = 4,
        NSFileLockingError = 255,
        NSFileReadNoPermissionError = 257,
        NSFileWriteUnknownError = 512,
        NSFileWriteNoPermissionError = 513,
        NSFileWriteVolumeReadOnlyError = 642,
    };

    // An empty error: no domain, code 0.
    RQError() = default;
    RQError(QString domain, qint64 code, QString localizedDescription,
            std::shared_ptr<const RQError> underlyingError = nullptr);

    // The one place where an errno value becomes an error of NSCocoaErrorDomain: the code
    // the sheet understands, a description naming the item and the errno error underneath.
    static RQError fileSystemError(int errnoValue, const QString &path);
    // The errno value's own error, in NSPOSIXErrorDomain, described by strerror.
    static RQError posixError(int errnoValue);
    static qint64 fileSystemCodeForErrno(int errnoValue);

    QString domain() const { return m_domain; }
    qint64 code() const { return m_code; }
    QString localizedDescription() const { return m_localizedDescription; }
    // Null when there is none.
    const RQError *underlyingError() const { return m_underlyingError.get(); }

    bool operator==(const RQError &other) const;

private:
    QString m_domain;
    qint64 m_code = 0;
    QString m_localizedDescription;
    std::shared_ptr<const RQError> m_underlyingError;
};
