// A chart box's open and edit commands: which items each kind of box
// offers, the changes made at once, and the changes made once the user has
// picked or named a record, each one undo step.
#include <gtest/gtest.h>

#include "charts/ChartBoxCommands.h"
#include "charts/ReportsTestSupport.h"
#include "model/FAMRecord.h"
#include "model/INDIRecord.h"

namespace kl {
namespace {

using T = ChartBoxCommands;

// Kid's parents' family has only a mother. Dad and Eve have a son; Dad has
// no parents. Hal's family has no wife and no children.
const char* kHousehold =
    "0 @I1@ INDI\n1 NAME Kid /Moss/\n1 SEX M\n1 FAMC @F1@\n"
    "0 @I2@ INDI\n1 NAME Mae /Moss/\n1 SEX F\n1 FAMS @F1@\n"
    "0 @I3@ INDI\n1 NAME Dad /Lund/\n1 SEX M\n1 FAMS @F2@\n"
    "0 @I4@ INDI\n1 NAME Eve /Kerr/\n1 SEX F\n1 FAMS @F2@\n"
    "0 @I5@ INDI\n1 NAME Son /Lund/\n1 SEX M\n1 FAMC @F2@\n"
    "0 @I6@ INDI\n1 NAME Hal /Varn/\n1 SEX M\n1 FAMS @F3@\n"
    "0 @F1@ FAM\n1 WIFE @I2@\n1 CHIL @I1@\n"
    "0 @F2@ FAM\n1 HUSB @I3@\n1 WIFE @I4@\n1 CHIL @I5@\n"
    "0 @F3@ FAM\n1 HUSB @I6@\n";

class ChartBox : public ::testing::Test, public test::ReportFixture {
protected:
    ChartBox() : ReportFixture(kHousehold) {}
    std::shared_ptr<INDIRecord> person(const std::string& id) { return std::dynamic_pointer_cast<INDIRecord>(record(id)); }
    std::shared_ptr<FAMRecord> family(const std::string& id) { return std::dynamic_pointer_cast<FAMRecord>(record(id)); }
    BoxRecords ancestor(const std::string& id) {
        BoxRecords box;
        box.kind = BoxRecords::Kind::Ancestor;
        box.individual = box.person = person(id);
        return box;
    }
    // A family box of a descendants chart, showing `spouse` (none: the
    // family itself stands in).
    BoxRecords familyBox(const std::string& id, const std::string& spouse) {
        BoxRecords box;
        box.kind = BoxRecords::Kind::Family;
        box.family = family(id);
        box.person = spouse.empty() ? nullptr : person(spouse);
        box.individual = box.person ? std::shared_ptr<GEDCOMRecord>(box.person) : record(id);
        return box;
    }
    BoxRecords personBox(const std::string& id, const std::string& parentFamily) {
        BoxRecords box;
        box.individual = box.person = person(id);
        box.hasParentNode = !parentFamily.empty();
        if (box.hasParentNode) box.parentNodeRecord = record(parentFamily);
        return box;
    }
    std::size_t count(const char* type) { return doc.gedcomModel().recordsOfType(type).size(); }
};

TEST_F(ChartBox, EachKindOfBoxOffersItsOpenAndEditItems) {
    struct Case {
        const char* name;
        BoxRecords box;
        std::vector<BoxMenuItem> items;
    };
    const BoxMenuItem sep{"", -1};
    const Case cases[] = {
        {"ancestor with a mother only", ancestor("@I1@"),
         {{"Open Individual Record", 2}, {"Open Parent's Family Record", 3}, {"View Relationship...", 20}, sep,
          {"Attach Father", 10}, {"Detach Mother", 11}, sep}},
        {"ancestor without parents", ancestor("@I3@"),
         {{"Open Individual Record", 2}, {"View Relationship...", 20}, sep, {"Attach an Existing Family", 6},
          {"Make New Family with Father", 5}, {"Make New Family with Mother", 4},
          {"Make New Family with New Spouses", 21}, sep}},
        {"family showing a wife, with a child", familyBox("@F2@", "@I4@"),
         {{"Open Individual Record", 2}, {"Open Family Record", 0}, {"View Relationship...", 20}, sep,
          {"Attach Child", 15}, {"Detach Child", 16}, {"Detach this Wife but Keep the Children", 14},
          {"Detach this Wife and the Children", 12}, sep}},
        {"family without its spouse or children", familyBox("@F3@", ""),
         {{"Open Family Record", 0}, sep, {"Attach Child", 15}, {"Attach Wife", 13}, {"Detach this Family", 12}, sep}},
        {"a married man below a family", personBox("@I3@", "@F1@"),
         {{"Open Individual Record", 2}, {"View Relationship...", 20}, sep, {"Make New Family with Known Wife", 18},
          {"Make New Family with Unknown Wife", 19}, {"Detach from Parents", 17},
          {"Click on Spouse for Detach Options", -1}, sep}},
    };
    for (const Case& c : cases) EXPECT_EQ(T::menuItems(c.box), c.items) << c.name;
}

TEST_F(ChartBox, DetachingTheOnlyParentTakesThePersonOutOfTheFamily) {
    ASSERT_TRUE(T::perform(T::DetachFromParentsFamily, ancestor("@I1@"), doc.gedcomModel()));
    EXPECT_EQ(person("@I1@")->parentsFAM(), nullptr);
    EXPECT_EQ(family("@F1@")->wifeRecord(), person("@I2@")) << "the mother keeps her family";
    doc.undo().undo();
    EXPECT_EQ(person("@I1@")->parentsFAM(), family("@F1@")) << "one undo step";
}

TEST_F(ChartBox, AFamilyBoxDetachesTheTreePersonOrTheShownSpouse) {
    // Eve is shown as Dad's wife: 12 takes Dad out, 14 takes Eve out.
    ASSERT_TRUE(T::perform(T::DetachTreePerson, familyBox("@F2@", "@I4@"), doc.gedcomModel()));
    EXPECT_EQ(family("@F2@")->husbandRecord(), nullptr);
    EXPECT_EQ(family("@F2@")->wifeRecord(), person("@I4@"));
    doc.undo().undo();
    ASSERT_TRUE(T::perform(T::DetachShownSpouse, familyBox("@F2@", "@I4@"), doc.gedcomModel()));
    EXPECT_EQ(family("@F2@")->husbandRecord(), person("@I3@"));
    EXPECT_EQ(family("@F2@")->wifeRecord(), nullptr);
    EXPECT_EQ(family("@F2@")->children().size(), 1u);
}

TEST_F(ChartBox, AnUnknownWifeMakesAFamilyWithTheManAlone) {
    const std::size_t families = count("FAM");
    ASSERT_TRUE(T::perform(T::NewFamilyWithUnknownSpouse, personBox("@I6@", ""), doc.gedcomModel()));
    ASSERT_EQ(count("FAM"), families + 1);
    const auto made = person("@I6@")->spouseFamsRecs().back();
    EXPECT_EQ(made->husbandRecord(), person("@I6@"));
    EXPECT_EQ(made->wifeRecord(), nullptr);
    EXPECT_FALSE(T::perform(T::AttachChild, personBox("@I6@", ""), doc.gedcomModel())) << "needs a pick first";
}

TEST_F(ChartBox, ANewMotherNamedInTheFindFieldGetsANewParentsFamily) {
    const auto ask = T::selection(T::NewFamilyWithMother, ancestor("@I3@"), doc.gedcomModel());
    ASSERT_TRUE(ask);
    EXPECT_EQ(ask->options.get("message")->toString(), "Select female to attach as a mother");
    EXPECT_EQ(ask->options.get("newrecord")->toString(), "New Female");
    for (const auto& candidate : ask->candidates) EXPECT_EQ(std::dynamic_pointer_cast<INDIRecord>(candidate)->sexChar(), u'F');
    EXPECT_EQ(ask->candidates.size(), 2u);

    Dictionary info = ask->options;
    info.set("FindText", Value("Ula /Pine/"));
    T::finishSelection(T::NewFamilyWithMother, ancestor("@I3@"), doc.gedcomModel(), nullptr, info);
    const auto parents = person("@I3@")->parentsFAM();
    ASSERT_TRUE(parents);
    ASSERT_TRUE(parents->wifeRecord());
    EXPECT_EQ(parents->wifeRecord()->viewName(), "Pine, Ula");
    EXPECT_EQ(parents->wifeRecord()->sexChar(), u'F');
    doc.undo().undo();
    EXPECT_EQ(person("@I3@")->parentsFAM(), nullptr) << "one undo step";
}

TEST_F(ChartBox, TheChildPickStartsAtTheHusbandsSurnameAndItsSecondButtonMakesADaughter) {
    const auto ask = T::selection(T::AttachChild, familyBox("@F2@", "@I4@"), doc.gedcomModel());
    ASSERT_TRUE(ask);
    EXPECT_EQ(ask->options.get("typeSelect")->toString(), "Lund, ");
    EXPECT_EQ(ask->options.get("recordaction")->toString(), "Daughter");
    Dictionary info = ask->options;
    info.set("RecordActionClick", Value("YES"));
    // The picker hands back its selected row too; the daughter button makes a new one.
    T::finishSelection(T::AttachChild, familyBox("@F2@", "@I4@"), doc.gedcomModel(), record("@I6@"), info);
    const auto children = family("@F2@")->children();
    ASSERT_EQ(children.size(), 2u);
    EXPECT_EQ(children.back()->sexChar(), u'F');
    EXPECT_NE(children.back(), person("@I6@"));

    T::finishSelection(T::DetachChild, familyBox("@F2@", "@I4@"), doc.gedcomModel(), record("@I5@"), {});
    EXPECT_EQ(family("@F2@")->children().size(), 1u);
}

TEST_F(ChartBox, ANewFamilyWithNewSpousesNeedsAtLeastOnePerson) {
    const std::size_t families = count("FAM");
    EXPECT_FALSE(T::newFamilyWithNewSpouses(ancestor("@I3@"), doc.gedcomModel(), Array{}));
    EXPECT_EQ(count("FAM"), families);
    const Array settings{Value("Abe /Lund/"), Value(1), Value(""), Value(""),
                         Value("Ida /Roe/"),  Value(2), Value(""), Value("")};
    ASSERT_TRUE(T::newFamilyWithNewSpouses(ancestor("@I3@"), doc.gedcomModel(), settings));
    const auto parents = person("@I3@")->parentsFAM();
    ASSERT_TRUE(parents);
    EXPECT_EQ(parents->husbandRecord()->viewName(), "Lund, Abe");
    EXPECT_EQ(parents->wifeRecord()->viewName(), "Roe, Ida");
    EXPECT_EQ(doc.undo().undoActionName(), "New Family Record");
}

}  // namespace
}  // namespace kl
