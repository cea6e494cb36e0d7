#include "platform/FolderReadingQueue.h"

#include "platform/DispatchQueue.h"
#include "platform/FolderReading.h"

#include <algorithm>
#include <atomic>
#include <condition_variable>
#include <cstdint>
#include <mutex>

namespace {

// Enough to keep every helper busy on folders of a few entries, few enough descriptors.
constexpr int maximumFoldersAhead = 64;

} // namespace

// What the helpers share with the walk; they hold it, so one that starts late touches nothing
// of a walk that is over.
struct FolderReadingQueue::Shared
{
    void help()
    {
        std::unique_lock lock(mutex);
        if (stopped)
            return;
        ++helping;
        for (;;) {
            changed.wait(lock, [this] { return stopped || (canHandOut() && foldersAhead < maximumFoldersAhead); });
            if (stopped)
                break;
            const std::shared_ptr<FolderReading> folder = takeSecond();
            if (!folder->claim())
                continue;
            lock.unlock();
            folder->read();
            lock.lock();
            add(*folder);
            folder->publish();
        }
        --helping;
        changed.notify_all();
    }

    // Under the lock. The folder the walk meets first is left to the walk: handed to a helper,
    // the walk would mostly wait for it, and along a branch of one folder a level it would wait
    // at every level, for far longer than the read takes. So only a second folder is handed out.
    bool canHandOut()
    {
        dropTakenFromTop();
        return waiting.size() > 1;
    }

    // Under the lock, with canHandOut() true.
    std::shared_ptr<FolderReading> takeSecond()
    {
        std::pop_heap(waiting.begin(), waiting.end(), comesLater);
        Waiting first = std::move(waiting.back());
        waiting.pop_back();
        std::pop_heap(waiting.begin(), waiting.end(), comesLater);
        std::shared_ptr<FolderReading> second = std::move(waiting.back().folder);
        waiting.back() = std::move(first);
        std::push_heap(waiting.begin(), waiting.end(), comesLater);
        return second;
    }

    // Under the lock: the folders on top that the walk claimed or left are nobody's to read.
    void dropTakenFromTop()
    {
        while (!waiting.empty() && !waiting.front().folder->isWaiting()) {
            std::pop_heap(waiting.begin(), waiting.end(), comesLater);
            waiting.pop_back();
        }
    }

    // Under the lock. Wakes as many helpers as there are folders to hand out: waking them all
    // for a folder of one subfolder would have them fight for the lock.
    void add(const FolderReading &folder)
    {
        ++foldersAhead;
        dropTakenFromTop();
        for (const auto &subfolder : folder.subfolders()) {
            waiting.push_back({subfolder->position(), subfolder});
            std::push_heap(waiting.begin(), waiting.end(), comesLater);
        }
        const std::size_t toHandOut = waiting.empty() ? 0 : std::min(waiting.size() - 1, folder.subfolders().size());
        if (toHandOut >= static_cast<std::size_t>(helpers))
            changed.notify_all();
        else
            for (std::size_t woken = 0; woken < toHandOut; ++woken)
                changed.notify_one();
    }

    struct Waiting
    {
        std::vector<std::uint32_t> position;
        std::shared_ptr<FolderReading> folder;
    };

    // The heap's order: the folder the walk meets first on top.
    static bool comesLater(const Waiting &left, const Waiting &right) { return left.position > right.position; }

    std::mutex mutex;
    std::condition_variable changed;
    std::vector<Waiting> waiting;
    int helpers = 0;
    // Read and not yet taken by the walk; lowered without the lock.
    std::atomic<int> foldersAhead = 0;
    int helping = 0;
    bool stopped = false;
};

FolderReadingQueue::FolderReadingQueue(int helpers) : m_shared(std::make_shared<Shared>())
{
    m_shared->helpers = helpers;
    for (int helper = 0; helper < helpers; ++helper)
        DispatchQueue::global(DispatchPriority::High).async([shared = m_shared] { shared->help(); });
}

FolderReadingQueue::~FolderReadingQueue()
{
    std::unique_lock lock(m_shared->mutex);
    m_shared->stopped = true;
    m_shared->waiting.clear();
    m_shared->changed.notify_all();
    m_shared->changed.wait(lock, [this] { return m_shared->helping == 0; });
}

void FolderReadingQueue::readClaimed(FolderReading &folder)
{
    folder.read();
    if (m_shared->helpers > 0) {
        const std::lock_guard lock(m_shared->mutex);
        m_shared->add(folder);
    }
    folder.publish();
}

void FolderReadingQueue::folderTaken()
{
    if (m_shared->helpers == 0)
        return;
    // Only helpers held back by the bound wait for this, and only when it falls below it; the
    // lock makes sure that none is between its test and its wait.
    if (m_shared->foldersAhead.fetch_sub(1) == maximumFoldersAhead) {
        const std::lock_guard lock(m_shared->mutex);
        m_shared->changed.notify_all();
    }
}
