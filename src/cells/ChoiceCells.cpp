#include "cells/ChoiceCells.h"

#include <algorithm>
#include <array>

#include "app/EditingPrefs.h"
#include "cells/CellPane.h"
#include "foundation/AsciiText.h"
#include "foundation/NotificationCenter.h"
#include "model/GEDCOMObject.h"
#include "model/GEDCOMRecord.h"
#include "model/ModelNotifications.h"

namespace kl {

namespace {

template <std::size_t N>
bool listed(const std::array<std::string_view, N>& list, std::string_view selector) {
    return std::find(list.begin(), list.end(), selector) != list.end();
}

void seedCell(TextCell& cell, const CellSeed& seed, const char* fontName) {
    cell.setEditTag(seed.tag);
    cell.setEditLevel(seed.level);
    cell.setViewFrame(seed.frame);
    if (seed.prefs) {
        if (auto font = seed.prefs->fontNamed(fontName)) cell.look().font = *font;
        if (auto color = seed.prefs->fontColorNamed(fontName)) cell.look().textColor = *color;
    }
    cell.setStructure(seed.structure);
}

std::string first(const std::vector<std::string>& values) { return values.empty() ? std::string() : values.front(); }

}  // namespace

// ---- ChoiceCell

void ChoiceCell::setLocked(bool locked) {
    locked_ = locked;
    if (view()) view()->setEditable(!locked);
}

bool ChoiceCell::commitChoice(const std::string& value, const std::string& undoName) {
    if (auto shown = structure()) {
        if (shown->contents() == value) return true;
        editStructure(value, undoName);
        if (reloadOnUpdate_ && pane()) pane()->reloadPane();
        return true;
    }
    if (value.empty()) return true;
    std::shared_ptr<GEDCOMRecord> record = theRecord();
    if (!record) return true;
    // Ending another cell's typing may create a structure of this tag: the
    // first structure made meanwhile tells.
    std::shared_ptr<GEDCOMObject> created;
    Observation watch = NotificationCenter::defaultCenter().addObserver(
        notification_names::RecordStructuresChanged, static_cast<const GEDCOMObject*>(record.get()),
        [&created](const Notification& note) {
            if (created) return;
            if (const Value* made = note.userInfo.get("structure")) created = made->objectAs<GEDCOMObject>();
        });
    const int ended = pane() ? pane()->endActiveCell(0) : EditSet;
    watch.reset();
    if (ended == EditRefused || (ended == EditCreated && created && created->gtag() == editTag())) return false;
    editStructure(value, undoName);
    return true;
}

// ---- CheckBoxEditValue

CheckBoxEditValue::CheckBoxEditValue(const CellSeed& seed) : ChoiceCell("CheckBoxEditValue") {
    seedCell(*this, seed, "Check Box Text");
    updateStructure();
}

bool CheckBoxEditValue::respondsTo(std::string_view selector) const {
    static constexpr std::array<std::string_view, 3> own{"setOnValue:", "setOffValue:", "setReloadOnUpdate:"};
    return TextCell::respondsTo(selector) || listed(own, selector);
}

bool CheckBoxEditValue::takeProperty(std::string_view selector, const std::vector<std::string>& values) {
    if (selector == "setOnValue:") onValue_ = first(values);
    else if (selector == "setOffValue:") offValue_ = first(values);
    else if (selector == "setReloadOnUpdate:") reloadOnUpdate_ = first(values) == "yes";
    else return TextCell::takeProperty(selector, values);
    updateStructure();
    return true;
}

void CheckBoxEditValue::sizeToFit(double extra) {
    // The box itself comes before the title.
    TextCell::sizeToFit(extra + 22);
}

void CheckBoxEditValue::updateStructure() {
    auto shown = structure();
    const bool now = shown && shown->contents() == onValue_;
    if (now == checked_) return;
    checked_ = now;
    refresh();
}

void CheckBoxEditValue::structureWillRemove() {
    ChoiceCell::structureWillRemove();
    checked_ = false;
    refresh();
}

void CheckBoxEditValue::buttonClick(bool checked) {
    checked_ = checked;
    if (!commitChoice(checked ? onValue_ : offValue_, kUndoName)) {
        checked_ = !checked;
        refresh();
    }
}

// ---- PopupMenuEditValue

PopupMenuEditValue::PopupMenuEditValue(const CellSeed& seed) : ChoiceCell("PopupMenuEditValue") {
    seedCell(*this, seed, "Popup Menu Text");
}

bool PopupMenuEditValue::respondsTo(std::string_view selector) const {
    static constexpr std::array<std::string_view, 3> own{"appendMenuItem:", "controlSize:", "setReloadOnUpdate:"};
    return TextCell::respondsTo(selector) || listed(own, selector);
}

bool PopupMenuEditValue::takeProperty(std::string_view selector, const std::vector<std::string>& values) {
    const std::string value = first(values);
    if (selector == "appendMenuItem:") {
        appendMenuItem(value);
        return true;
    }
    if (selector == "setReloadOnUpdate:") {
        reloadOnUpdate_ = value == "yes";
        return true;
    }
    if (selector == "controlSize:") {
        static constexpr std::array<std::string_view, 3> sizes{"regular", "small", "mini"};
        auto it = std::find(sizes.begin(), sizes.end(), value);
        if (it == sizes.end()) return false;
        controlSize_ = int(it - sizes.begin());
        refresh();
        return true;
    }
    return TextCell::takeProperty(selector, values);
}

void PopupMenuEditValue::dropForeignItem() {
    if (!foreign_) return;
    titles_.pop_back();
    values_.pop_back();
    foreign_ = false;
}

void PopupMenuEditValue::appendMenuItem(const std::string& text) {
    dropForeignItem();
    const auto colon = text.find(':');
    std::string title = text, value = text;
    if (colon != std::string::npos) {
        title = text.substr(0, colon);
        const bool isDefault = text.compare(colon, 2, "::") == 0;
        value = text.substr(colon + (isDefault ? 2 : 1));
        if (isDefault) defaultValue_ = int(titles_.size());
    }
    titles_.push_back(std::move(title));
    values_.push_back(std::move(value));
    updateStructure();
}

bool PopupMenuEditValue::cellBordered(const std::string& word) {
    static const std::array<std::pair<std::string_view, int>, 6> bezels{
        {{"rounded", 1}, {"yes", 1}, {"regularsquare", 2}, {"shadowlesssquare", 6}, {"texturedsquare", 8}, {"none", 0}}};
    const std::string lower = asciiLower(word);
    for (const auto& [name, style] : bezels)
        if (lower == name) {
            bezel_ = style;
            bordered_ = style != 0;
            refresh();
            return true;
        }
    if (lower == "no") {
        bezel_ = 0;
        bordered_ = false;
        refresh();
        return true;
    }
    return false;
}

void PopupMenuEditValue::sizeToFit(double extra) {
    double widest = 0;
    for (const auto& title : titles_) widest = std::max(widest, measureText(title));
    CellRect frame = viewFrame();
    frame.width = widest + 44 + extra;
    setViewFrame(frame);
}

void PopupMenuEditValue::updateStructure() {
    dropForeignItem();
    auto shown = structure();
    int index = defaultValue_;
    if (shown) {
        const std::string contents = asciiLower(shown->contents());
        auto it = std::find_if(values_.begin(), values_.end(),
                               [&](const std::string& v) { return asciiLower(v) == contents; });
        if (it == values_.end()) {
            titles_.push_back(shown->contents());
            values_.push_back(shown->contents());
            foreign_ = true;
            it = values_.end() - 1;
        }
        index = int(it - values_.begin());
    }
    selected_ = index;
    refresh();
}

void PopupMenuEditValue::structureWillRemove() {
    ChoiceCell::structureWillRemove();
    selected_ = defaultValue_;
    refresh();
}

void PopupMenuEditValue::buttonClick(int index) {
    if (index < 0 || index >= int(values_.size())) return;
    selected_ = index;
    if (!commitChoice(values_[std::size_t(index)], kUndoName)) updateStructure();
}

}  // namespace kl
