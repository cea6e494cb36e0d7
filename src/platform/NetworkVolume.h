#pragma once

#include <QString>

// Whether a path lies on a network file system (NFS, SMB/CIFS, AFS, 9p, or a FUSE file system
// that talks to a server). Unreadable paths answer NO. Thread-safe.
class NetworkVolume final
{
public:
    static bool pathIsOnNetworkVolume(const QString &path);

    // The FUSE subtype ("sshfs" of "fuse.sshfs") names a network file system.
    static bool fuseSubtypeIsNetwork(const QString &subtype);

    NetworkVolume() = delete;
};
