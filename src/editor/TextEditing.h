#pragma once
// The editing rules of the coloured text view as pure functions: which
// range to recolour after an edit, the indentation that Return carries to
// the new line, and re-indenting a template by its block commands.
//
// recolorRangeAfterEdit() works on any text with size() and operator[]
// giving a character, so the view can pass its own text and positions; the
// others take UTF-8. Any thread.
#include <algorithm>
#include <cstddef>
#include <map>
#include <optional>
#include <string>
#include <string_view>

#include "editor/Template.h"

namespace kl {

// An edit as the text storage reports it.
struct TextEdit {
    TextRange edited;                 // the range of the text that changed, after the change
    std::ptrdiff_t changeInLength = 0;
    bool undoOrRedo = false;
    TextRange selection;              // the view's selection, for undo and redo
};

// The range to recolour after an edit: the touched lines, joined with the
// whole run of a mode (a quoted text, a comment) that crosses the place of
// the edit. runAt(position) gives that run, or nullopt for plain text.
// An empty range means nothing to recolour.
template <class Text, class RunAt>
TextRange recolorRangeAfterEdit(const Text& text, const TextEdit& edit, RunAt runAt) {
    const std::size_t size = text.size();
    TextRange range;
    if (!edit.undoOrRedo && edit.changeInLength > 0) {
        range = edit.edited;
    } else {
        const TextRange base = edit.undoOrRedo ? edit.selection : edit.edited;
        range.location = base.location > 0 ? base.location - 1 : 0;
        range.length = base.length + (base.location - range.location);
        const std::size_t end = std::min(range.location + range.length, size);
        range.length = end - std::min(range.location, end) + std::min<std::size_t>(2, size - end);
    }
    range.location = std::min(range.location, size);
    range.length = std::min(range.length, size - range.location);
    if (range.length == 0) return {};
    const std::size_t modeAt = range.location;
    auto lineEnd = [](auto c) { return c == '\n' || c == '\r'; };
    std::size_t start = range.location;
    while (start > 0 && !lineEnd(text[start])) --start;
    std::size_t end = range.location + range.length;
    while (end < size && !lineEnd(text[end])) ++end;
    if (const std::optional<TextRange> run = runAt(modeAt)) {
        start = std::min(start, run->location);
        end = std::max(end, run->location + run->length);
    }
    return {start, end - start};
}

// What Return inserts at the caret: a line feed and the blanks that begin
// the caret's line up to the first other character before the caret.
std::string newlineIndentation(std::string_view text, std::size_t caret);

// The text re-indented by its block commands, level by level with the
// indent text. keywords maps a lower-case first word to its code: 1 opens
// a block, 2 closes one and opens the next (else), 3 closes one, 4 lets
// the next word decide, 5 opens one unless the line holds " then ", 6
// begins and 7 ends a region whose lines keep their own indentation.
std::string indentCommands(std::string_view text, std::string_view indent,
                           const std::map<std::string, int>& keywords);

// The template command table of the Indent Template Commands command;
// with option (the Option key held) group boxes are not indented.
std::map<std::string, int> templateIndentKeywords(bool option);

}  // namespace kl
