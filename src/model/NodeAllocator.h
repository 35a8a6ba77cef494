#pragma once
// NodeAllocator: the standard allocator interface over NodePool, for
// std::allocate_shared of tree nodes (the node and its shared_ptr control
// block then share one pool block). Stateless: it adds nothing to the
// control block, and any two compare equal.
//
// Thread: as NodePool.
#include <cstddef>

#include "model/NodePool.h"

namespace kl {

template <class T>
class NodeAllocator {
public:
    using value_type = T;

    NodeAllocator() noexcept = default;
    template <class U>
    NodeAllocator(const NodeAllocator<U>&) noexcept {}

    T* allocate(std::size_t n) { return static_cast<T*>(NodePool::allocate(n * sizeof(T), alignof(T))); }
    void deallocate(T* block, std::size_t n) noexcept { NodePool::deallocate(block, n * sizeof(T), alignof(T)); }

    template <class U>
    bool operator==(const NodeAllocator<U>&) const noexcept {
        return true;
    }
};

}  // namespace kl
