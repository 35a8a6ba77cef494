#include "foundation/LargeText.h"

#include <sys/mman.h>

#include <cstdint>

namespace kl {

namespace {

// Below this the few faults saved are not worth a system call.
constexpr std::size_t kLargeBytes = std::size_t{4} << 20;
constexpr std::uintptr_t kHugePage = std::uintptr_t{2} << 20;

}  // namespace

void reserveLargeText(std::string& text, std::size_t bytes) {
    const bool fresh = bytes > text.capacity();
    text.reserve(bytes);
#if defined(MADV_HUGEPAGE)
    if (!fresh || bytes < kLargeBytes) return;
    // Only whole huge pages inside the string's block can be advised; the
    // pages already written (what the string held) stay as they are.
    const auto start = reinterpret_cast<std::uintptr_t>(text.data() + text.size());
    const auto end = reinterpret_cast<std::uintptr_t>(text.data()) + text.capacity();
    const std::uintptr_t first = (start + kHugePage - 1) & ~(kHugePage - 1);
    const std::uintptr_t last = end & ~(kHugePage - 1);
    if (last > first) ::madvise(reinterpret_cast<void*>(first), last - first, MADV_HUGEPAGE);
#else
    (void)fresh;
#endif
}

}  // namespace kl
