#pragma once

#include "scanning/RQFile.h"

#include <QSet>
#include <QString>

#include <memory>
#include <vector>

// The items of one removal as the remover takes them: one item per place on disk, in the given
// order, and none that lies inside a listed folder, since the folder takes it along (and
// answers for it). Null items are left out.
class RemovalList final
{
public:
    using FileList = std::vector<std::shared_ptr<RQFile>>;

    explicit RemovalList(const FileList &files);
    RemovalList(const RemovalList &) = delete;
    RemovalList &operator=(const RemovalList &) = delete;

    const FileList &items() const { return m_items; }
    // The item's copy that stays is itself an item of the list, or lies inside one.
    bool removesKeptCopyOf(const RQFile &file) const;

    // Where the item lies on disk: its path without a folder's trailing "/".
    static QString diskPath(const RQFile &file);

private:
    bool liesInsideListedFolder(const QString &path) const;

    FileList m_items;
    QSet<QString> m_paths;
    // The listed folders' paths, each with a trailing "/".
    QSet<QString> m_folders;
};
