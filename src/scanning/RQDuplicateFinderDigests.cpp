#include "scanning/RQDuplicateFinderDigests.h"

#include "platform/ParallelFor.h"
#include "scanning/RQFile.h"
#include "scanning/RQHashHelper.h"
#include "scanning/Sha1Hasher.h"

#include <algorithm>

RQDuplicateFinderDigests::Files RQDuplicateFinderDigests::filesSharingSize(Files files)
{
    // Sorted and compacted in place: no list per size, and no second list of every file.
    std::stable_sort(files.begin(), files.end(), [](const auto &left, const auto &right) {
        return left->fileSize() > right->fileSize();
    });
    auto kept = files.begin();
    for (auto start = files.begin(); start != files.end();) {
        auto end = std::next(start);
        while (end != files.end() && (*end)->fileSize() == (*start)->fileSize())
            ++end;
        if (std::distance(start, end) > 1)
            kept = std::move(start, end, kept);
        start = end;
    }
    files.erase(kept, files.end());
    return files;
}

void RQDuplicateFinderDigests::digestFiles(const Files &files, std::size_t chunkSize,
                                           const std::function<void()> &onFileDigested)
{
    parallelFor(
        static_cast<qsizetype>(files.size()),
        [&](qsizetype index) {
            RQFile &file = *files[static_cast<std::size_t>(index)];
            // An empty file's digest is known without opening it.
            static const Sha1Digest emptyDigest = Sha1Hasher::digest(nullptr, 0);
            file.setContentDigest(file.fileSize() == 0 ? std::optional(emptyDigest)
                                                       : sha1DigestForFileAtPath(file.path(), chunkSize));
            onFileDigested();
        },
        DispatchPriority::High);
}
