#pragma once

#include <QString>
#include <QStringList>
#include <QStringView>

class RQIgnoreList;

// The ignore list's answers for the entries of one folder, worked out once for the folder. An
// entry lies under a listed folder exactly when its folder does, or when the entry is that
// listed path itself; so per entry only its name is compared with the few listed paths that
// lie directly in the folder. The answers equal the list's for the entry's whole path.
class RQIgnoreListFolder final
{
public:
    // folderPath: the folder as the list judges it, ending with "/". The list must outlive this.
    RQIgnoreListFolder(const RQIgnoreList &list, const QString &folderPath);

    // RQIgnoreList::pathIsChildOfSystemPath() of the entry with this name in the folder.
    bool entryIsChildOfSystemPath(QStringView name) const;
    // RQIgnoreList::filePathIsIgnored() of the entry with this name in the folder.
    bool entryIsIgnored(QStringView name) const;

private:
    // One list of folders, as it bears on the folder's entries.
    struct Listed
    {
        Listed(const QStringList &paths, const QString &folderPath);
        bool holds(QStringView name) const { return folderLiesUnder || namesInFolder.contains(name); }

        bool folderLiesUnder = false;
        // Listed paths that name an entry of the folder, by that entry's name.
        QStringList namesInFolder;
    };

    const RQIgnoreList *m_list;
    Listed m_allowed;
    Listed m_system;
    Listed m_ignored;
    bool m_folderExtensionIgnored = false;
};
