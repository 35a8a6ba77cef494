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
    static constexpr int kAttachMemoTag = 10003;
    // The colour of the editing settings behind typed text.
    static constexpr const char* kEditingBackground = "Editing Background";

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
        bool enabled = true;
        bool separatorAfter = false;
    };
    virtual std::vector<MenuItem> menuItems() const;
    static std::string scriptTitle(const MenuScript& script);
    // title: the chosen item's (the date items carry their value in it).
    virtual void cellMenuAction(int tag, const std::string& title = {});
    void cellMenuScript(int index);
    // Shared with the multi-line text: the quick-comment editor opens once
    // the cell's typing is stored (after the rebuild when that made the
    // structure); a script item first ends the pane's editing.
    static void handOffQuickComment(CustomCell& cell, bool allowed);
    static void runMenuScript(CustomCell& cell, const std::vector<MenuScript>& scripts, int index);

    // The text in the field: what the user typed, or the cell's own.
    std::string fieldText() const;
    // Whether the quick-comment editor may open for the field.
    bool canAttachQuickComment() const;

    // What the field's editor reports of clicks and of losing the focus
    // (the address field opens and relocks itself through them).
    // selectedNothing: the click left no selection.
    virtual void beginMouseDown(bool altHeld) { (void)altHeld; }
    virtual void endMouseDown(bool selectedNothing) { (void)selectedNothing; }
    virtual void aboutToResignFirstResponder() {}
    // Whether the user may type into the field now (a locked record's may
    // not; an address field only while it is being edited).
    virtual bool fieldEditable() const { return !locked_; }

protected:
    void updateStructure() override;
    void structureWillRemove() override;
    // Shows a text, and the field follows it.
    void showText(std::string text) { setText(std::move(text)); }

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
