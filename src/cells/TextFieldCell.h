#pragma once
// The multi-line text cells of a record pane. A TextFieldCell grows with its
// text between a least height (44 points) and a greatest one, past which it
// scrolls.
//
// EditTextCell: the editable multi-line text of a structure ("editfield",
// and "editvalue" or "editurl" over a value of several lines). Its commit
// stores the text with LF line ends and four spaces for each tab, as one
// undo step named "Text Cell Change" that replaces the keystrokes typed.
//
// StaticFieldCell: read-only multi-line text in the "Static Text" style
// ("staticfield"); it keeps no undo.
//
// Ownership and thread: as CustomCell.
#include <limits>
#include <string>
#include <vector>

#include "cells/CellKinds.h"
#include "cells/EditValueCell.h"
#include "cells/TextCell.h"

namespace kl {

class TextFieldCell : public TextCell {
public:
    static constexpr double kLeastHeight = 44;
    static constexpr double kDefaultWidth = 161;

    TextFieldCell(const CellSeed& seed, std::string className);

    double minHeight() const { return minHeight_; }
    double maxHeight() const { return maxHeight_; }
    void setMinHeight(double height) override { minHeight_ = height; }
    void setMaxHeight(double height) override { maxHeight_ = height; }
    // Raised to the least height, lowered to the greatest.
    void cellChangedSize() override;
    // The laid-out text plus extra plus 1, within the limits.
    void sizeToFit(double extra) override;
    void sizeToWidth() override { sizeToFit(0); }
    bool cellBordered(const std::string& word) override;
    bool cellAlignment(const std::string& word) override;
    // 0 none, 1 line, 2 bezel, 3 groove.
    int borderStyle() const { return border_; }
    // Whether the text is taller than the cell (it scrolls).
    bool scrolls() const;
    virtual bool editable() const { return false; }

private:
    double minHeight_ = kLeastHeight;
    double maxHeight_ = std::numeric_limits<double>::max();
    int border_ = 2;
};

class EditTextCell : public TextFieldCell {
public:
    static constexpr const char* kUndoName = "Text Cell Change";

    explicit EditTextCell(const CellSeed& seed);

    bool dataChangingCell() const override { return true; }
    bool holdsDataCell() const override { return true; }
    bool respondingCell() const override { return true; }
    bool editable() const override { return !locked_; }
    bool respondsTo(std::string_view selector) const override;
    bool takeProperty(std::string_view selector, const std::vector<std::string>& values) override;
    // The text shows only its structure.
    void appendText(const std::string&) override {}
    void setLocked(bool locked) override;

    bool changed() const { return changed_; }
    void setChanged(bool changed) { changed_ = changed; }
    int endStructureEditing(bool mayRetry) override;
    // Line ends as LF, tabs as four spaces.
    static std::string normalised(const std::string& text);

    // "Attach/Edit Memo" above the template's scripts.
    std::vector<EditValueCell::MenuItem> menuItems() const;
    void cellMenuAction(int tag);
    void cellMenuScript(int index);
    bool canAttachQuickComment() const;

protected:
    void updateStructure() override;
    void structureWillRemove() override;

private:
    std::string typedText() const { return view() ? view()->text() : text(); }
    bool changed_ = false;
    bool locked_ = false;
    std::vector<EditValueCell::MenuScript> menuScripts_;
};

class StaticFieldCell : public TextFieldCell {
public:
    explicit StaticFieldCell(const CellSeed& seed, std::string className = "StaticFieldCell");
};

}  // namespace kl
