#include "cells/TextFieldCell.h"

#include <algorithm>
#include <array>

#include "app/EditingPrefs.h"
#include "cells/CellPane.h"
#include "foundation/AsciiText.h"
#include "model/GEDCOMObject.h"

namespace kl {

namespace {

constexpr std::array<std::string_view, 4> kEditTextSelectors{"setScriptLink:", "setScriptLinkType:",
                                                             "setScriptMessage:", "setLocked:"};

}  // namespace

// ---- the growing text

TextFieldCell::TextFieldCell(const CellSeed& seed, std::string className) : TextCell(std::move(className)) {
    setViewFrame({seed.frame.x, seed.frame.y, kDefaultWidth, kLeastHeight});
    setEditTag(seed.tag);
    setEditLevel(seed.level);
}

void TextFieldCell::cellChangedSize() {
    CellRect frame = viewFrame();
    if (frame.height < minHeight_) frame.height = minHeight_;
    else if (frame.height > maxHeight_) frame.height = maxHeight_;
    if (!(frame == viewFrame())) setViewFrame(frame);
}

void TextFieldCell::sizeToFit(double extra) {
    CellRect frame = viewFrame();
    const double textHigh = view() ? view()->textBlockHeight(text(), frame.width) : measureHeight();
    frame.height = textHigh + extra + 1;
    setViewFrame(frame);
    cellChangedSize();
}

bool TextFieldCell::scrolls() const {
    const double textHigh = view() ? view()->textBlockHeight(text(), viewFrame().width) : measureHeight();
    return textHigh > viewFrame().height;
}

bool TextFieldCell::cellBordered(const std::string& word) {
    const std::string lower = asciiLower(word);
    if (lower == "line" || lower == "yes") border_ = 1;
    else if (lower == "bezel" || lower == "square") border_ = 2;
    else if (lower == "groove" || lower == "rounded") border_ = 3;
    else if (lower == "none" || lower == "no") border_ = 0;
    else return false;
    refresh();
    cellChangedSize();
    return true;
}

bool TextFieldCell::cellAlignment(const std::string& word) {
    static const std::array<std::string_view, 4> words{"left", "right", "center", "justify"};
    const std::string lower = asciiLower(word);
    const auto at = std::find(words.begin(), words.end(), lower);
    if (at == words.end()) return false;
    look().alignment = int(at - words.begin());
    refresh();
    return true;
}

// ---- editable

EditTextCell::EditTextCell(const CellSeed& seed) : TextFieldCell(seed, "EditTextCell") {
    setTextStyle(2, seed.prefs);
    if (seed.prefs)
        if (auto fill = seed.prefs->colorNamed(EditValueCell::kEditingBackground)) look().backgroundColor = *fill;
    setStructure(seed.structure);
    setText(seed.structure ? seed.structure->contents() : std::string());
}

bool EditTextCell::respondsTo(std::string_view selector) const {
    return TextFieldCell::respondsTo(selector) ||
           std::find(kEditTextSelectors.begin(), kEditTextSelectors.end(), selector) != kEditTextSelectors.end();
}

bool EditTextCell::takeProperty(std::string_view selector, const std::vector<std::string>& values) {
    const std::string value = values.empty() ? std::string() : values.front();
    if (selector == "setScriptLink:") {
        menuScripts_.push_back({value, 0, std::nullopt});
        return true;
    }
    if (selector == "setScriptLinkType:") return EditValueCell::processScriptLinkType(value, menuScripts_);
    if (selector == "setScriptMessage:") return EditValueCell::processScriptMessage(value, menuScripts_);
    return TextFieldCell::takeProperty(selector, values);
}

void EditTextCell::setLocked(bool locked) {
    locked_ = locked;
    refresh();
}

std::string EditTextCell::normalised(const std::string& text) {
    std::string out;
    out.reserve(text.size());
    for (char c : text) {
        if (c == '\r') out += '\n';
        else if (c == '\t') out += "    ";
        else out += c;
    }
    return out;
}

int EditTextCell::endStructureEditing(bool) {
    if (!changed_) return EditSet;
    changed_ = false;
    const std::string typed = normalised(typedText());
    auto shown = structure();
    if (shown ? shown->contents() == typed : typed.empty()) return EditSet;
    setText(typed);
    return editStructure(typed, std::string(kUndoName));
}

std::vector<EditValueCell::MenuItem> EditTextCell::menuItems() const {
    std::vector<EditValueCell::MenuItem> items{{"Attach/Edit Memo", EditValueCell::kAttachMemoTag}};
    for (std::size_t i = 0; i < menuScripts_.size(); ++i)
        items.push_back({EditValueCell::scriptTitle(menuScripts_[i]), int(i), true});
    return items;
}

bool EditTextCell::canAttachQuickComment() const { return !typedText().empty() && editable(); }

void EditTextCell::cellMenuAction(int tag) {
    if (tag == EditValueCell::kAttachMemoTag) EditValueCell::handOffQuickComment(*this, canAttachQuickComment());
}

void EditTextCell::cellMenuScript(int index) { EditValueCell::runMenuScript(*this, menuScripts_, index); }

void EditTextCell::updateStructure() {
    const std::string contents = structureContents();
    if (contents != typedText()) setText(contents);
}

void EditTextCell::structureWillRemove() {
    TextFieldCell::structureWillRemove();
    if (!typedText().empty()) setText(std::string());
}

// ---- read-only

StaticFieldCell::StaticFieldCell(const CellSeed& seed, std::string className)
    : TextFieldCell(seed, std::move(className)) {
    setTextStyle(0, seed.prefs);
    setStructure(seed.structure);
}

}  // namespace kl
