#pragma once

#include "platform/DirectoryWalker.h"
#include "platform/FileDescriptor.h"

#include <atomic>
#include <cstdint>
#include <memory>
#include <string>
#include <vector>

// One folder of a walk, read by whichever thread claims it first: opened relative to its
// parent's descriptor, listed whole, its entries sorted by the bytes of their names and
// described. The walk's own thread and the helpers that read ahead of it race to claim a
// folder; the walk waits for a folder a helper claimed, and leaves one it skips.
// A read folder keeps its descriptor for as long as it lives, and each of its subfolders keeps
// it until that subfolder is opened: so the walk's branch holds one descriptor a level, as a
// walk on one thread does, and folders read ahead hold one each.
class FolderReading final
{
public:
    // path: the folder's path in bytes, ending with "/"; depth: that of its entries.
    // parent: the descriptor its name is opened in; none for a root, which is opened by its
    // path, a link to a folder being taken as that folder. position: the index of the folder
    // among its parent's subfolders, after those of its parent's and so on up to the root (up
    // to a fixed depth): folders compare by their positions in the order the walk meets them.
    FolderReading(std::shared_ptr<FileDescriptor> parent, std::string path, int depth,
                  std::vector<std::uint32_t> position);
    FolderReading(const FolderReading &) = delete;
    FolderReading &operator=(const FolderReading &) = delete;

    // true for the one thread that is to read the folder; false once claimed or left.
    bool claim();
    // The claimant reads the folder, hands its subfolders on, then publishes it, which wakes
    // those waiting for it; from then on only the walk touches it.
    void read();
    void publish();
    void waitUntilPublished() const;
    // true when the folder was not claimed yet: nobody will read it now.
    bool leave();
    // Neither claimed nor left yet; may change at once unless the caller is the walk.
    bool isWaiting() const { return m_state.load(std::memory_order_relaxed) == State::Waiting; }
    // The walk is done with the folder: its descriptor, entries and subfolders go, though a
    // queue may still hold the folder itself.
    void release();

    // After the read: why the folder could not be read (None once listed), and for a root
    // whether it is missing (then it gives no entry at all).
    DirectoryEntry::PassedOver failure() const { return m_failure; }
    // The errno of the failure.
    int failureError() const { return m_failureError; }
    bool isMissingRoot() const { return m_missingRoot; }
    // The entries in byte order of their names, passed-over notes included; the walk moves
    // them out.
    std::vector<DirectoryEntry> &entries() { return m_entries; }
    // One for each entry of type Directory, in the same order.
    const std::vector<std::shared_ptr<FolderReading>> &subfolders() const { return m_subfolders; }
    int depth() const { return m_depth; }
    // Until the folder is read.
    const std::vector<std::uint32_t> &position() const { return m_position; }

private:
    enum class State : int { Waiting, Claimed, Read, Left };

    // Within the walks' share of descriptors (see WalkDescriptorReserve).
    int open();
    int openTaken();
    bool listNames(int descriptor, std::string &names, std::vector<std::uint32_t> &order) const;
    void describeNames(const std::string &names, const std::vector<std::uint32_t> &order);
    void addEntry(const char *name, std::size_t folderPathLength);

    std::shared_ptr<FileDescriptor> m_parent;
    std::shared_ptr<FileDescriptor> m_descriptor;
    // Dropped once read, as is the position: a deep branch keeps neither per level.
    std::string m_path;
    const int m_depth;
    std::vector<std::uint32_t> m_position;
    std::atomic<State> m_state = State::Waiting;
    DirectoryEntry::PassedOver m_failure = DirectoryEntry::PassedOver::None;
    int m_failureError = 0;
    bool m_missingRoot = false;
    std::vector<DirectoryEntry> m_entries;
    std::vector<std::shared_ptr<FolderReading>> m_subfolders;
};
