#include "index/FindCompletion.h"

#include <algorithm>

#include "foundation/TextCase.h"
#include "foundation/Utf8.h"

namespace kl {

namespace {

std::string firstCharacters(const std::string& text, std::size_t count) {
    return text.substr(0, utf8::advance(text, 0, count));
}

}  // namespace

std::string FindCompletion::userStringValue(const std::string& text) const {
    return userLength_ < 1 ? text : firstCharacters(text, static_cast<std::size_t>(userLength_));
}

void FindCompletion::completeString(const std::optional<std::string>& match, Field& field, bool editorActive) {
    userLength_ = 0;
    if (!match || field.text.empty()) return;
    const std::size_t typed = utf8::countCharacters(field.text);
    const std::size_t whole = utf8::countCharacters(*match);
    if (whole <= typed) {
        if (textcase::compareFolded(field.text, *match) == 0) userLength_ = static_cast<int>(typed);
        return;
    }
    if (textcase::compareFolded(firstCharacters(*match, typed), field.text) != 0) return;
    if (!editorActive) {
        field.text = *match;
        field.selectionStart = field.selectionEnd = whole;
        return;
    }
    field.text = *match;
    userLength_ = static_cast<int>(typed);
    field.selectionStart = typed;
    field.selectionEnd = whole;
}

void FindCompletion::controlTextDidChange(Field& field) {
    if (userLength_ > 0 && utf8::countCharacters(field.text) == static_cast<std::size_t>(userLength_)) {
        field.text = firstCharacters(field.text, static_cast<std::size_t>(userLength_ - 1));
        field.selectionStart = field.selectionEnd = static_cast<std::size_t>(userLength_ - 1);
    }
    userLength_ = 0;
    recentEndEditing_ = false;
}

bool FindCompletion::doCommandBySelector(Command command, Field& field) const {
    if (command == Command::Other) return false;
    const std::size_t length = utf8::countCharacters(field.text);
    if (userLength_ < 1 || field.selectionStart >= field.selectionEnd || field.selectionEnd != length) return false;
    const std::size_t tailStart = utf8::advance(field.text, 0, field.selectionStart);
    const std::size_t space = field.text.find(' ', tailStart);
    if (space != std::string::npos) {
        if (space + 1 == field.text.size()) return false;
        field.selectionStart = utf8::countCharacters(std::string_view(field.text).substr(0, space + 1));
        return true;
    }
    if (command == Command::MoveRight) return false;
    field.selectionStart = field.selectionEnd = length;
    return true;
}

long FindCompletion::centerTarget(long row, long middleRow, long rowCount) {
    if (rowCount <= 0) return 0;
    return std::clamp(row + (row - middleRow), 0L, rowCount - 1);
}

}  // namespace kl
