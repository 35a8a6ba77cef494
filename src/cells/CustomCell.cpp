#include "cells/CustomCell.h"

#include <algorithm>
#include <array>

#include "cells/CellPane.h"
#include "foundation/UndoManager.h"
#include "model/GEDCOMRecord.h"
#include "model/GEDCOMStructure.h"
#include "model/GroupedRecord.h"
#include "model/ModelNotifications.h"

namespace kl {

namespace {

// The operations every cell has.
constexpr std::array<std::string_view, 7> kBaseSelectors{
    "appendText:",  "appendHelp:",   "changeCellFontName:size:color:", "setMinHeight:",
    "setMaxHeight:", "setMaxWidth:", "addWatchStructures:"};

// A text without font metrics at hand: about half an em per character.
double estimatedWidth(const std::string& text, double fontSize) {
    std::size_t characters = 0;
    for (unsigned char c : text)
        if ((c & 0xC0) != 0x80) ++characters;
    return static_cast<double>(characters) * fontSize * 0.55;
}

}  // namespace

CustomCell::CustomCell(std::string className) : className_(std::move(className)) {}

CustomCell::~CustomCell() = default;

std::string CustomCell::description() const {
    if (auto shown = structure())
        return className_ + ": structure: " + std::to_string(shown->glevel()) + " " + shown->gtag() + " " +
               shown->contents();
    return className_ + ": empty: " + std::to_string(editLevel_) + " " + editTag_;
}

void CustomCell::setStructure(const std::shared_ptr<GEDCOMObject>& structure) {
    contentsObservation_.reset();
    removalObservation_.reset();
    structure_ = structure;
    if (!structure) return;
    const GEDCOMObject* node = structure.get();
    auto& center = NotificationCenter::defaultCenter();
    contentsObservation_ = center.addObserver(notification_names::RecordStructureContentsChanged, node,
                                              [this](const Notification&) { updateStructure(); });
    removalObservation_ = center.addObserver(notification_names::RecordStructureWillRemove, node,
                                             [this](const Notification&) { structureWillRemove(); });
}

std::string CustomCell::structureContents() const {
    auto shown = structure();
    return shown ? shown->contents() : std::string();
}

void CustomCell::setView(std::unique_ptr<CellView> view) {
    view_ = std::move(view);
    if (view_) {
        view_->setFrame(frame_);
        view_->refresh(*this);
    }
}

void CustomCell::setViewFrame(const CellRect& frame) {
    frame_ = frame;
    if (view_) view_->setFrame(frame_);
}

void CustomCell::offsetViewFrame(double dy) {
    CellRect moved = frame_;
    moved.y += dy;
    setViewFrame(moved);
}

void CustomCell::retileShift(double shift, double limit) {
    if (frame_.y > limit) offsetViewFrame(shift);
}

void CustomCell::refresh() {
    if (view_) view_->refresh(*this);
}

void CustomCell::setText(std::string text) {
    text_ = std::move(text);
    refresh();
}

bool CustomCell::respondsTo(std::string_view selector) const {
    return std::find(kBaseSelectors.begin(), kBaseSelectors.end(), selector) != kBaseSelectors.end();
}

void CustomCell::appendText(const std::string&) {}

void CustomCell::appendHelp(const std::string& text) {
    look_.help += text;
    refresh();
}

void CustomCell::changeCellFontName(const std::optional<Font>&, const std::optional<Color>&, double,
                                    const std::optional<Color>&) {}

void CustomCell::setFont(const Font&) {}
void CustomCell::sizeToFit(double) {}
void CustomCell::sizeToWidth() {}
bool CustomCell::cellAlignment(const std::string&) { return false; }
bool CustomCell::cellBordered(const std::string&) { return false; }
void CustomCell::cellBorderColor(const std::optional<Color>&) {}
void CustomCell::cellBorderWidth(double) {}
void CustomCell::cellBackgroundColor(const std::optional<Color>&) {}
void CustomCell::cellImageSize(double, double) {}
bool CustomCell::takeProperty(std::string_view, const std::vector<std::string>&) { return false; }

void CustomCell::addWatchStructures(const std::vector<std::shared_ptr<GEDCOMObject>>& structures) {
    auto& center = NotificationCenter::defaultCenter();
    for (const auto& watched : structures) {
        if (!watched) continue;
        const GEDCOMObject* node = watched.get();
        auto update = [this](const Notification&) { updateStructure(); };
        if (dynamic_cast<const GEDCOMRecord*>(node)) {
            watches_.push_back(center.addObserver(notification_names::RecordStructuresChanged, node, update));
        } else {
            watches_.push_back(center.addObserver(notification_names::RecordStructureContentsChanged, node, update));
            watches_.push_back(center.addObserver(notification_names::RecordStructureWillRemove, node, update));
        }
    }
}

void CustomCell::watchRecordView(const std::string& word) {
    const auto record = std::dynamic_pointer_cast<GEDCOMRecord>(structure());
    if (!record || (word != "view" && word != "altview")) return;
    const auto tags = word == "view" ? record->viewTags() : record->altViewTags();
    if (!tags) return;
    std::vector<std::shared_ptr<GEDCOMObject>> watched;
    for (const std::string& tag : *tags)
        if (auto child = record->firstChildWithTag(tag)) watched.push_back(child);
    addWatchStructures(watched);
}

double CustomCell::measureText(const std::string& text) const {
    if (view_) return view_->textWidth(text);
    return estimatedWidth(text, look_.font ? look_.font->size : 12);
}

double CustomCell::measureHeight() const {
    if (view_) return view_->textHeight();
    return (look_.font ? look_.font->size : 12) * 1.25;
}

void CustomCell::beep() {
    if (view_) view_->beep();
}

std::shared_ptr<GEDCOMRecord> CustomCell::theRecord() const { return pane_ ? pane_->paneRecord() : nullptr; }

// ---- the commit

int CustomCell::editStructure(const std::string& text, const std::optional<std::string>& undoMessage) {
    std::shared_ptr<GEDCOMRecord> record = theRecord();
    if (!record) return EditSet;
    UndoManager* undo = record->undoManager();
    if (undo) undo->beginUndoGrouping();
    int result = EditSet;
    bool changed = true;
    std::shared_ptr<GEDCOMObject> shown = structure();
    auto shownStructure = std::dynamic_pointer_cast<GEDCOMStructure>(shown);
    const std::vector<CustomCell*> dataCells = pane_ ? pane_->dataCellsToCell(this) : std::vector<CustomCell*>{};

    if (shownStructure && text.empty() && shownStructure->structures().empty()) {
        Location found = locateAfterStructure(dataCells, shownStructure, editLevel_, pane_);
        auto removed = std::dynamic_pointer_cast<GEDCOMStructure>(found.removeFrom);
        // A level-1 structure's parent is the record itself, found or not.
        if (!found.parent && removed && removed->glevel() == 1) found.parent = record;
        if (found.parent && removed) {
            record->removeStructure(removed, found.parent.get(), pane_ ? pane_->mainBrowser() : nullptr);
            result = EditRemoved;
        } else {
            changed = false;
        }
    } else if (shownStructure) {
        shownStructure->setContents(text);
        if (text.empty() && shownStructure->quickComment()) shownStructure->setQuickComment(std::nullopt);
    } else if (!shown && !text.empty()) {
        Location found = locateAfterStructure(dataCells, nullptr, editLevel_, pane_);
        const int n = static_cast<int>(found.missingTags.size());
        const int topLevel = editLevel_ - n;
        if (!found.parent && topLevel == 1) found.parent = record;
        if (found.parent) {
            std::shared_ptr<GEDCOMStructure> top;
            if (n == 0) {
                top = std::make_shared<GEDCOMStructure>(record.get(), editLevel_, editTag_, text);
            } else {
                top = std::make_shared<GEDCOMStructure>(record.get(), topLevel, found.missingTags[n - 1], "");
                std::shared_ptr<GEDCOMStructure> below = top;
                for (int k = n - 2; k >= 0; --k) below = below->addLevel(editLevel_ - k - 1, found.missingTags[k], "");
                auto leaf = std::make_shared<GEDCOMStructure>(record.get(), editLevel_, editTag_, text);
                structure_ = leaf;
                top->addStructureAtLevel(leaf);
            }
            record->addStructure(top, found.parent.get(), found.after.get(), false);
            result = EditCreated;
        } else {
            changed = false;
        }
    }
    if (changed) {
        record->setChangeDate();
        if (undo) undo->setActionName(undoMessage.value_or("Data entry changed"));
    }
    if (undo) undo->endUndoGrouping();
    // A value with nowhere to go is not stored; the user hears so.
    if (!changed) beep();
    return result;
}

CustomCell::Location CustomCell::locateAfterStructure(const std::vector<CustomCell*>& dataCells,
                                                      const std::shared_ptr<GEDCOMObject>& structure, int level,
                                                      const CellPane* pane) {
    Location location;
    const bool removing = structure != nullptr;
    location.removeFrom = structure;
    std::vector<CustomCell*> cells = dataCells;
    int L = level;
    while (true) {
        bool switched = false;
        for (auto it = cells.rbegin(); it != cells.rend(); ++it) {
            CustomCell* cell = *it;
            std::shared_ptr<GEDCOMObject> x = cell->structure();
            if (!x) {
                if (!removing && cell->editLevel() == L - 1) {
                    location.missingTags.push_back(cell->editTag());
                    L -= 1;
                }
                continue;
            }
            if (!location.after && x->glevel() == L) location.after = x;
            if (x->glevel() != L - 1) continue;
            if (auto* group = dynamic_cast<const GroupedRecord*>(x.get())) {
                // The record of a child browser: go on in the parent's pane.
                cells = pane ? pane->dataCellsToGroupWith(group) : std::vector<CustomCell*>{};
                if (cells.empty()) return location;
                switched = true;
                break;
            }
            if (!removing || !x->contents().empty() || x->structures().size() > 1 || x->glevel() == 0) {
                location.parent = x;
                return location;
            }
            location.removeFrom = x;
            location.after = nullptr;
            L -= 1;
        }
        if (!switched) return location;
    }
}

}  // namespace kl
