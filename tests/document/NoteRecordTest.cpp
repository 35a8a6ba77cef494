// Notes read into a store: continuation lines folded into one text, the
// names a note shows, its drops and merge rules, and its report prose.
#include <gtest/gtest.h>

#include "RecordKindsTestSupport.h"
#include "model/INDIRecord.h"
#include "model/NOTERecord.h"
#include "model/ReportOptions.h"

namespace kl {
namespace {

using test::RecordKindsFixture;

class NoteFixture : public RecordKindsFixture {
protected:
    std::shared_ptr<NOTERecord> note(const std::string& id = "@N1@") { return get<NOTERecord>(id); }
};

struct FoldCase {
    const char* label;
    const char* record;
    const char* text;       // the note's text afterwards
    const char* structures; // the tags left, in order
};

TEST_F(NoteFixture, ContinuationLinesFoldIntoTheFirstLine) {
    const FoldCase cases[] = {
        {"level-0 text, CONT then CONC", "0 @N1@ NOTE First line\n1 CONT second line\n1 CONC  end\n",
         "First line\nsecond line end", "CONC"},
        // The text starts with the break the CONT line stands for.
        {"no level-0 text, CONT first", "0 @N1@ NOTE\n1 CONT Hello\n", "\nHello", "CONC"},
        {"a SOUR ends the run", "0 @N1@ NOTE A\n1 CONT B\n1 SOUR @S1@\n1 CONC C\n", "A\nB", "CONC SOUR CONC"},
        {"empty level-0 text, CONC first", "0 @N1@ NOTE\n1 CONC x\n1 CONC y\n", "xy", "CONC"},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.label);
        StoreFixture fresh;
        fresh.read(std::string("0 HEAD\n0 @S1@ SOUR\n") + c.record + "0 TRLR\n");
        fresh.model.runSimplifyGEDCOM(3);
        auto n = std::dynamic_pointer_cast<NOTERecord>(fresh.model.recordWithID("@N1@", "NOTE"));
        ASSERT_TRUE(n);
        EXPECT_EQ(n->notesText(), c.text);
        std::string tags;
        for (const auto& s : n->structures()) tags += (tags.empty() ? "" : " ") + s->gtag();
        EXPECT_EQ(tags, c.structures);
    }
}

std::string repeat(const std::string& piece, int times) {
    std::string out;
    for (int i = 0; i < times; ++i) out += piece;
    return out;
}

struct NameCase {
    const char* label;
    std::string text;
    std::string viewName;
};

TEST_F(NoteFixture, ViewNameShowsFiftyCharactersMarksLineBreaksAndHonoursCustomNames) {
    const std::string arrow = "\xE2\x86\xB5";
    const NameCase cases[] = {
        {"200 characters", repeat("abcd", 50), repeat("abcd", 12) + "ab..."},
        {"exactly 50", repeat("x", 50), repeat("x", 50)},
        {"leading line feeds", "\n\nVisible start", "Visible start"},
        {"line feeds inside", "one\ntwo", "one" + arrow + "two"},
        {"two-byte characters are counted whole", repeat("\xC3\xA9", 60), repeat("\xC3\xA9", 50) + "..."},
        {"custom name", "<div><!--name  Family Bible  --><p>text</p></div>", "Family Bible"},
        {"custom name in any case", "<div><!--NAME Letters--></div>", "Letters"},
        {"HTML without a name reads after the tag", "<div class='a'>  Hello</div>", "Hello</div>"},
        {"empty", "", "Empty Notes ID @N1@"},
    };
    load("0 @N1@ NOTE\n");
    for (const auto& c : cases) {
        SCOPED_TRACE(c.label);
        note()->setNotesText(c.text);
        EXPECT_EQ(note()->viewName(), c.viewName);
    }
}

TEST_F(NoteFixture, IpnNameCutsAtFortyAndShowsBlanksForLineBreaks) {
    load("0 @N1@ NOTE " + repeat("a", 45) + "\n");
    EXPECT_EQ(note()->ipnName(), repeat("a", 40) + "...");
    note()->setNotesText("one\r\ntwo");
    EXPECT_EQ(note()->notesText(), "one\n\ntwo");
    EXPECT_EQ(note()->ipnName(), "one  two");
}

TEST_F(NoteFixture, NotesMergeByTheFirstLineOrTheirCustomName) {
    load("0 @N1@ NOTE <div><!--name Bible--><p>one</p></div>\n"
         "0 @N2@ NOTE <div><!--name bible--><p>two</p></div>\n"
         "0 @N3@ NOTE <div><!--name Letters--><p>one</p></div>\n"
         "0 @N4@ NOTE Same start\n1 CONT first version\n"
         "0 @N5@ NOTE same START\n1 CONT second version\n");
    EXPECT_TRUE(note("@N1@")->canMergeWith(*note("@N2@")));
    EXPECT_FALSE(note("@N1@")->canMergeWith(*note("@N3@")));
    EXPECT_TRUE(note("@N4@")->canMergeWith(*note("@N5@")));
    EXPECT_EQ(note("@N4@")->mergeKey(), "Same start");
}

TEST_F(NoteFixture, MergedTextWithTwoEqualHalvesFoldsBack) {
    load("0 @S1@ SOUR\n0 @N1@ NOTE\n1 SOUR @S1@\n1 SOUR @S1@\n");
    note()->setNotesText(std::string("Text") + NOTERecord::kMergeSeparator + "TEXT");
    note()->setContextInfo(Value(2));
    EXPECT_TRUE(note()->removeDuplicateLinksAfterMerge());
    EXPECT_EQ(note()->notesText(), "Text");
    EXPECT_EQ(note()->findChildren("SOUR", false).size(), 1u);

    const std::string different = std::string("One") + NOTERecord::kMergeSeparator + "Two";
    note()->setNotesText(different);
    note()->setContextInfo(Value(1));
    EXPECT_FALSE(note()->removeDuplicateLinksAfterMerge());
    EXPECT_EQ(note()->notesText(), different);
}

TEST_F(NoteFixture, DroppingAnIndividualCitesTheNoteOnce) {
    load("0 @I1@ INDI\n1 NAME Ann /Lind/\n0 @N1@ NOTE Hello\n");
    auto person = get<INDIRecord>("@I1@");
    EXPECT_FALSE(note()->isConnected());
    EXPECT_FALSE(note()->drop(person));
    EXPECT_EQ(body("@I1@"), "1 NAME Ann /Lind/\n1 NOTE @N1@\n");
    EXPECT_TRUE(note()->isConnected());
    EXPECT_EQ(note()->crossRefIDs(), std::vector<std::string>{"@I1@"});
    EXPECT_EQ(note()->drop(person), "The dragged individual is already linked to these notes.");
    EXPECT_EQ(body("@I1@"), "1 NAME Ann /Lind/\n1 NOTE @N1@\n");
}

TEST_F(NoteFixture, DeletingACitedNoteRemovesTheCitations) {
    load("0 @I1@ INDI\n0 @I2@ INDI\n0 @N1@ NOTE Hello\n");
    cite("@I1@", "NOTE", "@N1@");
    cite("@I2@", "NOTE", "@N1@");
    EXPECT_TRUE(note()->shouldVerifyDeleteAsChildOf(*get("@I1@")));
    model.deleteRecord(note());
    EXPECT_EQ(body("@I1@"), "");
    EXPECT_EQ(body("@I2@"), "");
}

class NoteReportFixture : public NoteFixture {
protected:
    void SetUp() override {
        NoteFixture::SetUp();
        text = repeat("word ", 60);  // 300 characters
        load("0 @I1@ INDI\n1 NAME Ann /Lind/\n0 @I2@ INDI\n1 NAME Bo /Lind/\n0 @N1@ NOTE\n");
        cite("@I1@", "NOTE", "@N1@");
        cite("@I2@", "NOTE", "@N1@");
        note()->setNotesText(text);
    }
    std::string text;
};

TEST_F(NoteReportFixture, PlainProseNamesTheFirstCitingRecordAndTheWholeText) {
    EXPECT_EQ(note()->reportDescription(0).toString(),
              "These notes are about the Ann Lind record and other records. The complete notes are: " + text);
}

TEST_F(NoteReportFixture, SpokenProseCutsLongTextAtABlank) {
    const std::string cut = repeat("word ", 32).substr(0, 159);  // the blank at 159 is the last by 160
    EXPECT_EQ(note()->reportDescription(ReportPron).toString(),
              "These notes are about the Ann Lind record and other records. The notes begin with: " + cut +
                  " ... (Open the notes to see the remaining text)");
}

TEST_F(NoteReportFixture, ListFormWithLinks) {
    const Value lines = note()->reportDescription(ReportList | ReportLinks | ReportPron | ReportMainLink);
    ASSERT_TRUE(lines.array());
    ASSERT_EQ(lines.array()->size(), 3u);
    EXPECT_EQ((*lines.array())[0].toString(),
              "Notes about: the <a href='//@I1@'>Ann Lind</a> record and other records");
    EXPECT_EQ((*lines.array())[2].toString(), "Notes: <a href='//@N1@'>Open</a> to see remaining text");
}

TEST_F(NoteFixture, HTMLNotesAreNotReadOut) {
    load("0 @N1@ NOTE <div><p>a &amp; b</p></div>\n");
    EXPECT_EQ(note()->reportDescription(ReportSay).toString(),
              "These notes are not linked to any record.These notes contain web content and must be opened to "
              "view their display.");
    EXPECT_EQ(note()->reportDescription(ReportHTML).toString(),
              "These notes are not linked to any record.The notes are:\n<div><p>a &amp; b</p></div>");
    EXPECT_EQ(note()->htmlText(), "<div><p>a &amp; b</p>");
}

TEST_F(NoteFixture, PlainTextIsEscapedForHTMLOutput) {
    load("0 @N1@ NOTE a < b & c\n");
    EXPECT_EQ(note()->reportDescription(ReportHTML).toString(),
              "These notes are not linked to any record.The complete notes are: a &lt; b &amp; c");
}

struct LookupCase {
    const char* text;
    std::optional<std::string> found;
};

TEST(NoteHTMLLookups, CommentsAreFoundIgnoringCaseAndTrimmed) {
    const LookupCase cases[] = {
        {"<div><!--name  A  --></div>", "A"},
        {"<div><!--NaMe B--></div>", "B"},
        {"<div><!--name   --></div>", std::nullopt},
        {"<div><!--name never closed</div>", std::nullopt},
        {"<div>no marker</div>", std::nullopt},
        {"<!--name", std::nullopt},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.text);
        EXPECT_EQ(NOTERecord::findHTMLComment("<!--name", c.text, nullptr), c.found);
    }
    NOTERecord::TextRange range;
    ASSERT_TRUE(NOTERecord::findHTMLElement("<B>", "</b>", "x<b> bold </B>y", &range));
    EXPECT_EQ(range.location, 1u);
    EXPECT_EQ(range.length, 13u);
}

}  // namespace
}  // namespace kl
