#include "model/NodePool.h"

#include <atomic>
#include <mutex>
#include <new>

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
constexpr std::size_t kSlabBytes = std::size_t{256} << 10;
// Blocks a thread takes from or gives to the shared list at once; a thread
// keeps at most twice this many free blocks of a class.
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

// A chain of free blocks with its length.
struct Chain {
    FreeBlock* head = nullptr;
    std::size_t count = 0;

    void push(FreeBlock* block) {
        setLink(block, head);
        head = block;
        ++count;
    }
    FreeBlock* pop() {
        FreeBlock* block = head;
        head = linkOf(block);
        --count;
        return block;
    }
    // Moves up to `most` blocks from the front of this chain to the front
    // of `to`.
    void moveTo(Chain& to, std::size_t most) {
        if (count == 0 || most == 0) return;
        FreeBlock* last = head;
        std::size_t moved = 1;
        for (; moved < most && moved < count; ++moved) last = linkOf(last);
        FreeBlock* rest = linkOf(last);
        setLink(last, to.head);
        to.head = head;
        to.count += moved;
        head = rest;
        count -= moved;
    }
};

struct SharedClass {
    std::mutex mutex;
    Chain free;
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
    std::atomic<std::size_t> reserved{0};
};

// Never destroyed: blocks may be freed by static destructors at exit.
Shared& shared() {
    static Shared* const pool = new Shared;
    return *pool;
}

struct LocalClass {
    Chain free;
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
    SharedClass& sharedClass = shared().classes[index];
    std::lock_guard lock(sharedClass.mutex);
    chain.moveTo(sharedClass.free, chain.count);
}

// Hands a thread's cache back to the shared lists when the thread ends.
struct Retirer {
    void enlist() {}
    ~Retirer() {
        for (std::size_t index = 0; index < kClasses; ++index) {
            LocalClass& c = local.classes[index];
            for (; c.bump != c.end; c.bump += blockSize(index))
                c.free.push(reinterpret_cast<FreeBlock*>(c.bump));
            giveBack(index, c.free);
        }
        local.retired = true;
    }
};

thread_local Retirer retirer;

char* newSlab(std::size_t index, char*& end) {
    Shared& pool = shared();
    auto* slab = static_cast<SlabHeader*>(::operator new(kSlabBytes));
    {
        std::lock_guard lock(pool.slabMutex);
        slab->previous = pool.slabs;
        pool.slabs = slab;
    }
    pool.reserved.fetch_add(kSlabBytes, std::memory_order_relaxed);
    char* first = reinterpret_cast<char*>(slab + 1);
    const std::size_t size = blockSize(index);
    end = first + (kSlabBytes - sizeof(SlabHeader)) / size * size;
    poison(first, static_cast<std::size_t>(end - first));
    return first;
}

void* takeShared(std::size_t index) {
    SharedClass& sharedClass = shared().classes[index];
    {
        std::lock_guard lock(sharedClass.mutex);
        if (sharedClass.free.count > 0) return sharedClass.free.pop();
    }
    char* end = nullptr;
    char* first = newSlab(index, end);
    Chain rest;
    for (char* p = first + blockSize(index); p != end; p += blockSize(index))
        rest.push(reinterpret_cast<FreeBlock*>(p));
    giveBack(index, rest);
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
        sharedClass.free.moveTo(c.free, kBatch);
    }
    if (c.free.count > 0) return c.free.pop();
    c.bump = newSlab(index, c.end);
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
    } else if (c.free.count > 0) {
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
    Chain& free = local.classes[index].free;
    free.push(freed);
    if (free.count >= 2 * kBatch) {
        SharedClass& sharedClass = shared().classes[index];
        std::lock_guard lock(sharedClass.mutex);
        free.moveTo(sharedClass.free, kBatch);
    }
}

std::size_t NodePool::reservedBytes() { return shared().reserved.load(std::memory_order_relaxed); }

}  // namespace kl
