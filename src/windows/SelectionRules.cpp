#include "windows/SelectionRules.h"

#include "foundation/RQStringPath.h"
#include "removal/RemovalList.h"
#include "scanning/RQDuplicateFiles.h"
#include "scanning/RQFile.h"
#include "services/Preferences.h"
#include "windows/DuplicateDetailsModel.h"

#include <QFile>

#include <sys/stat.h>

#include <algorithm>

using namespace Qt::StringLiterals;

namespace {

// Still there as the scan saw it, from one lstat: a folder is still a folder, a file still a
// regular file of the same size.
bool isOnDiskAsScanned(const RQFile &file)
{
    struct stat status {};
    if (::lstat(QFile::encodeName(file.path()).constData(), &status) != 0)
        return false;
    if (file.isDirectory())
        return S_ISDIR(status.st_mode);
    return S_ISREG(status.st_mode) && static_cast<double>(status.st_size) == file.fileSize();
}

bool liesInsideAny(const QString &path, const std::vector<QString> &sortedFolderPaths)
{
    // Only the path's own ancestors (and itself as a folder) can hold it: look each one up.
    for (qsizetype slash = path.indexOf(u'/', 1); slash >= 0; slash = path.indexOf(u'/', slash + 1)) {
        if (std::binary_search(sortedFolderPaths.begin(), sortedFolderPaths.end(), path.first(slash + 1)))
            return true;
    }
    return !path.endsWith(u'/')
        && std::binary_search(sortedFolderPaths.begin(), sortedFolderPaths.end(), path + u'/');
}

} // namespace

void SelectionRules::keepOldestOrNewest(const Groups &groups, bool keepOldest)
{
    for (const auto &group : groups) {
        RQDuplicateFiles::Members ordered = group->duplicates();
        std::stable_sort(ordered.begin(), ordered.end(), [keepOldest](const auto &left, const auto &right) {
            return DuplicateDetailsModel::isBeforeByCreationDate(*left, *right, keepOldest);
        });
        for (std::size_t position = 0; position < ordered.size(); ++position)
            ordered[position]->setSelected(position != 0);
    }
}

void SelectionRules::untickAll(const Groups &groups)
{
    for (const auto &group : groups) {
        for (const auto &member : group->duplicates())
            member->setSelected(false);
    }
}

bool SelectionRules::applySegment(qint64 segment, const Groups &chosenGroups)
{
    if (chosenGroups.empty())
        return false;
    switch (segment) {
    case 0:
        untickAll(chosenGroups);
        return true;
    case 1:
    case 2:
        // Each chosen group keeps its own copy; pooling the groups would take whole groups.
        keepOldestOrNewest(chosenGroups, segment == 1);
        return true;
    default:
        return false;
    }
}

void SelectionRules::keepAllFromRootPath(const Groups &groups, const QString &rootPath)
{
    for (const auto &group : groups) {
        const qsizetype limit = group->count() - 1;
        qsizetype picked = 0;
        for (const auto &member : group->duplicates()) {
            if (picked == limit || rq_isChildOfPath(member->path(), rootPath)) {
                member->setSelected(false);
            } else {
                member->setSelected(true);
                ++picked;
            }
        }
    }
}

double SelectionRules::selectedTotal(const Groups &groups)
{
    Files ticked;
    for (const auto &group : groups) {
        for (const auto &member : group->duplicates()) {
            if (member->isSelected())
                ticked.push_back(member);
        }
    }
    // A ticked item inside a ticked folder goes with the folder, whose size holds it already.
    const RemovalList removed(ticked);
    double total = 0;
    for (const auto &item : removed.items())
        total += item->fileSize();
    return total;
}

bool SelectionRules::tickLeavesNoCopy(const RQDuplicateFiles &group)
{
    return std::all_of(group.duplicates().begin(), group.duplicates().end(),
                       [](const auto &member) { return member->isSelected(); });
}

SelectionRules::Groups SelectionRules::whollySelectedGroups(const Groups &groups)
{
    const std::vector<QString> folders = tickedFolderPaths(groups);
    Groups wholly;
    for (const auto &group : groups) {
        const bool hasTicks = std::any_of(group->duplicates().begin(), group->duplicates().end(),
                                          [](const auto &member) { return member->isSelected(); });
        if (hasTicks && !keptCopy(*group, folders))
            wholly.push_back(group);
    }
    return wholly;
}

QString SelectionRules::describeGroups(const Groups &groups)
{
    QStringList lines;
    for (const auto &group : groups)
        lines.append(u"'%1' (%2 copies)"_s.arg(group->fileName()).arg(group->count()));
    return lines.join(u'\n');
}

SelectionRules::Files SelectionRules::selectedFiles(const Groups &groups)
{
    // A kept copy left by a cancelled hand-off may have been ticked since.
    for (const auto &group : groups) {
        for (const auto &member : group->duplicates())
            member->setAliasDestinationFile(nullptr);
    }
    const std::vector<QString> folders = tickedFolderPaths(groups);
    Files files;
    for (const auto &group : groups) {
        if (group->selectedFileSize() <= 0)
            continue;
        const std::shared_ptr<RQFile> kept = keptCopy(*group, folders);
        for (const auto &member : group->duplicates()) {
            if (!member->isSelected())
                continue;
            member->setAliasDestinationFile(kept);
            files.push_back(member);
        }
    }
    // The sheet lists what the remover removes: an item inside a ticked folder goes with it.
    return RemovalList(files).items();
}

RemovalHandOff SelectionRules::removalHandOff(const Groups &groups, const Preferences &preferences)
{
    return {selectedFiles(groups), preferences.useTrash(), preferences.useHardLinks()};
}

std::shared_ptr<RQFile> SelectionRules::keptCopy(const RQDuplicateFiles &group,
                                                 const std::vector<QString> &tickedFolderPaths)
{
    for (const auto &member : group.duplicates()) {
        if (!member->isSelected() && !liesInsideAny(member->path(), tickedFolderPaths)
            && isOnDiskAsScanned(*member))
            return member;
    }
    return nullptr;
}

std::vector<QString> SelectionRules::tickedFolderPaths(const Groups &groups)
{
    std::vector<QString> folders;
    for (const auto &group : groups) {
        if (!group->isDirectory())
            continue;
        for (const auto &member : group->duplicates()) {
            if (member->isSelected())
                folders.push_back(member->path());
        }
    }
    std::sort(folders.begin(), folders.end());
    return folders;
}
