#include "scanning/RQIgnoreListFolder.h"

#include "foundation/RQStringPath.h"
#include "scanning/RQIgnoreList.h"

RQIgnoreListFolder::Listed::Listed(const QStringList &paths, const QString &folderPath)
{
    for (const QString &path : paths) {
        folderLiesUnder = folderLiesUnder || rq_isChildOfPath(folderPath, path);
        // A listed path in the folder is the folder's path and a name, with or without a "/".
        QStringView listed(path);
        if (listed.endsWith(u'/'))
            listed.chop(1);
        if (!listed.startsWith(folderPath))
            continue;
        const QStringView name = listed.sliced(folderPath.size());
        if (!name.isEmpty() && !name.contains(u'/'))
            namesInFolder.append(name.toString());
    }
}

RQIgnoreListFolder::RQIgnoreListFolder(const RQIgnoreList &list, const QString &folderPath)
    : m_list(&list),
      m_allowed(list.allowedPaths(), folderPath),
      m_system(list.systemPaths(), folderPath),
      m_ignored(list.ignoredPaths(), folderPath),
      m_folderExtensionIgnored(list.pathExtensionIsIgnored(folderPath))
{
}

bool RQIgnoreListFolder::entryIsChildOfSystemPath(QStringView name) const
{
    return !m_allowed.holds(name) && m_system.holds(name);
}

bool RQIgnoreListFolder::entryIsIgnored(QStringView name) const
{
    return !m_allowed.holds(name)
        && (m_ignored.holds(name) || m_folderExtensionIgnored || m_list->nameExtensionIsIgnored(name));
}
