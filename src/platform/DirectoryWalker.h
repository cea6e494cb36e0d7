#pragma once

#include <QDateTime>
#include <QString>
#include <QStringList>

#include <cstdint>
#include <string>
#include <vector>

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

    PassedOver passedOver = PassedOver::None;
    Type type = Type::Other;
    // 1 for the root's own entries. A passed-over note lies inside the folder at depth - 1.
    int depth = 0;
    // Absolute; a folder's path ends with "/". Empty for a passed-over note.
    QString path;
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
    QDateTime modificationDate;
    // The extended-attribute names, with a leading "user." dropped, so names stored by other
    // systems compare as they were written there. Empty for most entries.
    QStringList extendedAttributeNames;
};

// Walks a folder tree depth first, each folder's entries in byte order of their names (so equal
// trees are met in the same order on every file system), a folder's entries right after it.
// It never follows a symbolic link, skips hidden entries, and reports what it passed over.
// Per entry it costs one statx and one listxattr; folder listings are read whole, so only the
// open folders of the current branch hold a descriptor. One thread at a time.
class DirectoryWalker final
{
public:
    explicit DirectoryWalker(const QString &rootPath);
    ~DirectoryWalker();
    DirectoryWalker(const DirectoryWalker &) = delete;
    DirectoryWalker &operator=(const DirectoryWalker &) = delete;

    // Fills the entry with the next one; false when the walk is over. A root that cannot be
    // listed gives one UnreadableEntry note; a root that does not exist gives nothing.
    bool next(DirectoryEntry &entry);
    // The folder handed out last is not entered.
    void skipDescendants() { m_descendPending = false; }

    // The values of one path, as the walk reads them (depth 0); false when it cannot be read.
    static bool readEntry(const QString &path, DirectoryEntry &entry);
    // The name (no trailing "/") has a package type's extension, in any case.
    static bool isPackageName(QStringView name);
    // Raises the process's soft limit of open descriptors to its hard limit, since a walk holds
    // one per level and trees deeper than the usual soft limit of 1,024 exist.
    static void raiseDescriptorLimit();

private:
    struct Level
    {
        int descriptor = -1;
        std::string names; // each name followed by a NUL
        std::vector<std::uint32_t> order;
        std::size_t next = 0;
        std::size_t pathLength = 0; // length of m_path up to and with this folder's "/"
    };

    bool pushLevel(int descriptor, std::size_t pathLength);
    bool readListing(Level &level);
    void closeTopLevel();
    bool describe(int directoryDescriptor, const char *name, int flags, std::string &fullPath,
                  int depth, DirectoryEntry &entry);
    void readLinkTarget(int directoryDescriptor, const char *name, DirectoryEntry &entry);
    void readExtendedAttributes(int directoryDescriptor, const char *name, int flags,
                                const std::string &fullPath, DirectoryEntry &entry);

    std::vector<Level> m_levels;
    std::size_t m_depth = 0; // levels in use
    std::string m_path;      // bytes of the current folder's path, with a trailing "/"
    std::vector<char> m_buffer;
    bool m_descendPending = false;
    bool m_rootPending = true;
};
