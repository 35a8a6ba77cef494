// Check boxes and pop-up menus: what they show for a structure, present or
// missing, and what a click or a pick writes, each as one undo step.
#include <gtest/gtest.h>

#include <map>
#include <memory>

#include "cells/CellPane.h"
#include "cells/OnePane.h"
#include "cells/ChoiceCells.h"
#include "foundation/UndoManager.h"
#include "model/GEDCOMRecord.h"
#include "model/GEDCOMStructure.h"

namespace kl {
namespace {

using test::OnePane;

// Titles of known widths.
class MeasuringView : public CellView {
public:
    void setFrame(const CellRect&) override {}
    void refresh(const CustomCell&) override {}
    double textWidth(const std::string& text) const override {
        auto it = widths.find(text);
        return it == widths.end() ? 0 : it->second;
    }
    double textHeight() const override { return 15; }
    std::string text() const override { return {}; }
    std::map<std::string, double> widths;
};

class Choices : public ::testing::Test {
protected:
    void SetUp() override {
        person = std::make_shared<GEDCOMRecord>("@I1@", "INDI");
        person->setUndoManager(&undo);
        pane = std::make_unique<OnePane>(person);
    }
    template <class Cell>
    std::shared_ptr<Cell> make(const std::string& tag, const std::shared_ptr<GEDCOMStructure>& structure = nullptr) {
        auto cell = std::make_shared<Cell>(CellSeed{"", structure, tag, 1, "", {0, 0, 100, 20}, nullptr, "INDI"});
        cell->setPane(pane.get());
        return cell;
    }
    std::string contents(const std::string& tag) {
        auto found = person->findChild(tag, false);
        return found ? found->contents() : "(none)";
    }

    UndoManager undo;
    std::shared_ptr<GEDCOMRecord> person;
    std::unique_ptr<OnePane> pane;
};

TEST_F(Choices, MenuItemsSplitIntoTitleValueAndDefault) {
    auto menu = make<PopupMenuEditValue>("SEX");
    for (const char* item : {"Plain", "Male:M", "Blank:", "Unknown::U", "Not recorded::"}) menu->appendMenuItem(item);
    EXPECT_EQ(menu->titles(), (std::vector<std::string>{"Plain", "Male", "Blank", "Unknown", "Not recorded"}));
    EXPECT_EQ(menu->values(), (std::vector<std::string>{"Plain", "M", "", "U", ""}));
    // The later default wins and is shown for the missing structure.
    EXPECT_EQ(menu->defaultValue(), 4);
    EXPECT_EQ(menu->selectedItem(), 4);
}

TEST_F(Choices, AForeignValueAddsASelectedLastItemAndCaseDoesNotMatter) {
    auto sex = person->addLevel(1, "SEX", "f");
    auto menu = make<PopupMenuEditValue>("SEX", sex);
    for (const char* item : {"Male:M", "Female:F"}) menu->appendMenuItem(item);
    EXPECT_EQ(menu->selectedItem(), 1);
    sex->setContents("X");
    EXPECT_EQ(menu->titles().back(), "X");
    EXPECT_EQ(menu->selectedItem(), 2);
}

TEST_F(Choices, SizeToFitTakesTheWidestTitle) {
    auto menu = make<PopupMenuEditValue>("SEX");
    auto view = std::make_unique<MeasuringView>();
    view->widths = {{"a", 20}, {"b", 60}, {"c", 40}};
    menu->setView(std::move(view));
    menu->sizeToFit(10);
    EXPECT_EQ(menu->viewFrame().width, 54);  // no items yet
    for (const char* item : {"a", "b", "c"}) menu->appendMenuItem(item);
    menu->sizeToFit(10);
    EXPECT_EQ(menu->viewFrame().width, 114);
}

TEST_F(Choices, PickingWritesCreatesAndRemovesAsOneStep) {
    auto sex = person->addLevel(1, "SEX", "M");
    auto menu = make<PopupMenuEditValue>("SEX", sex);
    for (const char* item : {"Male:M", "Female:F", "Not recorded::"}) menu->appendMenuItem(item);
    menu->buttonClick(1);
    EXPECT_EQ(contents("SEX"), "F");
    EXPECT_EQ(undo.undoActionName(), "Menu Selection");
    menu->buttonClick(2);
    EXPECT_EQ(contents("SEX"), "(none)");
    undo.undo();
    EXPECT_EQ(contents("SEX"), "F");
}

TEST_F(Choices, APickThatClashesWithAPendingEditIsDropped) {
    auto menu = make<PopupMenuEditValue>("SEX");
    for (const char* item : {"Male:M", "Female:F", "Not recorded::"}) menu->appendMenuItem(item);
    // An empty pick without a structure changes nothing.
    menu->buttonClick(2);
    EXPECT_FALSE(undo.canUndo());
    EXPECT_EQ(person->findChild("CHAN", false), nullptr);
    // The user went back to the field being edited.
    pane->ending = EditRefused;
    menu->buttonClick(1);
    EXPECT_EQ(contents("SEX"), "(none)");
    EXPECT_EQ(menu->selectedItem(), 2);
    pane->ending = EditSet;
    menu->buttonClick(1);
    EXPECT_EQ(contents("SEX"), "F");
}

TEST_F(Choices, CheckBoxShowsAndWritesItsOnAndOffValues) {
    auto flag = person->addLevel(1, "_FLAG", "N");
    auto box = make<CheckBoxEditValue>("_FLAG", flag);
    EXPECT_FALSE(box->checked());
    box->buttonClick(true);
    EXPECT_EQ(contents("_FLAG"), "Y");
    EXPECT_EQ(undo.undoActionName(), "Check Box Setting");
    EXPECT_TRUE(box->checked());
    // The default off value is empty: unchecking removes the structure.
    box->buttonClick(false);
    EXPECT_EQ(contents("_FLAG"), "(none)");
    EXPECT_FALSE(box->checked());
    undo.undo();
    EXPECT_EQ(contents("_FLAG"), "Y");
}

TEST_F(Choices, CheckBoxGoesBackWhenThePendingEditIsKept) {
    auto box = make<CheckBoxEditValue>("_FLAG");
    pane->ending = EditRefused;
    box->buttonClick(true);
    EXPECT_FALSE(box->checked());
    EXPECT_EQ(contents("_FLAG"), "(none)");
}

TEST_F(Choices, PopupBorderWordsAndControlSizes) {
    auto menu = make<PopupMenuEditValue>("SEX");
    struct Case {
        const char* word;
        bool taken;
        int bezel;
    } borders[] = {{"Rounded", true, 1}, {"REGULARSQUARE", true, 2}, {"shadowlesssquare", true, 6},
                   {"texturedsquare", true, 8},   {"no", true, 0},  {"sideways", false, 0}};
    for (const Case& c : borders) {
        EXPECT_EQ(menu->cellBordered(c.word), c.taken) << c.word;
        if (c.taken) {
            EXPECT_EQ(menu->bezelStyle(), c.bezel) << c.word;
        }
    }
    EXPECT_TRUE(menu->takeProperty("controlSize:", {"small"}));
    EXPECT_EQ(menu->controlSize(), 1);
    EXPECT_FALSE(menu->takeProperty("controlSize:", {"Mini"}));
    EXPECT_FALSE(make<CheckBoxEditValue>("_FLAG")->cellBordered("rounded"));
}

}  // namespace
}  // namespace kl
