#include "scanning/ItemArena.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cstdint>
#include <cstring>
#include <random>
#include <thread>
#include <vector>

namespace {

struct Block
{
    unsigned char *address;
    std::size_t size;
    unsigned char mark;
};

// Blocks of many sizes (the sizes of items and names, and a few beyond what a chunk gives),
// from both pools in turn, each filled with a mark of its own.
std::vector<Block> makeMarkedBlocks(std::size_t count, unsigned seed)
{
    std::vector<Block> blocks;
    std::mt19937 random(seed);
    std::uniform_int_distribution<std::size_t> smallSize(0, 600);
    for (std::size_t index = 0; index < count; ++index) {
        const std::size_t size = index % 1000 == 999 ? 5000 + index % 7 : smallSize(random);
        const auto pool = index % 2 == 0 ? ItemArena::Pool::Items : ItemArena::Pool::Names;
        auto *address = static_cast<unsigned char *>(ItemArena::allocate(size, pool));
        const auto mark = static_cast<unsigned char>(seed * 31 + index);
        std::memset(address, mark, size);
        blocks.push_back({address, size, mark});
    }
    return blocks;
}

bool keepsItsMark(const Block &block)
{
    return std::all_of(block.address, block.address + block.size,
                       [&block](unsigned char byte) { return byte == block.mark; });
}

} // namespace

TEST(ItemArenaTest, BlocksCutOnThreadsAndReleasedOnOthersInAnyOrderGiveEveryChunkBack)
{
    const std::size_t chunksBefore = ItemArena::mappedChunkCount();
    constexpr int cuttingThreads = 4;
    // About 6 MB a thread: several chunks each.
    constexpr std::size_t blocksPerThread = 20000;
    std::vector<std::vector<Block>> made(cuttingThreads);
    std::vector<std::thread> threads;
    for (int thread = 0; thread < cuttingThreads; ++thread)
        threads.emplace_back([&made, thread] { made[thread] = makeMarkedBlocks(blocksPerThread, thread + 1); });
    for (auto &thread : threads)
        thread.join();
    threads.clear();

    std::vector<Block> blocks;
    for (const auto &threadBlocks : made)
        blocks.insert(blocks.end(), threadBlocks.begin(), threadBlocks.end());
    // Every block is aligned and still holds its own mark: none overlaps another.
    for (const Block &block : blocks) {
        EXPECT_EQ(reinterpret_cast<std::uintptr_t>(block.address) % ItemArena::blockAlignment, 0U);
        EXPECT_TRUE(keepsItsMark(block)) << block.size << " bytes at " << static_cast<void *>(block.address);
    }
    if (ItemArena::cutsBlocksFromChunks()) {
        EXPECT_GT(ItemArena::mappedChunkCount(), chunksBefore + 2 * cuttingThreads);
    }

    std::shuffle(blocks.begin(), blocks.end(), std::mt19937(7));
    constexpr std::size_t releasingThreads = 3;
    for (std::size_t thread = 0; thread < releasingThreads; ++thread) {
        threads.emplace_back([&blocks, thread] {
            for (std::size_t index = thread; index < blocks.size(); index += releasingThreads)
                ItemArena::release(blocks[index].address, blocks[index].size);
        });
    }
    for (auto &thread : threads)
        thread.join();
    EXPECT_EQ(ItemArena::mappedChunkCount(), chunksBefore);
}

TEST(ItemArenaTest, AThreadKeepsCuttingFromAChunkWhoseBlocksAreAllReleasedAndGivesItBackWhenItEnds)
{
    if (!ItemArena::cutsBlocksFromChunks())
        GTEST_SKIP() << "blocks come from the heap under AddressSanitizer";
    const std::size_t chunksBefore = ItemArena::mappedChunkCount();
    std::size_t chunksWhileCutting = 0;
    std::vector<Block> outliving;
    std::thread([&] {
        // Every block released while the chunk is still the thread's: it stays, and is cut on.
        for (int round = 0; round < 3; ++round) {
            for (const Block &block : makeMarkedBlocks(100, round + 1))
                ItemArena::release(block.address, block.size);
        }
        chunksWhileCutting = ItemArena::mappedChunkCount();
        outliving = makeMarkedBlocks(10, 9);
    }).join();
    // One chunk of each pool.
    EXPECT_EQ(chunksWhileCutting, chunksBefore + 2);
    // The blocks that outlive their thread keep its last chunks, and only they.
    EXPECT_EQ(ItemArena::mappedChunkCount(), chunksBefore + 2);
    for (const Block &block : outliving) {
        EXPECT_TRUE(keepsItsMark(block));
        ItemArena::release(block.address, block.size);
    }
    EXPECT_EQ(ItemArena::mappedChunkCount(), chunksBefore);
}
