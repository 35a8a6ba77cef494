#pragma once
// TagTable: the process-wide table of interned GEDCOM tags. A tree holds
// about a million nodes whose tags come from a few dozen spellings, so each
// node keeps a 16-bit number instead of its own string.
//
// Ownership: interned texts live until the process ends; the table is
// bounded (kCapacity entries, tags of at most kLongestInterned bytes), and a
// tag it does not take is kept by its node instead.
//
// Thread: any thread. Lookups of known tags take no lock (and each thread
// remembers the numbers of the short tags it met last); a new tag is added
// under a mutex and published before its number is handed out.
#include <cstdint>
#include <string>
#include <string_view>

namespace kl {

class TagTable {
public:
    using Id = std::uint16_t;
    static constexpr Id kNotInterned = 0xFFFF;
    static constexpr std::size_t kCapacity = 16384;
    static constexpr std::size_t kLongestInterned = 31;

    // The number of the tag, interning it when new; kNotInterned when the
    // tag is too long or the table is full.
    static Id idFor(std::string_view tag);
    // The text of a number idFor handed out.
    static const std::string& text(Id id);
    // Tags interned so far.
    static std::size_t size();
};

}  // namespace kl
