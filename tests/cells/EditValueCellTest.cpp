// The value field's side of editing: a commit only for typed text that
// differs from the structure, under the undo name "Text Cell Change"; and
// the script entries of its menu, whose type word applies to the script
// attached last.
#include <gtest/gtest.h>

#include <memory>

#include "cells/CellPane.h"
#include "cells/OnePane.h"
#include "cells/EditValueCell.h"
#include "foundation/UndoManager.h"
#include "model/GEDCOMRecord.h"
#include "model/GEDCOMStructure.h"

namespace kl {
namespace {

using test::OnePane;
using test::TypedView;

class ValueField : public ::testing::Test {
protected:
    void SetUp() override {
        person = std::make_shared<GEDCOMRecord>("@I1@", "INDI");
        person->setUndoManager(&undo);
        occupation = person->addLevel(1, "OCCU", "Miller");
        pane = std::make_unique<OnePane>(person);
        cell = std::make_shared<EditValueCell>(CellSeed{"editvalue", occupation, "OCCU", 1, "Miller", {}, nullptr, "INDI"});
        cell->setPane(pane.get());
        auto typed = std::make_unique<TypedView>();
        view = typed.get();
        cell->setView(std::move(typed));
    }

    UndoManager undo;
    std::shared_ptr<GEDCOMRecord> person;
    std::shared_ptr<GEDCOMStructure> occupation;
    std::unique_ptr<OnePane> pane;
    std::shared_ptr<EditValueCell> cell;
    TypedView* view = nullptr;
};

TEST_F(ValueField, CommitsOnlyTypedTextThatDiffers) {
    struct Case {
        bool typedSomething;
        const char* text;
        const char* stored;
        bool undoable;
    } cases[] = {
        {false, "Carter", "Miller", false},  // not typed: the view's text is not read
        {true, "Miller", "Miller", false},   // typed back the same
        {true, "Millwright", "Millwright", true},
    };
    for (const Case& c : cases) {
        SetUp();
        view->typed = c.text;
        cell->setChanged(c.typedSomething);
        EXPECT_EQ(cell->endStructureEditing(true), EditSet) << c.text;
        EXPECT_EQ(occupation->contents(), c.stored) << c.text;
        EXPECT_EQ(undo.canUndo(), c.undoable) << c.text;
        EXPECT_FALSE(cell->changed());
        if (c.undoable) {
            EXPECT_EQ(undo.undoActionName(), "Text Cell Change");
            undo.undo();
            EXPECT_EQ(occupation->contents(), "Miller");
            EXPECT_EQ(view->typed, "Miller");
        }
    }
}

TEST_F(ValueField, EmptyingRemovesTheStructureAndEmptiesTheField) {
    view->typed = "";
    cell->setChanged(true);
    EXPECT_EQ(cell->endStructureEditing(true), EditRemoved);
    EXPECT_EQ(person->findChild("OCCU", false), nullptr);
    EXPECT_EQ(cell->structure(), nullptr);
}

TEST(ValueFieldScripts, TypeAndMessageApplyToTheLastScript) {
    using Scripts = std::vector<EditValueCell::MenuScript>;
    Scripts none;
    EXPECT_FALSE(EditValueCell::processScriptLinkType("User", none));
    EXPECT_FALSE(EditValueCell::processScriptMessage("hello", none));
    struct Case {
        const char* word;
        bool taken;
        int type;
    } cases[] = {{"User", true, 1}, {"SYSTEM", true, 0}, {"format", true, 2}, {"other", false, 0}};
    for (const Case& c : cases) {
        Scripts scripts{{"first.py", 0, std::nullopt}, {"second", 0, std::string("before")}};
        EXPECT_EQ(EditValueCell::processScriptLinkType(c.word, scripts), c.taken) << c.word;
        EXPECT_EQ(scripts.back().type, c.type) << c.word;
        // A message given before the type is lost once the type is set.
        EXPECT_EQ(scripts.back().message.has_value(), !c.taken) << c.word;
        EXPECT_EQ(scripts.front().name, "first.py");
    }
}

}  // namespace
}  // namespace kl
