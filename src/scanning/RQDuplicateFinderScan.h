#pragma once

#include "scanning/RQDirectory.h"
#include "scanning/RQDuplicateFinder.h"
#include "scanning/RQDuplicateFinderDigests.h"

#include <QtGlobal>

#include <cstddef>
#include <memory>
#include <utility>
#include <vector>

// What the walk hands to the later stages of a scan.
struct RQDuplicateFinderScan
{
    // cancelled: the finder's flag, which stops the digests; none for a walk alone.
    // firstBlockSize: 0 reads every file that shares a size whole at once.
    explicit RQDuplicateFinderScan(const std::atomic<bool> *cancelled = nullptr,
                                   std::size_t firstBlockSize = RQDuplicateFinder::firstBlockSize)
        : digests(RQDuplicateFinder::digestChunkSize, firstBlockSize, cancelled)
    {
    }
    RQDuplicateFinderScan(const RQDuplicateFinderScan &) = delete;
    RQDuplicateFinderScan &operator=(const RQDuplicateFinderScan &) = delete;

    // Calls visit(const std::shared_ptr<RQFile> &) for every item of the tree in the order the
    // walk added them: each folder before what it holds, the roots in their order. It keeps
    // its own stack of open folders, so any depth will do.
    template<typename Visit>
    void forEachItem(Visit visit) const;

    // In the order of the finder's paths; they own the tree.
    std::vector<std::shared_ptr<RQDirectory>> roots;
    // Every item added, the roots included.
    qsizetype itemCount = 0;
    // Regular files and library media, also media taken out for their size.
    qsizetype allFilesCount = 0;
    // Stage 1, fed by the walk with the regular files and kept media. Declared after the tree,
    // so that it is gone before the files it reads are.
    RQDuplicateFinderDigests digests;
};

template<typename Visit>
void RQDuplicateFinderScan::forEachItem(Visit visit) const
{
    // Each open folder with the index of its next child.
    std::vector<std::pair<const RQDirectory *, std::size_t>> open;
    for (const std::shared_ptr<RQDirectory> &root : roots) {
        visit(std::static_pointer_cast<RQFile>(root));
        open.emplace_back(root.get(), 0);
        while (!open.empty()) {
            auto &[folder, next] = open.back();
            if (next == folder->children().size()) {
                open.pop_back();
                continue;
            }
            const std::shared_ptr<RQFile> &child = folder->children()[next++];
            visit(child);
            if (child->isDirectory())
                open.emplace_back(static_cast<const RQDirectory *>(child.get()), 0);
        }
    }
}
