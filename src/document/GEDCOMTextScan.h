#pragma once
// GEDCOMTextScan: reads and edits written GEDCOM text line by line without
// building records: the link lines of one tag, the "<!--CSS ... -->" record
// references of HTML notes, and the removal of link lines (with the lines
// below them) whose target is not kept. The album subset writer and the
// export's post-processing pass work on finished text this way.
//
// Lines end at CR, LF or CR LF, so text written with any export line ending
// scans alike. Every operation is one forward pass over the text.
//
// Class operations only, no state; safe on any thread.
#include <optional>
#include <string>
#include <string_view>
#include <unordered_map>
#include <vector>

namespace kl {

class GEDCOMTextScan {
public:
    // Record ID -> record type: what a subset has written (the kept IDs).
    using IDTypes = std::unordered_map<std::string, std::string>;

    struct Line {
        std::size_t start = 0;        // first character of the line
        std::size_t contentsEnd = 0;  // where the terminator begins
        std::size_t end = 0;          // just after the terminator
    };

    // Where `what` first occurs in `text` at or after `from` (npos when
    // nowhere). Skips by the needle's length where it cannot match, so it
    // is much faster than std::string::find for needles starting with a
    // blank, which that search stops at every few characters.
    static std::size_t find(std::string_view text, std::string_view what, std::size_t from = 0);
    // As find, with ASCII letters matching in either case.
    static std::size_t findCaseless(std::string_view text, std::string_view what, std::size_t from = 0);
    // The line holding position `at`.
    static Line lineAround(std::string_view text, std::size_t at);
    // The value of a line "<level> <tag> <value>" whose level is 1 to 99 and
    // whose second word is `tag`; nullopt otherwise. Blanks are spaces only.
    static std::optional<std::string> decodeLine(std::string_view text, const Line& line, std::string_view tag,
                                                 int* level);
    // The integer value of a line's first word (0 when it has none).
    static int leadingLevel(std::string_view text, const Line& line);

    // Deletes each " <tag> " line whose value `kept` lacks (every such line
    // when `kept` is nullptr), with the deeper lines that follow it.
    static void removeCustomLinkTags(std::string_view tag, std::string& data, const IDTypes* kept);
    // The values of the " <tag> " lines that `notLinkedTo` lacks, in order; a
    // value found twice is listed twice.
    static std::vector<std::string> getLinks(std::string_view tag, std::string_view data, const IDTypes& notLinkedTo);
    // The trimmed texts between "<!--CSS" (any case) and the next "-->" that
    // `notLinkedTo` lacks.
    static std::vector<std::string> getCSSLinksInData(std::string_view data, const IDTypes& notLinkedTo);
};

}  // namespace kl
