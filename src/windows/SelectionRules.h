#pragma once

#include <QString>

#include <memory>
#include <vector>

#include "windows/RemovalHandOff.h"

class Preferences;
class RQDuplicateFiles;
class RQFile;

// The rules that tick many copies at once, the checks made before anything is removed, and
// the list handed to the removal sheet. They change the members' flags only; the caller tells
// its models and updates the total. Main thread only.
class SelectionRules final
{
public:
    using Groups = std::vector<std::shared_ptr<RQDuplicateFiles>>;
    using Files = std::vector<std::shared_ptr<RQFile>>;

    // In each group, the oldest (or newest) member by creation date stays unticked and every
    // other member is ticked. Members without a date are kept only when none has one.
    static void keepOldestOrNewest(const Groups &groups, bool keepOldest);
    // Unticks every member of the groups.
    static void untickAll(const Groups &groups);
    // The segmented control on the chosen groups: 0 unticks them, 1 keeps each one's oldest,
    // 2 each one's newest; any other segment changes nothing. Answers whether flags changed.
    static bool applySegment(qint64 segment, const Groups &chosenGroups);
    // Keeps the copies under the root and ticks the others, leaving at least one member of
    // each group unticked.
    static void keepAllFromRootPath(const Groups &groups, const QString &rootPath);

    // The bytes the ticked members of all the groups take, each counted once: an item inside a
    // ticked folder is in the folder's size.
    static double selectedTotal(const Groups &groups);

    // A tick just made on a member of the group leaves the group with no unticked copy.
    static bool tickLeavesNoCopy(const RQDuplicateFiles &group);

    // The groups with ticks whose every copy would go: no member that can stay (see
    // keptCopy). Hidden groups count as much as visible ones.
    static Groups whollySelectedGroups(const Groups &groups);
    // "'name' (n copies)", one line per group.
    static QString describeGroups(const Groups &groups);

    // The ticked files of every group with ticked bytes, group by group in member order. The
    // kept copy of earlier hand-offs is cleared on every member first; then each group's
    // ticked files get the group's kept copy, when it has one, whether or not links are
    // wanted. An item inside a ticked folder is left out, as the remover leaves it out.
    static Files selectedFiles(const Groups &groups);
    // selectedFiles with the two removal preferences, read once, here.
    static RemovalHandOff removalHandOff(const Groups &groups, const Preferences &preferences);

    // The copy of the group that stays: its first unticked member, in member order, that is
    // still on disk as the scan saw it (same kind, and same size for a file) and lies inside
    // no ticked folder of any group. Null when there is none.
    static std::shared_ptr<RQFile> keptCopy(const RQDuplicateFiles &group,
                                            const std::vector<QString> &tickedFolderPaths);
    // The paths of every ticked folder of the groups, each ending in "/", sorted.
    static std::vector<QString> tickedFolderPaths(const Groups &groups);

    SelectionRules() = delete;
};
