#pragma once
// EditPaneCell: the "editpane" cell, the record window's one large text
// pane beside the pane of cells. It binds a structure's text (or, while
// there is none, the template's hint) to the window's pane, commits what
// was typed as one undo step named "Text Pane Change" (line ends as LF,
// tabs as four spaces), carries the split settings the window shares
// itself by (side, fraction), and offers its own menu scripts.
//
// A text that is an HTML block shows as a rendered page when the window's
// HTML source mode asks for it: the cell then has a page file written to
// the working folder (a stored report's with the report style sheet) and
// its view loads it; the mode the cell chose becomes the window's current
// one.
//
// The cell sits in the pane's cell list but not in its flow: the window
// places its view (the pane's scroller) itself.
//
// Ownership and thread: as CustomCell.
#include <string>
#include <vector>

#include "cells/CellKinds.h"
#include "cells/EditValueCell.h"
#include "cells/TextCell.h"

namespace kl {

// What a pane scroll view shows.
enum PaneViewType : int { PaneShowsText = 1, PaneShowsPage = 2 };

class EditPaneCell : public TextCell {
public:
    static constexpr const char* kUndoName = "Text Pane Change";
    // Where a record bound to the pane keeps its text.
    static constexpr const char* kRecordTextTag = "CONC";
    enum Orient : int { Left = 0, Right = 1, Top = 2, Bottom = 3 };

    explicit EditPaneCell(const CellSeed& seed);

    bool dataChangingCell() const override { return true; }
    bool holdsDataCell() const override { return true; }
    // Not in the flow: the window's split shows it.
    bool actionOnFinish() const override { return false; }
    void retileShift(double, double) override {}
    bool respondsTo(std::string_view selector) const override;
    bool takeProperty(std::string_view selector, const std::vector<std::string>& values) override;
    // The first appended text is the hint shown while the structure is missing.
    void appendText(const std::string& text) override;
    void setLocked(bool locked) override;
    // Loads the text and chooses text or page when the pane takes it.
    void setPane(CellPane* pane) override;

    // ---- the split
    int orient() const { return orient_; }
    double fraction() const { return fraction_; }
    bool isVerticalSplit() const { return orient_ < Top; }
    bool isTopOrLeftSplit() const { return orient_ == Left || orient_ == Top; }

    // ---- what the pane shows
    PaneViewType viewType() const { return viewType_; }
    // The page file shown as PaneShowsPage; empty when it could not be written.
    const std::string& pageFile() const { return pageFile_; }
    bool editable() const { return editable_ && !locked_; }
    bool isLocked() const { return locked_; }
    // The text loaded into the pane: the structure's, or the hint.
    const std::string& loadedText() const { return text(); }

    // ---- editing
    bool changed() const { return changed_; }
    void setChanged(bool changed) { changed_ = changed; }
    int endStructureEditing(bool mayRetry) override;
    // Points the text's style-sheet marker at a multimedia record; whether
    // the text changed (it is then marked changed, to be committed).
    bool attachCSS(const std::string& recordID);
    // The text the user sees in the pane (the view's, else the loaded one).
    std::string typedText() const { return view() ? view()->text() : text(); }

    const std::vector<EditValueCell::MenuScript>& menuScripts() const { return menuScripts_; }
    void cellMenuScript(int index) { EditValueCell::runMenuScript(*this, menuScripts_, index); }

protected:
    void updateStructure() override;
    void structureWillRemove() override;

private:
    void loadText();
    std::string hint_;
    bool hintTaken_ = false;
    bool changed_ = false;
    bool editable_ = true;
    bool locked_ = false;
    int orient_ = Bottom;
    double fraction_ = 0.5;
    PaneViewType viewType_ = PaneShowsText;
    std::string pageFile_;
    std::vector<EditValueCell::MenuScript> menuScripts_;
};

}  // namespace kl
