#pragma once

#include <QHash>
#include <QString>
#include <QStringList>

#include <vector>

// Recursive inotify watches over a few folders: every folder below a root is watched too, and
// folders that appear later are watched as they appear.
//
// Symbolic links below a root are never followed. Not thread-safe: one thread reads it. The
// inotify descriptor, and with it every watch, is closed when the tree goes.
class InotifyTree final
{
public:
    // One change as inotify reports it: the path of the item, the inotify mask (IN_CREATE,
    // IN_ISDIR, ...), and whether the change is about a root itself (moved, deleted, its
    // attributes) rather than about an item inside it. A queue overflow comes with an empty
    // path and IN_Q_OVERFLOW.
    struct Change
    {
        QString path;
        quint32 mask = 0;
        bool onRoot = false;
    };

    InotifyTree();
    ~InotifyTree();
    InotifyTree(const InotifyTree &) = delete;
    InotifyTree &operator=(const InotifyTree &) = delete;

    // Whether the inotify instance could be made.
    bool isValid() const { return m_descriptor >= 0; }
    // Readable when changes are waiting; non-blocking.
    int descriptor() const { return m_descriptor; }

    // Watches the folder (a symbolic link to a folder is followed here) and all folders
    // below it. Answers whether the folder itself is watched.
    bool addRoot(const QString &path);
    QStringList roots() const { return m_roots; }
    std::size_t watchCount() const { return std::size_t(m_paths.size()); }

    // Takes every change that is waiting, in the order of arrival. The contents of a folder
    // that appeared are reported as created, since they may have been made before its watch.
    std::vector<Change> read();

private:
    int watch(const QString &path, bool followLink);
    void addTree(const QString &path, bool followLink, std::vector<Change> *contents);
    void dropTree(const QString &path);
    void forget(int watchDescriptor);
    void takeEvent(int watchDescriptor, quint32 mask, const QString &name,
                   std::vector<Change> &changes);

    int m_descriptor = -1;
    QStringList m_roots;
    QHash<int, QString> m_paths;
    QHash<QString, int> m_watches;
};
