// The pseudo-records of lists and child windows: an event entry named by
// its "_NAM" line, a group of a record's structures searched as a node of
// its own level, and both named "gedcomRecords" to scripts.
#include <gtest/gtest.h>

#include <memory>

#include "model/EVENTRecord.h"
#include "model/GEDCOMStructure.h"
#include "model/GroupedRecord.h"

namespace kl {
namespace {

TEST(EventEntry, IsNamedByItsNameLineOnly) {
    auto bare = std::make_shared<EVENTRecord>("@OPT1@", "@OPT");
    bare->addLevel(1, "_TAG", "OCCU");
    EXPECT_EQ(bare->viewName(), "");
    EXPECT_FALSE(bare->viewTags());

    auto named = std::make_shared<EVENTRecord>("@OPT2@", "@OPT");
    named->addLevel(1, "_TAG", "OCCU");
    named->addLevel(1, "_NAM", "Occupation");
    EXPECT_EQ(named->viewName(), "Occupation");
    EXPECT_EQ(named->viewTags(), (std::vector<std::string>{"_NAM"}));
}

TEST(GroupOfStructures, SearchesAsANodeOfItsLevel) {
    auto person = std::make_shared<GEDCOMRecord>("@I1@", "INDI");
    auto birth = person->addLevel(1, "BIRT", "");
    auto date = birth->addLevel(2, "DATE", "1 JAN 1900");
    auto place = birth->addLevel(2, "PLAC", "Brennow");

    auto group = std::make_shared<GroupedRecord>(birth->structures(), 1, nullptr, "BIRT");
    group->setParentStructure(birth);
    EXPECT_EQ(group->glevel(), 1);
    EXPECT_EQ(group->findStructureWithTag("PLAC", 2), place);
    EXPECT_EQ(group->findStructureWithTag("DATE", 2), date);
    EXPECT_EQ(group->parentStructure(), birth);
    // The structures are the record's own: nothing was copied away.
    EXPECT_EQ(birth->structures().size(), 2u);
    EXPECT_EQ(group->structures().front(), date);
}

TEST(PseudoRecords, AreNamedGedcomRecordsToScripts) {
    EVENTRecord entry("@EVENT1@", "@IEV");
    GroupedRecord group({}, 1, nullptr, "INDI");
    EXPECT_EQ(entry.scriptRecordType(), "gedcomRecords");
    EXPECT_EQ(group.scriptRecordType(), "gedcomRecords");
}

}  // namespace
}  // namespace kl
