#pragma once

#include "platform/FileDescriptor.h"

#include <QByteArray>
#include <QStringList>

#include <deque>
#include <map>
#include <memory>
#include <sys/types.h>
#include <utility>

class AsideJournal;

// Owner-only folders, one beside the items of each folder a removal works in, on the same file
// system, all of one random name for the removal: an item is moved into one before it is checked
// and deleted, so that the name checked is one no other program knows. Before the first is made,
// the journal records where they may be, so that the next start finds what a removal cut short
// left in them. A few are kept at a time; each is removed, when empty, once the removal works
// elsewhere, and the rest with this object. Blocking; one thread at a time.
class AsideFolders final
{
public:
    // Names of these folders start so, so that a left-over can be told from the user's files.
    static constexpr auto namePrefix = ".marrowick-removing-";

    // folderPaths: the folders (absolute paths) of the items that may be moved aside.
    explicit AsideFolders(QStringList folderPaths);
    ~AsideFolders();
    AsideFolders(const AsideFolders &) = delete;
    AsideFolders &operator=(const AsideFolders &) = delete;

    // The aside folder for items of the opened folder (of that device and inode), made on first
    // use; -1 with errno set.
    int folderBeside(int folderFd, std::pair<dev_t, ino_t> folderObject);

private:
    struct Aside
    {
        std::unique_ptr<FileDescriptor> parent;
        std::unique_ptr<FileDescriptor> folder;
    };
    using Key = std::pair<dev_t, ino_t>;

    // Folders kept at most; the oldest is removed first.
    static constexpr std::size_t foldersKept = 16;

    int makeFolder(int folderFd);
    void beginJournal();
    void removeFolder(const Aside &aside);

    QByteArray m_name;
    QStringList m_folderPaths;
    std::unique_ptr<AsideJournal> m_journal;
    bool m_journalBegun = false;
    bool m_allRemoved = true;
    std::map<Key, Aside> m_folders;
    std::deque<Key> m_order;
};
