// Object commands on records and structures of a store read from GEDCOM
// text, run by the interpreter: each change is one undo step.
#include "ScriptTestSupport.h"
#include "document/StoreTestSupport.h"
#include "model/GEDCOMStructure.h"
#include "script/ISListType.h"
#include "support/ExpressionOnlyHost.h"

namespace kl::test {
namespace {

class BrowserRecordingHost : public ExpressionOnlyHost {
public:
    void openRecordBrowser(const Value& what) override { opened.push_back(what); }
    std::vector<Value> opened;
};

class RecordCommands : public ::testing::Test {
protected:
    void SetUp() override {
        store.read("0 HEAD\n"
                   "0 @I1@ INDI\n1 NAME Karl /Berg/\n1 FAMS @F1@\n1 FAMC @F2@\n"
                   "0 @I2@ INDI\n1 NAME Anna /Vik/\n1 FAMS @F1@\n"
                   "0 @I3@ INDI\n1 NAME Olof /Berg/\n1 BIRT\n2 DATE 1862\n1 FAMC @F1@\n"
                   "0 @I4@ INDI\n1 NAME Eva /Berg/\n1 BIRT\n2 DATE 1860\n1 FAMC @F1@\n"
                   "0 @I5@ INDI\n1 NAME Per /Berg/\n1 RESN locked\n1 FAMS @F2@\n"
                   "0 @F1@ FAM\n1 HUSB @I1@\n1 WIFE @I2@\n1 CHIL @I3@\n1 CHIL @I4@\n"
                   "0 @F2@ FAM\n1 HUSB @I5@\n1 CHIL @I1@\n"
                   "0 @N1@ NOTE A note\n"
                   "0 TRLR\n");
        store.model.setScriptHost(&host);
    }
    std::shared_ptr<GEDCOMRecord> record(const std::string& id) { return store.model.recordWithID(id); }
    Dictionary objects() {
        auto people = std::make_shared<Array>();
        for (const auto& r : store.list("INDI")->order()) people->push_back(Value(r));
        return Dictionary{{"people", Value(ISListType::listWithList(people))},
                          {"karl", Value(record("@I1@"))},
                          {"olof", Value(record("@I3@"))},
                          {"per", Value(record("@I5@"))},
                          {"fam", Value(record("@F1@"))},
                          {"note", Value(record("@N1@"))}};
    }
    ScriptOutcome run(const std::string& script) { return harness.run(script, objects()); }
    std::vector<std::string> tagsOf(const std::string& id) {
        std::vector<std::string> tags;
        for (const auto& s : record(id)->structures()) tags.push_back(s->gtag() + " " + s->contents());
        return tags;
    }
    UndoManager& undo() { return store.document.undo; }

    StoreFixture store;
    BrowserRecordingHost host;
    ScriptHarness harness;
};

TEST_F(RecordCommands, AddStructureAtAPositionOrTheEnd) {
    const ScriptOutcome outcome = run(
        "karl.addstructure first, NOTE, \"at the top\", 0\nkarl.addstructure last, OCCU, Smith\n"
        "karl.addstructure after, RESI, Town, first\nfirst.addstructure below, CONT, more\n"
        "write @first.contents, @below.level");
    EXPECT_EQ(outcome.report, "");
    EXPECT_EQ(outcome.output, "at the top,2");
    EXPECT_EQ(tagsOf("@I1@"), (std::vector<std::string>{"NOTE at the top", "RESI Town", "NAME Karl /Berg/",
                                                        "FAMS @F1@", "FAMC @F2@", "OCCU Smith"}));
    undo().undo();
    undo().undo();
    undo().undo();
    undo().undo();
    EXPECT_EQ(tagsOf("@I1@"), (std::vector<std::string>{"NAME Karl /Berg/", "FAMS @F1@", "FAMC @F2@"}));
}

TEST_F(RecordCommands, MoveAStructure) {
    const ScriptOutcome outcome = run("getobject chil fam.structures.3\ngetobject husb fam.structures.0\nchil.move husb\ngetobject w fam.structures.2\nw.move");
    EXPECT_EQ(outcome.report, "");
    EXPECT_EQ(tagsOf("@F1@"),
              (std::vector<std::string>{"CHIL @I4@", "HUSB @I1@", "CHIL @I3@", "WIFE @I2@"}));
}

TEST_F(RecordCommands, Refusals) {
    expectRefusals([this](const std::string& script) { return run(script); },
                   {
        {"people.addstructure s, NOTE, x", "the target object must be a record or a structure"},
        {"karl.addstructure \"#s\", NOTE, x", "First parameter in AddStructure command must be a valid object variable name"},
        {"karl.move", "the target object must be a structure"},
        {"getobject n karl.structures.0\nn.move nosuch", "the first parameter is not a valid object"},
        {"getobject n karl.structures.0\nn.move fam", "the first parameter is not a structure"},
        {"getobject n karl.structures.0\ngetobject h fam.structures.0\nn.move h", "error occurred trying to move a structure in class INDIRecord"},
        {"per.delete", "Error deleting a record - it is locked"},
        {"people.delete", "Object class ISListType cannot be deleted"},
        {"karl.canlink b, FAM", "First parameter to CanLink must evaluate to a variable name starting in '#'."},
        {"people.canlink \"#b\", FAM", "The CanLink command is only supported by GEDCOM records."},
        {"karl.copyfile \"#r\", \"/tmp/x\"", "copyFile command only allowed for multimedia record objects"},
        {"karl.description d", "First parameter to Description must evaluate to a variable name starting in '#'."},
        {"karl.description \"#d\", nosuch", "Second parameter in Description must be valid list."},
        {"people.description \"#d\"", "The Description command is only supported by GEDCOM records."},
        {"karl.detach husband", "The Detach command is only supported by family records."},
        {"fam.detach nobody", "The first parameter to Detach command does not provided a valid spouse or child to detach"},
        {"fam.detach per", "The first parameter to Detach command does not provided a valid spouse or child to detach"},
        {"people.dropon karl", "The DropOn command can only drop GEDCOM Records"},
        {"note.dropon nosuch", "The DropOn target in first parameter must be a valid object name"},
        {"note.dropon people", "The DropOn target in first parameter must be a GEDCOM Record object name"},
        {"karl.mergewith nosuch", "The record to be merged is invalid."},
        {"people.mergewith karl", "The MergeWith command can only merge GEDCOM records."},
        {"karl.mergewith fam", "Records can only be merged with other records of the same type."},
        {"karl.mergewith per", "One (or both) of the records is locked"},
        {"karl.sortdata cousins", "SortData command first parameter has an invalid sort option"},
        {"people.sortdata children", "SortData command only allowed for GEDCOM record objects"},
        {"people.showbrowser", "ShowBrowser only allowed for GEDCOMRecord objects"},
        {"fam.listancestors a", "ListAncestors or ListDescendants commands only allowed for individual record objects"},
        {"karl.listancestors \"#a\"", "First parameter in ListAncestors or ListDescendants must be a valid object variable name"},
        {"karl.listdescendants a, -1", "ListAncestors or ListDescendants generations must not be negative"},
        {"fam.showancestors", "ShowAncestors or ShowDescendants commands only allowed for individual record objects"},
        {"karl.showdescendants -1", "ShowAncestors or ShowDescendants generations must not be negative"},
        {"karl.showancestors 2, tree", "ShowAncestors or ShowDescendants style must be 'chart' or 'outline'"},
        {"karl.showancestors 2, Outline", "The record is not in an open document"},
        {"people.findstructures f, NAME", "class ISListType does not support findStructures command"},
        {"karl.findstructures \"#f\", NAME", "First parameter in findStructures command must be a valid object variable name"},
                   });
    EXPECT_FALSE(undo().canUndo());
}

TEST_F(RecordCommands, DeleteFromAListOfRecordsAlsoDropsItFromTheList) {
    const ScriptOutcome outcome = run("people.3.delete\nwrite @people.count, @people.3.id");
    EXPECT_EQ(outcome.report, "");
    EXPECT_EQ(outcome.output, "4,@I5@");
    EXPECT_EQ(record("@I4@"), nullptr);
    EXPECT_EQ(tagsOf("@F1@"), (std::vector<std::string>{"HUSB @I1@", "WIFE @I2@", "CHIL @I3@"}));
    undo().undo();
    ASSERT_NE(record("@I4@"), nullptr);
    EXPECT_EQ(tagsOf("@F1@"), (std::vector<std::string>{"HUSB @I1@", "WIFE @I2@", "CHIL @I3@", "CHIL @I4@"}));
}

TEST_F(RecordCommands, DeleteAStructure) {
    const ScriptOutcome outcome = run("olof.structures.1.delete");
    EXPECT_EQ(outcome.report, "");
    EXPECT_EQ(tagsOf("@I3@"), (std::vector<std::string>{"NAME Olof /Berg/", "FAMC @F1@"}));
    undo().undo();
    EXPECT_EQ(tagsOf("@I3@"), (std::vector<std::string>{"NAME Olof /Berg/", "BIRT ", "FAMC @F1@"}));
    // A structure already taken out has no parent any more.
    auto detached = std::make_shared<GEDCOMStructure>(nullptr, 1, "NOTE", "loose");
    const ScriptOutcome again = harness.run("loose.delete", {{"loose", Value(detached)}});
    EXPECT_TRUE(again.report.starts_with("The structure could not be deleted")) << again.report;
}

TEST_F(RecordCommands, DetachMembersOfAFamily) {
    const struct {
        const char* argument;
        std::vector<std::string> left;
    } cases[] = {
        {"both", {"CHIL @I3@", "CHIL @I4@"}},
        {"husband", {"WIFE @I2@", "CHIL @I3@", "CHIL @I4@"}},
        {"olof", {"HUSB @I1@", "WIFE @I2@", "CHIL @I4@"}},
        {"karl", {"WIFE @I2@", "CHIL @I3@", "CHIL @I4@"}},
        {"\"@I4@\"", {"HUSB @I1@", "WIFE @I2@", "CHIL @I3@"}},
    };
    for (const auto& c : cases) {
        const ScriptOutcome outcome = run(std::string("fam.detach ") + c.argument);
        EXPECT_EQ(outcome.report, "") << c.argument;
        EXPECT_EQ(tagsOf("@F1@"), c.left) << c.argument;
        undo().undo();
        EXPECT_EQ(tagsOf("@F1@").size(), 4u) << c.argument;
    }
    run("fam.detach both");
    EXPECT_EQ(tagsOf("@I1@"), (std::vector<std::string>{"NAME Karl /Berg/", "FAMC @F2@"}));
}

TEST_F(RecordCommands, SortChildrenInAnyCase) {
    const ScriptOutcome outcome = run("fam.sortdata Children");
    EXPECT_EQ(outcome.report, "");
    EXPECT_EQ(tagsOf("@F1@"), (std::vector<std::string>{"HUSB @I1@", "WIFE @I2@", "CHIL @I4@", "CHIL @I3@"}));
}

TEST_F(RecordCommands, QueriesOnTheScriptThread) {
    const ScriptOutcome outcome = run(
        "fam.canlink \"#a\", INDI\nnote.canlink \"#b\", INDI\nkarl.findstructures f, FAMS\n"
        "fam.findstructures c, CHIL, \"@I4@\"\nkarl.listdescendants d\nolof.listancestors a\n"
        "olof.listancestors one, 1\nwrite #a, #b, @f.count, @c.count, @d.count, @a.count, @one.count, @a.2.id");
    EXPECT_EQ(outcome.report, "");
    EXPECT_EQ(outcome.output, "true,false,1,1,2,3,2,@I5@");
}

TEST_F(RecordCommands, DescriptionAndBrowser) {
    const ScriptOutcome outcome = run("karl.description \"#d\"\nkarl.showbrowser\nolof.showbrowser Events\nwrite #d");
    EXPECT_EQ(outcome.report, "");
    EXPECT_NE(outcome.output, "");
    ASSERT_EQ(host.opened.size(), 2u);
    EXPECT_EQ(host.opened[0].objectAs<GEDCOMRecord>(), record("@I1@"));
    ASSERT_TRUE(host.opened[1].array());
    EXPECT_EQ((*host.opened[1].array())[1].toString(), "Events");
}

TEST_F(RecordCommands, DropANoteOnARecord) {
    const ScriptOutcome outcome = run("note.dropon karl");
    EXPECT_EQ(outcome.report, "");
    EXPECT_EQ(tagsOf("@I1@").back(), "NOTE @N1@");
    const ScriptOutcome refused = run("fam.dropon note");
    EXPECT_TRUE(refused.report.starts_with("Can't move or copy a FAM record to a NOTE record.")) << refused.report;
}

}  // namespace
}  // namespace kl::test
