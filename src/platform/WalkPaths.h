#pragma once

#include "platform/DirectoryWalker.h"

#include <QString>

#include <vector>

// The paths of the entries a DirectoryWalker hands out, made from their names and depths, for
// callers that want whole paths and can afford one for each folder of the current branch.
class WalkPaths final
{
public:
    explicit WalkPaths(const QString &rootPath);

    // The entry's path, a folder's ending with "/"; empty for a passed-over note. Every entry
    // must be given, in the walk's order.
    QString pathOf(const DirectoryEntry &entry);

private:
    // The open folders' paths; the one at index d holds the entries of depth d + 1.
    std::vector<QString> m_folders;
};
