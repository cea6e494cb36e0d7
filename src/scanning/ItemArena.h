#pragma once

#include <cstddef>

// Memory for the scan's items and their names: blocks cut one after another, without a header
// of their own, from the 2 MiB chunk of the thread that asks. A scan makes millions of small
// blocks on one thread, and malloc would grow that thread's heap a page at a time, with a
// system call and a page fault each; a chunk is mapped once and asked to be one huge page.
// A chunk goes back to the system when its last block is released, on any thread, and no
// thread cuts from it any more: one block that lives on keeps its whole chunk, so the arena
// suits blocks that are made together and let go together, as a scan's tree is.
// A block of more than 4 KiB comes from the heap, and so does every block under
// AddressSanitizer, so that it checks each block's bounds and lifetime.
class ItemArena
{
public:
    // Each thread cuts from a chunk of each pool. When the tree goes, the items in groups stay
    // and keep their chunks, but let their names go: in chunks of their own, the names of the
    // tree all go back, and the paths those items take then have room.
    enum class Pool : unsigned { Items, Names };

    // The alignment of every block; items need no more.
    static constexpr std::size_t blockAlignment = 8;

    static void *allocate(std::size_t size, Pool pool);
    // The size given to allocate() for the block.
    static void release(void *block, std::size_t size) noexcept;

    // Whether blocks come from chunks at all (not under AddressSanitizer).
    static bool cutsBlocksFromChunks();
    // The chunks of every thread that are mapped and not yet given back.
    static std::size_t mappedChunkCount();
};
