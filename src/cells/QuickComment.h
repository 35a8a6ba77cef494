#pragma once
// QuickComment: storing the one-line comment a user attaches to a
// structure. Line breaks become spaces, an empty text removes the comment,
// and the record gets a new change date, all as one undo step "Change Quick
// Comment". The editor that collects the text lives with the windows.
//
// Thread: main thread.
#include <memory>
#include <string>

namespace kl {

class GEDCOMStructure;

struct QuickComment {
    static constexpr const char* kUndoName = "Change Quick Comment";
    static constexpr const char* kToolTip =
        "Enter a quick comment on this data then type return or click elsewhere to save it";
    // The comment as the editor shows it: "" without one.
    static std::string shown(const GEDCOMStructure& structure);
    // Stores the typed text; false (nothing stored) when it equals the
    // comment there is.
    static bool save(GEDCOMStructure& structure, const std::string& typed);
};

}  // namespace kl
