// Search criteria: rows read into the four lists, validation with its
// messages, the text and day-number comparisons, and records tested
// against criteria, on small records and on a large real-world tree.
#include <gtest/gtest.h>

#include <algorithm>
#include <cctype>

#include "index/IndexTestSupport.h"
#include "index/SearchCriteria.h"
#include "foundation/TextCase.h"

namespace kl {
namespace {

using test::IndexFixture;
using C = SearchCriteria;

CriterionRow row(int kind, int comparison, std::string text) {
    CriterionRow r;
    r.kind = kind;
    r.comparison = comparison;
    r.text = std::move(text);
    return r;
}

CriterionRow typeRow(std::string title) {
    CriterionRow r;
    r.kind = C::RecordType;
    r.recordTypeTitle = std::move(title);
    return r;
}

struct SearchFixture : IndexFixture {
    // The IDs of the hits of the rows, after validation.
    std::vector<std::string> hits(const std::vector<CriterionRow>& rows, std::vector<std::string>* texts = nullptr) {
        auto criteria = C::readCriteria(rows, lists());
        EXPECT_TRUE(criteria);
        if (!criteria) return {};
        auto failure = criteria->validate();
        EXPECT_FALSE(failure) << failure->message;
        std::vector<std::string> ids;
        for (const auto& record : criteria->recordsToSearch(lists()))
            if (auto text = criteria->testRecord(*record, &doc.gedcomModel())) {
                ids.push_back(record->grecordID().substr(1, record->grecordID().size() - 2));
                if (texts) texts->push_back(*text);
            }
        return ids;
    }
    std::optional<C::Failure> failure(const std::vector<CriterionRow>& rows) {
        auto criteria = C::readCriteria(rows, lists());
        if (!criteria) return C::Failure{"Required search text is empty.", "", false};
        return criteria->validate();
    }
};

const char* kBirths =
    "0 @I1@ INDI\n1 NAME Anna /Berg/\n1 BIRT\n2 DATE 1 JAN 1850\n2 PLAC Oslo\n"
    "0 @I2@ INDI\n1 NAME Cora /Dahl/\n1 BIRT\n2 DATE 2 JAN 1850\n"
    "0 @I3@ INDI\n1 NAME Eli /Falk/\n"
    "0 @N1@ NOTE Anna was here\n";

TEST(SearchCriteriaReading, DateComparisonsOfDatePathsCompareDaysAndEverythingElseComparesText) {
    IndexFixture f;
    f.read(kBirths);
    struct Case {
        CriterionRow row;
        std::size_t expressions, dates, others;
    };
    const Case cases[] = {
        {row(C::BirthDate, C::IsBefore, "1850"), 0, 1, 0},
        {row(C::BirthDate, C::Contains, "1850"), 1, 0, 0},
        {row(C::NameTitle, C::IsBefore, "Smith"), 1, 0, 0},
        {row(C::AnyDate, C::IsAfter, "1850"), 0, 0, 1},
        {row(C::GEDCOMText, C::Contains, "x"), 0, 0, 1},
    };
    for (const Case& c : cases) {
        auto criteria = C::readCriteria({c.row}, f.lists());
        ASSERT_TRUE(criteria);
        EXPECT_EQ(criteria->expressions().size(), c.expressions) << c.row.kind << "/" << c.row.comparison;
        EXPECT_EQ(criteria->dates().size(), c.dates) << c.row.kind << "/" << c.row.comparison;
        EXPECT_EQ(criteria->others().size(), c.others) << c.row.kind << "/" << c.row.comparison;
    }
    EXPECT_FALSE(C::readCriteria({row(C::NameTitle, C::Contains, "")}, f.lists())) << "an empty text";
    EXPECT_TRUE(C::readCriteria({row(C::NameTitle, C::IsAnyText, "")}, f.lists())) << "is any text needs none";
}

TEST(SearchCriteriaValidation, RefusesWithTheMessagesAUserReads) {
    SearchFixture f;
    f.read(kBirths);
    struct Case {
        const char* name;
        std::vector<CriterionRow> rows;
        const char* message;  // nullptr: accepted
    };
    const Case cases[] = {
        {"one type twice", {typeRow("Individual"), typeRow("Individual")}, nullptr},
        {"two types", {typeRow("Individual"), typeRow("Notes")},
         "Search criteria are trying to match two different record types."},
        {"empty text", {row(C::NameTitle, C::Contains, "")}, "Required search text is empty."},
        {"empty GEDCOM text", {row(C::GEDCOMText, C::Contains, "")}, "Required search text is empty."},
        {"invalid date", {row(C::AnyDate, C::IsAfter, "xyz")},
         "Cannot search for date 'xyz' because it is an invalid date."},
        {"date path, invalid date", {row(C::BirthDate, C::Is, "xyz")},
         "Cannot search for date 'xyz' because it is an invalid date."},
        {"date text searched as text", {row(C::AnyDate, C::Contains, "xyz")}, nullptr},
        {"bad pattern", {row(C::NameTitle, C::MatchesRegex, "[a-")}, "Invalid regular expression"},
        {"bad pattern in GEDCOM text", {row(C::GEDCOMText, C::DoesNotMatchRegex, "(")}, "Invalid regular expression"},
        {"unicode class", {row(C::NameTitle, C::MatchesRegex, "\\p{L}")}, "Invalid regular expression"},
        {"album needs no text", {row(C::InAlbum, C::Is, "")}, nullptr},
    };
    for (const Case& c : cases) {
        const auto failure = f.failure(c.rows);
        if (!c.message) {
            EXPECT_FALSE(failure) << c.name << ": " << failure->message;
            continue;
        }
        ASSERT_TRUE(failure) << c.name;
        EXPECT_EQ(failure->message, c.message) << c.name;
    }
    const auto regex = f.failure({row(C::NameTitle, C::MatchesRegex, "[a-")});
    EXPECT_TRUE(regex->regex);
    EXPECT_EQ(regex->information, "[a-") << "the alert shows the pattern";
}

TEST(SearchCompare, EachComparisonOverNamesOfDifferentCaseAndLength) {
    struct Case {
        const char* value;
        int comparison;
        bool holds;
    };
    // Against the search text "anna".
    const Case cases[] = {
        {"Anna", C::Is, true},           {"Annabel", C::Is, false},         {"", C::Is, false},
        {"anna", C::IsNot, false},       {"Annabel", C::IsNot, true},       {"Annabel", C::Contains, true},
        {"", C::Contains, false},        {"Annabel", C::DoesNotContain, false}, {"", C::DoesNotContain, true},
        {"Annabel", C::StartsWith, true}, {"", C::StartsWith, false},       {"Annabel", C::EndsWith, false},
        {"ANNA", C::EndsWith, true},     {"Annabel", C::DoesNotStartWith, false}, {"", C::DoesNotStartWith, true},
        {"Annabel", C::DoesNotEndWith, true}, {"anna", C::DoesNotEndWith, false}, {"Anna", C::IsBefore, true},
        {"Annabel", C::IsBefore, false}, {"", C::IsBefore, true},           {"Annabel", C::IsAfter, true},
        {"", C::IsAfter, false},         {"anna", C::IsAfter, true},        {"Annabel", C::MatchesRegex, false},
        {"anna", C::MatchesRegex, true}, {"Anna", C::DoesNotMatchRegex, true}, {"annabel", C::DoesNotMatchRegex, false},
    };
    for (const Case& c : cases)
        EXPECT_EQ(C::searchCompare(c.value, "anna", c.comparison, false), c.holds) << c.value << " " << c.comparison;
    EXPECT_FALSE(C::searchCompare("anna", "^[A-Z]", C::MatchesRegex, false)) << "patterns respect case";
    EXPECT_TRUE(C::searchCompare("Anna", "^[A-Z]", C::MatchesRegex, false));
    EXPECT_TRUE(C::searchCompare("", "x", C::IsAnyText, true)) << "any text asks for a structure";
    EXPECT_FALSE(C::searchCompare("text", "x", C::IsAnyText, false));

    std::optional<C::Range> range;
    EXPECT_TRUE(C::searchCompare("Anna Berg", "BERG", C::Contains, false, &range));
    EXPECT_EQ(range, (C::Range{5, 4}));
    EXPECT_TRUE(C::searchCompare("Anna Berg", "Dahl", C::DoesNotContain, false, &range));
    EXPECT_FALSE(range) << "a failed search leaves no range";

    EXPECT_TRUE(C::searchSdnCompare(10, 10, C::Is));
    EXPECT_TRUE(C::searchSdnCompare(10, 10, C::IsBefore));
    EXPECT_TRUE(C::searchSdnCompare(10, 10, C::IsAfter));
    EXPECT_FALSE(C::searchSdnCompare(11, 10, C::IsBefore));
    EXPECT_TRUE(C::searchSdnCompare(11, 10, C::Contains)) << "other comparisons always hold";
}

TEST(SearchRecords, BirthDateBeforeAYearKeepsItsFirstDayOnly) {
    SearchFixture f;
    f.read(kBirths);
    std::vector<std::string> texts;
    EXPECT_EQ(f.hits({row(C::BirthDate, C::IsBefore, "1850")}, &texts), std::vector<std::string>{"I1"});
    EXPECT_EQ(texts, std::vector<std::string>{"1 JAN 1850"}) << "the hit shows the date";
    EXPECT_EQ(f.hits({row(C::BirthDate, C::IsAfter, "2 JAN 1850")}), std::vector<std::string>{"I2"});
    EXPECT_EQ(f.hits({row(C::BirthDate, C::Contains, "1850")}), (std::vector<std::string>{"I1", "I2"}));
}

TEST(SearchRecords, EveryRowMustHoldAndTheRecordTypeNarrowsTheRecords) {
    SearchFixture f;
    f.read(kBirths);
    EXPECT_EQ(f.hits({row(C::NameTitle, C::Contains, "anna"), row(C::BirthPlace, C::Is, "oslo")}),
              std::vector<std::string>{"I1"});
    EXPECT_EQ(f.hits({row(C::GEDCOMText, C::Contains, "anna"), typeRow("Notes")}), std::vector<std::string>{"N1"});
    EXPECT_EQ(f.hits({row(C::AnyPlace, C::StartsWith, "os")}), std::vector<std::string>{"I1"});
}

TEST(SearchRecords, ARecordWithoutDatesIsNeverAnAnyDateHit) {
    SearchFixture f;
    f.read(kBirths);
    for (int comparison : {int(C::Contains), int(C::DoesNotContain), int(C::IsNot), int(C::IsAfter)}) {
        const auto ids = f.hits({row(C::AnyDate, comparison, "1999"), typeRow("Individual")});
        EXPECT_EQ(std::count(ids.begin(), ids.end(), "I3"), 0) << comparison;
    }
    EXPECT_EQ(f.hits({row(C::AnyDate, C::DoesNotContain, "1999"), typeRow("Individual")}),
              (std::vector<std::string>{"I1", "I2"}));
}

TEST(SearchRecords, GEDCOMTextShowsTheWholeLineThatMatched) {
    SearchFixture f;
    f.read(kBirths);
    std::vector<std::string> texts;
    EXPECT_EQ(f.hits({row(C::GEDCOMText, C::Contains, "oslo")}, &texts), std::vector<std::string>{"I1"});
    EXPECT_EQ(texts, std::vector<std::string>{"2 PLAC Oslo"});
    texts.clear();
    EXPECT_EQ(f.hits({row(C::GEDCOMText, C::MatchesRegex, "Da[h]l")}, &texts), std::vector<std::string>{"I2"});
    EXPECT_EQ(texts, std::vector<std::string>{"1 NAME Cora /Dahl/"});
}

TEST(SearchRecords, AnInAlbumRowWithoutAnAlbumMatchesNothing) {
    SearchFixture f;
    f.open(kBirths);
    CriterionRow album = row(C::InAlbum, C::Is, "");
    EXPECT_TRUE(f.hits({album}).empty());
    f.index->selectRecordType("INDI");
    f.index->selectByRecordIDs(std::vector<std::string>{"@I2@"});
    f.index->populateAlbum(4501);
    album.albumIndex = 0;
    EXPECT_EQ(f.hits({album}), std::vector<std::string>{"I2"});
}

TEST(SearchRecords, GEDCOMTextFindsExactlyTheRecordsHoldingTheWordInALargeTree) {
    SearchFixture f;
    f.doc.undo().disableUndoRegistration();
    f.doc.gedcomModel().setGedcomFromFile(std::string(KL_TESTDATA) + "/gedcom/gedcom-parse/compat-paf2.ged");
    f.doc.undo().enableUndoRegistration();
    ASSERT_GT(f.doc.gedcomModel().numberOfType("INDI"), 3000u);
    const std::string word = "england";
    std::size_t expected = 0;
    for (const auto& record : f.lists().collectRecords(std::nullopt))
        if (textcase::lower(record->gedcomString()).find(word) != std::string::npos) ++expected;
    ASSERT_GT(expected, 10u);
    EXPECT_EQ(f.hits({row(C::GEDCOMText, C::Contains, "England")}).size(), expected);
}

}  // namespace
}  // namespace kl
