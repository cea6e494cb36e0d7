#pragma once

#include "scanning/RQFileIdentity.h"

struct stat;

// What the disk holds under a name of an opened folder now, the entry itself (a link is not
// followed), in the values the walk keeps of an item. Blocking; any thread.
class EntryIdentity final
{
public:
    EntryIdentity() = delete;

    // 0 with the values filled in, or the errno value when there is no entry to read. status,
    // when given, receives the whole status the one call read, for whoever acts on the entry next.
    static int read(int folderFd, const char *name, RQFileIdentity &identity, struct stat *status = nullptr);
};
