// Sorting records lists: whole-list sorts by one or two expressions, the
// reversal on a second sort, blanks last both ways, sorted insertion,
// re-placing an edited record and type-ahead.
#include <gtest/gtest.h>

#include "StoreTestSupport.h"
#include "document/DocumentNotifications.h"
#include "document/IndexStyle.h"
#include "document/KLExpression.h"
#include "document/RecordSorter.h"
#include "document/RecordsList.h"
#include "model/GEDCOMStructure.h"

namespace kl {
namespace {

// A list of individuals whose NAME (and AGE) lines give the sort values;
// an empty text leaves the line out, so the value is blank.
class Sorting : public testing::Test, public test::StoreFixture {
protected:
    void fill(const std::vector<std::pair<std::string, std::string>>& people) {
        std::string text = "0 HEAD\n";
        for (size_t i = 0; i < people.size(); ++i) {
            text += "0 @I" + std::to_string(i + 1) + "@ INDI\n";
            if (!people[i].first.empty()) text += "1 NAME " + people[i].first + "\n";
            if (!people[i].second.empty()) text += "1 AGE " + people[i].second + "\n";
        }
        read(text + "0 TRLR\n");
        indis = list("INDI");
    }
    void sortBy(const char* primary, const char* secondary = nullptr) {
        RecordSorter(indis, KLExpression::expressionFromString(primary),
                     secondary ? KLExpression::expressionFromString(secondary) : nullptr)
            .sort();
    }
    std::vector<std::string> names() const {
        std::vector<std::string> out;
        for (const auto& r : indis->order()) out.push_back(r->findContentsWithTag("NAME", 1));
        return out;
    }
    std::shared_ptr<GEDCOMRecord> person(const std::string& name, const std::string& age = "") {
        auto r = std::make_shared<GEDCOMRecord>("@X" + std::to_string(++made) + "@", "INDI");
        if (!name.empty()) r->addLevel(1, "NAME", name);
        if (!age.empty()) r->addLevel(1, "AGE", age);
        return r;
    }
    std::shared_ptr<RecordsList> indis;
    int made = 0;
};

TEST_F(Sorting, AscendingThenDescendingWithBlanksLastBothTimes) {
    fill({{"carl", ""}, {"Anna", ""}, {"", ""}, {"bert", ""}, {"", ""}});
    sortBy("NAME");
    EXPECT_EQ(names(), (std::vector<std::string>{"Anna", "bert", "carl", "", ""}));
    EXPECT_EQ(indis->howSorted(), (std::vector<std::string>{"NAME"}));
    EXPECT_EQ(indis->sortOrder(), -1);
    sortBy("NAME");
    EXPECT_EQ(names(), (std::vector<std::string>{"carl", "bert", "Anna", "", ""}));
    EXPECT_EQ(indis->sortOrder(), 1);
}

TEST_F(Sorting, AllBlankListStaysAsItWas) {
    fill({{"", "1"}, {"", "2"}, {"", "3"}});
    const auto before = indis->recordIDArray();
    sortBy("NAME");
    EXPECT_EQ(indis->recordIDArray(), before);
}

TEST_F(Sorting, ReversedPairIsFixedAndEqualPrimariesFallToTheSecondExpression) {
    fill({{"b", ""}, {"a", ""}});
    sortBy("NAME");
    EXPECT_EQ(names(), (std::vector<std::string>{"a", "b"}));

    fill({{"smith", "30"}, {"Smith", "12"}, {"jones", "5"}, {"smith", ""}});
    sortBy("NAME", "AGE.number");
    EXPECT_EQ(indis->recordIDArray(), (std::vector<std::string>{"@I3@", "@I2@", "@I1@", "@I4@"}));
}

TEST_F(Sorting, NumericSortTreatsZeroAsBlank) {
    fill({{"a", "40"}, {"b", "0"}, {"c", "7"}, {"d", ""}, {"e", "12"}});
    sortBy("AGE.number");
    EXPECT_EQ(names(), (std::vector<std::string>{"c", "e", "a", "b", "d"}));
    sortBy("AGE.number");
    EXPECT_EQ(names(), (std::vector<std::string>{"a", "e", "c", "b", "d"}));
}

TEST_F(Sorting, NewRecordsGoToTheirSortedPlaceBeforeTheBlankTail) {
    struct Case {
        const char* name;
        size_t at;
    };
    for (const Case& c : {Case{"zed", 3}, Case{"Cleo", 2}, Case{"aaron", 0}, Case{"", 5}}) {
        fill({{"anna", ""}, {"bert", ""}, {"dora", ""}, {"", ""}, {"", ""}});
        sortBy("NAME");
        EXPECT_EQ(indis->insertLocationForRecord(*person(c.name)), c.at) << c.name;
    }
}

TEST_F(Sorting, InADescendingAllBlankListANonBlankRecordGoesFirst) {
    fill({{"", ""}, {"", ""}});
    indis->setHowSorted({"NAME"}, 1);
    EXPECT_EQ(indis->insertLocationForRecord(*person("x")), 0u);
}

TEST_F(Sorting, SortedInsertionKeepsTheOrderOnInstall) {
    fill({{"anna", ""}, {"dora", ""}, {"", ""}});
    sortBy("NAME");
    auto created = model.createNewRecordOfType("INDI");
    // A new individual already carries a name ("Female /New/"); type over it.
    created->findStructureWithTag("NAME")->changeContents("carl");
    indis->removeRecord(created);
    indis->addRecord(created, true);
    EXPECT_EQ(names(), (std::vector<std::string>{"anna", "carl", "dora", ""}));
    EXPECT_EQ(indis->recordWithID(created->grecordID()), created);
}

TEST_F(Sorting, EditedRecordIsMovedToItsPlace) {
    fill({{"anna", ""}, {"bert", ""}, {"carl", ""}});
    sortBy("NAME");
    auto anna = indis->recordWithIndex(0);
    anna->findStructureWithTag("NAME")->changeContents("zoe");
    test::NotificationLog log({notification_names::ListOrderOrTextChanged});
    NotificationCenter::defaultCenter().post(notification_names::RecordMayNeedSorting,
                                             static_cast<const GEDCOMObject*>(anna.get()));
    EXPECT_EQ(names(), (std::vector<std::string>{"bert", "carl", "zoe"}));
    EXPECT_EQ(log.count(notification_names::ListOrderOrTextChanged), 1u);
    EXPECT_EQ(indis->recordWithID(anna->grecordID()), anna);
}

TEST_F(Sorting, TypeAheadFindsTheFirstValueWithTheTypedPrefix) {
    fill({{"Baker", ""}, {"adams", ""}, {"BROWN", ""}, {"Carter", ""}, {"", ""}});
    std::string match;
    EXPECT_EQ(indis->findSortedString("br", &match), -1) << "an unsorted list finds nothing";
    sortBy("NAME");
    struct Case {
        const char* typed;
        long at;
        const char* match;
    };
    for (const Case& c : {Case{"b", 1, "Baker"}, Case{"br", 2, "BROWN"}, Case{"A", 0, "adams"},
                          Case{"zz", 4, ""}, Case{"c", 3, "Carter"}}) {
        EXPECT_EQ(indis->findSortedString(c.typed, &match), c.at) << c.typed;
        EXPECT_EQ(match, c.match) << c.typed;
    }
}

TEST_F(Sorting, TypeAheadInADateSortFindsTheFirstAtOrAfterTheDate) {
    read("0 HEAD\n0 @I1@ INDI\n1 BIRT\n2 DATE 1900\n0 @I2@ INDI\n1 BIRT\n2 DATE 3 MAR 1850\n"
         "0 @I3@ INDI\n1 BIRT\n2 DATE 1875\n0 TRLR\n");
    indis = list("INDI");
    sortBy("BIRT.DATE.sdn");
    EXPECT_EQ(indis->recordIDArray(), (std::vector<std::string>{"@I2@", "@I3@", "@I1@"}));
    EXPECT_EQ(indis->findSortedString("1870", nullptr), 1);
}

TEST_F(Sorting, ColumnSortReversesOnTheSecondClickAndTellsTheWindow) {
    fill({{"b", ""}, {"a", ""}, {"c", ""}});
    indis->setIndexStyle(IndexStyle::defaultStyleForType("INDI"));
    indis->setIndexStyle(IndexStyle::indexStyleWith(
        Array{Dictionary{{"Label", "Name"}, {"Expression", "NAME"}, {"Width", 5}}}, "INDI"));
    EXPECT_EQ(indis->indexStyle()->columns()[0].width, 10) << "narrow widths are widened";
    test::NotificationLog log({notification_names::ColumnOrderChanged});
    indis->sortColumn(0);
    EXPECT_EQ(names(), (std::vector<std::string>{"a", "b", "c"}));
    indis->sortColumn(0);
    EXPECT_EQ(names(), (std::vector<std::string>{"c", "b", "a"}));
    EXPECT_EQ(log.count(notification_names::ColumnOrderChanged), 2u);
    indis->sortColumn(-1);
    EXPECT_EQ(log.count(notification_names::ColumnOrderChanged), 2u);
}

}  // namespace
}  // namespace kl

#include "document/TextOrder.h"

namespace kl {
namespace {

TEST(TextOrder, IgnoresCaseBeyondASCIIAndNeverSplitsACharacter) {
    struct Case {
        const char* a;
        const char* b;
        int sign;
    };
    for (const Case& c : {Case{"émile", "ÉMILE", 0}, Case{"adam", "Bert", -1}, Case{"Zoë", "zoe", 1},
                          Case{"ab", "abc", -1}, Case{"", "", 0}, Case{"Ωmega", "ωMEGA", 0}}) {
        const int got = compareCaseless(c.a, c.b);
        EXPECT_EQ((got > 0) - (got < 0), c.sign) << c.a << " vs " << c.b;
    }
    EXPECT_TRUE(hasCaselessPrefix("Émile Zola", "ém"));
    EXPECT_FALSE(hasCaselessPrefix("É", "e"));
    EXPECT_FALSE(hasCaselessPrefix("ab", "abc"));
}

}  // namespace
}  // namespace kl
