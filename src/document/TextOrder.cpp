#include "document/TextOrder.h"

#include "foundation/TextCase.h"

namespace kl {

int compareCaseless(std::string_view a, std::string_view b) { return textcase::compareFolded(a, b); }

bool hasCaselessPrefix(std::string_view text, std::string_view prefix) {
    return textcase::hasFoldedPrefix(text, prefix);
}

}  // namespace kl
