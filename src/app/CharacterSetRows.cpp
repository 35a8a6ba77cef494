#include "app/CharacterSetRows.h"

namespace kl {

const std::vector<CharacterSetRow>& CharacterSetRows::rows() {
    static const std::vector<CharacterSetRow> table = {
        {1, "ASCII", "ASCII"},
        {0x10000, "ANSEL", "ANSEL"},
        {4, "UTF-8", "UTF-8"},
        {30, "MacOS Roman", "Mac OS Roman"},
        {12, "Windows", "Windows (ANSI)"},
        {10, "UNICODE", "UNICODE (UTF-16)"},
        {0x80000400, "IBMPC", "IBM PC (Code Page 437)"},
    };
    return table;
}

int CharacterSetRows::rowForEncoding(std::uint32_t encoding) {
    const auto& table = rows();
    for (std::size_t row = 0; row < table.size(); ++row)
        if (table[row].encoding == encoding) return static_cast<int>(row);
    return defaultRow;
}

std::optional<CharacterSetRow> CharacterSetRows::choiceForRow(int row) {
    const auto& table = rows();
    if (row < 0 || static_cast<std::size_t>(row) >= table.size()) return std::nullopt;
    return table[static_cast<std::size_t>(row)];
}

}  // namespace kl
