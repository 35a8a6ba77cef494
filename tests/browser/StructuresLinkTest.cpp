// Buttons that gather some of a record's structures and open them as a
// group in the browser's child window.
#include <gtest/gtest.h>

#include "LinkPaneSupport.h"
#include "cells/StructuresLink.h"
#include "model/GEDCOMStructure.h"
#include "model/GroupedRecord.h"

namespace kl {
namespace {

class StructureGroups : public test::LinkPaneTest {
protected:
    void SetUp() override {
        LinkPaneTest::SetUp();
        readRecords("0 @I1@ INDI\n1 NAME Orla /Fenwick/\n1 BIRT\n2 DATE 3 MAR 1850\n2 SOUR @S1@\n2 SOUR @S2@\n"
                    "1 BIRT\n2 DATE ABT 1851\n2 SOUR @S1@\n1 NOTE first\n0 @S1@ SOUR\n1 TITL Parish book\n"
                    "0 @S2@ SOUR\n1 TITL Census\n");
    }
    std::vector<StructuresLink*> links() const { return cellsOf<StructuresLink>(); }
};

TEST_F(StructureGroups, AClickOpensTheGatheredStructuresAsOneGroup) {
    ASSERT_TRUE(build("Cell structureslink Births Yearly\nLinkall BIRT\nText \"All births\"\n")) << failure();
    ASSERT_EQ(links().size(), 1u);
    StructuresLink& link = *links().front();
    EXPECT_EQ(link.text(), "All births");
    EXPECT_EQ(link.templateName(), "Births");
    EXPECT_EQ(link.parameter(), "Yearly");
    EXPECT_EQ(link.editLevel(), 1);
    EXPECT_TRUE(link.holdsDataCell());
    EXPECT_EQ(link.groupRecord(), nullptr);

    link.buttonClick(false);
    EXPECT_EQ(host.log, (std::vector<std::string>{"show Births [Yearly] 2"}));
    const auto group = link.groupRecord();
    ASSERT_NE(group, nullptr);
    EXPECT_EQ(group->glevel(), 0);
    EXPECT_EQ(group->parentStructure(), person);
    EXPECT_EQ(group->structures(), person->findChildren("BIRT", false));

    // The window already shows this group: it only comes forward.
    link.buttonClick(false);
    EXPECT_EQ(host.log.back(), "forward");
    EXPECT_EQ(link.groupRecord(), group);

    // Another window's group: a new group replaces it there.
    host.childGroup = std::make_shared<GroupedRecord>(GEDCOMObject::StructureList{}, 1, nullptr, "Other");
    link.buttonClick(false);
    EXPECT_EQ(host.log.back(), "show Births [Yearly] 2");
    EXPECT_NE(link.groupRecord(), group);
}

TEST_F(StructureGroups, TagLocationsCountTheLinksOfABuildAndRepeatInTheNext) {
    const std::string withLinks = "Showall BIRT\nShow RESI\n";
    const std::map<std::string, std::string> tags{{"BIRT", "Cell structureslink Sources\nLinkall SOUR\n"},
                                                  {"RESI", "Cell structureslink Sources\nLinkall SOUR\n"}};
    std::vector<std::string> first;
    for (int build = 0; build < 2; ++build) {
        ASSERT_TRUE(this->build(withLinks, tags)) << failure();
        std::vector<std::string> locations;
        for (StructuresLink* link : links()) locations.push_back(link->tagLocation().value_or("(none)"));
        ASSERT_EQ(locations.size(), 3u);
        EXPECT_NE(locations[0], locations[1]);
        EXPECT_NE(locations[1], locations[2]);
        if (build == 0) first = locations;
        else EXPECT_EQ(locations, first);
    }
    const auto shown = links();
    EXPECT_EQ(background.cellWithTagLocation(*shown[1]->tagLocation()), shown[1]);
    EXPECT_EQ(background.cellWithTagLocation("nowhere 9"), nullptr);

    // A group hangs from its frame's structure, or from none when the
    // frame stands for a structure the record lacks.
    const auto births = person->findChildren("BIRT", false);
    for (std::size_t i = 0; i < 3; ++i) {
        shown[i]->buttonClick(false);
        const auto group = shown[i]->groupRecord();
        ASSERT_NE(group, nullptr);
        EXPECT_EQ(group->glevel(), 1);
        EXPECT_EQ(group->recordType(), "Sources");
        EXPECT_EQ(group->parentStructure(), i < 2 ? std::shared_ptr<GEDCOMObject>(births[i]) : nullptr) << i;
        EXPECT_EQ(group->structures().size(), i == 0 ? 2u : i == 1 ? 1u : 0u) << i;
    }
}

TEST_F(StructureGroups, AStructureDeletedElsewhereLeavesTheLinkAndItsGroup) {
    ASSERT_TRUE(build("Showall BIRT\n", {{"BIRT", "Cell structureslink Sources\nLinkall SOUR\n"}})) << failure();
    StructuresLink& link = *links().front();
    link.buttonClick(false);
    const auto group = link.groupRecord();
    ASSERT_EQ(group->structures().size(), 2u);

    const auto birth = person->findChildren("BIRT", false).front();
    const auto gone = birth->structures()[1];
    ASSERT_EQ(gone->contents(), "@S1@");
    person->removeStructure(gone, birth.get(), nullptr);
    ASSERT_EQ(link.structures().size(), 1u);
    EXPECT_EQ(link.structures().front()->contents(), "@S2@");
    ASSERT_EQ(group->structures().size(), 1u);
    EXPECT_EQ(group->structures().front()->contents(), "@S2@");
    // Nothing else of the record's went with it.
    EXPECT_EQ(birth->structures().size(), 2u);
}

TEST_F(StructureGroups, RestoringHandsTheChildANewGroupWithTheCreatedStructure) {
    ASSERT_TRUE(build("Cell structureslink Notes\nLinkall NOTE\n")) << failure();
    StructuresLink& link = *links().front();
    link.restoreChild(person->findChild("NOTE", false));
    EXPECT_EQ(host.log, (std::vector<std::string>{"restore Notes [] 1 NOTE"}));
}

}  // namespace
}  // namespace kl
