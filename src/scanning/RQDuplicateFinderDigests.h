#pragma once

#include <cstddef>
#include <functional>
#include <memory>
#include <vector>

class RQFile;

// Stage 1 of a scan: content digests of the files that another file's size matches.
class RQDuplicateFinderDigests final
{
public:
    using Files = std::vector<std::shared_ptr<RQFile>>;

    // The files whose size another file of the list shares, largest first (so the longest reads
    // start first and the threads finish together), equal sizes in list order.
    static Files filesSharingSize(Files files);

    // Digests every file once, on all threads of the high-priority global queue and the calling
    // thread, and returns when all are done. Each file is touched by one thread only. A file
    // that is no longer a regular file at its path (gone, replaced by a link, a FIFO or a
    // folder) or cannot be read keeps no digest; one that the walk found empty gets the digest
    // of empty content unread. onFileDigested runs after each file, on the thread that
    // digested it.
    static void digestFiles(const Files &files, std::size_t chunkSize,
                            const std::function<void()> &onFileDigested);

    RQDuplicateFinderDigests() = delete;
};
