#include "model/TagTable.h"

#include <atomic>
#include <mutex>

namespace kl {

namespace {

// Open addressing at no more than half load, so probes stay short.
constexpr std::size_t kSlots = TagTable::kCapacity * 2;
constexpr std::size_t kSlotMask = kSlots - 1;

// Slot values are id + 1; 0 marks an empty slot.
constinit std::atomic<std::uint16_t> slots[kSlots];
constinit std::atomic<const std::string*> texts[TagTable::kCapacity];
constinit std::atomic<std::size_t> count{0};
std::mutex insertMutex;

std::size_t hashOf(std::string_view tag) {
    std::uint32_t h = 2166136261u;
    for (unsigned char c : tag) h = (h ^ c) * 16777619u;
    return h;
}

// The id of the tag, or kNotInterned, probing from its home slot; `free`
// answers the first empty slot met.
TagTable::Id probe(std::string_view tag, std::size_t& free) {
    for (std::size_t i = hashOf(tag) & kSlotMask;; i = (i + 1) & kSlotMask) {
        const std::uint16_t slot = slots[i].load(std::memory_order_acquire);
        if (slot == 0) {
            free = i;
            return TagTable::kNotInterned;
        }
        const TagTable::Id id = static_cast<TagTable::Id>(slot - 1);
        if (*texts[id].load(std::memory_order_acquire) == tag) return id;
    }
}

}  // namespace

TagTable::Id TagTable::idFor(std::string_view tag) {
    if (tag.size() > kLongestInterned) return kNotInterned;
    std::size_t free = 0;
    if (Id id = probe(tag, free); id != kNotInterned) return id;

    std::lock_guard lock(insertMutex);
    // Another thread may have added it since the unlocked probe.
    if (Id id = probe(tag, free); id != kNotInterned) return id;
    const std::size_t n = count.load(std::memory_order_relaxed);
    if (n >= kCapacity) return kNotInterned;
    const auto id = static_cast<Id>(n);
    texts[id].store(new std::string(tag), std::memory_order_release);
    slots[free].store(static_cast<std::uint16_t>(id + 1), std::memory_order_release);
    count.store(n + 1, std::memory_order_release);
    return id;
}

const std::string& TagTable::text(Id id) { return *texts[id].load(std::memory_order_acquire); }

std::size_t TagTable::size() { return count.load(std::memory_order_acquire); }

}  // namespace kl
