#pragma once

#include <QString>

#include <cstdint>
#include <memory>
#include <set>
#include <utility>
#include <vector>

#include "platform/DirectoryWalker.h"
#include "scanning/RQIgnoreListFolder.h"

class RQDirectory;
class RQDuplicateFinder;
class RQFile;
struct RQDuplicateFinderScan;

// Stage 0 of a scan: walks the finder's roots into a tree of items. The items are made and
// linked on the scan's thread, in the walk's order, while other threads read the folders ahead;
// the tree is the same whatever the number of reading threads.
// A folder below which anything was left uncompared (a hidden entry, a skipped or unreadable
// entry, a name the model cannot hold, library content other than its media) is marked, so
// that it is never offered as a duplicate; the files in it still are. A folder met a second time
// (a bind mount, a loop through mounts) is left out: it is one folder, walked once.
class RQDuplicateFinderWalk final
{
public:
    // readers: threads that read folders, the scan's own included.
    RQDuplicateFinderWalk(RQDuplicateFinder &finder, RQDuplicateFinderScan &scan,
                          int readers = DirectoryWalker::defaultReaders());

    // false when a root lies under a system folder or is ignored: the scan then ends with no list.
    bool walkRoots();

private:
    bool walkRoot(const QString &root);
    void handleEntry(const DirectoryEntry &entry, DirectoryWalker *walker);
    void handlePassedOver(const DirectoryEntry &entry, RQDirectory &parent);
    // The path as the system-folder and ignore tests see it: below the root's resolved path,
    // so that a root is judged by where it leads, not by its text.
    QString judgedPath(const QString &path) const;
    // entryLiesInFolder: the entry is its folder's path and its name (not a root taken whole).
    bool isRefused(const DirectoryEntry &entry, bool entryLiesInFolder) const;
    // path: the folder's, which the walk has at hand.
    void openFolder(const std::shared_ptr<RQDirectory> &folder, const QString &path);
    // Closes the open folders from the depth down: the walk has met all their entries.
    void closeFoldersFrom(std::size_t depth);
    bool isFolderMetBefore(const DirectoryEntry &entry, bool entryLiesInFolder);
    // The entry's whole path (a folder's ends with "/"), made only where it is needed.
    QString pathOf(const DirectoryEntry &entry, bool entryLiesInFolder) const;
    // Entries the walker met are placed in their folder by name; a root taken whole keeps its path.
    std::shared_ptr<RQFile> makeFile(const DirectoryEntry &entry, RQDirectory &parent, bool placedByName) const;
    // path: the folder's, as pathOf() gives it.
    std::shared_ptr<RQDirectory> makeFolder(const DirectoryEntry &entry, const QString &path, RQDirectory &parent,
                                            DirectoryWalker *walker);
    void addLibraryMedia(RQDirectory &library, const std::vector<std::shared_ptr<RQFile>> &media,
                         DirectoryWalker *walker);

    RQDuplicateFinder &m_finder;
    RQDuplicateFinderScan &m_scan;
    const int m_readers;
    // The open folders of the current branch; the one at index d holds the entries of depth d + 1.
    std::vector<std::shared_ptr<RQDirectory>> m_folders;
    // The ignore list's answers for the entries of each open folder, at the same indices.
    std::vector<RQIgnoreListFolder> m_folderAnswers;
    // The path of the deepest open folder, and how long it is at each open folder, at the same
    // indices: one text for the branch, so that a deep branch makes no path per level.
    QString m_branchPath;
    std::vector<qsizetype> m_branchPathLengths;
    // The current root's item path and, when it differs, its resolved path; both end with "/".
    QString m_rootPath;
    QString m_resolvedRootPath;
    // Device and inode of every folder walked so far, the roots' included.
    std::set<std::pair<std::uint64_t, std::uint64_t>> m_metFolders;
};
