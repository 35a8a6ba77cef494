// What the record window's Attach commands and record drops do to a small
// family: which items are offered and how they read, the data each change
// leaves, its undo name, and the refusals that leave the data as it was.
#include <gtest/gtest.h>

#include "app/LibraryFolder.h"
#include "browser/RecordLinking.h"
#include "document/RecordsListForPanel.h"
#include "document/StoreTestSupport.h"
#include "model/GEDCOMStructure.h"

namespace kl {
namespace {

constexpr const char* kPeople =
    "0 @I1@ INDI\n1 NAME Ann /Lee/\n1 SEX F\n1 FAMS @F1@\n"
    "0 @I2@ INDI\n1 NAME Tom /Lee/\n1 SEX M\n1 FAMS @F1@\n1 FAMS @F3@\n"
    "0 @I3@ INDI\n1 NAME Kim /Ash/\n1 SEX M\n"
    "0 @I4@ INDI\n1 NAME Eve /Ash/\n1 SEX F\n"
    "0 @F1@ FAM\n1 HUSB @I2@\n1 WIFE @I1@\n"
    "0 @F2@ FAM\n1 WIFE @I4@\n"
    "0 @F3@ FAM\n1 HUSB @I2@\n"
    "0 @S1@ SOUR\n1 TITL Parish book\n"
    "0 @N1@ NOTE A short note\n";

class RecordLinkingTest : public ::testing::Test, protected test::PeopleStoreFixture {
protected:
    void SetUp() override { load(kPeople); }
    std::shared_ptr<GEDCOMRecord> record(const std::string& id) { return model.recordWithID(id); }
    template <class T>
    std::shared_ptr<T> as(const std::string& id) {
        return std::dynamic_pointer_cast<T>(record(id));
    }
    std::string lastUndo() const { return document.undo.undoActionName(); }
};

TEST_F(RecordLinkingTest, AttachItemsAreOfferedAndTitledForTheShownRecord) {
    struct Case {
        const char* id;
        int tag;
        std::vector<std::string> dropTypes;
        bool enabled;
        const char* title;  // nullptr: not checked
    };
    const Case cases[] = {
        {"@F1@", RecordLinking::kAttachHusbandTag, {}, false, "Husband..."},
        {"@F1@", RecordLinking::kAttachWifeTag, {}, false, "Wife..."},
        {"@F3@", RecordLinking::kAttachHusbandTag, {}, true, "Male Partner..."},
        {"@F3@", RecordLinking::kAttachWifeTag, {}, true, "Wife..."},
        {"@F2@", RecordLinking::kAttachWifeTag, {}, true, "Female Partner..."},
        {"@F2@", RecordLinking::kAttachChildTag, {}, true, "Child..."},
        {"@I2@", RecordLinking::kAttachHusbandTag, {}, true, "As Husband in New Family"},
        {"@I2@", RecordLinking::kAttachWifeTag, {}, false, "As Wife in New Family"},
        {"@I1@", RecordLinking::kAttachChildTag, {}, true, "As Child in New Family"},
        {"@S1@", RecordLinking::kAttachHusbandTag, {}, true, "Link From Individual..."},
        {"@S1@", RecordLinking::kAttachWifeTag, {}, true, "Link From Family..."},
        {"@S1@", RecordLinking::kAttachChildTag, {}, false, nullptr},
        {"@I1@", RecordLinking::kLinkNotesTag, {"SOUR"}, false, nullptr},
        {"@I1@", RecordLinking::kLinkNotesTag, {"NOTE"}, true, nullptr},
        {"@I1@", RecordLinking::kLinkLogTag, {"_LOG"}, true, nullptr},
        {"@I1@", RecordLinking::kAttachEventTag, {}, true, nullptr},
        {"@S1@", RecordLinking::kAttachEventTag, {}, false, nullptr},
        {"@I1@", RecordLinking::kOptionalDataTag, {}, false, nullptr},
        {"@I2@", SortSpouseFamilies, {}, true, nullptr},
        {"@I1@", SortSpouseFamilies, {}, false, nullptr},
        {"@S1@", SortEvents, {}, false, nullptr},
        {"@F1@", SortChildren, {}, false, nullptr},
    };
    for (const Case& c : cases) {
        RecordLinking::Facts facts;
        facts.record = record(c.id).get();
        facts.dropTypes = &c.dropTypes;
        const auto answer = RecordLinking::validateTag(c.tag, facts);
        ASSERT_TRUE(answer) << c.id << " " << c.tag;
        EXPECT_EQ(answer->enabled, c.enabled) << c.id << " " << c.tag;
        if (c.title) {
            EXPECT_EQ(answer->title.value_or(""), c.title) << c.id << " " << c.tag;
        }
    }
    RecordLinking::Facts none;
    EXPECT_FALSE(RecordLinking::validateTag(4301, none));
}

TEST_F(RecordLinkingTest, AnIndividualGoesIntoANewFamilyInItsRole) {
    struct Case {
        const char* id;
        int tag;
        const char* line;
        const char* undo;
    };
    const Case cases[] = {
        {"@I3@", RecordLinking::kAttachHusbandTag, "HUSB", "Attach Husband in New Family"},
        {"@I4@", RecordLinking::kAttachWifeTag, "WIFE", "Attach Wife in New Family"},
        {"@I3@", RecordLinking::kAttachChildTag, "CHIL", "Attach Child in New Family"},
    };
    for (const Case& c : cases) {
        const std::size_t families = countOf("FAM");
        auto family = RecordLinking::attachInNewFamily(as<INDIRecord>(c.id), c.tag, model);
        ASSERT_TRUE(family) << c.line;
        EXPECT_EQ(countOf("FAM"), families + 1);
        EXPECT_TRUE(family->hasLink(c.line, c.id)) << c.line;
        EXPECT_EQ(lastUndo(), c.undo);
        document.undo.undo();
        EXPECT_EQ(countOf("FAM"), families) << "one undo step takes the family away";
    }
}

TEST_F(RecordLinkingTest, ANewSpouseOrChildHasItsSexAndTheTypedName) {
    auto son = RecordLinking::newIndividual(model, true, "Ash, Ray");
    auto daughter = RecordLinking::newIndividual(model, false, "");
    ASSERT_TRUE(son && daughter);
    EXPECT_EQ(son->sex(), "M");
    EXPECT_EQ(son->surname(), "Ash");
    EXPECT_EQ(daughter->sex(), "F");
    auto family = as<FAMRecord>("@F2@");
    RecordLinking::attachChild(*family, son, FAMRecord::PedigreeAdopted);
    EXPECT_EQ(lastUndo(), "Attach Child");
    EXPECT_TRUE(family->hasLink("CHIL", son->grecordID()));
    RecordLinking::attachSpouse(*family, as<INDIRecord>("@I3@"), "HUSB");
    EXPECT_EQ(lastUndo(), "Attach Husband");
    EXPECT_EQ(family->husbandID(), "@I3@");
}

TEST_F(RecordLinkingTest, ThePickersOfferTheRightPeople) {
    std::vector<std::string> men;
    const auto list = RecordLinking::individualsOfSex(model, 'M');
    for (const auto& person : list->order()) men.push_back(person->grecordID());
    EXPECT_EQ(men, (std::vector<std::string>{"@I2@", "@I3@"}));
    EXPECT_EQ(RecordLinking::childTypeSelect(*as<FAMRecord>("@F1@")), "Lee, ");
    EXPECT_EQ(RecordLinking::childTypeSelect(*as<FAMRecord>("@F2@")), "Ash, ");
    load("0 @F9@ FAM\n");
    EXPECT_EQ(RecordLinking::childTypeSelect(*as<FAMRecord>("@F9@")), "");
}

TEST_F(RecordLinkingTest, RecordDropsGoThroughTheAcceptedTypesOnly) {
    auto ann = record("@I1@");
    // Three records of which only the source is of an accepted type.
    const std::vector<std::string> dropTypes{"SOUR"};
    const std::vector<std::string> three{"@I3@", "@S1@", "@N1@"};
    EXPECT_EQ(RecordLinking::dragOperation(three, false, dropTypes, model), 1);
    const auto dropped = RecordLinking::dropRecords(*ann, three, dropTypes, false, model, RecordLinking::kDroppedFormat);
    EXPECT_EQ(dropped.attached, 1);
    EXPECT_FALSE(dropped.failure);
    EXPECT_TRUE(ann->hasLink("SOUR", "@S1@"));
    EXPECT_FALSE(ann->hasLink("NOTE", "@N1@"));
    EXPECT_EQ(lastUndo(), "Dropped Record(s)");

    // A link-only drag carries one record of a "Ctrl" type.
    const std::vector<std::string> ctrlOnly{"INDICtrl"};
    EXPECT_EQ(RecordLinking::dragOperation({"@I3@", "@I4@"}, true, ctrlOnly, model), 0);
    EXPECT_EQ(RecordLinking::dragOperation({"@I3@"}, true, ctrlOnly, model), 2);
    EXPECT_EQ(RecordLinking::dragOperation({"@I3@"}, false, ctrlOnly, model), 0);
    EXPECT_EQ(RecordLinking::dragOperation({}, false, dropTypes, model), 0);
    // ... but its handler is looked up for plain types only.
    auto family = record("@F2@");
    const auto ctrl = RecordLinking::dropRecords(*family, {"@I3@"}, ctrlOnly, true, model, RecordLinking::kDroppedFormat);
    EXPECT_EQ(ctrl.attached, 0);
    EXPECT_EQ(as<FAMRecord>("@F2@")->husbandID(), "");
}

TEST_F(RecordLinkingTest, AFailedDropStopsAfterWhatWasAttached) {
    auto family = record("@F2@");
    // Eve is the wife already: the family's handler refuses her as a child.
    const auto dropped = RecordLinking::dropRecords(*family, {"@I3@", "@I4@", "@S1@"}, {"INDI", "SOUR"}, false, model,
                                                    RecordLinking::kDroppedFormat);
    EXPECT_EQ(dropped.attached, 1);
    ASSERT_TRUE(dropped.failure);
    EXPECT_FALSE(family->hasLink("SOUR", "@S1@")) << "the drop stopped at the refusal";
    EXPECT_NE(lastUndo(), "Dropped Record(s)");
}

TEST_F(RecordLinkingTest, GenericLinksLinkChosenOrNewRecords) {
    auto ann = record("@I1@");
    Dictionary last{{"NOTE", Value("")}};
    const std::vector<std::string> dropTypes{"NOTE", "SOUR"};
    auto options = RecordLinking::genericOptions(RecordLinking::kLinkNotesTag, last);
    ASSERT_TRUE(options);
    EXPECT_EQ(options->get("recordTag")->toString(), "NOTE");
    EXPECT_FALSE(RecordLinking::genericOptions(4210, last));

    // A chosen note: linked, shown nowhere, remembered as the last one.
    auto chosen = RecordLinking::attachGenericLinkNow(*ann, record("@N1@"), *options, model, dropTypes, last);
    ASSERT_EQ(chosen.record, record("@N1@"));
    EXPECT_EQ(chosen.target, 6);
    EXPECT_TRUE(ann->hasLink("NOTE", "@N1@"));
    EXPECT_EQ(lastUndo(), "Attached Notes");
    EXPECT_EQ(last.get("NOTE")->objectAs<GEDCOMRecord>(), record("@N1@"));

    // The new-record button: a new note with the typed text, opened.
    Dictionary info = *options;
    info.set("FindText", Value("Typed words"));
    const std::size_t notes = countOf("NOTE");
    auto made = RecordLinking::attachGenericLinkNow(*ann, nullptr, info, model, dropTypes, last);
    ASSERT_TRUE(made.record);
    EXPECT_TRUE(made.isNew);
    EXPECT_EQ(made.target, 4);
    EXPECT_EQ(countOf("NOTE"), notes + 1);
    EXPECT_TRUE(ann->hasLink("NOTE", made.record->grecordID()));

    // A link tag of its own checks for doubles and for the record itself.
    Dictionary alias{{"recordTag", Value("INDI")}, {"linkTag", Value("ALIA")}};
    EXPECT_TRUE(RecordLinking::attachGenericLinkNow(*ann, record("@I4@"), alias, model, dropTypes, last).record);
    const auto twice = RecordLinking::attachGenericLinkNow(*ann, record("@I4@"), alias, model, dropTypes, last);
    EXPECT_EQ(twice.refusal.value_or(""), RecordLinking::kAlreadyLinked);
    const auto self = RecordLinking::attachGenericLinkNow(*ann, ann, alias, model, dropTypes, last);
    EXPECT_EQ(self.refusal.value_or(""), RecordLinking::kLinkToSelf);
    EXPECT_EQ(ann->findAllStructuresWithTag("ALIA", std::nullopt).size(), 1u);
}

TEST_F(RecordLinkingTest, ASourceCitesBackAndAFamilyLinkMakesAChild) {
    auto kim = record("@I3@");
    RecordLinking::finalDropOperation(*kim, "SOUR", record("@S1@"), RecordLinking::kAttachedFormat, model);
    EXPECT_TRUE(kim->hasLink("SOUR", "@S1@"));
    const auto& back = record("@S1@")->crossRefIDs();
    EXPECT_NE(std::find(back.begin(), back.end(), "@I3@"), back.end());

    RecordLinking::finalDropOperation(*kim, "FAMC", record("@F2@"), RecordLinking::kAttachedFormat, model);
    EXPECT_EQ(lastUndo(), "Attach as Child");
    EXPECT_TRUE(record("@F2@")->hasLink("CHIL", "@I3@"));

    RecordLinking::attachCiteFrom(*record("@S1@"), record("@I4@"));
    EXPECT_EQ(lastUndo(), "Attach Link from Record");
    EXPECT_TRUE(record("@I4@")->hasLink("SOUR", "@S1@"));
}

TEST_F(RecordLinkingTest, AssociationsRefuseDoublesAndTheRecordItself) {
    auto ann = record("@I1@");
    auto kim = record("@I3@");
    EXPECT_FALSE(RecordLinking::attachAssociation(*ann, kim, true));
    EXPECT_TRUE(ann->hasLink("ASSO", "@I3@"));
    EXPECT_TRUE(kim->hasLink("ASSO", "@I1@")) << "linked back as asked";
    const auto twice = RecordLinking::attachAssociation(*ann, kim, false);
    ASSERT_TRUE(twice);
    EXPECT_EQ(twice->second, RecordLinking::kAlreadyAssociated);
    const auto self = RecordLinking::attachAssociation(*ann, ann, false);
    ASSERT_TRUE(self);
    EXPECT_EQ(self->second, RecordLinking::kAssoSelf);
    EXPECT_EQ(ann->findAllStructuresWithTag("ASSO", std::nullopt).size(), 1u);
}

TEST_F(RecordLinkingTest, EventsAndOptionalDataAreCopiedIn) {
    const std::vector<EventDefinition> events{{"b", "BIRT", "Birth", "Birth"}, {"o", "OCCU", "Occupation", "Occupation"}};
    auto list = RecordLinking::eventList(events, model);
    ASSERT_EQ(list->count(), 2u);
    auto kim = record("@I3@");
    auto occupation = list->order()[1];
    EXPECT_EQ(RecordLinking::entryTag(*occupation), "OCCU");
    RecordLinking::attachLastStructure(*kim, *occupation, "Attach Event or Attribute");
    EXPECT_TRUE(kim->firstChildWithTag("OCCU"));
    EXPECT_EQ(lastUndo(), "Attach Event or Attribute");
    EXPECT_EQ(RecordLinking::eventList({}, model)->count(), 0u);
}

}  // namespace
}  // namespace kl
