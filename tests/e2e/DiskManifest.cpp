#include "DiskManifest.h"

#include <QCryptographicHash>
#include <QDir>
#include <QDirIterator>
#include <QFile>

#include <sys/stat.h>

using namespace Qt::StringLiterals;

DiskManifest DiskManifest::of(const QStringList &folders)
{
    DiskManifest manifest;
    for (const QString &folder : folders) {
        manifest.add(folder);
        QDirIterator entries(folder, QDir::AllEntries | QDir::NoDotAndDotDot | QDir::Hidden | QDir::System,
                             QDirIterator::Subdirectories);
        while (entries.hasNext())
            manifest.add(entries.next());
    }
    return manifest;
}

QByteArray DiskManifest::sha1Of(const QString &filePath)
{
    QFile file(filePath);
    QCryptographicHash hash(QCryptographicHash::Sha1);
    if (!file.open(QIODevice::ReadOnly) || !hash.addData(&file))
        return {};
    return hash.result().toHex();
}

void DiskManifest::add(const QString &path)
{
    struct stat status {};
    if (::lstat(QFile::encodeName(path).constData(), &status) != 0)
        return;
    Entry entry;
    entry.size = status.st_size;
    entry.modifiedNanoseconds = qint64(status.st_mtim.tv_sec) * 1'000'000'000 + status.st_mtim.tv_nsec;
    entry.inode = status.st_ino;
    if (S_ISLNK(status.st_mode)) {
        entry.kind = Entry::Kind::Link;
        entry.linkTarget = QFile::symLinkTarget(path);
    } else if (S_ISDIR(status.st_mode)) {
        // A folder's size and times change whenever an entry leaves it; only its files count.
        entry.kind = Entry::Kind::Folder;
        entry.size = 0;
        entry.modifiedNanoseconds = 0;
    } else {
        entry.sha1 = sha1Of(path);
    }
    m_entries.insert(path, entry);
}

QMap<QString, DiskManifest::Entry> DiskManifest::below(const QString &path) const
{
    QMap<QString, Entry> found;
    const QString prefix = path + u'/';
    for (auto entry = m_entries.cbegin(); entry != m_entries.cend(); ++entry) {
        if (entry.key() == path || entry.key().startsWith(prefix))
            found.insert(entry.key(), entry.value());
    }
    return found;
}
