// Type-ahead find: the field's inline completion and the index's answer to
// a typed value of the sorted column.
#include <gtest/gtest.h>

#include "IndexTestSupport.h"
#include "foundation/Utf8.h"
#include "index/FindCompletion.h"

namespace kl {
namespace {

using Field = FindCompletion::Field;
using Command = FindCompletion::Command;

Field typed(const std::string& text) {
    const std::size_t end = utf8::countCharacters(text);
    return Field{text, end, end};
}

TEST(FindCompletion, ShowsTheValueInItsOwnCaseWithTheUntypedRestSelected) {
    FindCompletion find;
    Field field = typed("smi");
    find.completeString("Smithson", field, true);
    EXPECT_EQ(field.text, "Smithson");
    EXPECT_EQ(field.selectionStart, 3u);
    EXPECT_EQ(field.selectionEnd, 8u);
    EXPECT_TRUE(find.matchesRecord());
    EXPECT_EQ(find.userStringValue(field.text), "Smi");

    // Delete removes the selected rest; the last typed letter goes with it.
    field.text = "Smi";
    find.controlTextDidChange(field);
    EXPECT_EQ(field.text, "Sm");
    EXPECT_FALSE(find.matchesRecord());
}

struct CompletionCase {
    const char* name;
    const char* typed;
    std::optional<std::string> match;
    bool editorActive;
    const char* text;      // the field afterwards
    std::size_t selStart, selEnd;
    int userLength;
};

const CompletionCase kCompletions[] = {
    {"WholeValueOtherCase", "SMITHSON", "Smithson", true, "SMITHSON", 8, 8, 8},
    {"NotAPrefix", "smy", "Smithson", true, "smy", 3, 3, 0},
    {"NoMatchGiven", "19", std::nullopt, true, "19", 2, 2, 0},
    {"LongerThanTheMatch", "smithsons", "Smithson", true, "smithsons", 9, 9, 0},
    {"EditorNotActive", "smi", "Smithson", false, "Smithson", 8, 8, 0},
    {"WiderLetters", "\xC3\xA5" "s", "\xC3\x85sa", true, "\xC3\x85sa", 2, 3, 2},  // ås / Åsa
};

class Completions : public ::testing::TestWithParam<CompletionCase> {};

TEST_P(Completions, CompleteOnlyWhatStartsWithTheTypedText) {
    const CompletionCase& c = GetParam();
    FindCompletion find;
    Field field = typed(c.typed);
    find.completeString(c.match, field, c.editorActive);
    EXPECT_EQ(field.text, c.text);
    EXPECT_EQ(field.selectionStart, c.selStart);
    EXPECT_EQ(field.selectionEnd, c.selEnd);
    EXPECT_EQ(find.userLength(), c.userLength);
    EXPECT_EQ(find.matchesRecord(), c.userLength > 0);
}

INSTANTIATE_TEST_SUITE_P(Cases, Completions, ::testing::ValuesIn(kCompletions),
                         [](const auto& info) { return std::string(info.param.name); });

TEST(FindCompletion, TabAcceptsWordByWordAndRightArrowOnlyUpToASpace) {
    FindCompletion find;
    Field field = typed("d");
    find.completeString("Doe, John", field, true);
    ASSERT_EQ(field.selectionStart, 1u);
    Field right = field;
    EXPECT_TRUE(find.doCommandBySelector(Command::MoveRight, right));
    EXPECT_EQ(right.selectionStart, 5u);
    EXPECT_TRUE(find.doCommandBySelector(Command::InsertTab, field));
    EXPECT_EQ(field.selectionStart, 5u);  // "John" selected
    EXPECT_EQ(field.selectionEnd, 9u);
    EXPECT_FALSE(find.doCommandBySelector(Command::MoveRight, right = field));
    EXPECT_TRUE(find.doCommandBySelector(Command::InsertTab, field));
    EXPECT_EQ(field.selectionStart, 9u);
    EXPECT_EQ(field.selectionEnd, 9u);
    // Nothing selected any more: keys are the field's own again.
    EXPECT_FALSE(find.doCommandBySelector(Command::InsertTab, field));
    EXPECT_FALSE(find.doCommandBySelector(Command::Other, field));

    Field trailing = typed("a");
    find.completeString("Ann ", trailing, true);
    EXPECT_FALSE(find.doCommandBySelector(Command::InsertTab, trailing));
}

TEST(FindCompletion, CentringGoesAsFarPastTheRowAsTheMiddleIsBeforeIt) {
    struct Case {
        long row, middle, rows, target;
    };
    for (const Case& c : {Case{50, 45, 100, 55}, Case{98, 90, 100, 99}, Case{2, 10, 100, 0}, Case{7, 7, 10, 7}})
        EXPECT_EQ(FindCompletion::centerTarget(c.row, c.middle, c.rows), c.target) << c.row;
}

// ---- the index's answer

struct FindFixture : test::IndexFixture {
    DocumentWindows windows{*scratch.defaults};
    FindFixture() {
        open(test::people({"Jones /Doe/", "Amy /Smithson/", "Bob /Smithson/", "Cy /Smith/", "Al /Adams/"}) +
             "0 @F1@ FAM\n1 MARR\n2 DATE 1 JAN 1900\n0 @F2@ FAM\n1 MARR\n2 DATE 5 MAY 1850\n");
        windows.setPlatform(test::browserDoublePlatform());
        windows.makeWindowControllers(std::shared_ptr<DocumentWindowController>(index.get(), [](auto*) {}));
        index->setWindows(&windows);
    }
};

TEST(FindString, SelectsTheFirstRecordWhoseSortedValueStartsWithTheText) {
    FindFixture f;
    ASSERT_FALSE(f.index->currentList()->howSorted().empty());
    const auto answer = f.index->findString("smithson", false);
    ASSERT_TRUE(answer.match);
    EXPECT_NE(answer.match->find("Smithson"), std::string::npos);
    ASSERT_TRUE(f.index->selectedRecord());
    EXPECT_EQ(f.index->selectedRecord()->grecordID(), f.index->listedRecords().at(answer.row)->grecordID());
    EXPECT_EQ(f.view.scrolledTo, answer.row);
    EXPECT_EQ(f.windows.windowControllers().size(), 1u);

    // The find that ends the editing opens the record on the next turn.
    f.index->findString(*answer.match, true);
    f.dispatcher.runPending();
    ASSERT_EQ(f.windows.windowControllers().size(), 2u);
    auto* browser = static_cast<test::BrowserDouble*>(f.windows.windowControllers()[1].get());
    EXPECT_EQ(browser->record, f.index->selectedRecord());
}

TEST(FindString, AnUnsortedListAsksForAColumnAndADateColumnCompletesNothing) {
    FindFixture f;
    f.index->currentList()->setHowSorted({}, 1);
    EXPECT_TRUE(f.index->findString("a", false).fieldUseAlert);

    f.index->selectRecordType("FAM");
    // Dates compare as day numbers: the typed text is no prefix of them.
    f.index->currentList()->setHowSorted({"MARR.DATE.sdn"}, 1);
    const auto answer = f.index->findString("1 JAN 1900", false);
    EXPECT_GE(answer.row, 0);
    EXPECT_FALSE(answer.match);
}

}  // namespace
}  // namespace kl
