#include "cells/EditPaneCell.h"

#include <algorithm>
#include <array>

#include "cells/CellPane.h"
#include "cells/ExpressionCell.h"
#include "cells/HTMLPage.h"
#include "cells/HTMLTextEditing.h"
#include "cells/TextFieldCell.h"
#include "foundation/AsciiText.h"
#include "foundation/HTMLText.h"
#include "foundation/Numbers.h"
#include "model/GEDCOMObject.h"
#include "model/GEDCOMRecord.h"
#include "model/GEDCOMStructure.h"

namespace kl {

namespace {

constexpr std::array<std::string_view, 6> kPaneSelectors{"setPanePosition:", "setFraction:",       "setEditable:",
                                                         "setScriptLink:",   "setScriptLinkType:", "setScriptMessage:"};

}  // namespace

EditPaneCell::EditPaneCell(const CellSeed& seed) : TextCell("EditPaneCell") {
    setEditTag(seed.tag);
    setEditLevel(seed.level);
    setTextStyle(2, seed.prefs);
    std::shared_ptr<GEDCOMObject> shown = seed.structure;
    // A record answers its ID as its contents; its own text (a note's) is
    // its first "CONC" line, made by the first commit when missing.
    if (std::dynamic_pointer_cast<GEDCOMRecord>(shown)) {
        setEditTag(kRecordTextTag);
        setEditLevel(1);
        shown = std::static_pointer_cast<GEDCOMObject>(shown->firstChildWithTag(kRecordTextTag));
    }
    setStructure(shown);
}

bool EditPaneCell::respondsTo(std::string_view selector) const {
    return TextCell::respondsTo(selector) ||
           std::find(kPaneSelectors.begin(), kPaneSelectors.end(), selector) != kPaneSelectors.end();
}

bool EditPaneCell::takeProperty(std::string_view selector, const std::vector<std::string>& values) {
    const std::string value = values.empty() ? std::string() : values.front();
    if (selector == "setPanePosition:") {
        const std::string word = asciiLower(value);
        orient_ = word == "left" ? Left : word == "right" ? Right : word == "top" ? Top : Bottom;
        return true;
    }
    if (selector == "setFraction:") {
        const double share = parseDouble(value).value_or(0);
        fraction_ = share < 0.1 ? 0.5 : share;
        return true;
    }
    if (selector == "setEditable:") {
        editable_ = asciiLower(value) == "yes";
        refresh();
        return true;
    }
    if (selector == "setScriptLink:") {
        menuScripts_.push_back({value, 0, std::nullopt});
        return true;
    }
    if (selector == "setScriptLinkType:") return EditValueCell::processScriptLinkType(value, menuScripts_);
    if (selector == "setScriptMessage:") return EditValueCell::processScriptMessage(value, menuScripts_);
    return TextCell::takeProperty(selector, values);
}

void EditPaneCell::appendText(const std::string& text) {
    if (hintTaken_) return;
    hintTaken_ = true;
    hint_ = text;
}

void EditPaneCell::setLocked(bool locked) {
    locked_ = locked;
    refresh();
}

void EditPaneCell::setPane(CellPane* pane) {
    TextCell::setPane(pane);
    if (pane) loadText();
}

void EditPaneCell::loadText() {
    const std::string contents = structureContents();
    std::string shown = contents.empty() ? hint_ : contents;
    const bool html = isHTMLText(shown) > 0;
    viewType_ = html && pane()->currentHtmlSourceMode() == PaneShowsPage ? PaneShowsPage : PaneShowsText;
    pane()->setCurrentHtmlSourceMode(viewType_);
    pageFile_.clear();
    if (viewType_ == PaneShowsPage) {
        const auto record = pane()->paneRecord();
        HTMLPage::Request request;
        request.isReport = record && record->isType("_RPT");
        request.model = OtherRecordWatch::paneModel(pane());
        request.url = true;
        request.addMap = true;
        std::string error;
        pageFile_ = HTMLPage::prepare(contents, request, &error).value_or(std::string());
        if (pageFile_.empty()) pane()->failedToSaveHTML(error);
    }
    changed_ = false;
    setText(std::move(shown));
}

int EditPaneCell::endStructureEditing(bool) {
    if (!changed_) return EditSet;
    changed_ = false;
    const std::string typed = EditTextCell::normalised(typedText());
    const auto shown = structure();
    if (shown ? shown->contents() == typed : typed.empty()) return EditSet;
    setText(typed);
    return editStructure(typed, std::string(kUndoName));
}

bool EditPaneCell::attachCSS(const std::string& recordID) {
    std::string typed = typedText();
    if (!HTMLTextEditing::attachCSSComment(typed, recordID)) {
        // Plain text has no block to mark; the same sheet again is no fault.
        if (isHTMLText(typed) == 0) beep();
        return false;
    }
    setText(std::move(typed));
    changed_ = true;
    return true;
}

void EditPaneCell::updateStructure() {
    const std::string contents = structureContents();
    if (contents != typedText()) setText(contents);
    if (viewType_ == PaneShowsPage && pane()) pane()->reloadPane();
}

void EditPaneCell::structureWillRemove() {
    TextCell::structureWillRemove();
    setText(std::string());
}

}  // namespace kl
