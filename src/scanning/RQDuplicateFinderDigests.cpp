#include "scanning/RQDuplicateFinderDigests.h"

#include "platform/ParallelFor.h"
#include "scanning/RQFile.h"
#include "scanning/RQHashHelper.h"

#include <algorithm>

RQDuplicateFinderDigests::Files RQDuplicateFinderDigests::filesSharingSize(const Files &files)
{
    // Sorting by size finds the shared sizes without a list per size.
    Files bySize = files;
    std::stable_sort(bySize.begin(), bySize.end(), [](const auto &left, const auto &right) {
        return left->fileSize() > right->fileSize();
    });
    Files sharing;
    for (std::size_t start = 0; start < bySize.size();) {
        std::size_t end = start + 1;
        while (end < bySize.size() && bySize[end]->fileSize() == bySize[start]->fileSize())
            ++end;
        if (end - start > 1)
            sharing.insert(sharing.end(), bySize.begin() + static_cast<std::ptrdiff_t>(start),
                           bySize.begin() + static_cast<std::ptrdiff_t>(end));
        start = end;
    }
    return sharing;
}

void RQDuplicateFinderDigests::digestFiles(const Files &files, std::size_t chunkSize,
                                           const std::function<void()> &onFileDigested)
{
    parallelFor(
        static_cast<qsizetype>(files.size()),
        [&](qsizetype index) {
            RQFile &file = *files[static_cast<std::size_t>(index)];
            file.setContentDigest(sha1DigestForFileAtPath(file.path(), chunkSize));
            onFileDigested();
        },
        DispatchPriority::High);
}
