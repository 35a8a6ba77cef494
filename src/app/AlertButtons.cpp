#include "app/AlertButtons.h"

namespace kl {

AlertButtons::AlertButtons(const std::optional<std::string>& def, const std::optional<std::string>& alt,
                           const std::optional<std::string>& other) {
    for (const auto* title : {&def, &alt, &other})
        if (*title) titles_.push_back(**title);
    if (titles_.empty()) {
        titles_.push_back(okTitle);
        ownOK_ = true;
    }
}

std::optional<std::size_t> AlertButtons::escapeIndex() const {
    for (std::size_t i = 0; i < titles_.size(); ++i)
        if (titles_[i] == "Cancel") return i;
    if (titles_.size() == 1) return 0;
    return std::nullopt;
}

int AlertButtons::responseWithoutButton() const {
    return responseForIndex(escapeIndex().value_or(0));
}

}  // namespace kl
