#pragma once
// NodePool: fixed-size blocks for the many small objects of GEDCOM trees (a
// large file makes a million nodes). Blocks come in size classes of 8 bytes
// up to kLargest, cut in runs from slabs that all threads share, so a node
// costs exactly its size: no allocator header and no rounding up to 16.
// Larger or over-aligned requests go to operator new.
//
// Ownership: slabs are taken from the system and never given back; a freed
// block is kept for the next block of its class, by any thread. After a
// large tree is dropped its memory therefore stays with the process, ready
// for the next one. A thread gets its freed blocks back last-in first-out
// (GEDCOMObject frees a tree in the order it was built, so the next tree
// is built in one run through memory).
//
// Thread: any thread. Each thread allocates from and frees to its own cache
// without locking; caches trade blocks with a shared list per class in
// batches under a mutex, and a thread that ends hands its cache back.
#include <cstddef>

namespace kl {

class NodePool {
public:
    static constexpr std::size_t kGranule = 8;
    static constexpr std::size_t kLargest = 512;

    static void* allocate(std::size_t bytes, std::size_t alignment);
    // `bytes` and `alignment` as given to allocate.
    static void deallocate(void* block, std::size_t bytes, std::size_t alignment) noexcept;

    // Bytes taken from the system for slabs so far.
    static std::size_t reservedBytes();
};

}  // namespace kl
