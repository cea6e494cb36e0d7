#pragma once

#include <QString>
#include <QStringView>

#include <cstdint>

// What an item's extension says of its content: the type identifier and the content type code
// of RQFile::fileType(). One per identifier and code, shared by the items of every extension
// that has it and kept for as long as the program runs, each under a number of its own, so
// that an item holds two bytes where it held a text.
class RQContentType final
{
public:
    // Without the dot. A thread takes the shared table's lock only for an extension it has not
    // met before, so the walk of millions of files takes it a few times.
    static const RQContentType &forFile(QStringView extension);
    static const RQContentType &forFolder(QStringView extension);
    // The type whose index() this is; lock-free, from any thread.
    static const RQContentType &withIndex(std::uint16_t index);

    QString typeIdentifier() const { return m_typeIdentifier; }
    qint64 code() const { return m_code; }
    std::uint16_t index() const { return m_index; }

    RQContentType(const RQContentType &) = delete;
    RQContentType &operator=(const RQContentType &) = delete;

private:
    class Registry;
    struct Fixed;
    RQContentType(const QString &typeIdentifier, qint64 code);
    // Made, and so numbered, before any type of the database.
    static const Fixed &fixed();
    static const RQContentType &sharedForFile(QStringView extension);

    const QString m_typeIdentifier;
    const qint64 m_code;
    const std::uint16_t m_index;
};
