// Record paths evaluated on a small family: links, modifiers, indexes,
// spouses, counts, back links, life spans, names and the values a path
// leaves behind for the browser.
#include <gtest/gtest.h>

#include <map>

#include "StoreTestSupport.h"
#include "dates/DateBridge.h"
#include "document/IndexStyle.h"
#include "document/KLExpression.h"
#include "model/GEDCOMStructure.h"

namespace kl {
namespace {

constexpr const char* kFamily =
    "0 HEAD\n"
    "0 @I1@ INDI\n"
    "1 NAME John Quincy /Adams/ Jr\n"
    "1 BIRT\n"
    "2 _MEMO born at home\n"
    "2 DATE 1 MAR 1820\n"
    "2 PLAC Boston, Suffolk, Massachusetts\n"
    "1 DEAT\n"
    "2 DATE 1890\n"
    "1 NOTE First line\n"
    "2 CONT second line\n"
    "1 FAMS @F1@\n"
    "1 FAMS @F2@\n"
    "1 FAMC @F9@\n"
    "1 SOUR @S1@\n"
    "0 @I2@ INDI\n"
    "1 NAME Mary /Smith/\n"
    "1 OBJE @M1@\n"
    "1 FAMS @F1@\n"
    "1 SOUR @S1@\n"
    "0 @I3@ INDI\n"
    "1 NAME Ann Lee /Brown/\n"
    "1 _NOPOR Y\n"
    "1 OBJE @M1@\n"
    "1 FAMS @F2@\n"
    "1 NOTE\n"
    "2 TYPE empty\n"
    "0 @I4@ INDI\n"
    "1 NAME Sölo /Wälker/\n"
    "1 BURI\n"
    "2 DATE ABT 1900\n"
    "1 FAMS @F3@\n"
    "0 @I5@ INDI\n"
    "1 DEAT Y\n"
    "1 BIRT Y\n"
    "0 @F1@ FAM\n"
    "1 HUSB @I1@\n"
    "1 WIFE @I2@\n"
    "1 MARR\n"
    "2 DATE 1845\n"
    "2 NOTE\n"
    "3 DATE 1846\n"
    "4 DATE 1847\n"
    "0 @F2@ FAM\n"
    "1 HUSB @I1@\n"
    "1 WIFE @I3@\n"
    "0 @F3@ FAM\n"
    "1 HUSB @I4@\n"
    "0 @S1@ SOUR\n"
    "1 TITL Town records\n"
    "0 @M1@ OBJE\n"
    "1 FILE portrait.jpg\n"
    "0 @P1@ _PLC\n"
    "1 _PLACE Boston, Suffolk, Massachusetts\n"
    "0 TRLR\n";

class RecordPaths : public testing::Test, public test::StoreFixture {
protected:
    // The store's tidying pass joins continued lines and gives the source
    // its back links. It also makes the individuals' notes records; the
    // paths below read a NOTE line's own text, so the lines get it back.
    void SetUp() override {
        read(kFamily);
        document.undo.disableUndoRegistration();
        model.runSimplifyGEDCOM(1);
        model.recordWithID("@I1@")->firstChildWithTag("NOTE")->changeContents("First line\nsecond line");
        model.recordWithID("@I3@")->firstChildWithTag("NOTE")->changeContents("");
        document.undo.enableUndoRegistration();
    }
    std::string eval(const std::string& recordID, const std::string& path) {
        auto record = model.recordWithID(recordID);
        if (!record) throw std::runtime_error("no record " + recordID);
        expression = KLExpression(path);
        return expression.valueInRecord(*record, *record, &model);
    }
    KLExpression expression;
};

struct PathCase {
    const char* record;
    const char* path;
    std::string expected;
};

std::string sdnOf(const char* date) { return std::to_string(midSdnForDate(date)); }

TEST_F(RecordPaths, EveryPathFormGivesItsValue) {
    const PathCase cases[] = {
        // links: the ID itself, kept as text by "s", followed by any other word
        {"@F1@", "HUSB", "@I1@"},
        {"@F1@", "HUSB.s", "@I1@"},
        {"@F1@", "HUSB.NAME", "John Quincy /Adams/ Jr"},
        {"@F1@", "HUSB.s.trunc.3", "@I1..."},
        {"@I1@", "SOUR.TITL", "Town records"},
        {"@I1@", "FAMC", "@F9@"},
        {"@I1@", "FAMC.NAME", ""},
        {"@I1@", "this.NAME", "John Quincy /Adams/ Jr"},
        // truncation
        {"@I1@", "NOTE.trunc", "First line..."},
        {"@I1@", "NOTE.trunc.5", "First..."},
        {"@I1@", "NOTE.trunc.view", "..."},
        {"@I3@", "NOTE.trunc", "<?>"},
        {"@I1@", "NAME.trunc.200", "John Quincy /Adams/ Jr"},
        {"@I4@", "NAME.trunc.2", "Sö..."},
        {"@I4@", "NAME.surname.trunc.1", "W..."},
        // dates and spans
        {"@I1@", "BIRT.DATE.year", "1820"},
        {"@I1@", "BIRT.DATE.sdn", sdnOf("1 MAR 1820")},
        {"@I1@", "BIRT.DATE.number", "1 MAR 1820"},
        {"@I1@", "span", "1820-1890"},
        {"@I1@", "span.sdn", sdnOf("1820")},
        {"@I4@", "span", "-c1900"},
        {"@I4@", "span.sdn", sdnOf("ABT 1900")},
        {"@I5@", "span", "-?"},
        {"@I5@", "span.sdn", "0"},
        {"@I2@", "span", ""},
        {"@I2@", "span.sdn", "0"},
        {"@F1@", "span", ""},
        // counting
        {"@I1@", "count.FAMS", "2"},
        {"@I2@", "count.FAMS", "1"},
        {"@S1@", "count.FAMS", "0"},
        {"@I1@", "count", "0"},
        {"@F1@", "countAll.DATE", "2"},
        {"@F1@", "MARR.countAll.DATE", "2"},
        // back links
        {"@S1@", "_REF", "@I1@"},
        {"@S1@", "_REF.i.2", "@I2@"},
        {"@S1@", "_REF.i.2.NAME", "Mary /Smith/"},
        {"@S1@", "_REF.i.3", ""},
        {"@S1@", "count._REF", "2"},
        {"@I2@", "_REF", ""},
        {"@I2@", "_REF.i.2", ""},
        {"@I1@", "BIRT._REF", ""},
        {"@I1@", "SOUR._REF", "@I1@"},
        // indexes and spouses
        {"@I1@", "FAMS.i.2", "@F2@"},
        {"@I1@", "FAMS.i.2.HUSB.NAME", "John Quincy /Adams/ Jr"},
        {"@I1@", "FAMS.i.2.WIFE.NAME", "Ann Lee /Brown/"},
        {"@I1@", "FAMS.i.3", ""},
        {"@I1@", "FAMS.i", "@F1@"},
        {"@I1@", "spouse", "@I2@"},
        {"@I1@", "spouse.NAME", "Mary /Smith/"},
        {"@I1@", "spouse.i.2.NAME", "Ann Lee /Brown/"},
        {"@I1@", "spouse.i.3.NAME", ""},
        {"@I2@", "spouse.NAME", "John Quincy /Adams/ Jr"},
        {"@I4@", "spouse", ""},
        {"@F1@", "spouse", ""},
        // names and other text words
        {"@I1@", "NAME.surname", "Adams"},
        {"@I1@", "NAME.firstname", "John"},
        {"@I1@", "NAME.middlename", "Quincy"},
        {"@I2@", "NAME.middlename", ""},
        {"@I1@", "NAME.surname.soundex", "A352"},
        {"@I1@", "BIRT.PLAC.reverse", "Massachusetts, Suffolk, Boston"},
        {"@S1@", "TITL.reverse", "Town records"},
        // places and portraits
        {"@I1@", "BIRT.PLAC.p", "@P1@"},
        {"@I1@", "NAME.p", "John Quincy /Adams/ Jr"},
        {"@I2@", "portrait", "@M1@"},
        {"@I3@", "portrait", ""},
        {"@I1@", "portrait", ""},
        {"@M1@", "portrait", "@M1@"},  // an object shows its own image
        // the node and the record in hand
        {"@I1@", "id", "@I1@"},
        {"@F1@", "HUSB.rec", "INDI"},
        {"@I1@", "BIRT.tag", "BIRT"},
        {"@I1@", "BIRT.DATE.level", "2"},
        {"@I1@", "BIRT.DATE.parent.tag", "BIRT"},
        {"@I1@", "BIRT.DATE.contents", "1 MAR 1820"},
        {"@I1@", "BIRT._MEMO", "born at home"},
        {"@I1@", "DEAT._MEMO", ""},
        {"@I1@", "err", "Valid record"},
        {"@I1@", "", ""},
        {"@I1@", "BAPM.DATE", ""},
        {"@I1@", "name", ""},
    };
    for (const auto& c : cases) EXPECT_EQ(eval(c.record, c.path), c.expected) << c.record << " " << c.path;
}

TEST_F(RecordPaths, WordsAfterNumberWordsReadTheTemplateVariables) {
    const std::map<std::string, std::string> vars{{"#n", "2"}, {"#tag", "FAMS"}, {"#title", "Kept"}};
    auto lookUp = [&vars](std::string_view name) -> const std::string* {
        auto it = vars.find(std::string(name));
        return it == vars.end() ? nullptr : &it->second;
    };
    auto record = model.recordWithID("@I1@");
    const PathCase cases[] = {
        {"@I1@", "FAMS.i.#n.WIFE.NAME", "Ann Lee /Brown/"},
        {"@I1@", "spouse.i.#n.NAME", "Ann Lee /Brown/"},
        {"@I1@", "count.#tag", "2"},
        {"@I1@", "NOTE.trunc.#n", "Fi..."},
        {"@I1@", "#title", "Kept"},
        {"@I1@", "#missing", ""},
    };
    for (const auto& c : cases) {
        KLExpression e(c.path);
        e.setCustomTags(lookUp);
        EXPECT_EQ(e.valueInRecord(*record, *record, &model), c.expected) << c.path;
    }
}

TEST_F(RecordPaths, EvaluationLeavesTheNodeAndParentItReached) {
    auto person = model.recordWithID("@I1@");
    auto birth = person->findChild("BIRT", false);
    auto death = person->findChild("DEAT", false);

    eval("@I1@", "");
    EXPECT_EQ(expression.lastStructure(), person.get());
    EXPECT_EQ(expression.lastParent(), nullptr);

    eval("@I1@", " ");
    EXPECT_EQ(expression.countOfTags(), 1u);
    EXPECT_EQ(expression.lastStructure(), nullptr);

    eval("@I1@", "BIRT.DATE");
    EXPECT_EQ(expression.lastStructure(), birth->findChild("DATE", false).get());
    EXPECT_EQ(expression.lastParent(), birth.get());

    // No comment yet: the structure that would hold one is left as parent.
    eval("@I1@", "DEAT._MEMO");
    EXPECT_EQ(expression.lastStructure(), nullptr);
    EXPECT_EQ(expression.lastParent(), death.get());

    // A record reached through a link has no parent.
    eval("@F1@", "HUSB.NAME");
    eval("@F1@", "WIFE.view");
    EXPECT_EQ(expression.lastStructure(), model.recordWithID("@I2@").get());
    EXPECT_EQ(expression.lastParent(), nullptr);

    eval("@I1@", "spouse");
    EXPECT_EQ(expression.lastStructure(), person->findChild("FAMS", false).get());
    EXPECT_EQ(expression.lastParent(), person.get());
}

TEST_F(RecordPaths, StructureEvaluatedWithItsRecordInHand) {
    auto person = model.recordWithID("@I1@");
    auto birth = person->findChild("BIRT", false);
    KLExpression e("DATE.year");
    EXPECT_EQ(e.valueInRecord(*birth, *person, &model), "1820");
    EXPECT_EQ(KLExpression("parent.id").valueInRecord(*birth, *person, &model), "@I1@");
    EXPECT_EQ(KLExpression("rec").valueInRecord(*birth, *person, &model), "INDI");
    // Without a document the source record's store resolves links.
    auto family = model.recordWithID("@F1@");
    EXPECT_EQ(KLExpression("WIFE.NAME").valueInRecord(*family, *family, nullptr), "Mary /Smith/");
}

struct DerivedCaseForStyle {
    const char* path;
    const char* sortPath;
};

TEST(IndexStyleSort, DateAndSpanColumnsSortByDayNumber) {
    const DerivedCaseForStyle cases[] = {
        {"BIRT.DATE.year", "BIRT.DATE.sdn"}, {"DEAT.DATE.user", "DEAT.DATE.sdn"}, {"BIRT.DATE", "BIRT.DATE.sdn"},
        {"span", "span.sdn"},                {"NAME", "NAME"},
    };
    for (const auto& c : cases) {
        auto style = IndexStyle::indexStyleWith({Value(Dictionary{{"Expression", c.path}})}, "INDI");
        EXPECT_EQ(style->expressionForSort(0)->expressionString(true), c.sortPath) << c.path;
    }
}

struct SplitCase {
    const char* text;
    std::vector<std::string> words;
};

TEST(KLExpressionWords, TextIsCutAtEveryDotAndTrimmed) {
    const SplitCase cases[] = {
        {"", {}},
        {"NAME", {"NAME"}},
        {" BIRT . DATE ", {"BIRT", "DATE"}},
        {"a..b", {"a", "", "b"}},
        {".a", {"", "a"}},
        {"a.", {"a"}},
    };
    for (const auto& c : cases) EXPECT_EQ(KLExpression(c.text).tags(), c.words) << c.text;
}

struct DerivedCase {
    const char* path;
    const char* sortPath;
    bool numeric;
};

TEST(KLExpressionWords, DateSortExpressionAndKinds) {
    const DerivedCase cases[] = {
        {"BIRT.DATE.year", "BIRT.DATE.sdn", true},
        {"BIRT.DATE.user", "BIRT.DATE.sdn", true},
        {"BIRT.DATE", "BIRT.DATE.sdn", true},
        {"span", "span.sdn", true},
        {"NAME", "NAME", false},
        {"", "", false},
        {"AGE.number", "AGE.number", true},
    };
    for (const auto& c : cases) {
        const KLExpression sortable = KLExpression(c.path).dateSortExpression();
        EXPECT_EQ(sortable.expressionString(true), c.sortPath) << c.path;
        EXPECT_EQ(sortable.numericExpression(), c.numeric) << c.path;
    }
    EXPECT_EQ(KLExpression("HUSB.NAME.surname").expressionString(false), "HUSB.NAME");
    EXPECT_EQ(KLExpression("NOTE.trunc").description(), "KLExpression: NOTE.trunc");
    EXPECT_TRUE(KLExpression("OBJE.portrait").portraitExpression());
    EXPECT_TRUE(KLExpression::isRecordPointer("@I1@"));
    EXPECT_TRUE(KLExpression::isRecordPointer("@@"));
    EXPECT_FALSE(KLExpression::isRecordPointer("@"));
    EXPECT_FALSE(KLExpression::isRecordPointer("I1@"));
}

}  // namespace
}  // namespace kl
