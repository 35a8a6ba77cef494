#include "app/ui/QtCharacterSetQuestion.h"

#include "app/ui/GetCharacterSet.h"

namespace kl {

std::optional<CharacterSetChoice> QtCharacterSetQuestion::getCharacterSet(const std::optional<std::string>& guess,
                                                                          std::uint32_t suggested) {
    GetCharacterSet dialog(guess, parent_, suggested);
    const std::uint32_t encoding = dialog.getCharacterSet();
    if (encoding == 0) return std::nullopt;
    return CharacterSetChoice{encoding, GetCharacterSet::userCharSet().value_or("")};
}

}  // namespace kl
