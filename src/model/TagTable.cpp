#include "model/TagTable.h"

#include <atomic>
#include <bit>
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

// The number of a tag of kLongestInterned bytes at most, interning it when
// new; kNotInterned when the table is full.
TagTable::Id intern(std::string_view tag) {
    std::size_t free = 0;
    if (TagTable::Id id = probe(tag, free); id != TagTable::kNotInterned) return id;

    std::lock_guard lock(insertMutex);
    // Another thread may have added it since the unlocked probe.
    if (TagTable::Id id = probe(tag, free); id != TagTable::kNotInterned) return id;
    const std::size_t n = count.load(std::memory_order_relaxed);
    if (n >= TagTable::kCapacity) return TagTable::kNotInterned;
    const auto id = static_cast<TagTable::Id>(n);
    texts[id].store(new std::string(tag), std::memory_order_release);
    slots[free].store(static_cast<std::uint16_t>(id + 1), std::memory_order_release);
    count.store(n + 1, std::memory_order_release);
    return id;
}

// Each thread remembers the numbers of the short tags it met last (GEDCOM
// tags are mostly 3 to 5 letters), so the tag of a line read costs a few
// instructions instead of a hash, a probe and a text comparison. A number,
// once handed out, never changes, so a remembered one stays right.
constexpr std::size_t kLongestRemembered = 7;
constexpr std::size_t kRemembered = 128;  // a power of two

struct Remembered {
    std::uint64_t key;  // see shortKey; 0 for none
    TagTable::Id id;
};

thread_local constinit Remembered remembered[kRemembered]{};

// A tag of 1 to kLongestRemembered bytes as one number: its bytes, and its
// length in the top byte (so never 0).
std::uint64_t shortKey(std::string_view tag) {
    std::uint64_t key = std::uint64_t{tag.size()} << 56;
    for (std::size_t i = 0; i < tag.size(); ++i) key |= std::uint64_t{static_cast<unsigned char>(tag[i])} << (8 * i);
    return key;
}

Remembered& rememberedSlot(std::uint64_t key) {
    constexpr int kShift = 64 - std::countr_zero(kRemembered);
    return remembered[(key * 0x9E3779B97F4A7C15ull) >> kShift];
}

}  // namespace

TagTable::Id TagTable::idFor(std::string_view tag) {
    if (tag.size() > kLongestInterned) return kNotInterned;
    if (tag.empty() || tag.size() > kLongestRemembered) return intern(tag);
    const std::uint64_t key = shortKey(tag);
    Remembered& slot = rememberedSlot(key);
    if (slot.key == key) return slot.id;
    const Id id = intern(tag);
    if (id != kNotInterned) slot = {key, id};
    return id;
}

const std::string& TagTable::text(Id id) { return *texts[id].load(std::memory_order_acquire); }

std::size_t TagTable::size() { return count.load(std::memory_order_acquire); }

}  // namespace kl
