#pragma once
// EditDateCell: the one-line field of a GEDCOM date. It shows the stored
// date as the user wants dates shown, takes what the user types through the
// date engine and stores its normalised form (undo name "Date Change"), and
// refuses an invalid entry with an alert that lets the user try again or go
// back to the stored date. Its menu adds the date tools above the value
// field's items: the other calendars (choosing one stores it at once), the
// day of the week, the individual's age on that date (copied), and the hand-off to
// Tempolin.
//
// All date work is the date bridge's; the cell adds no date rules.
// Ownership and thread: as CustomCell.
#include <string>
#include <vector>

#include "cells/EditValueCell.h"

namespace kl {

class EditDateCell : public EditValueCell {
public:
    static constexpr const char* kUndoName = "Date Change";
    static constexpr const char* kInvalidDate = "Invalid date was entered";
    static constexpr const char* kTryAgain = "Try Again";
    static constexpr const char* kRevert = "Revert";
    static constexpr const char* kRevertOnClose = " (since window is closing, the date will revert to previous text)";
    static constexpr int kConvertTag = 20001;
    static constexpr int kCopyAgeTag = 20002;
    static constexpr int kTempolinTag = 7003;

    explicit EditDateCell(const CellSeed& seed);
    ~EditDateCell() override;

    // 1 stored or nothing to store; 0 refused (the user tries again).
    int endStructureEditing(bool mayRetry) override;
    std::vector<MenuItem> menuItems() const override;
    void cellMenuAction(int tag, const std::string& title = {}) override;

protected:
    void updateStructure() override;
};

}  // namespace kl
