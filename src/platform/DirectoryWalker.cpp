#include "platform/DirectoryWalker.h"

#include <QFile>
#include <QUtf8StringView>

#include <algorithm>
#include <atomic>
#include <array>
#include <cerrno>
#include <cstring>
#include <dirent.h>
#include <fcntl.h>
#include <sys/resource.h>
#include <sys/stat.h>
#include <sys/sysmacros.h>
#include <sys/syscall.h>
#include <sys/xattr.h>
#include <unistd.h>

using namespace Qt::StringLiterals;

namespace {

// Large enough for any listing chunk and for the longest extended-attribute list Linux allows.
constexpr std::size_t bufferSize = 64 * 1024;
constexpr unsigned int valuesWanted = STATX_TYPE | STATX_SIZE | STATX_BTIME | STATX_MTIME | STATX_INO;

bool isValidUtf8(const char *bytes, std::size_t length)
{
    return QUtf8StringView(bytes, static_cast<qsizetype>(length)).isValidUtf8();
}

DirectoryEntry::Type typeOfMode(unsigned int mode)
{
    if (S_ISDIR(mode))
        return DirectoryEntry::Type::Directory;
    if (S_ISREG(mode))
        return DirectoryEntry::Type::RegularFile;
    if (S_ISLNK(mode))
        return DirectoryEntry::Type::SymbolicLink;
    return DirectoryEntry::Type::Other;
}

QDateTime dateOf(const struct statx_timestamp &stamp)
{
    // UTC keeps the conversion cheap; the moment is the same in any zone.
    return QDateTime::fromMSecsSinceEpoch(stamp.tv_sec * 1000 + stamp.tv_nsec / 1000000, Qt::UTC);
}

// Kernels from 6.13 list the attributes relative to the open folder, which saves looking up the
// whole path once more per entry; older kernels, or filters that refuse the call, get the path.
#ifndef SYS_listxattrat
#define SYS_listxattrat 465
#endif

ssize_t listAttributes(int directoryDescriptor, const char *name, int flags, const char *fullPath,
                       std::vector<char> &buffer)
{
    static std::atomic<bool> relativeListing = true;
    if (relativeListing.load()) {
        const long length = ::syscall(SYS_listxattrat, directoryDescriptor, name, static_cast<unsigned int>(flags),
                                      buffer.data(), buffer.size());
        if (length >= 0 || (errno != ENOSYS && errno != EPERM))
            return length;
        relativeListing.store(false);
    }
    return (flags & AT_SYMLINK_NOFOLLOW) ? ::llistxattr(fullPath, buffer.data(), buffer.size())
                                         : ::listxattr(fullPath, buffer.data(), buffer.size());
}

void makeNote(DirectoryEntry &entry, DirectoryEntry::PassedOver reason, int depth)
{
    entry = DirectoryEntry();
    entry.passedOver = reason;
    entry.depth = depth;
}

// Why a folder could not be opened, from the errno of the failed open.
DirectoryEntry::PassedOver openFailure()
{
    return errno == EMFILE || errno == ENFILE ? DirectoryEntry::PassedOver::DescriptorLimit
                                              : DirectoryEntry::PassedOver::UnreadableEntry;
}

} // namespace

DirectoryWalker::DirectoryWalker(const QString &rootPath)
    : m_path(QFile::encodeName(rootPath).toStdString()), m_buffer(bufferSize)
{
    if (m_path.empty() || m_path.back() != '/')
        m_path += '/';
}

DirectoryWalker::~DirectoryWalker()
{
    while (m_depth > 0)
        closeTopLevel();
}

bool DirectoryWalker::isPackageName(QStringView name)
{
    // Folders that file managers present as one document or program.
    static const std::array<QLatin1StringView, 27> extensions = {
        "app"_L1, "appex"_L1, "bundle"_L1, "framework"_L1, "plugin"_L1, "kext"_L1, "xpc"_L1,
        "prefpane"_L1, "qlgenerator"_L1, "mdimporter"_L1, "saver"_L1, "wdgt"_L1, "component"_L1,
        "photoslibrary"_L1, "photolibrary"_L1, "migratedphotolibrary"_L1, "aplibrary"_L1,
        "fcpbundle"_L1, "imovielibrary"_L1, "logicx"_L1, "band"_L1, "rtfd"_L1, "pages"_L1,
        "numbers"_L1, "key"_L1, "xcodeproj"_L1, "xcworkspace"_L1,
    };
    const qsizetype dot = name.lastIndexOf(u'.');
    if (dot <= 0)
        return false;
    const QStringView extension = name.mid(dot + 1);
    return std::any_of(extensions.cbegin(), extensions.cend(), [extension](QLatin1StringView known) {
        return extension.compare(known, Qt::CaseInsensitive) == 0;
    });
}

void DirectoryWalker::raiseDescriptorLimit()
{
    rlimit limit {};
    if (::getrlimit(RLIMIT_NOFILE, &limit) == 0 && limit.rlim_cur < limit.rlim_max) {
        limit.rlim_cur = limit.rlim_max;
        ::setrlimit(RLIMIT_NOFILE, &limit);
    }
}

bool DirectoryWalker::readEntry(const QString &path, DirectoryEntry &entry)
{
    DirectoryWalker walker(path);
    std::string fullPath = QFile::encodeName(path).toStdString();
    // A root given as a link to a folder is taken as that folder.
    return walker.describe(AT_FDCWD, fullPath.c_str(), 0, fullPath, 0, entry);
}

bool DirectoryWalker::next(DirectoryEntry &entry)
{
    if (m_rootPending) {
        m_rootPending = false;
        const int descriptor = ::open(m_path.c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC);
        if (descriptor < 0) {
            if (errno == ENOENT || errno == ENOTDIR)
                return false;
            makeNote(entry, openFailure(), 1);
            return true;
        }
        if (!pushLevel(descriptor, m_path.size())) {
            makeNote(entry, DirectoryEntry::PassedOver::UnreadableEntry, 1);
            return true;
        }
    }
    if (m_descendPending) {
        m_descendPending = false;
        // Copied, since pushing a level may move the levels.
        const Level &parent = m_levels[m_depth - 1];
        const std::size_t parentPathLength = parent.pathLength;
        const char *name = parent.names.data() + parent.order[parent.next - 1];
        m_path.resize(parentPathLength);
        m_path += name;
        m_path += '/';
        const int descriptor =
            ::openat(parent.descriptor, name, O_RDONLY | O_DIRECTORY | O_NOFOLLOW | O_CLOEXEC);
        if (descriptor < 0 || !pushLevel(descriptor, m_path.size())) {
            const DirectoryEntry::PassedOver reason =
                descriptor < 0 ? openFailure() : DirectoryEntry::PassedOver::UnreadableEntry;
            m_path.resize(parentPathLength);
            makeNote(entry, reason, static_cast<int>(m_depth) + 1);
            return true;
        }
    }
    while (m_depth > 0) {
        Level &level = m_levels[m_depth - 1];
        if (level.next == level.order.size()) {
            closeTopLevel();
            continue;
        }
        const char *name = level.names.data() + level.order[level.next++];
        const std::size_t nameLength = std::strlen(name);
        const int depth = static_cast<int>(m_depth);
        if (name[0] == '.') {
            makeNote(entry, DirectoryEntry::PassedOver::HiddenEntry, depth);
            return true;
        }
        if (!isValidUtf8(name, nameLength)) {
            makeNote(entry, DirectoryEntry::PassedOver::UnrepresentableName, depth);
            return true;
        }
        m_path.resize(level.pathLength);
        m_path.append(name, nameLength);
        const bool described = describe(level.descriptor, name, AT_SYMLINK_NOFOLLOW, m_path, depth, entry);
        m_path.resize(level.pathLength);
        if (!described) {
            makeNote(entry, DirectoryEntry::PassedOver::UnreadableEntry, depth);
            return true;
        }
        m_descendPending = entry.type == DirectoryEntry::Type::Directory;
        return true;
    }
    return false;
}

bool DirectoryWalker::pushLevel(int descriptor, std::size_t pathLength)
{
    if (m_depth == m_levels.size())
        m_levels.emplace_back();
    Level &level = m_levels[m_depth];
    level.descriptor = descriptor;
    level.pathLength = pathLength;
    if (!readListing(level)) {
        ::close(descriptor);
        level.descriptor = -1;
        return false;
    }
    ++m_depth;
    return true;
}

bool DirectoryWalker::readListing(Level &level)
{
    level.names.clear();
    level.order.clear();
    level.next = 0;
    for (;;) {
        const ssize_t count = ::getdents64(level.descriptor, m_buffer.data(), m_buffer.size());
        if (count == 0)
            break;
        if (count < 0) {
            if (errno == EINTR)
                continue;
            return false;
        }
        for (ssize_t offset = 0; offset < count;) {
            const auto *record = reinterpret_cast<const struct dirent64 *>(m_buffer.data() + offset);
            offset += record->d_reclen;
            const char *name = record->d_name;
            if (std::strcmp(name, ".") == 0 || std::strcmp(name, "..") == 0)
                continue;
            level.order.push_back(static_cast<std::uint32_t>(level.names.size()));
            level.names.append(name, std::strlen(name) + 1);
        }
    }
    const char *names = level.names.data();
    std::sort(level.order.begin(), level.order.end(), [names](std::uint32_t left, std::uint32_t right) {
        return std::strcmp(names + left, names + right) < 0;
    });
    return true;
}

void DirectoryWalker::closeTopLevel()
{
    Level &level = m_levels[--m_depth];
    ::close(level.descriptor);
    level.descriptor = -1;
    if (m_depth > 0)
        m_path.resize(m_levels[m_depth - 1].pathLength);
}

bool DirectoryWalker::describe(int directoryDescriptor, const char *name, int flags,
                               std::string &fullPath, int depth, DirectoryEntry &entry)
{
    struct statx values {};
    if (::statx(directoryDescriptor, name, flags | AT_NO_AUTOMOUNT, valuesWanted, &values) != 0)
        return false;
    entry.passedOver = DirectoryEntry::PassedOver::None;
    entry.depth = depth;
    entry.type = typeOfMode(values.stx_mode);
    const bool isDirectory = entry.type == DirectoryEntry::Type::Directory;
    if (isDirectory && fullPath.back() != '/') {
        fullPath += '/';
        entry.path = QString::fromUtf8(fullPath.data(), static_cast<qsizetype>(fullPath.size()));
        fullPath.pop_back();
    } else {
        entry.path = QString::fromUtf8(fullPath.data(), static_cast<qsizetype>(fullPath.size()));
    }
    if (isDirectory) {
        // Only the last component: a search for its dot must not run through a deep path.
        const QStringView folderPath = QStringView(entry.path).chopped(1);
        entry.isPackage = isPackageName(folderPath.sliced(folderPath.lastIndexOf(u'/') + 1));
    } else {
        entry.isPackage = false;
    }
    entry.size = static_cast<double>(values.stx_size);
    entry.device = makedev(values.stx_dev_major, values.stx_dev_minor);
    entry.inode = values.stx_ino;
    entry.modificationTimeNs = static_cast<std::int64_t>(values.stx_mtime.tv_sec) * 1000000000
                               + values.stx_mtime.tv_nsec;
    entry.creationDate = (values.stx_mask & STATX_BTIME) ? dateOf(values.stx_btime) : QDateTime();
    entry.modificationDate = (values.stx_mask & STATX_MTIME) ? dateOf(values.stx_mtime) : QDateTime();
    entry.linkTarget.clear();
    entry.linkTargetIsRepresentable = true;
    if (entry.type == DirectoryEntry::Type::SymbolicLink)
        readLinkTarget(directoryDescriptor, name, entry);
    readExtendedAttributes(directoryDescriptor, name, flags, fullPath, entry);
    return true;
}

void DirectoryWalker::readLinkTarget(int directoryDescriptor, const char *name, DirectoryEntry &entry)
{
    const ssize_t length = ::readlinkat(directoryDescriptor, name, m_buffer.data(), m_buffer.size());
    if (length < 0 || !isValidUtf8(m_buffer.data(), static_cast<std::size_t>(length))) {
        entry.linkTargetIsRepresentable = false;
        return;
    }
    entry.linkTarget = QString::fromUtf8(m_buffer.data(), length);
}

void DirectoryWalker::readExtendedAttributes(int directoryDescriptor, const char *name, int flags,
                                             const std::string &fullPath, DirectoryEntry &entry)
{
    entry.extendedAttributeNames.clear();
    const ssize_t listLength = listAttributes(directoryDescriptor, name, flags, fullPath.c_str(), m_buffer);
    for (ssize_t offset = 0; offset < listLength;) {
        const char *attribute = m_buffer.data() + offset;
        const std::size_t length = std::strlen(attribute);
        offset += static_cast<ssize_t>(length) + 1;
        const std::size_t skip = std::strncmp(attribute, "user.", 5) == 0 ? 5 : 0;
        entry.extendedAttributeNames.append(
            QString::fromUtf8(attribute + skip, static_cast<qsizetype>(length - skip)));
    }
}
