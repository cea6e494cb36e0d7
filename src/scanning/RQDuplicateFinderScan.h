#pragma once

#include <QtGlobal>

#include <memory>
#include <vector>

class RQFile;

// What the walk hands to the later stages of a scan.
struct RQDuplicateFinderScan
{
    // Every item added, in walk order; the roots own the tree.
    std::vector<std::shared_ptr<RQFile>> allItems;
    // The regular files and kept library media, in walk order: the files that may be digested.
    std::vector<std::shared_ptr<RQFile>> sizedFiles;
    // Regular files and library media, also media taken out for their size.
    qsizetype allFilesCount = 0;
};
