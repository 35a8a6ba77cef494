// The commit of an edited value into the GEDCOM tree: contents set in
// place, emptied structures removed with their emptied parents, missing
// structures created with their missing parents after the nearest earlier
// structure of their level, each as one undo step that stamps the change
// date; and a value with no parent to go under is refused audibly.
#include <gtest/gtest.h>

#include <memory>
#include <vector>

#include "cells/CellPane.h"
#include "cells/StandInCell.h"
#include "foundation/UndoManager.h"
#include "model/GEDCOMRecord.h"
#include "model/GEDCOMStructure.h"

namespace kl {
namespace {

// The cells of a pane in layout order, over one record.
class FakePane : public CellPane {
public:
    explicit FakePane(std::shared_ptr<GEDCOMRecord> record) : record_(std::move(record)) {}
    std::shared_ptr<GEDCOMRecord> paneRecord() const override { return record_; }
    std::vector<CustomCell*> dataCellsToCell(const CustomCell* cell) const override {
        std::vector<CustomCell*> data;
        for (const auto& c : cells)
            if (c.get() == cell) break;
            else if (c->holdsDataCell()) data.push_back(c.get());
        return data;
    }
    // A data cell for a structure present (or, without one, for a tag and level).
    CustomCell* add(const std::shared_ptr<GEDCOMObject>& structure, const std::string& tag = {}, int level = 0) {
        auto cell = std::make_shared<StandInCell>("editvalue", structure, structure ? structure->gtag() : tag,
                                                  structure ? structure->glevel() : level, CellRect{}, nullptr);
        cell->setPane(this);
        cells.push_back(cell);
        return cell.get();
    }
    std::vector<std::shared_ptr<CustomCell>> cells;

private:
    std::shared_ptr<GEDCOMRecord> record_;
};

class Commit : public ::testing::Test {
protected:
    void SetUp() override {
        GEDCOMRecord::setTrackingChangeDates(true);
        person = std::make_shared<GEDCOMRecord>("@I1@", "INDI");
        person->setUndoManager(&undo);
        name = person->addLevel(1, "NAME", "Orla /Fenwick/");
        pane = std::make_unique<FakePane>(person);
        pane->add(person);
    }
    void TearDown() override { GEDCOMRecord::setTrackingChangeDates(false); }
    std::string gedcom() const {
        std::string text;
        for (const auto& s : person->structures())
            if (s->gtag() != "CHAN") text += s->gedcomString();
        return text;
    }
    bool stamped() const { return person->findChild("CHAN", false) != nullptr; }

    UndoManager undo;
    std::shared_ptr<GEDCOMRecord> person;
    std::shared_ptr<GEDCOMStructure> name;
    std::unique_ptr<FakePane> pane;
};

TEST_F(Commit, ClearingAFieldWithChildrenKeepsItEmptyWithoutItsComment) {
    name->addLevel(2, "GIVN", "Orla");
    name->setQuickComment("as spoken");
    CustomCell* cell = pane->add(name);
    EXPECT_EQ(cell->editStructure("", std::nullopt), EditSet);
    EXPECT_EQ(gedcom(), "1 NAME\n2 GIVN Orla\n");
    EXPECT_FALSE(name->quickComment());
    EXPECT_TRUE(stamped());
}

TEST_F(Commit, ClearingTheOnlyChildOfAnEmptyEventClimbsUntilSomethingStays) {
    struct Case {
        const char* event;
        const char* left;
    } cases[] = {
        {"", ""},                                // the empty event goes with its date
        {"Y", "1 BIRT Y\n"},                     // an event with contents stays
        {"+PLAC", "1 BIRT\n2 PLAC Millbrook\n"}, // so does one with a second child
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.event);
        person->removeChild("BIRT", true);
        pane->cells.resize(1);
        const std::string event = c.event;
        auto birth = person->addLevel(1, "BIRT", event == "+PLAC" ? "" : event);
        auto date = birth->addLevel(2, "DATE", "1850");
        if (event == "+PLAC") birth->addLevel(2, "PLAC", "Millbrook");
        pane->add(name);
        pane->add(birth);
        CustomCell* cell = pane->add(date);
        const int result = cell->editStructure("", std::nullopt);
        EXPECT_EQ(result, EditRemoved);
        EXPECT_EQ(gedcom(), std::string("1 NAME Orla /Fenwick/\n") + c.left);
    }
}

TEST_F(Commit, AValueUnderAMissingEventCreatesBothInOneStep) {
    pane->add(name);
    pane->add(nullptr, "BIRT", 1);
    CustomCell* date = pane->add(nullptr, "DATE", 2);
    person->addLevel(1, "NOTE", "later");
    const std::size_t steps = undo.undoCount();
    EXPECT_EQ(date->editStructure("3 MAR 1850", std::string("Date Change")), EditCreated);
    EXPECT_EQ(gedcom(), "1 NAME Orla /Fenwick/\n1 BIRT\n2 DATE 3 MAR 1850\n1 NOTE later\n");
    EXPECT_EQ(undo.undoCount(), steps + 1);
    EXPECT_EQ(undo.undoActionName(), "Date Change");
    undo.undo();
    EXPECT_EQ(gedcom(), "1 NAME Orla /Fenwick/\n1 NOTE later\n");
}

TEST_F(Commit, AnEmptyValueWithoutStructureOnlyStampsTheChange) {
    CustomCell* cell = pane->add(nullptr, "OCCU", 1);
    EXPECT_EQ(cell->editStructure("", std::nullopt), EditSet);
    EXPECT_EQ(gedcom(), "1 NAME Orla /Fenwick/\n");
    EXPECT_TRUE(stamped());
}

// Without the record's own cell the search finds no parent: a level-1
// structure still goes into the record, anything deeper is refused.
TEST_F(Commit, WithoutAParentOnlyLevelOneStructuresAreMade) {
    pane->cells.clear();
    CustomCell* occupation = pane->add(nullptr, "OCCU", 1);
    EXPECT_EQ(occupation->editStructure("Miller", std::nullopt), EditCreated);
    EXPECT_EQ(gedcom(), "1 OCCU Miller\n1 NAME Orla /Fenwick/\n");

    person->removeChild("CHAN", true);
    pane->cells.clear();
    CustomCell* date = pane->add(nullptr, "DATE", 2);
    EXPECT_EQ(date->editStructure("1850", std::nullopt), EditSet);
    EXPECT_EQ(gedcom(), "1 OCCU Miller\n1 NAME Orla /Fenwick/\n");
    EXPECT_FALSE(stamped());
}

TEST(CellDescription, NamesAnUnboundCellByItsTagAndLevel) {
    StandInCell cell("editvalue", nullptr, "NAME", 1, CellRect{}, nullptr);
    EXPECT_EQ(cell.description(), "StandInCell: empty: 1 NAME");
}

}  // namespace
}  // namespace kl
