#pragma once

// Moves `from` (relative to fromFd) to `to` (relative to toFd), never over anything already
// named `to`. Where the file system cannot refuse a replacement itself (NFS answers any rename
// flag with EINVAL), the name is checked first, then renamed. 0, or the errno of the failure
// (EEXIST when the name is taken).
int renameWithoutReplacing(int fromFd, const char *from, int toFd, const char *to);
