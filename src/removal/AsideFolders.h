#pragma once

#include "platform/FileDescriptor.h"

#include <QByteArray>

#include <map>
#include <memory>
#include <utility>

// Owner-only folders of random names, one beside the items of each folder a removal works in, on
// the same file system: an item is moved into one before it is checked and deleted, so that the
// name checked is one no other program knows. Each is removed, when empty, with this object.
// Blocking; one thread at a time.
class AsideFolders final
{
public:
    // Names of these folders start so, so that a left-over can be told from the user's files.
    static constexpr auto namePrefix = ".marrowick-removing-";

    AsideFolders() = default;
    ~AsideFolders();
    AsideFolders(const AsideFolders &) = delete;
    AsideFolders &operator=(const AsideFolders &) = delete;

    // The aside folder for items of the opened folder, made on first use; -1 with errno set.
    int folderBeside(int folderFd);

private:
    struct Aside
    {
        std::unique_ptr<FileDescriptor> parent;
        std::unique_ptr<FileDescriptor> folder;
        QByteArray name;
    };

    std::map<std::pair<dev_t, ino_t>, Aside> m_folders;
};
