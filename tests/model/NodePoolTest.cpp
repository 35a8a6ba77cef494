// The node pool hands out blocks that never overlap, reuses what was freed
// (also across threads and after a thread ends), and passes sizes it does
// not pool to operator new.
#include <gtest/gtest.h>

#include <algorithm>
#include <cstdint>
#include <cstring>
#include <memory>
#include <optional>
#include <thread>
#include <unordered_map>
#include <vector>

#include "model/GEDCOMRecord.h"
#include "model/GEDCOMStructure.h"
#include "model/NodeAllocator.h"
#include "model/NodePool.h"

namespace kl {
namespace {

struct Block {
    void* at;
    std::size_t bytes;
};

// Fills each block with a byte of its own and checks it later: overlapping
// blocks would overwrite each other.
void fill(const std::vector<Block>& blocks) {
    for (std::size_t i = 0; i < blocks.size(); ++i)
        std::memset(blocks[i].at, static_cast<int>(i % 251), blocks[i].bytes);
}

bool intact(const std::vector<Block>& blocks) {
    for (std::size_t i = 0; i < blocks.size(); ++i) {
        const auto* bytes = static_cast<const unsigned char*>(blocks[i].at);
        if (!std::all_of(bytes, bytes + blocks[i].bytes, [i](unsigned char b) { return b == i % 251; }))
            return false;
    }
    return true;
}

void freeAll(const std::vector<Block>& blocks) {
    for (const Block& b : blocks) NodePool::deallocate(b.at, b.bytes, 8);
}

TEST(NodePool, BlocksOfEverySizeAreAlignedAndApart) {
    std::vector<Block> blocks;
    for (std::size_t bytes = 1; bytes <= NodePool::kLargest + 40; bytes += 3)
        for (int copy = 0; copy < 20; ++copy) blocks.push_back({NodePool::allocate(bytes, 8), bytes});
    for (const Block& b : blocks) EXPECT_EQ(reinterpret_cast<std::uintptr_t>(b.at) % 8, 0u);
    fill(blocks);
    EXPECT_TRUE(intact(blocks));
    freeAll(blocks);
}

TEST(NodePool, AFreedBlockIsHandedOutAgain) {
    void* first = NodePool::allocate(96, 8);
    NodePool::deallocate(first, 96, 8);
    void* second = NodePool::allocate(90, 8);  // same class of 96 bytes
    EXPECT_EQ(second, first);
    NodePool::deallocate(second, 90, 8);
}

TEST(NodePool, OverAlignedRequestsKeepTheirAlignment) {
    for (std::size_t alignment : {16u, 64u, 256u}) {
        void* block = NodePool::allocate(48, alignment);
        EXPECT_EQ(reinterpret_cast<std::uintptr_t>(block) % alignment, 0u) << alignment;
        NodePool::deallocate(block, 48, alignment);
    }
}

// Blocks made on one thread are freed on another, as when a reading worker
// builds a tree that the main thread drops; a thread that ends gives its
// free blocks back, so a later thread needs no new memory for the same work.
TEST(NodePool, BlocksMoveBetweenThreadsAndOutliveTheirThread) {
    constexpr std::size_t kBytes = NodePool::kLargest - 4;  // a class nothing else uses
    constexpr int kCount = 3000;
    auto work = [] {
        std::vector<Block> blocks;
        for (int i = 0; i < kCount; ++i) blocks.push_back({NodePool::allocate(kBytes, 8), kBytes});
        return blocks;
    };
    std::vector<Block> made;
    std::thread maker([&] { made = work(); });
    maker.join();
    fill(made);
    EXPECT_TRUE(intact(made));
    std::thread freer([&] { freeAll(made); });
    freer.join();

    const std::size_t reserved = NodePool::reservedBytes();
    std::vector<Block> again;
    std::thread second([&] { again = work(); });
    second.join();
    EXPECT_EQ(NodePool::reservedBytes(), reserved);
    fill(again);
    EXPECT_TRUE(intact(again));
    freeAll(again);
}

// Reader threads each use a few blocks of many classes at once; their
// fresh memory is cut from shared slabs, not from a 2 MB slab per class and
// thread (8 threads and 64 classes would hold a gigabyte).
TEST(NodePool, ThreadsUsingEveryClassShareTheirSlabs) {
    constexpr int kThreads = 8;
    const std::size_t before = NodePool::reservedBytes();
    std::vector<std::vector<Block>> made(kThreads);
    std::vector<std::thread> threads;
    for (int t = 0; t < kThreads; ++t)
        threads.emplace_back([&mine = made[t]] {
            for (std::size_t bytes = NodePool::kGranule; bytes <= NodePool::kLargest; bytes += NodePool::kGranule)
                mine.push_back({NodePool::allocate(bytes, 8), bytes});
        });
    for (auto& th : threads) th.join();
    EXPECT_LT(NodePool::reservedBytes() - before, std::size_t{64} << 20);
    std::vector<Block> all;
    for (const auto& mine : made) all.insert(all.end(), mine.begin(), mine.end());
    fill(all);
    EXPECT_TRUE(intact(all));
    freeAll(all);
}

TEST(NodePool, ThreadsAllocatingAndFreingAtOnceNeverShareABlock) {
    constexpr int kThreads = 4;
    std::vector<std::vector<Block>> kept(kThreads);
    std::vector<std::thread> threads;
    for (int t = 0; t < kThreads; ++t)
        threads.emplace_back([t, &kept] {
            std::vector<Block> mine;
            for (int round = 0; round < 40; ++round) {
                for (int i = 0; i < 100; ++i) {
                    const std::size_t bytes = 8 + static_cast<std::size_t>((i * 37 + t) % 120);
                    mine.push_back({NodePool::allocate(bytes, 8), bytes});
                }
                // Free every other block, keep the rest.
                std::vector<Block> rest;
                for (std::size_t i = 0; i < mine.size(); ++i) {
                    if (i % 2 == 0) NodePool::deallocate(mine[i].at, mine[i].bytes, 8);
                    else rest.push_back(mine[i]);
                }
                mine = std::move(rest);
            }
            kept[t] = std::move(mine);
        });
    for (auto& th : threads) th.join();
    std::vector<Block> all;
    for (const auto& mine : kept) all.insert(all.end(), mine.begin(), mine.end());
    fill(all);
    EXPECT_TRUE(intact(all));
    freeAll(all);
}

// A tree read on a worker lives on after the worker ends and is dropped on
// this thread; the sanitizers check that every node is freed exactly once.
TEST(NodePool, TreeBuiltOnAWorkerIsDroppedHere) {
    std::shared_ptr<GEDCOMRecord> record;
    std::thread worker([&record] {
        record = std::allocate_shared<GEDCOMRecord>(NodeAllocator<GEDCOMRecord>(), "@I1@", "INDI");
        for (int i = 0; i < 2000; ++i) {
            record->addLevel(1, "BIRT", "");
            record->addLevel(2, "DATE", std::to_string(1800 + i));
        }
    });
    worker.join();
    ASSERT_EQ(record->structures().size(), 2000u);
    std::shared_ptr<GEDCOMStructure> kept = record->structures()[7];
    record.reset();
    ASSERT_EQ(kept->structures().size(), 1u);
    EXPECT_EQ(kept->structures()[0]->contents(), "1807");
}

// Parts of a dropped tree that something else still holds keep their own
// subtrees, also below a node that is freed.
TEST(NodePool, HeldPartsOfADroppedTreeKeepTheirSubtrees) {
    auto record = std::allocate_shared<GEDCOMRecord>(NodeAllocator<GEDCOMRecord>(), "@I1@", "INDI");
    record->addLevel(1, "BIRT", "");
    record->addLevel(2, "PLAC", "Here");
    record->addLevel(3, "MAP", "");
    record->addLevel(4, "LATI", "N1");
    record->addLevel(1, "DEAT", "");
    record->addLevel(2, "DATE", "1900");
    std::shared_ptr<GEDCOMStructure> place = record->structures()[0]->structures()[0];
    std::shared_ptr<GEDCOMStructure> death = record->structures()[1];
    record.reset();
    ASSERT_EQ(place->structures().size(), 1u);
    ASSERT_EQ(place->structures()[0]->structures().size(), 1u);
    EXPECT_EQ(place->structures()[0]->structures()[0]->contents(), "N1");
    ASSERT_EQ(death->structures().size(), 1u);
    EXPECT_EQ(death->structures()[0]->contents(), "1900");
}

// A dropped tree frees its lines in the order they were read, and the pool
// hands blocks out last-in first-out: the next tree read on the thread is
// built on the same blocks in exactly the reverse order, one run through
// memory rather than scattered reads (what keeps reading a large file fast).
TEST(NodePool, ATreeReadAfterADroppedOneReusesItsBlocksInRunOrder) {
    auto build = [] {
        auto record = std::allocate_shared<GEDCOMRecord>(NodeAllocator<GEDCOMRecord>(), "@I1@", "INDI");
        for (int i = 0; i < 1500; ++i) {
            record->addLevel(1, "BIRT", "");
            record->addLevel(2, "DATE", std::to_string(1800 + i));
            record->addLevel(2, "PLAC", "Somewhere");
            record->addLevel(3, "MAP", "");
        }
        return record;
    };
    auto inReadingOrder = [](const GEDCOMRecord& record) {
        std::vector<const void*> nodes;
        record.walk([&nodes, &record](GEDCOMObject& node) {
            if (&node != &record) nodes.push_back(&node);
            return GEDCOMObject::WalkStep::Continue;
        });
        return nodes;
    };
    std::vector<const void*> first;
    std::vector<const void*> second;
    std::thread reader([&] {
        auto record = build();
        first = inReadingOrder(*record);
        record.reset();
        record = build();
        second = inReadingOrder(*record);
    });
    reader.join();
    ASSERT_EQ(first.size(), 6000u);
    ASSERT_EQ(second.size(), 6000u);
    // The thread first finishes the slab it was cutting fresh blocks from,
    // so some lines of the second tree sit on new memory; every line that
    // reuses a block of the first tree must take them in reverse reading
    // order, so the tree is laid out in one run through memory.
    std::unordered_map<const void*, std::size_t> freedAt;
    for (std::size_t i = 0; i < first.size(); ++i) freedAt[first[first.size() - 1 - i]] = i;
    std::size_t reused = 0;
    std::optional<std::size_t> last;
    for (const void* node : second) {
        auto found = freedAt.find(node);
        if (found == freedAt.end()) continue;
        ++reused;
        if (last) {
            EXPECT_GT(found->second, *last) << "reused out of order at line " << reused;
        }
        last = found->second;
    }
    EXPECT_GT(reused, first.size() / 2);
}

#if defined(__SANITIZE_ADDRESS__)
TEST(NodePoolDeathTest, ReadingAFreedNodeIsReported) {
    EXPECT_DEATH(
        {
            auto record = std::make_shared<GEDCOMRecord>("@I1@", "INDI");
            const GEDCOMStructure* raw = record->addLevel(1, "NOTE", "text").get();
            record->removeChildren();
            volatile int level = raw->glevel();
            (void)level;
        },
        "use-after-poison");
}
#endif

}  // namespace
}  // namespace kl
