#include "scanning/RQDuplicateFinderGrouping.h"

#include "scanning/RQDirectory.h"
#include "scanning/RQDuplicateFiles.h"
#include "scanning/RQDuplicateFinderScan.h"

#include <algorithm>
#include <cstdint>
#include <cstring>
#include <set>
#include <utility>

namespace {

bool parentIsLibrary(const RQFile &item)
{
    const auto parent = item.parent();
    return parent && (parent->isIPhotoLibrary() || parent->isPhotosLibrary());
}

std::optional<Sha1Digest> digestOf(const RQFile &item)
{
    if (const auto *folder = dynamic_cast<const RQDirectory *>(&item))
        return folder->digest();
    return item.contentDigest();
}

// The digest by which the item is grouped, if it has one and may count: items inside packages
// only count as library media; empty items and the folders directly inside a library never count.
std::optional<Sha1Digest> countedDigestOf(const RQFile &item)
{
    auto digest = digestOf(item);
    if (!digest)
        return std::nullopt;
    const bool inLibrary = parentIsLibrary(item);
    if ((!inLibrary && item.inPackage()) || item.isEmpty() || (inLibrary && item.isDirectory()))
        return std::nullopt;
    return digest;
}

bool membersHaveOneSize(const std::vector<std::shared_ptr<RQFile>> &members)
{
    const double size = members.front()->fileSize();
    return std::all_of(members.cbegin(), members.cend(),
                       [size](const auto &member) { return member->fileSize() == size; });
}

// Leaves out each member that is another name (a hard link) of a file an earlier member is:
// removing it would free nothing. Folders are left as they are.
void dropFurtherNamesOfOneFile(std::vector<std::shared_ptr<RQFile>> &members)
{
    if (members.front()->isDirectory())
        return;
    std::set<std::pair<std::uint64_t, std::uint64_t>> files;
    std::erase_if(members, [&files](const auto &member) {
        const RQFileIdentity &identity = member->identity();
        return identity.isKnown() && !files.insert({identity.device, identity.inode}).second;
    });
}

// The values that occur more than once, sorted, each once.
std::vector<std::uint64_t> repeatedValues(std::vector<std::uint64_t> values)
{
    std::sort(values.begin(), values.end());
    std::vector<std::uint64_t> repeated;
    for (auto run = values.cbegin(); run != values.cend();) {
        const auto end = std::find_if(run, values.cend(), [run](std::uint64_t value) { return value != *run; });
        if (end - run > 1)
            repeated.push_back(*run);
        run = end;
    }
    return repeated;
}

bool containsValue(const std::vector<std::uint64_t> &sorted, std::uint64_t value)
{
    return std::binary_search(sorted.cbegin(), sorted.cend(), value);
}

} // namespace

std::size_t RQDuplicateFinderGrouping::DigestHash::operator()(const Sha1Digest &digest) const
{
    std::size_t value = 0;
    std::memcpy(&value, digest.bytes().data(), sizeof value);
    return value;
}

RQDuplicateFinderGrouping::RQDuplicateFinderGrouping(RQDuplicateFinder &finder, const RQDuplicateFinderScan &scan)
    : m_finder(finder), m_scan(scan)
{
}

RQDuplicateFinder::Groups RQDuplicateFinderGrouping::findGroups()
{
    groupByDigest();
    dropUnequalGroups();
    dropNestedMembers();
    return buildGroups();
}

void RQDuplicateFinderGrouping::groupByDigest()
{
    m_finder.setCurrentProgressStep(2);
    m_sharedPrefixes = sharedDigestPrefixes();
    // Each group's digest begins with one of the shared prefixes, and nearly each prefix makes
    // one group: room for them at once spares the copies a growing list makes.
    m_hashGroups.reserve(m_sharedPrefixes.size());
    const double itemCount = static_cast<double>(m_scan.itemCount);
    qsizetype handled = 0;
    // Files first, then folders, each in walk order: the groups' order follows.
    for (const bool folders : {false, true}) {
        m_scan.forEachItem([&](const std::shared_ptr<RQFile> &item) {
            if (item->isDirectory() != folders || m_finder.isCancelled())
                return;
            m_finder.setCurrentProgress((3.0 + static_cast<double>(++handled) / itemCount) / 6.0);
            addToGroup(item);
        });
    }
    m_fileGroupIndex = {};
    m_folderGroupIndex = {};
}

std::vector<std::uint64_t> RQDuplicateFinderGrouping::sharedDigestPrefixes() const
{
    std::vector<std::uint64_t> prefixes;
    prefixes.reserve(static_cast<std::size_t>(m_scan.itemCount));
    m_scan.forEachItem([&prefixes](const std::shared_ptr<RQFile> &item) {
        if (const auto digest = countedDigestOf(*item))
            prefixes.push_back(DigestHash()(*digest));
    });
    return repeatedValues(std::move(prefixes));
}

std::vector<std::uint64_t> RQDuplicateFinderGrouping::sharedMemberPathHashes() const
{
    std::vector<std::uint64_t> hashes;
    for (const auto &group : m_hashGroups) {
        for (const auto &member : group.members)
            hashes.push_back(qHash(member->path()));
    }
    return repeatedValues(std::move(hashes));
}

void RQDuplicateFinderGrouping::addToGroup(const std::shared_ptr<RQFile> &item)
{
    const auto digest = countedDigestOf(*item);
    if (!digest || !containsValue(m_sharedPrefixes, DigestHash()(*digest)))
        return;
    auto &groupIndex = item->isDirectory() ? m_folderGroupIndex : m_fileGroupIndex;
    const auto [found, added] = groupIndex.try_emplace(*digest, m_hashGroups.size());
    if (added)
        m_hashGroups.push_back({*digest, {}});
    m_hashGroups[found->second].members.push_back(item);
}

void RQDuplicateFinderGrouping::dropUnequalGroups()
{
    m_finder.setCurrentProgressStep(3);
    const double groupCount = static_cast<double>(m_hashGroups.size());
    qsizetype handled = 0;
    // The kept groups move up in place: a second list would double the groups' memory.
    std::size_t keptCount = 0;
    for (auto &group : m_hashGroups) {
        if (m_finder.isCancelled())
            break;
        m_finder.setCurrentProgress((4.0 + static_cast<double>(++handled) / groupCount) / 6.0);
        dropFurtherNamesOfOneFile(group.members);
        if (group.members.size() < 2 || !membersHaveOneSize(group.members))
            continue;
        for (const auto &member : group.members) {
            if (member->isDirectory() && !member->inPackage())
                m_dupDirPaths.insert(member->path());
        }
        HashGroup &place = m_hashGroups[keptCount++];
        if (&place != &group)
            place = std::move(group);
    }
    m_hashGroups.erase(m_hashGroups.begin() + static_cast<std::ptrdiff_t>(keptCount), m_hashGroups.end());
}

bool RQDuplicateFinderGrouping::liesInDuplicateFolder(const RQFile &member) const
{
    // The folders of duplicate groups that the member's path begins with, other than itself;
    // folder paths end with "/", so only the member's own ancestors by name can match.
    const QString &path = member.path();
    for (qsizetype slash = path.indexOf(u'/'); slash >= 0 && slash + 1 < path.size();
         slash = path.indexOf(u'/', slash + 1)) {
        const QString folderPath = path.left(slash + 1);
        if (m_dupDirPaths.contains(folderPath) && member.isChildOfPath(folderPath))
            return true;
    }
    return false;
}

void RQDuplicateFinderGrouping::dropNestedMembers()
{
    m_finder.setCurrentProgressStep(4);
    m_finder.setCurrentProgress(5.0 / 6.0);
    for (auto &group : m_hashGroups) {
        if (m_finder.isCancelled())
            return;
        auto &members = group.members;
        std::vector<bool> dropped(members.size(), false);
        for (std::size_t index = 0; index < members.size(); ++index) {
            if (!liesInDuplicateFolder(*members[index]))
                continue;
            dropped[index] = true;
            // Taken out at once, so what lies inside it is judged by the folders around it.
            if (members[index]->isDirectory())
                m_dupDirPaths.remove(members[index]->path());
        }
        // A copy outside every duplicate folder is still a copy: the group keeps the first
        // member it dropped, so that the copy is offered. Anything inside that member lies in
        // a duplicate folder that is offered too, so it stays hidden.
        if (std::count(dropped.cbegin(), dropped.cend(), false) == 1) {
            const auto firstDropped = std::find(dropped.begin(), dropped.end(), true);
            if (firstDropped != dropped.end())
                *firstDropped = false;
        }
        std::size_t index = 0;
        std::erase_if(members, [&](const auto &) { return dropped[index++]; });
    }
    std::erase_if(m_hashGroups, [](const HashGroup &group) { return group.members.empty(); });
}

RQDuplicateFinder::Groups RQDuplicateFinderGrouping::buildGroups()
{
    m_finder.setCurrentProgressStep(5);
    m_finder.setCurrentProgress(1.0);
    RQDuplicateFinder::Groups groups;
    // Only a path whose hash another member's path shares can be taken twice, so only those
    // paths are kept: a scan may have millions of members.
    const std::vector<std::uint64_t> sharedPathHashes = sharedMemberPathHashes();
    QSet<QString> takenPaths;
    qint64 totalDuplicates = 0;
    double totalBytes = 0;
    for (auto &group : m_hashGroups) {
        if (m_finder.isCancelled())
            return {};
        // Given back as the groups are made, which are what outlives the scan.
        const std::vector<std::shared_ptr<RQFile>> members = std::exchange(group.members, {});
        std::vector<std::shared_ptr<RQFile>> taken;
        for (const auto &member : members) {
            // The same item reached through two roots is one item; library media always count.
            const QString path = member->path();
            const bool mayBeTakenTwice = containsValue(sharedPathHashes, qHash(path));
            if (parentIsLibrary(*member) || !mayBeTakenTwice || !takenPaths.contains(path)) {
                if (mayBeTakenTwice)
                    takenPaths.insert(path);
                taken.push_back(member);
            }
        }
        if (taken.size() < 2)
            continue;
        auto duplicates = RQDuplicateFiles::duplicateFilesWithHash(group.digest.toHex(), taken);
        if (m_finder.minimumFileSize() > duplicates->fileSize())
            continue;
        totalBytes += duplicates->totalSize() - duplicates->fileSize();
        totalDuplicates += duplicates->count() - 1;
        groups.push_back(std::move(duplicates));
        m_finder.updateTotalDuplicates(totalDuplicates, totalBytes);
    }
    m_finder.setCurrentProgress(1.0);
    return groups;
}
