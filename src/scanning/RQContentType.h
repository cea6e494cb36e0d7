#pragma once

#include <QString>
#include <QStringView>

// What an item's extension says of its content: the type identifier and the content type code
// of RQFile::fileType(). One per extension, shared by the items that have it and kept for as
// long as the program runs, so that an item holds a pointer where it held a text.
class RQContentType final
{
public:
    // Without the dot. A thread takes the shared table's lock only for an extension it has not
    // met before, so the walk of millions of files takes it a few times.
    static const RQContentType &forFile(QStringView extension);
    static const RQContentType &forFolder(QStringView extension);

    QString typeIdentifier() const { return m_typeIdentifier; }
    qint64 code() const { return m_code; }

    RQContentType(const QString &typeIdentifier, qint64 code) : m_typeIdentifier(typeIdentifier), m_code(code) {}
    RQContentType(const RQContentType &) = delete;
    RQContentType &operator=(const RQContentType &) = delete;

private:
    static const RQContentType &sharedForFile(QStringView extension);

    const QString m_typeIdentifier;
    const qint64 m_code;
};
