#pragma once
// CharacterSetRows: the seven choices of the character-set dialog, asked
// when a GEDCOM file does not say how it is written, with the text-encoding
// code each answers (0x10000 is the object model's own ANSEL converter) and
// the name the reader keeps. The dialog starts on the row of the set the
// file's bytes suggest, Windows when there is none.
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
    static constexpr int defaultRow = 4;

    static const std::vector<CharacterSetRow>& rows();
    // The row's choice; nullopt for a row outside the table (answers 0).
    static std::optional<CharacterSetRow> choiceForRow(int row);
    // The row that answers `encoding`; defaultRow for any other.
    static int rowForEncoding(std::uint32_t encoding);
};

}  // namespace kl
