#pragma once

#include <QByteArray>
#include <QMap>
#include <QString>
#include <QStringList>

// What lies below some folders, entry by entry (not following links): content digest, size,
// modification time and inode of files, the target of links. Two manifests tell whether an
// entry was left alone.
class DiskManifest final
{
public:
    struct Entry
    {
        enum class Kind { File, Folder, Link };
        Kind kind = Kind::File;
        QByteArray sha1;
        qint64 size = 0;
        qint64 modifiedNanoseconds = 0;
        quint64 inode = 0;
        QString linkTarget;

        bool operator==(const Entry &other) const = default;
    };

    static DiskManifest of(const QStringList &folders);
    static QByteArray sha1Of(const QString &filePath);

    const QMap<QString, Entry> &entries() const { return m_entries; }
    bool contains(const QString &path) const { return m_entries.contains(path); }
    Entry entry(const QString &path) const { return m_entries.value(path); }
    // The entries at path and below it.
    QMap<QString, Entry> below(const QString &path) const;

private:
    void add(const QString &path);

    QMap<QString, Entry> m_entries;
};
