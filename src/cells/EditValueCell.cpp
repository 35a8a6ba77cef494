#include "cells/EditValueCell.h"

#include <algorithm>
#include <array>

#include "app/AppController.h"
#include "app/EditingPrefs.h"
#include "cells/CellPane.h"
#include "foundation/AsciiText.h"
#include "model/GEDCOMObject.h"

namespace kl {

namespace {

constexpr std::array<std::string_view, 5> kValueSelectors{"setScriptLink:", "setScriptLinkType:",
                                                          "setScriptMessage:", "setReloadOnUpdate:", "setLocked:"};

}  // namespace

EditValueCell::EditValueCell(const CellSeed& seed, std::string className) : TextCell(std::move(className)) {
    CellRect frame = seed.frame;
    frame.height -= 1;
    setViewFrame(frame);
    setTextStyle(2, seed.prefs);
    // Where the user types stands out from the labels around it.
    if (seed.prefs)
        if (auto fill = seed.prefs->colorNamed(kEditingBackground)) look().backgroundColor = *fill;
    setEditTag(seed.tag);
    setEditLevel(seed.level);
    setStructure(seed.structure);
    setText(seed.structure ? seed.structure->contents() : std::string());
}

std::string EditValueCell::description() const { return className() + ": " + text(); }

bool EditValueCell::respondsTo(std::string_view selector) const {
    return TextCell::respondsTo(selector) ||
           std::find(kValueSelectors.begin(), kValueSelectors.end(), selector) != kValueSelectors.end();
}

bool EditValueCell::takeProperty(std::string_view selector, const std::vector<std::string>& values) {
    const std::string value = values.empty() ? std::string() : values.front();
    if (selector == "setScriptLink:") {
        menuScripts_.push_back({value, 0, std::nullopt});
        return true;
    }
    if (selector == "setScriptLinkType:") return processScriptLinkType(value, menuScripts_);
    if (selector == "setScriptMessage:") return processScriptMessage(value, menuScripts_);
    if (selector == "setReloadOnUpdate:") {
        reloadOnUpdate_ = value == "yes";
        return true;
    }
    return TextCell::takeProperty(selector, values);
}

bool EditValueCell::processScriptLinkType(const std::string& word, std::vector<MenuScript>& scripts) {
    if (scripts.empty()) return false;
    const std::string lower = asciiLower(word);
    int type = 0;
    if (lower == "user") type = 1;
    else if (lower == "system") type = 0;
    else if (lower == "format") type = 2;
    else return false;
    // A message given before the type belongs to the old entry.
    scripts.back() = {scripts.back().name, type, std::nullopt};
    return true;
}

bool EditValueCell::processScriptMessage(const std::string& text, std::vector<MenuScript>& scripts) {
    if (scripts.empty()) return false;
    scripts.back().message = text;
    return true;
}

void EditValueCell::setLocked(bool locked) {
    locked_ = locked;
    if (view()) view()->setEditable(!locked);
}

int EditValueCell::endStructureEditing(bool) {
    if (!changed_) return EditSet;
    changed_ = false;
    const std::string typed = fieldText();
    auto shown = structure();
    if (shown ? shown->contents() == typed : typed.empty()) return EditSet;
    // The cell's own text follows the field, so that a later refresh shows
    // what was stored rather than the value before the edit.
    setText(typed);
    return editStructure(typed, std::string(kUndoName));
}

std::vector<EditValueCell::MenuItem> EditValueCell::menuItems() const {
    std::vector<MenuItem> items{{"Attach/Edit Memo", kAttachMemoTag, false}};
    if (editTag() == "PLAC" || editTag() == "_PLACE") items.push_back({"Google maps search", 10002, false});
    items.push_back({"Google search", AppController::webSearchTag, false});
    for (std::size_t i = 0; i < menuScripts_.size(); ++i) items.push_back({scriptTitle(menuScripts_[i]), int(i), true});
    return items;
}

std::string EditValueCell::scriptTitle(const MenuScript& script) {
    std::string title = script.name;
    for (std::string_view extension : {".py", ".klscpt"})
        if (title.size() > extension.size() && title.ends_with(extension)) title.erase(title.size() - extension.size());
    std::replace(title.begin(), title.end(), '_', ' ');
    return title;
}

void EditValueCell::cellMenuAction(int tag, const std::string&) {
    if (tag == 10001 || tag == 10002) {
        AppController::launchGoogleSearch(fieldText(), tag);
        return;
    }
    if (tag == kAttachMemoTag) handOffQuickComment(*this, canAttachQuickComment());
}

void EditValueCell::handOffQuickComment(CustomCell& cell, bool allowed) {
    CellPane* pane = cell.pane();
    if (!allowed || !pane) {
        if (cell.view()) cell.view()->beep();
        return;
    }
    // The comment belongs to the structure the typing may still create.
    const int ended = pane->endActiveCell(0);
    if (ended == EditRefused) return;
    if (ended == EditCreated) pane->setNeedsMemoPopup();
    else pane->openQuickComment(cell);
}

void EditValueCell::runMenuScript(CustomCell& cell, const std::vector<MenuScript>& scripts, int index) {
    if (index < 0 || index >= int(scripts.size())) return;
    if (cell.pane() && cell.pane()->endActiveCell(0) == EditRefused) return;
    const MenuScript& script = scripts[std::size_t(index)];
    if (!AppController::runScript(script.name, script.type, script.message) && cell.view()) cell.view()->beep();
}

std::string EditValueCell::fieldText() const { return view() ? view()->text() : text(); }

bool EditValueCell::canAttachQuickComment() const { return !fieldText().empty() && fieldEditable(); }

void EditValueCell::cellMenuScript(int index) { runMenuScript(*this, menuScripts_, index); }

void EditValueCell::updateStructure() {
    const std::string contents = structureContents();
    if (contents != fieldText()) setText(contents);
}

void EditValueCell::structureWillRemove() {
    TextCell::structureWillRemove();
    if (!text().empty() || (view() && !view()->text().empty())) setText(std::string());
}

}  // namespace kl
