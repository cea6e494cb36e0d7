#pragma once

#include <memory>
#include <vector>

class FolderReading;

// The folders of one walk that helpers on the high-priority global queue may read ahead of the
// walk. The folder that the walk meets first is handed out first, so the helpers read just
// ahead of the walk's place, in its order. At most a fixed
// number of folders lie read and not yet left by the walk, which bounds the memory and the
// descriptors the reading ahead takes. The lock guards only the hand-out of folders.
class FolderReadingQueue final
{
public:
    // helpers: threads that read besides the walk's own; 0 reads nothing ahead.
    explicit FolderReadingQueue(int helpers);
    // Stops the helpers and returns once none reads any more; one that starts later ends at once.
    ~FolderReadingQueue();
    FolderReadingQueue(const FolderReadingQueue &) = delete;
    FolderReadingQueue &operator=(const FolderReadingQueue &) = delete;

    // Reads a folder the walk's thread claimed, and queues its subfolders.
    void readClaimed(FolderReading &folder);
    // The walk has taken a folder that was read: entered it, found it unreadable, or left it.
    void folderTaken();

private:
    struct Shared;
    std::shared_ptr<Shared> m_shared;
};
