// The names the main menu's relationship and attach items take for the
// record a main window shows.
#include <gtest/gtest.h>

#include <map>
#include <string>

#include "browser/BrowserMenuTitles.h"
#include "document/GEDCOMModel.h"
#include "model/GEDCOMRecord.h"

namespace kl {
namespace {

using T = BrowserMenuTitles;

struct TitlesCase {
    const char* id;
    std::map<int, std::string> titles;  // empty: nothing is retitled
};

class MenuTitles : public ::testing::TestWithParam<TitlesCase> {
protected:
    void SetUp() override {
        // @F1@ has both partners, @F2@ only a husband and is unmarried,
        // @F3@ only a wife; @I3@'s first father entry is a woman.
        model.setInputGed(
            "0 HEAD\n1 CHAR UTF-8\n"
            "0 @I1@ INDI\n1 NAME Tobin /Marl/\n1 SEX M\n1 FAMS @F1@\n1 FAMS @F2@\n"
            "0 @I2@ INDI\n1 NAME Wenna /Croft/\n1 SEX F\n1 FAMS @F1@\n1 FAMS @F3@\n"
            "0 @I3@ INDI\n1 NAME Pell /Marl/\n1 SEX M\n1 FAMC @F4@\n"
            "0 @I4@ INDI\n1 NAME Odra /Fenn/\n1 SEX F\n1 FAMS @F4@\n"
            "0 @F1@ FAM\n1 HUSB @I1@\n1 WIFE @I2@\n"
            "0 @F2@ FAM\n1 HUSB @I1@\n1 _UMR Y\n"
            "0 @F3@ FAM\n1 WIFE @I2@\n"
            "0 @F4@ FAM\n1 HUSB @I4@\n1 CHIL @I3@\n"
            "0 @S1@ SOUR\n1 TITL Parish book\n"
            "0 @N1@ NOTE A note\n"
            "0 @U1@ SUBM\n1 NAME Keeper\n"
            "0 TRLR\n");
        model.setRecordsFromStringVerifyIDs(true, false);
    }
    GEDCOMModel model;
    RecordLinkLists lists;
};

TEST_P(MenuTitles, NameWhatTheCommandDoesToTheShownRecord) {
    const TitlesCase& c = GetParam();
    BrowserNavigation::Facts facts;
    facts.record = model.recordWithID(c.id);
    ASSERT_NE(facts.record, nullptr);
    facts.record->setUpLinkLists(lists);
    facts.lists = &lists;
    facts.model = &model;
    std::map<int, std::string> got;
    for (const auto& [tag, title] : T::maintainTitles(facts)) got[tag] = title;
    EXPECT_EQ(got, c.titles);
}

INSTANTIATE_TEST_SUITE_P(
    Records, MenuTitles,
    ::testing::Values(
        TitlesCase{"@I1@",
                   {{kFatherTag, "Father"},
                    {kMotherTag, "Mother"},
                    {T::kAttachHusbandTag, "As Husband in New Family"},
                    {T::kAttachWifeTag, "As Wife in New Family"},
                    {T::kAttachChildTag, "As Child in New Family"}}},
        // The item keeps its plain name; only the menu's validation names
        // the woman in the father slot.
        TitlesCase{"@I3@",
                   {{kFatherTag, "Father"},
                    {kMotherTag, "Mother"},
                    {T::kAttachHusbandTag, "As Husband in New Family"},
                    {T::kAttachWifeTag, "As Wife in New Family"},
                    {T::kAttachChildTag, "As Child in New Family"}}},
        TitlesCase{"@F1@",
                   {{kFatherTag, "Husband"},
                    {kMotherTag, "Wife"},
                    {T::kMaritalStatusTag, "Not Married Status"},
                    {T::kAttachHusbandTag, "Husband..."},
                    {T::kAttachWifeTag, "Wife..."},
                    {T::kAttachChildTag, "Child..."}}},
        TitlesCase{"@F2@",
                   {{kFatherTag, "Father"},
                    {kMotherTag, "Mother"},
                    {T::kMaritalStatusTag, "Married Status"},
                    {T::kAttachHusbandTag, "Male Partner..."},
                    {T::kAttachWifeTag, "Wife..."},
                    {T::kAttachChildTag, "Child..."}}},
        TitlesCase{"@F3@",
                   {{kFatherTag, "Husband"},
                    {kMotherTag, "Wife"},
                    {T::kMaritalStatusTag, "Not Married Status"},
                    {T::kAttachHusbandTag, "Husband..."},
                    {T::kAttachWifeTag, "Female Partner..."},
                    {T::kAttachChildTag, "Child..."}}},
        TitlesCase{"@S1@", {{T::kAttachHusbandTag, "Link From Individual..."}, {T::kAttachWifeTag, "Link From Family..."}}},
        TitlesCase{"@N1@", {{T::kAttachHusbandTag, "Link From Individual..."}, {T::kAttachWifeTag, "Link From Family..."}}},
        TitlesCase{"@U1@", {}}));

}  // namespace
}  // namespace kl
