#pragma once

#include <string_view>

// Opens a path of any length. The system takes at most PATH_MAX bytes of path at once, while a
// walk that goes folder by folder reaches files far deeper: a longer path is reached the same
// way, each part of it opened relative to the folder above it. Any thread.
class LongPathOpening final
{
public:
    // As open(2): a descriptor, or -1 with errno set.
    static int open(std::string_view path, int flags);

    LongPathOpening() = delete;
};
