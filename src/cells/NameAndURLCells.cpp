#include "cells/NameAndURLCells.h"

#include "app/AppController.h"
#include "cells/CellPane.h"
#include "foundation/MainThread.h"
#include "model/GEDCOMObject.h"
#include "model/GEDCOMRecord.h"

namespace kl {

namespace {

std::size_t characters(const std::string& text) {
    std::size_t count = 0;
    for (unsigned char c : text)
        if ((c & 0xC0) != 0x80) ++count;
    return count;
}

}  // namespace

// ---- names

std::string EditNameCell::shownName(const std::string& name) {
    return GEDCOMRecord::formatName(name, 3).value_or(name);
}

EditNameCell::EditNameCell(const CellSeed& seed) : EditValueCell(seed, "EditNameCell") {
    showText(shownName(structureContents()));
}

void EditNameCell::updateStructure() {
    const std::string contents = structureContents();
    if (fieldText() != contents) showText(shownName(contents));
}

int EditNameCell::endStructureEditing(bool) {
    if (!changed()) return EditSet;
    setChanged(false);
    const std::string typed = fieldText();
    const std::string gedcom = typed.empty() ? typed : GEDCOMRecord::formatUserName(typed);
    auto stored = structure();
    if (stored ? stored->contents() == gedcom : gedcom.empty()) {
        showText(shownName(gedcom));
        return EditSet;
    }
    showText(shownName(gedcom));
    return editStructure(gedcom, std::string(kUndoName));
}

std::vector<EditValueCell::MenuItem> EditNameCell::menuItems() const {
    std::vector<MenuItem> items{{"FamilySearch", kFamilySearchTag}};
    for (auto& item : EditValueCell::menuItems()) items.push_back(std::move(item));
    return items;
}

void EditNameCell::cellMenuAction(int tag, const std::string& title) {
    if (tag == kFamilySearchTag) {
        if (pane()) pane()->tryFamilySearch();
        return;
    }
    EditValueCell::cellMenuAction(tag, title);
}

// ---- addresses

EditURLCell::EditURLCell(const CellSeed& seed) : EditValueCell(seed, "EditURLCell") { editing_ = isShort(); }

EditURLCell::~EditURLCell() { Dispatcher::current().cancelDeferred(this); }

bool EditURLCell::isShort() const { return !structure() || characters(structureContents()) <= kShortAddress; }

bool EditURLCell::respondingCell() const { return isShort(); }

bool EditURLCell::canEditNew() {
    if (!isShort()) return false;
    setEditing(true);
    return true;
}

void EditURLCell::setEditing(bool editing) {
    if (editing_ == editing) return;
    editing_ = editing;
    refresh();
}

std::vector<EditValueCell::MenuItem> EditURLCell::menuItems() const {
    std::vector<MenuItem> items{{"Edit Hyperlink (or option click)", kEditHyperlinkTag}};
    for (auto& item : EditValueCell::menuItems()) items.push_back(std::move(item));
    return items;
}

void EditURLCell::cellMenuAction(int tag, const std::string& title) {
    if (tag == kEditHyperlinkTag) {
        setEditing(true);
        if (view()) view()->takeFocus();
        return;
    }
    EditValueCell::cellMenuAction(tag, title);
}

void EditURLCell::beginMouseDown(bool altHeld) {
    inMouseDown_ = true;
    if (!editing_ && (altHeld || characters(fieldText()) <= kShortAddress)) setEditing(true);
}

void EditURLCell::endMouseDown(bool selectedNothing) {
    inMouseDown_ = false;
    if (editing_ || !selectedNothing) return;
    const std::string address = fieldText();
    if (characters(address) >= kShortestOpened) AppController::openAddress(address);
}

bool EditURLCell::shouldLock() const { return editing_ && characters(fieldText()) > kShortAddress; }

void EditURLCell::aboutToResignFirstResponder() {
    if (inMouseDown_ || !shouldLock()) return;
    Dispatcher::current().postDeferred(this, [this] { relockField(); });
}

void EditURLCell::relockField() {
    if (!structure()) {
        setEditing(true);
        return;
    }
    if (!fieldText().empty()) setEditing(false);
}

}  // namespace kl
