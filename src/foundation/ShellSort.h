#pragma once
// Shell's sort of an array through a delegate that gives each element's sort
// key once and compares two keys. Record lists and script lists sort with it;
// the keys are computed before any element moves, so a delegate that
// evaluates expressions never sees a half-sorted array. Not stable.
#include <cmath>
#include <cstddef>
#include <new>
#include <utility>
#include <vector>

#include "foundation/Exception.h"

namespace kl {

// The delegate of WXArrayShellSort.
template <class Element, class Key>
class WXShellSorter {
public:
    virtual ~WXShellSorter() = default;
    virtual Key getShellSortObjectFor(const Element& element) = 0;
    // True when key a must come after key b.
    virtual bool checkShellObj1(const Key& a, const Key& b) = 0;
};

namespace detail {
inline std::vector<std::size_t> shellSortIndexTable(std::size_t count) {
    try {
        std::vector<std::size_t> table(count + 1);
        for (std::size_t i = 0; i < count; ++i) table[i] = i;
        return table;
    } catch (const std::bad_alloc&) {
        raise(exception_names::ArrayShellSortError,
              "Failed when allocating memory needed to sort the data");
    }
}
// Tokuda's gaps (h = 2.25 h + 1, rounded up) below the count, smallest
// first. Halving the count each pass costs far more comparisons on long
// lists; a hundred thousand records sort several times faster this way.
inline std::vector<std::size_t> shellSortGaps(std::size_t count) {
    std::vector<std::size_t> gaps;
    double h = 1;
    for (;;) {
        const auto gap = static_cast<std::size_t>(std::ceil(h));
        if (gap >= count) break;
        gaps.push_back(gap);
        h = 2.25 * h + 1;
    }
    if (gaps.empty()) gaps.push_back(1);
    return gaps;
}
}  // namespace detail

// Sorts the array in place. With checkReversed, elements 0 to lastLine that
// are all in reverse (or equal) order are just reversed, which makes a second
// click on a sorted column cheap; elements after lastLine stay where they are.
template <class Element, class Key>
void shellSortUsingDelegate(std::vector<Element>& array, WXShellSorter<Element, Key>& delegate,
                            bool checkReversed, long lastLine) {
    const std::size_t count = array.size();
    if (count < 2) return;
    std::vector<std::size_t> order = detail::shellSortIndexTable(count);
    std::vector<Key> keys;
    keys.reserve(count);
    for (const Element& e : array) keys.push_back(delegate.getShellSortObjectFor(e));

    if (checkReversed) {
        if (lastLine >= static_cast<long>(count)) lastLine = static_cast<long>(count) - 1;
        bool anyInOrder = false;
        for (long i = 1; i <= lastLine && !anyInOrder; ++i)
            anyInOrder = delegate.checkShellObj1(keys[i], keys[i - 1]);
        if (!anyInOrder) {
            for (long i = 0, j = lastLine; i < j; ++i, --j) std::swap(array[i], array[j]);
            return;
        }
    }

    const std::vector<std::size_t> gaps = detail::shellSortGaps(count);
    for (auto g = gaps.rbegin(); g != gaps.rend(); ++g) {
        const std::size_t gap = *g;
        for (std::size_t i = gap; i < count; ++i) {
            const std::size_t moving = order[i];
            std::size_t j = i;
            while (j >= gap && delegate.checkShellObj1(keys[order[j - gap]], keys[moving])) {
                order[j] = order[j - gap];
                j -= gap;
            }
            order[j] = moving;
        }
    }

    std::vector<Element> sorted;
    sorted.reserve(count);
    for (std::size_t i = 0; i < count; ++i) sorted.push_back(std::move(array[order[i]]));
    array = std::move(sorted);
}

}  // namespace kl
