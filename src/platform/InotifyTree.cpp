#include "platform/InotifyTree.h"

#include <QFile>

#include <dirent.h>
#include <sys/inotify.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <cstring>
#include <memory>

namespace {

constexpr quint32 watchMask = IN_CREATE | IN_DELETE | IN_MOVED_FROM | IN_MOVED_TO | IN_MODIFY
    | IN_ATTRIB | IN_DELETE_SELF | IN_MOVE_SELF | IN_ONLYDIR | IN_EXCL_UNLINK;

QString joined(const QString &folder, const QString &name)
{
    if (folder.endsWith(u'/'))
        return folder + name;
    return folder + u'/' + name;
}

struct DirectoryCloser
{
    void operator()(DIR *directory) const { closedir(directory); }
};

struct Entry
{
    QString path;
    bool isFolder = false;
};

// The entries of one folder, without "." and "..", hidden ones included; a symbolic link is
// an entry of its own, never a folder.
std::vector<Entry> entriesOf(const QString &folder)
{
    std::vector<Entry> entries;
    const std::unique_ptr<DIR, DirectoryCloser> directory(opendir(QFile::encodeName(folder).constData()));
    if (!directory)
        return entries;
    while (const dirent *entry = readdir(directory.get())) {
        if (std::strcmp(entry->d_name, ".") == 0 || std::strcmp(entry->d_name, "..") == 0)
            continue;
        const QString path = joined(folder, QFile::decodeName(entry->d_name));
        bool isFolder = entry->d_type == DT_DIR;
        if (entry->d_type == DT_UNKNOWN) {
            struct stat status {};
            isFolder = lstat(QFile::encodeName(path).constData(), &status) == 0
                && S_ISDIR(status.st_mode);
        }
        entries.push_back({path, isFolder});
    }
    return entries;
}

} // namespace

InotifyTree::InotifyTree()
    : m_descriptor(inotify_init1(IN_NONBLOCK | IN_CLOEXEC))
{
}

InotifyTree::~InotifyTree()
{
    if (m_descriptor >= 0)
        ::close(m_descriptor);
}

bool InotifyTree::addRoot(const QString &path)
{
    if (!isValid() || path.isEmpty())
        return false;
    if (!m_roots.contains(path))
        m_roots.append(path);
    addTree(path, true, nullptr);
    return m_watches.contains(path);
}

int InotifyTree::watch(const QString &path, bool followLink)
{
    const quint32 mask = followLink ? watchMask : watchMask | IN_DONT_FOLLOW;
    const int watchDescriptor = inotify_add_watch(m_descriptor, QFile::encodeName(path).constData(), mask);
    if (watchDescriptor < 0)
        return -1;
    // Watching an inode twice answers the same descriptor; the newest path is the right one.
    const QString previous = m_paths.value(watchDescriptor);
    if (!previous.isEmpty() && previous != path)
        m_watches.remove(previous);
    m_paths.insert(watchDescriptor, path);
    m_watches.insert(path, watchDescriptor);
    return watchDescriptor;
}

// The folder is watched before its entries are listed, so nothing made in between is missed;
// what was made before the watch is found in the listing.
void InotifyTree::addTree(const QString &path, bool followLink, std::vector<Change> *contents)
{
    if (watch(path, followLink) < 0)
        return;
    for (const Entry &entry : entriesOf(path)) {
        if (contents)
            contents->push_back({entry.path, quint32(IN_CREATE | (entry.isFolder ? IN_ISDIR : 0)), false});
        if (entry.isFolder)
            addTree(entry.path, false, contents);
    }
}

void InotifyTree::dropTree(const QString &path)
{
    const QString below = joined(path, QString());
    std::vector<int> dropped;
    for (auto watched = m_watches.cbegin(); watched != m_watches.cend(); ++watched) {
        if (watched.key() == path || watched.key().startsWith(below))
            dropped.push_back(watched.value());
    }
    for (const int watchDescriptor : dropped) {
        inotify_rm_watch(m_descriptor, watchDescriptor);
        forget(watchDescriptor);
    }
}

void InotifyTree::forget(int watchDescriptor)
{
    const auto found = m_paths.constFind(watchDescriptor);
    if (found == m_paths.cend())
        return;
    m_watches.remove(*found);
    m_paths.erase(found);
}

std::vector<InotifyTree::Change> InotifyTree::read()
{
    std::vector<Change> changes;
    if (!isValid())
        return changes;
    alignas(inotify_event) char buffer[64 * 1024];
    for (;;) {
        const ssize_t length = ::read(m_descriptor, buffer, sizeof buffer);
        if (length < 0 && errno == EINTR)
            continue;
        if (length <= 0)
            break;
        for (ssize_t offset = 0; offset < length;) {
            inotify_event event {};
            std::memcpy(&event, buffer + offset, sizeof event);
            const char *name = buffer + offset + sizeof event;
            const QString entryName = event.len > 0 ? QFile::decodeName(name) : QString();
            takeEvent(event.wd, event.mask, entryName, changes);
            offset += ssize_t(sizeof event + event.len);
        }
    }
    return changes;
}

void InotifyTree::takeEvent(int watchDescriptor, quint32 mask, const QString &name,
                            std::vector<Change> &changes)
{
    if (mask & IN_Q_OVERFLOW) {
        changes.push_back({QString(), mask, false});
        // Folders made while events were lost may lack a watch.
        for (const QString &root : std::as_const(m_roots))
            addTree(root, true, nullptr);
        return;
    }
    if (mask & IN_IGNORED) {
        forget(watchDescriptor);
        return;
    }
    const QString folder = m_paths.value(watchDescriptor);
    if (folder.isEmpty())
        return;
    if (!name.isEmpty()) {
        const QString path = joined(folder, name);
        changes.push_back({path, mask, false});
        if (!(mask & IN_ISDIR))
            return;
        if (mask & (IN_CREATE | IN_MOVED_TO))
            addTree(path, false, &changes);
        else if (mask & IN_MOVED_FROM)
            dropTree(path);
        return;
    }
    const bool onRoot = m_roots.contains(folder);
    if (mask & (IN_DELETE_SELF | IN_MOVE_SELF)) {
        // Below a root, the parent folder has already told of the move or deletion.
        if (!onRoot)
            return;
        changes.push_back({folder, mask, true});
        // A moved root keeps its watches under paths that are no longer right.
        if (mask & IN_MOVE_SELF)
            dropTree(folder);
        return;
    }
    changes.push_back({folder, mask, onRoot});
}
