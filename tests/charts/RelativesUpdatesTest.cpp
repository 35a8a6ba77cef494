// How an open tree follows edits of its document: one table of edits, each
// made through the record editing calls that post the notifications, with
// the rows and the reloads it leads to.
#include <gtest/gtest.h>

#include <functional>

#include "ChartsTestSupport.h"
#include "model/GEDCOMStructure.h"

namespace kl::test {
namespace {

using Kind = RelativesTree::Kind;

// The family of ChartsTestSupport.h, and Hal (I9) alone in F8 with his son
// Jory (I10), and Gia alone in F6 with her son Kai (I11).
const std::string kMore = std::string(kFamily) +
                          "0 @I9@ INDI\n1 NAME Hal /Orm/\n1 SEX M\n1 FAMS @F8@\n"
                          "0 @I10@ INDI\n1 NAME Jory /Orm/\n1 SEX M\n1 FAMC @F8@\n"
                          "0 @I11@ INDI\n1 NAME Kai /Tarn/\n1 SEX M\n1 FAMC @F6@\n"
                          "0 @F8@ FAM\n1 HUSB @I9@\n1 CHIL @I10@\n"
                          "0 @F6@ FAM\n1 WIFE @I6@\n1 CHIL @I11@\n";

void addLink(TreeFixture& f, const std::string& id, const std::string& tag, const std::string& contents, bool last) {
    auto record = f.doc.gedcomModel().recordWithID(id);
    auto line = std::make_shared<GEDCOMStructure>(record.get(), 1, tag, contents);
    const GEDCOMObject* after = last && !record->structures().empty() ? record->structures().back().get() : nullptr;
    record->addStructure(line, record.get(), after, false);
}

void removeLink(TreeFixture& f, const std::string& id, const std::string& tag, const std::string& contents) {
    auto record = f.doc.gedcomModel().recordWithID(id);
    for (const auto& line : record->structures())
        if (line->gtag() == tag && line->contents() == contents) {
            record->removeStructure(line, record.get(), nullptr);
            return;
        }
    FAIL() << "no " << tag << " " << contents << " in " << id;
}

void remove(TreeFixture& f, const std::string& id) {
    f.doc.gedcomModel().deleteRecord(f.doc.gedcomModel().recordWithID(id));
}

struct UpdateCase {
    const char* name;
    Kind kind;
    const char* root;
    std::function<void(TreeFixture&)> edit;
    std::vector<std::string> rows;  // every row of the fully built tree afterwards
    int reloads;
    int closes;
};

class RelativesUpdates : public ::testing::TestWithParam<UpdateCase> {};

TEST_P(RelativesUpdates, EditChangesTheTreeAsShown) {
    const UpdateCase& c = GetParam();
    TreeFixture f(kMore);
    f.open(c.kind, c.root);
    f.allRows();
    c.edit(f);
    f.dispatcher.runPending();
    EXPECT_EQ(f.view.reloads, c.reloads);
    EXPECT_EQ(f.view.closes, c.closes);
    if (!c.closes) {
        EXPECT_EQ(f.texts(f.allRows()), c.rows);
    }
}

const std::vector<std::string> kEmilAncestors{"Emil Velk", "  Arno Velk", "  Bea Orm"};
const std::vector<std::string> kArnoDescendants{
    "Arno Velk",       "...Bea Orm", "  Cal Velk",        "  ...Gia Tarn",          "    Emil Velk [see 1]",
    "    Fenn Velk [2]", "  Dora Velk", "  Emil Velk [1]", "...(unknown spouse)", "  Fenn Velk [see 2]",
    "  Emil Velk [see 1]"};

INSTANTIATE_TEST_SUITE_P(
    Edits, RelativesUpdates,
    ::testing::Values(
        UpdateCase{"ChangeDateDoesNothing", Kind::Ancestors, "@I7@",
                   [](TreeFixture& f) { addLink(f, "@I2@", "CHAN", "", true); }, kEmilAncestors, 0, 0},
        UpdateCase{"SecondFamcDoesNothing", Kind::Ancestors, "@I7@",
                   [](TreeFixture& f) { addLink(f, "@I7@", "FAMC", "@F8@", true); }, kEmilAncestors, 0, 0},
        UpdateCase{"FirstFamcShowsTheParents", Kind::Ancestors, "@I7@",
                   [](TreeFixture& f) { addLink(f, "@I2@", "FAMC", "@F8@", true); },
                   {"Emil Velk", "  Arno Velk", "  Bea Orm", "    Hal Orm"}, 1, 0},
        UpdateCase{"HusbandGoesBeforeTheWife", Kind::Ancestors, "@I11@",
                   [](TreeFixture& f) { addLink(f, "@F6@", "HUSB", "@I9@", true); },
                   {"Kai Tarn", "  Hal Orm", "  Gia Tarn"}, 1, 0},
        UpdateCase{"WifeIsAppended", Kind::Ancestors, "@I10@",
                   [](TreeFixture& f) { addLink(f, "@F8@", "WIFE", "@I2@", true); },
                   {"Jory Orm", "  Hal Orm", "  Bea Orm"}, 1, 0},
        UpdateCase{"RemovedWifeLeavesTheFather", Kind::Ancestors, "@I7@",
                   [](TreeFixture& f) { removeLink(f, "@F1@", "WIFE", "@I2@"); }, {"Emil Velk", "  Arno Velk"}, 1,
                   0},
        UpdateCase{"RemovedChilChangesNothing", Kind::Descendants, "@I1@",
                   [](TreeFixture& f) { removeLink(f, "@F1@", "CHIL", "@I4@"); }, kArnoDescendants, 0, 0},
        UpdateCase{"RemovedFamcTakesTheChild", Kind::Descendants, "@I1@",
                   [](TreeFixture& f) {
                       removeLink(f, "@F1@", "CHIL", "@I4@");
                       removeLink(f, "@I4@", "FAMC", "@F1@");
                   },
                   {"Arno Velk", "...Bea Orm", "  Cal Velk", "  ...Gia Tarn", "    Emil Velk [see 1]",
                    "    Fenn Velk [2]", "  Emil Velk [1]", "...(unknown spouse)", "  Fenn Velk [see 2]",
                    "  Emil Velk [see 1]"},
                   1, 0},
        UpdateCase{"AddedChildWithItsFamily", Kind::Descendants, "@I1@",
                   [](TreeFixture& f) {
                       addLink(f, "@I9@", "FAMC", "@F2@", true);
                       addLink(f, "@F2@", "CHIL", "@I9@", true);
                   },
                   {"Arno Velk", "...Bea Orm", "  Cal Velk", "  ...Gia Tarn", "    Emil Velk [see 1]",
                    "    Fenn Velk [2]", "  Dora Velk", "  Emil Velk [1]", "...(unknown spouse)",
                    "  Fenn Velk [see 2]", "  Emil Velk [see 1]", "  Hal Orm", "  ...(unknown spouse)",
                    "    Jory Orm"},
                   1, 0},
        UpdateCase{"DeletedChildTakesAllItsNodesAndFamilies", Kind::Descendants, "@I1@",
                   [](TreeFixture& f) { remove(f, "@I3@"); },
                   // Fenn's first node went with Cal's family; Emil still shows twice.
                   {"Arno Velk", "...Bea Orm", "  Dora Velk", "  Emil Velk [1]", "...(unknown spouse)", "  Fenn Velk",
                    "  Emil Velk [see 1]"},
                   1, 0},
        UpdateCase{"EditsOfOneTurnReloadOnce", Kind::Descendants, "@I1@",
                   [](TreeFixture& f) {
                       remove(f, "@I5@");
                       removeLink(f, "@I4@", "FAMC", "@F1@");
                       remove(f, "@I6@");
                   },
                   {"Arno Velk", "...Bea Orm", "  Cal Velk", "  ...(unknown spouse)", "    Emil Velk [see 1]",
                    "  Emil Velk [1]", "...(unknown spouse)", "  Emil Velk [see 1]"},
                   1, 0},
        UpdateCase{"DeletedRootClosesOnceAfterAReload", Kind::Descendants, "@I1@",
                   [](TreeFixture& f) {
                       f.tree->reloadTreeAfterEdits();
                       remove(f, "@I1@");
                       remove(f, "@I1@");
                   },
                   {}, 0, 1}),
    [](const ::testing::TestParamInfo<UpdateCase>& info) { return std::string(info.param.name); });

}  // namespace
}  // namespace kl::test
