#pragma once
// FindCompletion: the inline completion of the index window's type-ahead
// find field, without the widget. The field's text is what the user typed
// followed, while a completion shows, by the completed tail, which is the
// field's selection. Positions count Unicode characters.
//
// Ownership: a value inside the field widget. Thread: main thread.
#include <cstddef>
#include <optional>
#include <string>

namespace kl {

class FindCompletion {
public:
    // The field's text and selection (characters, start <= end).
    struct Field {
        std::string text;
        std::size_t selectionStart = 0;
        std::size_t selectionEnd = 0;
    };
    enum class Command { MoveRight, InsertTab, Other };

    void setupField() { *this = {}; }
    bool recentEndEditing() const { return recentEndEditing_; }
    void setRecentEndEditing(bool ended) { recentEndEditing_ = ended; }
    int userLength() const { return userLength_; }
    // YES while a completion or an exact match shows.
    bool matchesRecord() const { return userLength_ > 0; }
    // The typed part of the text.
    std::string userStringValue(const std::string& text) const;

    // Shows the match inline after the typed text, when it starts with it
    // (ignoring case); an exact match shows no tail. `editorActive` false:
    // the field takes the focus and the whole match, and nothing more.
    void completeString(const std::optional<std::string>& match, Field& field, bool editorActive);
    // The text changed by the user: a deleted tail takes the last typed
    // character with it.
    void controlTextDidChange(Field& field);
    // Tab and Right Arrow over a completion accept it up to and including
    // its next space (Tab: to its end when it has none). False leaves the
    // key to the field.
    bool doCommandBySelector(Command command, Field& field) const;

    // The row to bring into view so that `row` sits in the middle, given
    // the row now in the middle of the view: the same distance on the
    // other side, kept inside the table.
    static long centerTarget(long row, long middleRow, long rowCount);

private:
    bool recentEndEditing_ = false;
    int userLength_ = 0;
};

}  // namespace kl
