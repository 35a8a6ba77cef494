#pragma once
// EditValueCell: the one-line editable field of a record pane, bound to one
// structure (or to the tag and level the structure gets when the field
// creates it). Its view reports typing (setChanged) and ends editing when
// the field loses the focus or the user presses Return or Tab; the cell then
// compares the text with its structure and commits through editStructure as
// one undo step named "Text Cell Change". EditFileCell, the field of a
// multimedia object's file path, commits the same way.
//
// Ownership and thread: as CustomCell.
#include <optional>
#include <string>
#include <vector>

#include "cells/CellKinds.h"
#include "cells/TextCell.h"

namespace kl {

class EditValueCell : public TextCell {
public:
    static constexpr const char* kUndoName = "Text Cell Change";

    explicit EditValueCell(const CellSeed& seed, std::string className = "EditValueCell");

    bool dataChangingCell() const override { return true; }
    bool holdsDataCell() const override { return true; }
    bool respondingCell() const override { return true; }
    std::string description() const override;

    bool respondsTo(std::string_view selector) const override;
    // A value field shows only its structure.
    void appendText(const std::string&) override {}
    void sizeToFit(double extra) override { TextCell::sizeToFit(extra + 4); }
    bool takeProperty(std::string_view selector, const std::vector<std::string>& values) override;

    bool changed() const { return changed_; }
    void setChanged(bool changed) { changed_ = changed; }
    bool reloadOnUpdate() const { return reloadOnUpdate_; }
    bool locked() const { return locked_; }
    void setLocked(bool locked) override;
    int endStructureEditing(bool mayRetry) override;

    // Scripts of the field's menu: name, type (0 system, 1 user, 2 format)
    // and an optional message.
    struct MenuScript {
        std::string name;
        int type = 0;
        std::optional<std::string> message;
    };
    const std::vector<MenuScript>& menuScripts() const { return menuScripts_; }
    // The type word applies to the script attached last; false when there
    // is none or the word is unknown.
    static bool processScriptLinkType(const std::string& word, std::vector<MenuScript>& scripts);
    static bool processScriptMessage(const std::string& text, std::vector<MenuScript>& scripts);

    // The field's own menu items, top to bottom: "Attach/Edit Memo"
    // (10003), for places "Google maps search" (10002), "Google search"
    // (10001), then the scripts (tag: their index).
    struct MenuItem {
        std::string title;
        int tag = 0;
        bool script = false;
    };
    std::vector<MenuItem> menuItems() const;
    static std::string scriptTitle(const MenuScript& script);
    void cellMenuAction(int tag);
    void cellMenuScript(int index);

protected:
    void updateStructure() override;
    void structureWillRemove() override;

private:
    bool changed_ = false;
    bool reloadOnUpdate_ = false;
    bool locked_ = false;
    std::vector<MenuScript> menuScripts_;
};

// EditFileCell: the field of a multimedia object's file path; it commits
// as a value field does.
class EditFileCell : public EditValueCell {
public:
    explicit EditFileCell(const CellSeed& seed) : EditValueCell(seed, "EditFileCell") {}
};

}  // namespace kl
