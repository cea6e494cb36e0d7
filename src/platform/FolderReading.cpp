#include "platform/FolderReading.h"

#include "platform/EntryDescription.h"
#include "platform/WalkDescriptorReserve.h"

#include <QUtf8StringView>

#include <algorithm>
#include <cerrno>
#include <climits>
#include <cstring>
#include <dirent.h>
#include <fcntl.h>
#include <unistd.h>

namespace {

// Large enough for any listing chunk.
constexpr std::size_t listingBufferSize = 64 * 1024;
// Positions only steer the reading ahead, so below this depth they may tie; a chain of
// thousands of folders would otherwise copy thousands of indexes per folder.
constexpr std::size_t maximumPositionLength = 16;

// Why a folder could not be opened, from the errno of the failed open.
DirectoryEntry::PassedOver openFailure()
{
    return errno == EMFILE || errno == ENFILE ? DirectoryEntry::PassedOver::DescriptorLimit
                                              : DirectoryEntry::PassedOver::UnreadableEntry;
}

// The subfolder's path, with room for the names its entries' paths are made with.
std::string subfolderPath(const std::string &path)
{
    std::string folderPath;
    folderPath.reserve(path.size() + 1 + NAME_MAX);
    folderPath = path;
    folderPath += '/';
    return folderPath;
}

} // namespace

FolderReading::FolderReading(std::shared_ptr<FileDescriptor> parent, std::string path, int depth,
                             std::vector<std::uint32_t> position)
    : m_parent(std::move(parent)), m_path(std::move(path)), m_depth(depth), m_position(std::move(position))
{
}

bool FolderReading::claim()
{
    State waiting = State::Waiting;
    return m_state.compare_exchange_strong(waiting, State::Claimed, std::memory_order_acquire);
}

bool FolderReading::leave()
{
    State waiting = State::Waiting;
    if (!m_state.compare_exchange_strong(waiting, State::Left, std::memory_order_acquire))
        return false;
    m_parent.reset();
    return true;
}

void FolderReading::waitUntilPublished() const
{
    for (State state = m_state.load(std::memory_order_acquire); state != State::Read;
         state = m_state.load(std::memory_order_acquire))
        m_state.wait(state, std::memory_order_acquire);
}

void FolderReading::read()
{
    const int descriptor = open();
    m_parent.reset();
    if (descriptor >= 0) {
        m_descriptor = std::shared_ptr<FileDescriptor>(new FileDescriptor(descriptor), [](FileDescriptor *held) {
            delete held;
            WalkDescriptorReserve::giveBack();
        });
        std::string names;
        std::vector<std::uint32_t> order;
        if (listNames(descriptor, names, order)) {
            describeNames(names, order);
        } else {
            m_failure = DirectoryEntry::PassedOver::UnreadableEntry;
            m_failureError = errno;
        }
    }
    // Assigning {} would keep the storage.
    m_path.clear();
    m_path.shrink_to_fit();
    m_position = std::vector<std::uint32_t>();
}

void FolderReading::publish()
{
    m_state.store(State::Read, std::memory_order_release);
    m_state.notify_all();
}

void FolderReading::release()
{
    m_descriptor.reset();
    m_entries = std::vector<DirectoryEntry>();
    m_subfolders = std::vector<std::shared_ptr<FolderReading>>();
}

int FolderReading::open()
{
    if (!WalkDescriptorReserve::take()) {
        m_failure = DirectoryEntry::PassedOver::DescriptorLimit;
        m_failureError = EMFILE;
        return -1;
    }
    const int descriptor = openTaken();
    if (descriptor < 0)
        WalkDescriptorReserve::giveBack();
    return descriptor;
}

int FolderReading::openTaken()
{
    if (!m_parent) {
        const int descriptor = ::open(m_path.c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC);
        if (descriptor < 0) {
            m_missingRoot = errno == ENOENT || errno == ENOTDIR;
            m_failure = openFailure();
            m_failureError = errno;
        }
        return descriptor;
    }
    const std::size_t nameStart = m_path.find_last_of('/', m_path.size() - 2) + 1;
    const std::string name = m_path.substr(nameStart, m_path.size() - 1 - nameStart);
    const int descriptor = ::openat(m_parent->get(), name.c_str(), O_RDONLY | O_DIRECTORY | O_NOFOLLOW | O_CLOEXEC);
    if (descriptor < 0) {
        m_failure = openFailure();
        m_failureError = errno;
    }
    return descriptor;
}

bool FolderReading::listNames(int descriptor, std::string &names, std::vector<std::uint32_t> &order) const
{
    thread_local std::vector<char> buffer(listingBufferSize);
    for (;;) {
        const ssize_t count = ::getdents64(descriptor, buffer.data(), buffer.size());
        if (count == 0)
            break;
        if (count < 0) {
            if (errno == EINTR)
                continue;
            return false;
        }
        for (ssize_t offset = 0; offset < count;) {
            const auto *record = reinterpret_cast<const struct dirent64 *>(buffer.data() + offset);
            offset += record->d_reclen;
            const char *name = record->d_name;
            if (std::strcmp(name, ".") == 0 || std::strcmp(name, "..") == 0)
                continue;
            order.push_back(static_cast<std::uint32_t>(names.size()));
            names.append(name, std::strlen(name) + 1);
        }
    }
    const char *start = names.data();
    std::sort(order.begin(), order.end(), [start](std::uint32_t left, std::uint32_t right) {
        return std::strcmp(start + left, start + right) < 0;
    });
    return true;
}

void FolderReading::describeNames(const std::string &names, const std::vector<std::uint32_t> &order)
{
    m_entries.reserve(order.size());
    // Each entry's path is made in the folder's own path, which goes after the read: a copy
    // per folder would cost as much as its path is long, at every level of a deep branch.
    const std::size_t folderPathLength = m_path.size();
    for (const std::uint32_t offset : order)
        addEntry(names.data() + offset, folderPathLength);
}

void FolderReading::addEntry(const char *name, std::size_t folderPathLength)
{
    const std::size_t nameLength = std::strlen(name);
    if (name[0] == '.') {
        m_entries.push_back(DirectoryEntry::note(DirectoryEntry::PassedOver::HiddenEntry, m_depth));
        return;
    }
    if (!QUtf8StringView(name, static_cast<qsizetype>(nameLength)).isValidUtf8()) {
        m_entries.push_back(DirectoryEntry::note(DirectoryEntry::PassedOver::UnrepresentableName, m_depth));
        return;
    }
    std::string &fullPath = m_path;
    fullPath.resize(folderPathLength);
    fullPath.append(name, nameLength);
    DirectoryEntry &entry = m_entries.emplace_back();
    if (!describeEntry(m_descriptor->get(), name, AT_SYMLINK_NOFOLLOW, fullPath, m_depth, entry)) {
        entry = DirectoryEntry::note(DirectoryEntry::PassedOver::UnreadableEntry, m_depth, errno);
        entry.name = QString::fromUtf8(name, static_cast<qsizetype>(nameLength));
        return;
    }
    if (entry.type != DirectoryEntry::Type::Directory)
        return;
    std::vector<std::uint32_t> position = m_position;
    if (position.size() < maximumPositionLength)
        position.push_back(static_cast<std::uint32_t>(m_subfolders.size()));
    m_subfolders.push_back(std::make_shared<FolderReading>(m_descriptor, subfolderPath(fullPath), m_depth + 1,
                                                           std::move(position)));
}
