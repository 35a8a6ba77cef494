// The questions the browser asks of a pane's cells: which cell gets the
// focus back after a rebuild (the same structure's, else the same place),
// which cell edits a structure shown by a placeholder, and which cells
// hold data before a cell.
#include <gtest/gtest.h>

#include <memory>

#include "browser/EditBackgroundView.h"
#include "cells/HiddenCell.h"
#include "cells/StandInCell.h"
#include "model/GEDCOMRecord.h"
#include "model/GEDCOMStructure.h"

namespace kl {
namespace {

// A stand-in that takes the keyboard, as the value fields will.
class FieldCell : public StandInCell {
public:
    FieldCell(const std::shared_ptr<GEDCOMObject>& structure, std::string tag, int level)
        : StandInCell("editvalue", structure, std::move(tag), level, CellRect{}, nullptr) {}
    bool respondingCell() const override { return true; }
};

class PaneCells : public ::testing::Test {
protected:
    void SetUp() override {
        person = std::make_shared<GEDCOMRecord>("@I1@", "INDI");
        name = person->addLevel(1, "NAME", "Orla /Fenwick/");
        birth = person->addLevel(1, "BIRT", "");
        date = birth->addLevel(2, "DATE", "1850");
    }
    template <class Cell>
    CustomCell* add(const std::shared_ptr<GEDCOMObject>& structure, const std::string& tag, int level) {
        std::shared_ptr<CustomCell> cell;
        if constexpr (std::is_same_v<Cell, HiddenCell>) cell = std::make_shared<HiddenCell>(structure, tag, level);
        else cell = std::make_shared<Cell>(structure, tag, level);
        pane.addCustomCell(cell);
        return cell.get();
    }
    std::shared_ptr<GEDCOMRecord> person;
    std::shared_ptr<GEDCOMStructure> name, birth, date;
    EditBackgroundView pane;
};

TEST_F(PaneCells, FocusReturnsToTheSameStructureElseTheSameIndex) {
    CustomCell* nameCell = add<FieldCell>(name, "NAME", 1);
    add<HiddenCell>(birth, "BIRT", 1);
    CustomCell* dateCell = add<FieldCell>(date, "DATE", 2);
    EXPECT_EQ(pane.cellForStructure(date.get(), 0), dateCell);
    EXPECT_EQ(pane.cellForStructure(nullptr, 1), dateCell);
    EXPECT_EQ(pane.cellForStructure(birth.get(), 7), nameCell) << "past the end: the first";
    EXPECT_EQ(pane.indexOfRespondingCell(dateCell), 1u);
    EXPECT_EQ(pane.setEditTabKeyLoop(), nameCell);
}

TEST_F(PaneCells, APlaceholderHandsOnToTheCellThatEditsBelowIt) {
    CustomCell* placeholder = add<HiddenCell>(birth, "BIRT", 1);
    CustomCell* dateCell = add<FieldCell>(date, "DATE", 2);
    EXPECT_EQ(pane.respondingCellForStructure(birth.get()), dateCell);

    pane.removeCustomCells(false);
    placeholder = add<HiddenCell>(birth, "BIRT", 1);
    add<FieldCell>(name, "NAME", 1);
    EXPECT_EQ(pane.respondingCellForStructure(birth.get()), placeholder) << "a cell of the same level stops the search";
}

TEST_F(PaneCells, DataCellsBeforeACellAreThoseThatHoldData) {
    CustomCell* holder = add<HiddenCell>(person, "INDI", 0);
    auto label = std::make_shared<StandInCell>("static", nullptr, "INDI", 0, CellRect{}, nullptr);
    pane.addCustomCell(label);
    CustomCell* nameCell = add<FieldCell>(name, "NAME", 1);
    CustomCell* dateCell = add<FieldCell>(date, "DATE", 2);
    EXPECT_EQ(pane.dataCellsToCell(dateCell), (std::vector<CustomCell*>{holder, nameCell}));
    EXPECT_EQ(pane.dataCellsToCell(nullptr).size(), 3u);
}

}  // namespace
}  // namespace kl
