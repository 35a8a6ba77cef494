#include "model/NodePool.h"

#include <sys/mman.h>

#include <algorithm>
#include <atomic>
#include <cstdint>
#include <mutex>
#include <new>
#include <vector>

#if defined(__SANITIZE_ADDRESS__)
#define KL_POOL_ASAN 1
#elif defined(__has_feature)
#if __has_feature(address_sanitizer)
#define KL_POOL_ASAN 1
#endif
#endif
#if defined(KL_POOL_ASAN)
#include <sanitizer/asan_interface.h>
#endif

namespace kl {

namespace {

constexpr std::size_t kClasses = NodePool::kLargest / NodePool::kGranule;
// One huge page: slabs are aligned to it and the kernel is asked to back
// them with huge pages, so a fresh tree costs one page fault per 2 MB
// instead of one per 4 KB (fresh memory, not the building, was most of the
// time of a first read).
constexpr std::size_t kSlabBytes = std::size_t{2} << 20;
// A thread cuts fresh blocks from a run of this size, taken from the slab
// that all threads share: with a slab of its own per size class each thread
// would leave a part-used huge page behind for every class it used (eight
// reader threads and a dozen record kinds), all of it resident.
constexpr std::size_t kRunBytes = std::size_t{32} << 10;
// Blocks a thread takes from or gives to the shared list at once; a thread
// keeps at most about twice this many free blocks of a class.
constexpr std::size_t kBatch = 256;

// Free blocks are poisoned under the address sanitizer, so a use after free
// of a node is still reported; the link is unpoisoned only while it is read
// or written.
void poison([[maybe_unused]] const void* p, [[maybe_unused]] std::size_t n) {
#if defined(KL_POOL_ASAN)
    ASAN_POISON_MEMORY_REGION(p, n);
#endif
}

void unpoison([[maybe_unused]] const void* p, [[maybe_unused]] std::size_t n) {
#if defined(KL_POOL_ASAN)
    ASAN_UNPOISON_MEMORY_REGION(p, n);
#endif
}

struct FreeBlock {
    FreeBlock* next;
};

FreeBlock* linkOf(FreeBlock* block) {
    unpoison(block, sizeof *block);
    FreeBlock* next = block->next;
    poison(block, sizeof *block);
    return next;
}

void setLink(FreeBlock* block, FreeBlock* next) {
    unpoison(block, sizeof *block);
    block->next = next;
    poison(block, sizeof *block);
}

// A chain of free blocks with its last block and its length, so that whole
// chains are handed on in constant time: freed blocks are rarely still in
// the cache, and walking a chain would cost a cache miss per block.
struct Chain {
    FreeBlock* head = nullptr;
    FreeBlock* tail = nullptr;
    std::size_t count = 0;

    bool empty() const { return count == 0; }
    void push(FreeBlock* block) {
        setLink(block, head);
        if (!head) tail = block;
        head = block;
        ++count;
    }
    FreeBlock* pop() {
        FreeBlock* block = head;
        head = linkOf(block);
        if (!head) tail = nullptr;
        --count;
        return block;
    }
    // Puts the whole of `other` in front of this chain and empties it.
    void splice(Chain& other) {
        if (other.empty()) return;
        setLink(other.tail, head);
        if (!head) tail = other.tail;
        head = other.head;
        count += other.count;
        other = Chain{};
    }
    // Takes this chain's blocks, leaving it empty.
    Chain take() {
        Chain all = *this;
        *this = Chain{};
        return all;
    }
};

// A class's free blocks shared by all threads: whole chains as threads
// handed them in (each of about kBatch blocks; taken back last-in first-out),
// and the short chains and single blocks of threads that have ended, until
// they add up to a batch.
struct SharedClass {
    std::mutex mutex;
    std::vector<Chain> batches;
    Chain loose;

    // Under the mutex. Never throws: without room for one more batch the
    // chain joins the loose blocks.
    void put(Chain& chain) noexcept {
        if (chain.empty()) return;
        if (chain.count < kBatch / 2) {
            loose.splice(chain);
            if (loose.count < kBatch) return;
            chain = loose.take();
        }
        try {
            batches.push_back(chain);
            chain = Chain{};
        } catch (...) {
            loose.splice(chain);
        }
    }
    // Under the mutex: a batch, else the loose blocks; empty when none.
    Chain get() {
        if (!batches.empty()) {
            Chain batch = batches.back();
            batches.pop_back();
            return batch;
        }
        return loose.take();
    }
};

// Slabs are chained through their first bytes so that they stay reachable
// (a leak checker sees them held); the pool never gives them back.
struct SlabHeader {
    SlabHeader* previous;
    std::size_t padding;  // keeps blocks 16-aligned from the slab start
};

struct Shared {
    SharedClass classes[kClasses];
    std::mutex slabMutex;
    SlabHeader* slabs = nullptr;
    char* slabCursor = nullptr;  // the uncut rest of the newest slab, under slabMutex
    char* slabEnd = nullptr;
    std::atomic<std::size_t> reserved{0};
};

// Never destroyed: blocks may be freed by static destructors at exit.
Shared& shared() {
    static Shared* const pool = new Shared;
    return *pool;
}

// A thread's free blocks of one class: `free` is used first; when it has
// grown to kBatch blocks it becomes the `spare` chain, and a spare chain
// already there goes to the shared lists. A thread so keeps about 2 * kBatch
// free blocks of a class at most, every hand-over is one chain, and blocks
// come back last-in first-out.
struct LocalClass {
    Chain free;
    Chain spare;
    char* bump;
    char* end;
};

// Each thread's cache: constant-initialized and trivially destructible, so
// it is usable for the thread's whole life, also after the retirer below
// has run; from then on the thread works on the shared lists directly.
struct LocalCaches {
    LocalClass classes[kClasses];
    bool registered;
    bool retired;
};

thread_local LocalCaches local{};

std::size_t blockSize(std::size_t index) { return (index + 1) * NodePool::kGranule; }

void giveBack(std::size_t index, Chain& chain) {
    if (chain.empty()) return;
    SharedClass& sharedClass = shared().classes[index];
    std::lock_guard lock(sharedClass.mutex);
    sharedClass.put(chain);
}

// Hands the blocks of an unused run of a slab to the shared lists, in
// chains of kBatch.
void giveBackRun(std::size_t index, char* first, char* end) {
    Chain chain;
    for (char* p = first; p != end; p += blockSize(index)) {
        chain.push(reinterpret_cast<FreeBlock*>(p));
        if (chain.count == kBatch) giveBack(index, chain);
    }
    giveBack(index, chain);
}

// Hands a thread's cache back to the shared lists when the thread ends.
struct Retirer {
    void enlist() {}
    ~Retirer() {
        for (std::size_t index = 0; index < kClasses; ++index) {
            LocalClass& c = local.classes[index];
            giveBackRun(index, c.bump, c.end);
            c.bump = c.end;
            giveBack(index, c.free);
            giveBack(index, c.spare);
        }
        local.retired = true;
    }
};

thread_local Retirer retirer;

// A slab's memory, aligned to its size. Mapped apart from malloc's heaps:
// an aligned 2 MB block from malloc leaves up to 2 MB of slack in the
// calling thread's arena, which that arena's small blocks then touch page
// by page (with eight reader threads, about a file's size more at the
// peak). Under the address sanitizer it comes from operator new instead, so
// the leak checker still sees what nodes in slabs point to.
void* takeSlabMemory() {
#if defined(KL_POOL_ASAN)
    void* memory = ::operator new(kSlabBytes, std::align_val_t(kSlabBytes));
#else
    const std::size_t span = 2 * kSlabBytes;
    void* mapped = ::mmap(nullptr, span, PROT_READ | PROT_WRITE, MAP_PRIVATE | MAP_ANONYMOUS, -1, 0);
    if (mapped == MAP_FAILED) throw std::bad_alloc();
    const auto start = reinterpret_cast<std::uintptr_t>(mapped);
    const std::uintptr_t aligned = (start + kSlabBytes - 1) & ~(std::uintptr_t{kSlabBytes} - 1);
    if (aligned > start) ::munmap(mapped, aligned - start);
    if (const std::uintptr_t tail = start + span - (aligned + kSlabBytes); tail > 0)
        ::munmap(reinterpret_cast<void*>(aligned + kSlabBytes), tail);
    void* memory = reinterpret_cast<void*>(aligned);
#endif
#if defined(MADV_HUGEPAGE)
    ::madvise(memory, kSlabBytes, MADV_HUGEPAGE);  // a hint: without huge pages the slab still works
#endif
    return memory;
}

// A run of fresh blocks of the class, [first, end), cut from the shared
// slab; a new slab when the rest of the current one holds no block. The
// rest left behind is smaller than a block, so nothing usable is lost.
char* newRun(std::size_t index, char*& end) {
    Shared& pool = shared();
    const std::size_t size = blockSize(index);
    std::lock_guard lock(pool.slabMutex);
    if (static_cast<std::size_t>(pool.slabEnd - pool.slabCursor) < size) {
        void* memory = takeSlabMemory();
        auto* slab = static_cast<SlabHeader*>(memory);
        slab->previous = pool.slabs;
        pool.slabs = slab;
        pool.reserved.fetch_add(kSlabBytes, std::memory_order_relaxed);
        pool.slabCursor = reinterpret_cast<char*>(slab + 1);
        pool.slabEnd = static_cast<char*>(memory) + kSlabBytes;
        poison(pool.slabCursor, static_cast<std::size_t>(pool.slabEnd - pool.slabCursor));
    }
    const std::size_t rest = static_cast<std::size_t>(pool.slabEnd - pool.slabCursor);
    const std::size_t blocks = std::max<std::size_t>(std::min(kRunBytes, rest) / size, 1);
    char* first = pool.slabCursor;
    end = first + blocks * size;
    pool.slabCursor = end;
    return first;
}

// For a thread that has ended: one block straight from the shared lists.
void* takeShared(std::size_t index) {
    SharedClass& sharedClass = shared().classes[index];
    {
        std::lock_guard lock(sharedClass.mutex);
        if (sharedClass.loose.empty()) sharedClass.loose = sharedClass.get();
        if (!sharedClass.loose.empty()) return sharedClass.loose.pop();
    }
    char* end = nullptr;
    char* first = newRun(index, end);
    giveBackRun(index, first + blockSize(index), end);
    return first;
}

// A thread's first use of its cache arranges for the cache to be handed back
// when the thread ends.
void enlist() {
    local.registered = true;
    retirer.enlist();
}

void* refill(std::size_t index) {
    if (!local.registered) enlist();
    LocalClass& c = local.classes[index];
    {
        SharedClass& sharedClass = shared().classes[index];
        std::lock_guard lock(sharedClass.mutex);
        c.free = sharedClass.get();
    }
    if (!c.free.empty()) return c.free.pop();
    c.bump = newRun(index, c.end);
    void* block = c.bump;
    c.bump += blockSize(index);
    return block;
}

bool pooled(std::size_t bytes, std::size_t alignment) {
    return bytes > 0 && bytes <= NodePool::kLargest && alignment <= NodePool::kGranule;
}

}  // namespace

void* NodePool::allocate(std::size_t bytes, std::size_t alignment) {
    if (!pooled(bytes, alignment)) return ::operator new(bytes, std::align_val_t(alignment));
    const std::size_t index = (bytes - 1) / kGranule;
    const std::size_t size = blockSize(index);
    void* block = nullptr;
    LocalClass& c = local.classes[index];
    if (local.retired) {
        block = takeShared(index);
    } else if (!c.free.empty() || !c.spare.empty()) {
        if (c.free.empty()) c.free = c.spare.take();
        block = c.free.pop();
    } else if (c.bump != c.end) {
        block = c.bump;
        c.bump += size;
    } else {
        block = refill(index);
    }
    unpoison(block, size);
    return block;
}

void NodePool::deallocate(void* block, std::size_t bytes, std::size_t alignment) noexcept {
    if (!block) return;
    if (!pooled(bytes, alignment)) {
        ::operator delete(block, std::align_val_t(alignment));
        return;
    }
    const std::size_t index = (bytes - 1) / kGranule;
    poison(block, blockSize(index));
    auto* freed = static_cast<FreeBlock*>(block);
    if (local.retired) {
        Chain one;
        one.push(freed);
        giveBack(index, one);
        return;
    }
    if (!local.registered) enlist();
    LocalClass& c = local.classes[index];
    c.free.push(freed);
    if (c.free.count >= kBatch) {
        giveBack(index, c.spare);
        c.spare = c.free.take();
    }
}

std::size_t NodePool::reservedBytes() { return shared().reserved.load(std::memory_order_relaxed); }

}  // namespace kl
