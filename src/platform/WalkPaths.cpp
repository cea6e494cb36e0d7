#include "platform/WalkPaths.h"

WalkPaths::WalkPaths(const QString &rootPath)
    : m_folders{rootPath.endsWith(u'/') ? rootPath : rootPath + u'/'}
{
}

QString WalkPaths::pathOf(const DirectoryEntry &entry)
{
    // The entries of a folder follow it, so the folder is the open one a level up.
    m_folders.resize(static_cast<std::size_t>(entry.depth));
    if (entry.passedOver != DirectoryEntry::PassedOver::None)
        return {};
    if (entry.type != DirectoryEntry::Type::Directory)
        return m_folders.back() + entry.name;
    m_folders.push_back(m_folders.back() + entry.name + u'/');
    return m_folders.back();
}
