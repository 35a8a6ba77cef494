#pragma once
// HTMLTextEditing: the text rules behind the HTML text view, kept away from
// any window so that they can be checked on plain strings: converting plain
// text to an HTML block, where insertions may land inside the block, the
// markup the editing commands insert, the style-sheet marker, and the record
// links of an HTML block (rewritten for export, or collected).
//
// Offsets and lengths are byte offsets into UTF-8 text. Pure functions over
// their arguments (a model is only read); main thread when a model is given.
#include <cstddef>
#include <map>
#include <memory>
#include <string>
#include <string_view>
#include <vector>

namespace kl {

class GEDCOMModel;
class GEDCOMRecord;

class HTMLTextEditing {
public:
    struct Range {
        std::size_t location = 0;
        std::size_t length = 0;
        std::size_t end() const { return location + length; }
        bool operator==(const Range&) const = default;
    };

    static constexpr const char* kUnnamed = "Unnamed html text";

    // The whole text as an HTML block named by its first line; with
    // `paragraphs` each non-empty line becomes a paragraph.
    static std::string makeHTMLText(std::string_view text, bool paragraphs);
    // The selection moved inside the block's body (after the opening div
    // tag, before the closing one).
    static Range insertTextRange(std::string_view text, Range selection);
    // The selection widened to whole lines (with their line ends).
    static Range lineRange(std::string_view text, Range selection);

    // The replacement texts of the editing commands for the selected text.
    static std::string paragraphText(std::string_view selected);
    static std::string listText(std::string_view selected, bool ordered);
    static std::string tableText(std::string_view selected);
    // The markup of the tagged commands 0 (hyperlink) to 6 (section 3); the
    // selection unchanged for any other tag.
    static std::string tagText(std::string_view selected, int tag);
    static std::string recordLinkText(const std::string& recordID, const std::string& linkText);
    // The links (or, in plain text, the names) of dropped records; "" when
    // none of them is a record.
    static std::string droppedRecordsText(const std::vector<std::shared_ptr<GEDCOMRecord>>& records, bool html);

    // Puts the style-sheet marker of a multimedia record right after the
    // opening div tag, or points an existing one at it; whether the text
    // changed (never for plain text).
    static bool attachCSSComment(std::string& text, const std::string& recordID);

    // Record links (anchors whose address is "@ID@" or "//@ID@"): rewritten
    // in place to the file name the dictionary's format for the record's
    // type gives, or, without a dictionary, a record or a format, reduced to
    // their text.
    using LinkFormats = std::map<std::string, std::string>;
    static void convertForExport(std::string& text, const LinkFormats* links, const GEDCOMModel* model);
    // The records the links name, in text order (missing ones skipped).
    static std::vector<std::shared_ptr<GEDCOMRecord>> collectLinks(std::string_view text, const GEDCOMModel& model);
};

}  // namespace kl
