#pragma once
// EditNameCell: the field of a personal name. It shows "John /Smith/" as
// "John Smith" (a name it could not read back unchanged stays in its GEDCOM
// form) and stores what is typed in the GEDCOM form: "Smith, John" becomes
// "John /Smith/", a missing closing slash is added, any other text takes its
// last word as surname. Undo name "Name Change". Its menu offers the
// outside genealogy search for the record ("FamilySearch").
//
// EditURLCell: the field of a web address. A long address is read-only and
// opens on a click; an Alt-click or "Edit Hyperlink (or option click)" makes
// it editable, and it is read-only again once the user leaves it. A short
// one (at most 10 characters) is taken to be still being typed and stays
// editable.
//
// Ownership and thread: as CustomCell.
#include <string>
#include <vector>

#include "cells/EditValueCell.h"

namespace kl {

class EditNameCell : public EditValueCell {
public:
    static constexpr const char* kUndoName = "Name Change";
    static constexpr int kFamilySearchTag = 10006;

    explicit EditNameCell(const CellSeed& seed);
    int endStructureEditing(bool mayRetry) override;
    std::vector<MenuItem> menuItems() const override;
    void cellMenuAction(int tag, const std::string& title = {}) override;
    // The name as the field shows it.
    static std::string shownName(const std::string& name);

protected:
    void updateStructure() override;
};

class EditURLCell : public EditValueCell {
public:
    static constexpr int kEditHyperlinkTag = 10005;
    static constexpr std::size_t kShortAddress = 10;
    // A click on fewer characters opens nothing.
    static constexpr std::size_t kShortestOpened = 6;

    explicit EditURLCell(const CellSeed& seed);
    ~EditURLCell() override;

    bool respondingCell() const override;
    // Asked when the focus comes back after a rebuild: a short value is
    // made editable and takes it.
    bool canEditNew();
    bool fieldEditable() const override { return EditValueCell::fieldEditable() && editing_; }
    std::vector<MenuItem> menuItems() const override;
    void cellMenuAction(int tag, const std::string& title = {}) override;

    void beginMouseDown(bool altHeld) override;
    void endMouseDown(bool selectedNothing) override;
    void aboutToResignFirstResponder() override;
    // The field is being edited and holds an address too long to be typing.
    bool shouldLock() const;
    // After the user left the field: an address is read-only again.
    void relockField();

private:
    bool isShort() const;
    void setEditing(bool editing);
    bool editing_ = false;
    bool inMouseDown_ = false;
};

}  // namespace kl
