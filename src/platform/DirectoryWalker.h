#pragma once

#include <QDateTime>
#include <QString>
#include <QStringList>

#include "platform/FolderReadingQueue.h"

#include <cstdint>
#include <memory>
#include <string>
#include <vector>

class FolderReading;

// One entry met by DirectoryWalker, or a note that something at that place was passed over.
struct DirectoryEntry
{
    enum class Type : std::uint8_t { Directory, RegularFile, SymbolicLink, Other };

    // Why an entry was not handed out; None for a real entry.
    enum class PassedOver : std::uint8_t {
        None,
        HiddenEntry,         // its name begins with "."
        UnreadableEntry,     // its values or (for a folder) its listing could not be read
        UnrepresentableName, // its name is not valid UTF-8, so no path string can hold it
        DescriptorLimit,     // the folder it lies in could not be opened: no descriptor was left
    };

    // A note that something at that place was passed over; error: the errno that told why.
    static DirectoryEntry note(PassedOver reason, int depth, int error = 0)
    {
        DirectoryEntry entry;
        entry.passedOver = reason;
        entry.depth = depth;
        entry.error = error;
        return entry;
    }

    PassedOver passedOver = PassedOver::None;
    Type type = Type::Other;
    // 1 for the root's own entries. A passed-over note lies inside the folder at depth - 1.
    int depth = 0;
    // For an unreadable note, the errno of the failed call.
    int error = 0;
    // The name in its folder, without "/"; for an entry read by readEntry(), the path it was
    // given. Empty for a passed-over note but an unreadable entry's; a folder that could not be
    // listed gives a note without a name. Entries carry no whole path, which would make a deep
    // branch cost the square of its depth; see WalkPaths.
    QString name;
    // A folder whose lower-cased extension is one of the package types (see isPackageName).
    bool isPackage = false;
    // For a symbolic link, its target text; empty when the target is not valid UTF-8.
    QString linkTarget;
    bool linkTargetIsRepresentable = true;
    double size = 0;
    std::uint64_t device = 0;
    std::uint64_t inode = 0;
    std::int64_t modificationTimeNs = 0;
    // Invalid when the file system keeps no birth time.
    QDateTime creationDate;
    // The extended-attribute names, with a leading "user." dropped, so names stored by other
    // systems compare as they were written there. Empty for most entries.
    QStringList extendedAttributeNames;
};

// Walks a folder tree depth first, each folder's entries in byte order of their names (so equal
// trees are met in the same order on every file system), a folder's entries right after it.
// It never follows a symbolic link, skips hidden entries, and reports what it passed over.
// Per entry it costs one statx and one listxattr. Folders are read whole, by the walk's thread
// or ahead of it by helper threads, and handed out in the same order whatever the number of
// threads; the open folders of the current branch and the folders read ahead hold a
// descriptor each. next() and skipDescendants() from one thread at a time.
class DirectoryWalker final
{
public:
    // readers: threads that read folders, the calling one included.
    explicit DirectoryWalker(const QString &rootPath, int readers = defaultReaders());
    ~DirectoryWalker();
    DirectoryWalker(const DirectoryWalker &) = delete;
    DirectoryWalker &operator=(const DirectoryWalker &) = delete;

    // Fills the entry with the next one; false when the walk is over. A root that cannot be
    // listed gives one UnreadableEntry note; a root that does not exist gives nothing.
    bool next(DirectoryEntry &entry);
    // The folder handed out last is not entered.
    void skipDescendants();

    // As many as the high-priority global queue has threads.
    static int defaultReaders();
    // The values of one path, as the walk reads them (depth 0); false when it cannot be read.
    static bool readEntry(const QString &path, DirectoryEntry &entry);
    // The name (no trailing "/") has a package type's extension, in any case.
    static bool isPackageName(QStringView name);
    // Raises the process's soft limit of open descriptors to its hard limit, since a walk holds
    // one per level and trees deeper than the usual soft limit of 1,024 exist; the walks keep a
    // reserve below it for the process's threads and files (WalkDescriptorReserve).
    static void raiseDescriptorLimit();

private:
    struct Level
    {
        std::shared_ptr<FolderReading> folder;
        std::size_t nextEntry = 0;
        std::size_t nextSubfolder = 0;
    };

    // The reading of the folder, by this thread unless a helper claimed it first.
    void take(FolderReading &folder);
    // Enters the folder taken, or fills the entry with the note of why it cannot be (false).
    bool enter(const std::shared_ptr<FolderReading> &folder, DirectoryEntry &entry);
    // A skipped folder and what was read ahead below it.
    void leave(FolderReading &folder);
    void closeTopLevel();

    FolderReadingQueue m_queue;
    std::vector<Level> m_levels;
    std::shared_ptr<FolderReading> m_root;
    bool m_descendPending = false;
};
