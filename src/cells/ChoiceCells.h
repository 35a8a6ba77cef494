#pragma once
// The cells that edit a value by choice rather than typing, both standing
// for the structure of the template's frame, which may not exist yet (a
// choice then creates it at its place):
//
// CheckBoxEditValue ("checkboxedit"): writes its on value when checked and
// its off value when unchecked; an empty value removes the structure.
// Undo name "Check Box Setting".
//
// PopupMenuEditValue ("popupmenuedit"): writes the value of the item chosen
// from its menu ("Title:value", "Title::value" marks the item shown while
// the structure is missing). Contents outside the list show as an extra
// last item. Undo name "Menu Selection".
//
// A choice made while another cell still holds typing first ends that
// editing; when the user keeps editing, or that commit created a structure
// of this very tag, the choice is dropped and the control shows the stored
// state again, so that no second structure is made.
//
// Ownership and thread: as CustomCell.
#include <string>
#include <vector>

#include "cells/CellKinds.h"
#include "cells/TextCell.h"

namespace kl {

class ChoiceCell : public TextCell {
public:
    using TextCell::TextCell;
    bool dataChangingCell() const override { return true; }
    bool holdsDataCell() const override { return true; }
    bool locked() const { return locked_; }
    void setLocked(bool locked) override;
    bool reloadOnUpdate() const { return reloadOnUpdate_; }

protected:
    // Commits a chosen value; false when the choice was dropped.
    bool commitChoice(const std::string& value, const std::string& undoName);
    bool reloadOnUpdate_ = false;

private:
    bool locked_ = false;
};

class CheckBoxEditValue : public ChoiceCell {
public:
    static constexpr const char* kUndoName = "Check Box Setting";
    explicit CheckBoxEditValue(const CellSeed& seed);

    bool respondsTo(std::string_view selector) const override;
    bool takeProperty(std::string_view selector, const std::vector<std::string>& values) override;
    bool cellBordered(const std::string&) override { return false; }
    void sizeToFit(double extra) override;

    const std::string& onValue() const { return onValue_; }
    const std::string& offValue() const { return offValue_; }
    bool checked() const { return checked_; }
    // The user toggled the box; checked is its new state.
    void buttonClick(bool checked);

protected:
    void updateStructure() override;
    void structureWillRemove() override;

private:
    std::string onValue_ = "Y";
    std::string offValue_;
    bool checked_ = false;
};

class PopupMenuEditValue : public ChoiceCell {
public:
    static constexpr const char* kUndoName = "Menu Selection";
    explicit PopupMenuEditValue(const CellSeed& seed);

    bool respondsTo(std::string_view selector) const override;
    bool takeProperty(std::string_view selector, const std::vector<std::string>& values) override;
    bool cellBordered(const std::string& word) override;
    void sizeToFit(double extra) override;
    void sizeToWidth() override { sizeToFit(0); }

    void appendMenuItem(const std::string& text);
    const std::vector<std::string>& titles() const { return titles_; }
    const std::vector<std::string>& values() const { return values_; }
    int defaultValue() const { return defaultValue_; }
    int selectedItem() const { return selected_; }
    // 0 none, 1 rounded, 2 regular square, 6 shadowless square, 8 textured square.
    int bezelStyle() const { return bezel_; }
    bool bordered() const { return bordered_; }
    // 0 regular, 1 small, 2 mini.
    int controlSize() const { return controlSize_; }
    // The user chose the item at index.
    void buttonClick(int index);
    // Shows the structure's value (or the default item without one).
    void updateStructure() override;

protected:
    void structureWillRemove() override;

private:
    void dropForeignItem();
    std::vector<std::string> titles_;
    std::vector<std::string> values_;
    int defaultValue_ = 0;
    int selected_ = 0;
    int bezel_ = 0;
    bool bordered_ = true;
    int controlSize_ = 0;
    bool foreign_ = false;  // the last item shows contents outside the list
};

}  // namespace kl
