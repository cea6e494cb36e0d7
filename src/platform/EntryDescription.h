#pragma once

#include "platform/DirectoryWalker.h"

#include <string>

// Fills the entry with the values of the named entry of the open folder (AT_FDCWD and a whole
// path for a root): one statx, the link's target for a link, and the extended-attribute names.
// fullPath is the entry's path in bytes, for kernels that list attributes by path only; the
// entry takes only the name.
// Safe on any thread: each thread reads into a buffer of its own. false when the values cannot
// be read.
bool describeEntry(int directoryDescriptor, const char *name, int flags, const std::string &fullPath, int depth,
                   DirectoryEntry &entry);
