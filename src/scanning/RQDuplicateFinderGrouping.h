#pragma once

#include "scanning/RQDuplicateFinder.h"
#include "scanning/Sha1Digest.h"

#include <QSet>
#include <QString>

#include <cstdint>
#include <memory>
#include <unordered_map>
#include <vector>

class RQFile;
struct RQDuplicateFinderScan;

// Stages 2 to 5 of a scan, serial on the scan's thread: groups the items by digest, leaves out
// further names of one file and drops the groups whose members differ in size, drops members
// that lie inside a folder that is itself a member of a group, and makes the RQDuplicateFiles
// with the running totals.
class RQDuplicateFinderGrouping final
{
public:
    // scan: a finished walk and digests, which must outlive the grouping.
    RQDuplicateFinderGrouping(RQDuplicateFinder &finder, const RQDuplicateFinderScan &scan);
    RQDuplicateFinderGrouping(const RQDuplicateFinderGrouping &) = delete;
    RQDuplicateFinderGrouping &operator=(const RQDuplicateFinderGrouping &) = delete;

    RQDuplicateFinder::Groups findGroups();

private:
    struct HashGroup
    {
        Sha1Digest digest;
        std::vector<std::shared_ptr<RQFile>> members;
    };
    struct DigestHash
    {
        std::size_t operator()(const Sha1Digest &digest) const;
    };

    void groupByDigest();
    // The first eight bytes of each digest that two items that may count share (and of the few
    // digests that share only those bytes), sorted. A scan holds millions of items, most of them
    // with a digest of their own: an item whose digest begins otherwise is alone, and gets no group.
    std::vector<std::uint64_t> sharedDigestPrefixes() const;
    // Adds the item to the group of its digest, if it has one, may count and may not be alone.
    void addToGroup(const std::shared_ptr<RQFile> &item);
    void dropUnequalGroups();
    void dropNestedMembers();
    bool liesInDuplicateFolder(const RQFile &member) const;
    // The hashes of the paths that two members of the groups share (or seem to), sorted.
    std::vector<std::uint64_t> sharedMemberPathHashes() const;
    RQDuplicateFinder::Groups buildGroups();

    RQDuplicateFinder &m_finder;
    const RQDuplicateFinderScan &m_scan;
    std::vector<std::uint64_t> m_sharedPrefixes;
    // In order of first addition, which decides the member order and so each group's name.
    std::vector<HashGroup> m_hashGroups;
    // Files and folders apart: a file can hold exactly the text a folder's digest is made of.
    std::unordered_map<Sha1Digest, std::size_t, DigestHash> m_fileGroupIndex;
    std::unordered_map<Sha1Digest, std::size_t, DigestHash> m_folderGroupIndex;
    QSet<QString> m_dupDirPaths;
};
