// The fields with rules of their own: a date is validated and stored in its
// normalised form, an invalid one refused with the choice to try again or
// revert; a name is stored in its GEDCOM form and shown without slashes; a
// long address opens on a click and is edited only on request; text with
// line breaks becomes one line; a quick comment is one line and one step.
#include <gtest/gtest.h>

#include <memory>

#include "app/AppController.h"
#include "cells/EditDateCell.h"
#include "cells/NameAndURLCells.h"
#include "cells/OneLineText.h"
#include "cells/OnePane.h"
#include "cells/QuickComment.h"
#include "cells/TextFieldCell.h"
#include "dates/DateBridge.h"
#include "foundation/InlineDispatcher.h"
#include "foundation/UndoManager.h"
#include "model/GEDCOMStructure.h"
#include "model/INDIRecord.h"
#include "model/ModelAlerts.h"

namespace kl {
namespace {

using test::OnePane;
using test::TypedView;

// Answers alerts with a chosen button and remembers what they said.
class ScriptedAlerts : public ModelAlerts {
public:
    int runAlert(Style, const std::string& message, const std::string& informative,
                 const std::vector<std::string>& buttons) override {
        shown.push_back({message, informative, buttons});
        return answer;
    }
    struct Shown {
        std::string message, informative;
        std::vector<std::string> buttons;
    };
    std::vector<Shown> shown;
    int answer = 0;
};

class RecordingPane : public OnePane {
public:
    using OnePane::OnePane;
    void tryFamilySearch() override { ++searches; }
    void openTempolin(const std::string& date) override { tempolin.push_back(date); }
    int searches = 0;
    std::vector<std::string> tempolin;
};

class TypedFields : public ::testing::Test {
protected:
    void SetUp() override {
        previous = Dispatcher::setCurrent(&dispatcher);
        ModelAlerts::install(alerts);
        person = std::make_shared<INDIRecord>("@I1@");
        person->setUndoManager(&undo);
        auto birth = person->addLevel(1, "BIRT", "");
        birth->addLevel(2, "DATE", "5 MAR 1820");
        burial = person->addLevel(1, "BURI", "");
        burialDate = burial->addLevel(2, "DATE", "1890");
        name = person->addLevel(1, "NAME", "Orla /Fenwick/");
        pane = std::make_unique<RecordingPane>(person);
    }
    void TearDown() override {
        ModelAlerts::install(nullptr);
        Dispatcher::setCurrent(previous);
    }
    // A cell of kind T over a structure, with a view the test types into.
    template <class T>
    std::shared_ptr<T> make(const std::shared_ptr<GEDCOMStructure>& structure, const std::string& tag = "DATE",
                            int level = 2) {
        auto cell = std::make_shared<T>(CellSeed{"", structure, tag, level, structure ? structure->contents() : "", {}, nullptr, "INDI"});
        cell->setPane(pane.get());
        auto typed = std::make_unique<TypedView>();
        view = typed.get();
        cell->setView(std::move(typed));
        return cell;
    }
    static std::vector<std::string> titles(const EditValueCell& cell) {
        std::vector<std::string> all;
        for (const auto& item : cell.menuItems()) all.push_back(item.title);
        return all;
    }
    static bool hasTitleStarting(const EditValueCell& cell, const std::string& start) {
        for (const auto& title : titles(cell))
            if (title.starts_with(start)) return true;
        return false;
    }

    InlineDispatcher dispatcher;
    Dispatcher* previous = nullptr;
    std::shared_ptr<ScriptedAlerts> alerts = std::make_shared<ScriptedAlerts>();
    UndoManager undo;
    std::shared_ptr<INDIRecord> person;
    std::shared_ptr<GEDCOMStructure> burial, burialDate, name;
    std::unique_ptr<RecordingPane> pane;
    TypedView* view = nullptr;
};

TEST_F(TypedFields, ADateIsStoredNormalisedAndShownInDisplayForm) {
    auto cell = make<EditDateCell>(burialDate);
    EXPECT_EQ(view->typed, userDisplayDate("1890"));

    view->typed = "abt 5 mar 1850";
    cell->setChanged(true);
    EXPECT_EQ(cell->endStructureEditing(true), EditSet);
    EXPECT_EQ(burialDate->contents(), "ABT 5 MAR 1850");
    EXPECT_EQ(view->typed, userDisplayDate("ABT 5 MAR 1850"));
    EXPECT_EQ(undo.undoActionName(), "Date Change");

    // The shown form, typed again, stores nothing.
    while (undo.canUndo()) undo.undo();
    undo.removeAllActions();
    cell = make<EditDateCell>(burialDate);
    view->typed = userDisplayDate("1890");
    cell->setChanged(true);
    EXPECT_EQ(cell->endStructureEditing(true), EditSet);
    EXPECT_FALSE(undo.canUndo());
    EXPECT_TRUE(alerts->shown.empty());
}

TEST_F(TypedFields, AnInvalidDateAsksToTryAgainOrRevert) {
    struct Case {
        bool mayRetry;
        int answer;
        int result;
        std::vector<std::string> buttons;
        bool closing;
    } cases[] = {
        {true, 0, EditRefused, {"Try Again", "Revert"}, false},
        {true, 1, EditSet, {"Try Again", "Revert"}, false},
        {false, 0, EditSet, {"Revert"}, true},
    };
    for (const Case& c : cases) {
        alerts->shown.clear();
        alerts->answer = c.answer;
        auto cell = make<EditDateCell>(burialDate);
        view->typed = "5 Blorch 1850";
        cell->setChanged(true);
        EXPECT_EQ(cell->endStructureEditing(c.mayRetry), c.result);
        EXPECT_EQ(burialDate->contents(), "1890");
        ASSERT_EQ(alerts->shown.size(), 1u);
        EXPECT_EQ(alerts->shown[0].message, "Invalid date was entered");
        EXPECT_EQ(alerts->shown[0].buttons, c.buttons);
        const std::string& informative = alerts->shown[0].informative;
        EXPECT_FALSE(informative.empty());
        EXPECT_EQ(informative.ends_with(EditDateCell::kRevertOnClose), c.closing) << informative;
        if (c.result == EditRefused) {
            // The field keeps the entry and gets the focus back on the next
            // turn, still to be checked when left again.
            EXPECT_EQ(view->typed, "5 Blorch 1850");
            dispatcher.drain();
            EXPECT_TRUE(cell->changed());
            EXPECT_EQ(view->focused, 1);
        } else {
            EXPECT_EQ(view->typed, userDisplayDate("1890"));
        }
    }
    EXPECT_FALSE(undo.canUndo());
}

TEST_F(TypedFields, TheDateMenuOffersWhatTheDateAllows) {
    auto cell = make<EditDateCell>(burialDate);
    struct Case {
        const char* date;
        bool conversions, dayOfWeek, age, tempolin;
    } cases[] = {
        {"5 MAR 1850", true, true, true, true},
        {"BET 1850 AND 1860", true, false, true, true},
        {"5 Blorch 1850", false, false, false, false},
        {"", false, false, false, true},
    };
    for (const Case& c : cases) {
        view->typed = c.date;
        EXPECT_EQ(hasTitleStarting(*cell, "Convert to Julian -> "), c.conversions) << c.date;
        EXPECT_EQ(hasTitleStarting(*cell, "Day of the Week -> "), c.dayOfWeek) << c.date;
        EXPECT_EQ(hasTitleStarting(*cell, "Copy age -> "), c.age) << c.date;
        EXPECT_EQ(hasTitleStarting(*cell, "Open Tempolin with This Date"), c.tempolin) << c.date;
        EXPECT_EQ(titles(*cell).back(), "Google search") << "the value field's items come last";
    }
    view->typed = "";
    EXPECT_EQ(titles(*cell).front(), "Open Tempolin with This Date");

    view->typed = "5 MAR 1850";
    for (const auto& item : cell->menuItems())
        if (item.title.starts_with("Day of the Week")) {
            EXPECT_EQ(item.title, "Day of the Week -> Tuesday");
            EXPECT_FALSE(item.enabled);
        }

    // Without a birth date there is no age to copy.
    person->findChild("BIRT", false)->findChild("DATE", false)->setContents("");
    EXPECT_FALSE(hasTitleStarting(*cell, "Copy age -> "));
}

TEST_F(TypedFields, TheDateItemsStoreCopyAndHandOver) {
    auto cell = make<EditDateCell>(burialDate);
    view->typed = "5 MAR 1850";
    std::string julian, age;
    for (const auto& title : titles(*cell)) {
        if (title.starts_with("Convert to Julian -> ")) julian = title;
        if (title.starts_with("Copy age -> ")) age = title;
    }
    ASSERT_FALSE(julian.empty());
    ASSERT_FALSE(age.empty());

    cell->cellMenuAction(EditDateCell::kCopyAgeTag, age);
    EXPECT_EQ(view->pasteboard, age.substr(age.find("->") + 3));

    cell->cellMenuAction(EditDateCell::kTempolinTag);
    EXPECT_EQ(pane->tempolin, std::vector<std::string>{"5 MAR 1850"});

    cell->cellMenuAction(EditDateCell::kConvertTag, "Convert to Julian");
    EXPECT_EQ(view->beeps, 1);
    EXPECT_EQ(burialDate->contents(), "1890");

    cell->cellMenuAction(EditDateCell::kConvertTag, julian);
    EXPECT_NE(burialDate->contents(), "1890");
    EXPECT_NE(burialDate->contents().find("@#DJULIAN@"), std::string::npos) << burialDate->contents();
    EXPECT_EQ(undo.undoActionName(), "Date Change");
}

TEST_F(TypedFields, ANameIsStoredInGEDCOMFormAndShownWithoutSlashes) {
    struct Case {
        const char* typed;
        const char* stored;
        const char* shown;
    } cases[] = {
        {"Fenwick, Orla May", "Orla May /Fenwick/", "Orla May Fenwick"},
        {"Orla /Fenwick", "Orla /Fenwick/", "Orla Fenwick"},
        {"Orla /van Dorn/", "Orla /van Dorn/", "Orla /van Dorn/"},
        {"Orla Tamsin", "Orla /Tamsin/", "Orla Tamsin"},
    };
    for (const Case& c : cases) {
        auto cell = make<EditNameCell>(name, "NAME", 1);
        view->typed = c.typed;
        cell->setChanged(true);
        cell->endStructureEditing(true);
        EXPECT_EQ(name->contents(), c.stored) << c.typed;
        EXPECT_EQ(view->typed, c.shown) << c.typed;
        EXPECT_EQ(undo.undoActionName(), "Name Change");
    }
    // The shown form stores nothing, and a shown surname with spaces goes
    // back unchanged.
    undo.removeAllActions();
    for (const char* stored : {"Orla /Fenwick/", "Orla /van Dorn/"}) {
        name->setContents(stored);
        undo.removeAllActions();
        auto cell = make<EditNameCell>(name, "NAME", 1);
        cell->setChanged(true);
        cell->endStructureEditing(true);
        EXPECT_FALSE(undo.canUndo()) << stored;
    }
    auto cell = make<EditNameCell>(name, "NAME", 1);
    EXPECT_EQ(titles(*cell).front(), "FamilySearch");
    cell->cellMenuAction(EditNameCell::kFamilySearchTag);
    EXPECT_EQ(pane->searches, 1);
}

TEST_F(TypedFields, AnAddressOpensOnAClickAndIsEditedOnRequest) {
    std::vector<std::string> opened;
    AppController::setAddressOpener([&](const std::string& address) { opened.push_back(address); });
    auto page = person->addLevel(1, "WWW", "https://example.org/fenwick");
    auto cell = make<EditURLCell>(page, "WWW", 1);
    EXPECT_FALSE(cell->fieldEditable());
    EXPECT_FALSE(cell->respondingCell());
    EXPECT_FALSE(cell->canEditNew());

    cell->beginMouseDown(false);
    cell->endMouseDown(true);
    EXPECT_EQ(opened, std::vector<std::string>{"https://example.org/fenwick"});
    EXPECT_FALSE(cell->fieldEditable());

    // A click that selects text opens nothing.
    cell->beginMouseDown(false);
    cell->endMouseDown(false);
    EXPECT_EQ(opened.size(), 1u);

    // Alt-click: editable; leaving locks it again on the next turn.
    cell->beginMouseDown(true);
    EXPECT_TRUE(cell->fieldEditable());
    cell->endMouseDown(true);
    cell->aboutToResignFirstResponder();
    EXPECT_TRUE(cell->fieldEditable());
    dispatcher.drain();
    EXPECT_FALSE(cell->fieldEditable());
    EXPECT_EQ(opened.size(), 1u);

    cell->cellMenuAction(EditURLCell::kEditHyperlinkTag);
    EXPECT_TRUE(cell->fieldEditable());
    EXPECT_EQ(view->focused, 1);
    EXPECT_EQ(titles(*cell).front(), "Edit Hyperlink (or option click)");

    // Short addresses are still being typed: editable, and too short to open.
    for (const char* value : {"exam.org", "x.io"}) {
        page->setContents(value);
        auto typing = make<EditURLCell>(page, "WWW", 1);
        EXPECT_TRUE(typing->fieldEditable());
        EXPECT_TRUE(typing->respondingCell());
        EXPECT_TRUE(typing->canEditNew());
        typing->beginMouseDown(false);
        typing->endMouseDown(true);
    }
    EXPECT_EQ(opened.size(), 1u);
    AppController::setAddressOpener(nullptr);
}

TEST_F(TypedFields, AMultiLineCellKeepsItsHeightsAndStoresLineFeedsAndSpaces) {
    auto note = person->addLevel(1, "NOTE", "a\nb");
    auto cell = make<EditTextCell>(note, "NOTE", 1);
    cell->sizeToFit(0);
    EXPECT_EQ(cell->viewFrame().height, TextFieldCell::kLeastHeight) << "two lines would be lower";
    note->setContents("1\n2\n3\n4\n5\n6\n7\n8");
    cell->setMaxHeight(60);
    cell->sizeToFit(0);
    EXPECT_EQ(cell->viewFrame().height, 60);
    EXPECT_TRUE(cell->scrolls());

    struct Case {
        const char* typed;
        const char* stored;
    } cases[] = {{"x\ty", "x    y"}, {"x\r\ny", "x\n\ny"}, {"x\ry\n", "x\ny\n"}};
    for (const Case& c : cases) {
        view->typed = c.typed;
        cell->setChanged(true);
        cell->endStructureEditing(true);
        EXPECT_EQ(note->contents(), c.stored) << c.typed;
        EXPECT_EQ(undo.undoActionName(), "Text Cell Change");
    }
    cell->setLocked(true);
    EXPECT_FALSE(cell->editable());
    EXPECT_FALSE(cell->canAttachQuickComment());

    auto shown = make<StaticFieldCell>(nullptr, "", 0);
    shown->appendText("Read only");
    EXPECT_EQ(view->typed, "Read only");
    EXPECT_FALSE(shown->editable());
    EXPECT_FALSE(shown->dataChangingCell());
}

TEST(OneLineText, LineBreaksBecomeSpaces) {
    struct Case {
        const char* text;
        std::optional<std::string> line;
    } cases[] = {
        {"a b", std::nullopt},
        {"a\nb", "a b"},
        {"a\r\nb", "a  b"},
        {"a\rb\n", "a b "},
    };
    for (const Case& c : cases) EXPECT_EQ(removeNewLines(c.text), c.line) << c.text;
}

TEST(QuickCommentSave, OneLineOneStepAndNothingForTheSameText) {
    GEDCOMRecord::setTrackingChangeDates(true);
    UndoManager undo;
    auto person = std::make_shared<GEDCOMRecord>("@I1@", "INDI");
    person->setUndoManager(&undo);
    auto occupation = person->addLevel(1, "OCCU", "Miller");
    auto stamp = [&] { return person->findChild("CHAN", false) != nullptr; };

    EXPECT_FALSE(QuickComment::save(*occupation, ""));
    EXPECT_FALSE(stamp()) << "leaving untouched stamps no date";

    EXPECT_TRUE(QuickComment::save(*occupation, "from the\nmill\r\nledger"));
    EXPECT_EQ(occupation->quickComment(), "from the mill  ledger");
    EXPECT_TRUE(stamp());
    EXPECT_EQ(undo.undoActionName(), "Change Quick Comment");
    undo.undo();
    EXPECT_EQ(occupation->quickComment(), std::nullopt);
    EXPECT_FALSE(undo.canUndo()) << "one step";

    QuickComment::save(*occupation, "kept");
    EXPECT_TRUE(QuickComment::save(*occupation, ""));
    EXPECT_EQ(occupation->quickComment(), std::nullopt);
    GEDCOMRecord::setTrackingChangeDates(false);
}

}  // namespace
}  // namespace kl
