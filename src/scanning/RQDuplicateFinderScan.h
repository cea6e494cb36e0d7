#pragma once

#include "scanning/RQDuplicateFinder.h"
#include "scanning/RQDuplicateFinderDigests.h"

#include <QtGlobal>

#include <cstddef>

#include <memory>
#include <vector>

class RQFile;

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

    // Every item added, in walk order; the roots own the tree.
    std::vector<std::shared_ptr<RQFile>> allItems;
    // Regular files and library media, also media taken out for their size.
    qsizetype allFilesCount = 0;
    // Stage 1, fed by the walk with the regular files and kept media. Declared after the tree,
    // so that it is gone before the files it reads are.
    RQDuplicateFinderDigests digests;
};
