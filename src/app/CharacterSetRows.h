#pragma once
// CharacterSetRows: the six choices of the character-set dialog, asked when
// a GEDCOM file does not say how it is written, with the text-encoding code
// each answers (0x10000 is the object model's own ANSEL converter) and the
// name the reader keeps. The dialog starts on Mac Roman.
//
// Plain data: any thread.
#include <cstdint>
#include <optional>
#include <string>
#include <vector>

namespace kl {

struct CharacterSetRow {
    std::uint32_t encoding;
    std::string name;
    std::string title;  // what the dialog shows
};

class CharacterSetRows {
public:
    static constexpr int defaultRow = 3;

    static const std::vector<CharacterSetRow>& rows();
    // The row's choice; nullopt for a row outside the table (answers 0).
    static std::optional<CharacterSetRow> choiceForRow(int row);
};

}  // namespace kl
