#include "foundation/TextCompare.h"

#include "foundation/TextCase.h"

namespace kl {

int compareCaseInsensitive(std::string_view a, std::string_view b) { return textcase::compareFolded(a, b); }

int compareLocalized(std::string_view a, std::string_view b) {
    const int folded = textcase::compareFolded(a, b);
    if (folded != 0) return folded;
    // Bytes break the tie: for UTF-8 that is code-point order, upper case
    // first, and it keeps malformed texts apart.
    const int raw = a.compare(b);
    return raw < 0 ? -1 : raw > 0 ? 1 : 0;
}

}  // namespace kl
