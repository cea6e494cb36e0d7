#include "removal/RemovalList.h"

RemovalList::RemovalList(const FileList &files)
{
    for (const auto &file : files) {
        if (file && file->isDirectory())
            m_folders.insert(diskPath(*file) + u'/');
    }
    for (const auto &file : files) {
        if (!file)
            continue;
        const QString path = diskPath(*file);
        if (liesInsideListedFolder(path) || m_paths.contains(path))
            continue;
        m_paths.insert(path);
        m_items.push_back(file);
    }
}

QString RemovalList::diskPath(const RQFile &file)
{
    QString path = file.path();
    while (path.size() > 1 && path.endsWith(u'/'))
        path.chop(1);
    return path;
}

bool RemovalList::removesKeptCopyOf(const RQFile &file) const
{
    const auto keptCopy = file.aliasDestinationFile();
    if (!keptCopy)
        return false;
    const QString path = diskPath(*keptCopy);
    return m_paths.contains(path) || liesInsideListedFolder(path);
}

bool RemovalList::liesInsideListedFolder(const QString &path) const
{
    if (m_folders.isEmpty())
        return false;
    for (qsizetype slash = path.indexOf(u'/', 1); slash > 0; slash = path.indexOf(u'/', slash + 1)) {
        if (m_folders.contains(path.left(slash + 1)))
            return true;
    }
    return false;
}
