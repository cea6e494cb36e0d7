#include "scanning/ItemArena.h"

#include <atomic>
#include <cstdint>
#include <limits>
#include <new>

#include <sys/mman.h>

namespace {

#if defined(__SANITIZE_ADDRESS__)
constexpr bool underAddressSanitizer = true;
#elif defined(__has_feature)
#if __has_feature(address_sanitizer)
constexpr bool underAddressSanitizer = true;
#else
constexpr bool underAddressSanitizer = false;
#endif
#else
constexpr bool underAddressSanitizer = false;
#endif

// One huge page, so that the kernel maps the whole chunk at its first touch. Chunks are
// aligned to their size: a block finds its chunk's header by masking its address.
constexpr std::size_t chunkBytes = std::size_t(2) << 20;
// Larger blocks come from the heap, so that the room a chunk leaves unused at its end stays
// small beside it.
constexpr std::size_t largestCutBlock = 4096;
// Far above any count of blocks: stands in for the blocks the cutting thread has not yet
// added up, so that releases on other threads never bring the count to zero meanwhile.
constexpr std::size_t cuttingBias = std::numeric_limits<std::size_t>::max() / 2;

// At the chunk's start, on a cache line of its own, which releasing threads write.
struct alignas(64) ChunkHeader
{
    // The blocks cut and not yet released, plus the bias while a thread cuts from the chunk.
    std::atomic<std::size_t> liveBlocks;
};

// A thread's chunk of one pool, and where its next block starts.
struct CuttingChunk
{
    ChunkHeader *chunk;
    char *next;
    char *end;
    std::size_t cutBlocks;
};

constexpr std::size_t poolCount = 2;
constinit thread_local CuttingChunk cutting[poolCount] {};
std::atomic<std::size_t> mappedChunks {0};

std::size_t roundedUp(std::size_t size)
{
    // A block of no bytes still needs an address of its own inside its chunk.
    const std::size_t atLeastOne = size == 0 ? 1 : size;
    return (atLeastOne + ItemArena::blockAlignment - 1) & ~(ItemArena::blockAlignment - 1);
}

bool isCutFromChunk(std::size_t size)
{
    return !underAddressSanitizer && roundedUp(size) <= largestCutBlock;
}

ChunkHeader *chunkOf(void *block)
{
    return reinterpret_cast<ChunkHeader *>(reinterpret_cast<std::uintptr_t>(block) & ~(chunkBytes - 1));
}

ChunkHeader *mapChunk()
{
    // Twice the size, so that an aligned chunk lies inside; the rest goes back at once.
    void *mapped = ::mmap(nullptr, 2 * chunkBytes, PROT_READ | PROT_WRITE, MAP_PRIVATE | MAP_ANONYMOUS, -1, 0);
    if (mapped == MAP_FAILED)
        throw std::bad_alloc();
    const auto start = reinterpret_cast<std::uintptr_t>(mapped);
    const std::uintptr_t aligned = (start + chunkBytes - 1) & ~(chunkBytes - 1);
    if (aligned != start)
        ::munmap(mapped, aligned - start);
    ::munmap(reinterpret_cast<void *>(aligned + chunkBytes), start + chunkBytes - aligned);
    void *chunk = reinterpret_cast<void *>(aligned);
    // Without huge pages the chunk still works, a page fault per page.
    ::madvise(chunk, chunkBytes, MADV_HUGEPAGE);
    mappedChunks.fetch_add(1, std::memory_order_relaxed);
    return ::new (chunk) ChunkHeader {cuttingBias};
}

void dropLiveBlocks(ChunkHeader *chunk, std::size_t count)
{
    if (chunk->liveBlocks.fetch_sub(count, std::memory_order_acq_rel) != count)
        return;
    ::munmap(chunk, chunkBytes);
    mappedChunks.fetch_sub(1, std::memory_order_relaxed);
}

void retire(CuttingChunk &current)
{
    if (current.chunk)
        dropLiveBlocks(current.chunk, cuttingBias - current.cutBlocks);
    current = {};
}

// Retires the thread's chunks when the thread ends.
struct CuttingChunkRetirer
{
    ~CuttingChunkRetirer()
    {
        for (CuttingChunk &current : cutting)
            retire(current);
    }
};

void startChunk(CuttingChunk &current)
{
    thread_local CuttingChunkRetirer retirer;
    // Mapped first: should it fail, the thread keeps the chunk it has.
    ChunkHeader *chunk = mapChunk();
    retire(current);
    char *start = reinterpret_cast<char *>(chunk);
    current = {chunk, start + sizeof(ChunkHeader), start + chunkBytes, 0};
}

} // namespace

void *ItemArena::allocate(std::size_t size, Pool pool)
{
    if (!isCutFromChunk(size))
        return ::operator new(size);
    const std::size_t bytes = roundedUp(size);
    CuttingChunk &current = cutting[static_cast<std::size_t>(pool)];
    if (static_cast<std::size_t>(current.end - current.next) < bytes)
        startChunk(current);
    void *block = current.next;
    current.next += bytes;
    ++current.cutBlocks;
    return block;
}

void ItemArena::release(void *block, std::size_t size) noexcept
{
    if (isCutFromChunk(size))
        dropLiveBlocks(chunkOf(block), 1);
    else
        ::operator delete(block, size);
}

bool ItemArena::cutsBlocksFromChunks()
{
    return !underAddressSanitizer;
}

std::size_t ItemArena::mappedChunkCount()
{
    return mappedChunks.load(std::memory_order_relaxed);
}
