// Records > Edit GEDCOM Source marks the focused cell's structure, except
// in a window showing a group of the record's structures, which marks the
// structure the group hangs from.
#include <gtest/gtest.h>

#include "browser/SourceMark.h"
#include "document/GEDCOMModel.h"
#include "model/GEDCOMStructure.h"
#include "model/GroupedRecord.h"

namespace kl {
namespace {

TEST(SourceMark, AGroupWindowMarksItsParentStructureOthersTheFocusedOne) {
    GEDCOMModel model;
    model.setInputGed("0 HEAD\n0 @I1@ INDI\n1 NAME Ada /Quill/\n1 BIRT\n2 DATE 1 MAY 1820\n2 SOUR @S1@\n"
                      "0 @S1@ SOUR\n1 TITL Parish book\n0 TRLR\n");
    model.setRecordsFromStringVerifyIDs(true, false);
    const auto person = model.recordWithID("@I1@");
    const auto birth = person->findChild("BIRT", false);
    const std::shared_ptr<GEDCOMObject> date = birth->findChild("DATE", false);
    const std::shared_ptr<GEDCOMObject> citation = birth->findChild("SOUR", false);
    // The sources of the birth, as a child window shows them.
    GroupedRecord sources({birth->findChild("SOUR", false)}, 1, &model, "SourcesOf");
    sources.setParentStructure(birth);
    // A group of the whole record hangs from the record itself.
    GroupedRecord whole(person->structures(), 0, &model, "Whole");
    whole.setParentStructure(person);

    struct Case {
        const char* name;
        const GEDCOMRecord& window;
        std::shared_ptr<GEDCOMObject> focused;
        std::shared_ptr<GEDCOMObject> marked;
    } cases[] = {
        {"main window", *person, date, date},
        {"main window, nothing focused", *person, nullptr, nullptr},
        {"group window", sources, citation, birth},
        {"group window, nothing focused", sources, nullptr, birth},
        {"group of the whole record", whole, date, date},
    };
    for (const Case& c : cases) EXPECT_EQ(sourceStructureToMark(c.window, *person, c.focused), c.marked) << c.name;
}

}  // namespace
}  // namespace kl
