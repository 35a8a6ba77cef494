#include <gtest/gtest.h>

#include <atomic>
#include <chrono>
#include <stdexcept>
#include <thread>

#include "ChartsTestSupport.h"
#include "charts/AncestorItem.h"
#include "document/RecordsList.h"
#include "foundation/Value.h"

namespace kl::test {
namespace {

using Kind = RelativesTree::Kind;

TEST(DescendantsTree, FullyBuiltRowsNumberRepeatedPeopleInOrderOfSecondAppearance) {
    TreeFixture f;
    f.open(Kind::Descendants, "@I1@");
    EXPECT_EQ(f.texts(f.allRows()), (std::vector<std::string>{
                                        "Arno Velk",
                                        "...Bea Orm",
                                        "  Cal Velk",
                                        "  ...Gia Tarn",
                                        "    Emil Velk [see 1]",
                                        "    Fenn Velk [2]",
                                        "  Dora Velk",
                                        "  Emil Velk [1]",
                                        "...(unknown spouse)",
                                        "  Fenn Velk [see 2]",
                                        "  Emil Velk [see 1]",
                                    }));
}

TEST(DescendantsTree, GenerationsCountFromTheRootFamilies) {
    TreeFixture f;
    f.open(Kind::Descendants, "@I1@");
    struct Case {
        const char* row;
        int generation;
    };
    const auto rows = f.allRows();
    const auto texts = f.texts(rows);
    for (const Case& c : std::vector<Case>{{"Arno Velk", 0}, {"...Bea Orm", 0}, {"  Cal Velk", 1},
                                           {"  ...Gia Tarn", 1}, {"    Fenn Velk [2]", 2}}) {
        const auto at = std::find(texts.begin(), texts.end(), c.row) - texts.begin();
        ASSERT_LT(static_cast<std::size_t>(at), rows.size()) << c.row;
        EXPECT_EQ(rows[static_cast<std::size_t>(at)].item->generation(), c.generation) << c.row;
    }
}

TEST(DescendantsTree, FamilyWithoutOtherSpouseShowsUnknownSpouseOfTheOppositeSex) {
    TreeFixture f;
    auto& tree = f.open(Kind::Descendants, "@I1@");
    TreeItem* alone = tree.child(2, nullptr);
    ASSERT_TRUE(alone && alone->spouseRecord());
    EXPECT_EQ(*tree.stringForItem(*alone, 0), "...(unknown spouse)");
    EXPECT_EQ(alone->individualSex(), u'F');
    EXPECT_EQ(alone->individual(), f.family("@F2@"));
    EXPECT_EQ(tree.child(1, nullptr)->individualSex(), u'F');  // Bea
}

TEST(DescendantsTree, RootWithoutFamiliesHasAnEmptyLevelUntilItLosesItsLastFamily) {
    TreeFixture f;
    auto& lonely = f.open(Kind::Descendants, "@I4@");
    EXPECT_EQ(lonely.numberOfChildrenOfItem(nullptr), 1);
    EXPECT_EQ(lonely.rootItem()->numberOnNextLevel(), 0);

    auto& cal = f.open(Kind::Descendants, "@I3@");
    auto* root = static_cast<DescendantItem*>(cal.rootItem());
    ASSERT_EQ(root->numberOnNextLevel(), 1);
    EXPECT_TRUE(root->removeFamilyRecord(*f.family("@F3@")));
    EXPECT_EQ(root->numberOnNextLevel(), -1);
    EXPECT_EQ(cal.numberOfChildrenOfItem(nullptr), 1);
    EXPECT_FALSE(cal.famMembers().count("@F3@"));
}

TEST(AncestorsTree, NextLevelIsParentsFatherFirstOrTheNoneMark) {
    struct Case {
        const char* root;
        int limit;
        int count;  // -1: the none mark
    };
    for (const Case& c : std::vector<Case>{{"@I7@", 100, 2},   // Arno and Bea
                                           {"@I1@", 100, -1},  // no parents known
                                           {"@I4@", 100, -1},  // first FAMC has neither spouse
                                           {"@I7@", 0, -1}}) {  // at the generation limit
        TreeFixture f;
        TreeItem::setMaxGenerations(c.limit);
        auto& tree = f.open(Kind::Ancestors, c.root);
        EXPECT_EQ(tree.rootItem()->numberOnNextLevel(), c.count) << c.root << " limit " << c.limit;
        EXPECT_TRUE(tree.isItemExpandable(nullptr));
        EXPECT_EQ(tree.isItemExpandable(tree.rootItem()), c.count > 0);
    }
    TreeFixture f;
    auto& tree = f.open(Kind::Ancestors, "@I7@");
    EXPECT_EQ(tree.rootItem()->treeChildAtIndex(0)->individual(), f.person("@I1@"));
    EXPECT_EQ(tree.rootItem()->treeChildAtIndex(1)->individual(), f.person("@I2@"));
    EXPECT_EQ(f.texts(f.allRows()), (std::vector<std::string>{"Emil Velk", "  Arno Velk", "  Bea Orm"}));
}

// Emil's three nodes, in order of making: under F1 (first, [1]), under F3,
// under F2.
TEST(RepeatedPeople, LeavingTheTreePromotesOrClearsTheNumbers) {
    struct Case {
        std::vector<const char*> removeFrom;  // families whose Emil node goes, in order
        int firstNumber;                      // number of Emil's first node afterwards
        int nodesLeft;
    };
    for (const Case& c : std::vector<Case>{{{"@F1@"}, 1, 2},
                                           {{"@F2@"}, 1, 2},
                                           {{"@F2@", "@F3@"}, 0, 1},
                                           {{"@F1@", "@F3@"}, 0, 1}}) {
        TreeFixture f;
        auto& tree = f.open(Kind::Descendants, "@I1@");
        f.allRows();
        auto emil = f.person("@I7@");
        for (const char* id : c.removeFrom) {
            for (const auto& [key, nodes] : tree.famMembers())
                if (key == id) {
                    nodes.front()->removeRecord(emil.get());
                    break;
                }
        }
        const auto& nodes = tree.members().at("@I7@");
        ASSERT_EQ(static_cast<int>(nodes.size()), c.nodesLeft);
        EXPECT_EQ(nodes.front()->crossRefNum(), c.firstNumber);
        for (std::size_t i = 1; i < nodes.size(); ++i) EXPECT_EQ(nodes[i]->crossRefNum(), -c.firstNumber);
        EXPECT_EQ(*tree.stringForItem(*nodes.front(), 0), c.firstNumber ? "Emil Velk [1]" : "Emil Velk");
    }
}

TEST(RelativesExport, OneFieldPerColumnButThePortraitAndTwoSpacesPerLevel) {
    TreeFixture f;
    auto style = IndexStyle::defaultStyleForType("Descend");
    style->addColumn(Dictionary{{"Label", Value("ID")}, {"Expression", Value("id")}});
    style->addColumn(Dictionary{{"Label", Value("Picture")}, {"Expression", Value("portrait")}});
    style->addColumn(Dictionary{{"Label", Value("Sex")}, {"Expression", Value("SEX")}});
    style->moveColumn(2, 2);
    ASSERT_EQ(style->numberOfColumns(), 4u);
    style->setPortraitColumn(2);
    auto& tree = f.open(Kind::Descendants, "@I1@", style);
    // F2 collapsed: its children give no rows.
    const auto rows = tree.rowsWhere([&](TreeItem& item) { return item.itemRecord() != f.family("@F2@"); });
    const std::string text = tree.exportTreeColumns(rows, {"File: a", "Created: b", "Modified: c"});
    std::vector<std::string> lines;
    for (std::size_t at = 0, next; (next = text.find('\n', at)) != std::string::npos; at = next + 1)
        lines.push_back(text.substr(at, next - at));
    ASSERT_EQ(lines.size(), 5u + 1 + rows.size());
    EXPECT_EQ(lines[0], "Descendants of Arno Velk");
    EXPECT_EQ(lines[4], "");
    for (std::size_t i = 5; i < lines.size(); ++i)
        EXPECT_EQ(std::count(lines[i].begin(), lines[i].end(), '\t'), 2) << lines[i];
    EXPECT_EQ(lines.back(), "...(unknown spouse)\t\t");
    EXPECT_EQ(lines[7], "...Bea Orm\t@I2@\tF");
    EXPECT_EQ(lines[8], "  Cal Velk\t@I3@\tM");
    EXPECT_EQ(text.find("Fenn Velk [see 2]"), std::string::npos);
}

TEST(RelativesListing, LaterNodeBeforeTheFirstEndsWithTheFirstNodesPosition) {
    TreeFixture f;
    auto& tree = f.open(Kind::Descendants, "@I1@");
    const auto rows = f.allRows();
    for (bool internal : {false, true}) {
        const Array entries = tree.listedRecords(rows, internal);
        ASSERT_EQ(entries.size(), rows.size());
        // Row 5 "Emil [see 1]" comes before Emil's first node, row 8.
        const Array& early = *entries[4].array();
        EXPECT_EQ(early.back().toInteger(), 8) << internal;
        EXPECT_EQ(early.size(), internal ? 3u : 2u);
        const Array& first = *entries[7].array();
        ASSERT_EQ(first.size(), 3u);
        EXPECT_EQ(first[2].toInteger(), 1);
        const Array& family = *entries[1].array();
        EXPECT_EQ(family[0].toInteger(), internal ? -1 : 0);
        const Array& unknown = *entries[8].array();
        EXPECT_EQ(unknown[1].isString(), !internal);
    }
}

TEST(RelativesListing, AlbumGetsShownPeopleButNotUnknownSpousesOrCollapsedBranches) {
    TreeFixture f;
    auto& tree = f.open(Kind::Descendants, "@I1@");
    auto album = std::make_shared<RecordsList>();
    const auto rows = tree.rowsWhere([&](TreeItem& item) { return item.itemRecord() != f.family("@F1@"); });
    // Arno, Bea's row, the unknown spouse's row, Fenn, Emil.
    ASSERT_EQ(rows.size(), 5u);
    EXPECT_EQ(tree.populateAlbum(rows, *album), 4);
}

// A node that waits at a gate before its next level is built, and whose
// children may fail.
class GateItem : public TreeItem {
public:
    GateItem(TreeItem* parent, int children, bool failing) : TreeItem(parent), children_(children), failing_(failing) {}
    Level* nextLevel() override {
        if (levelState() != LevelState::NotBuilt) return TreeItem::nextLevel();
        if (failing_ && parentCell()) throw std::runtime_error("disk gone");
        atGate = true;
        while (!gate.load()) std::this_thread::sleep_for(std::chrono::milliseconds(1));
        if (children_ == 0) {
            setNoneMark();
            return nullptr;
        }
        for (int i = 0; i < children_; ++i) appendChild(std::make_unique<GateItem>(this, 0, failing_));
        return TreeItem::nextLevel();
    }
    static inline std::atomic<bool> gate{true};
    static inline std::atomic<bool> atGate{false};

private:
    int children_;
    bool failing_;
};

void waitUntilEnded(TreeItem& task) {
    for (int i = 0; i < 5000 && task.stillRunning(); ++i) std::this_thread::sleep_for(std::chrono::milliseconds(1));
}

TEST(BranchExpansion, CancelLeavesBuiltLevelsAndANewExpansionContinues) {
    GateItem root(nullptr, 3, false);
    GateItem::gate = false;
    GateItem::atGate = false;
    const bool cancelled = root.recursiveExpand([](TreeItem& task) {
        while (!GateItem::atGate) std::this_thread::sleep_for(std::chrono::milliseconds(1));
        task.cancelAction();
        GateItem::gate = true;
    });
    EXPECT_FALSE(cancelled);
    EXPECT_EQ(root.levelState(), TreeItem::LevelState::Built);
    EXPECT_EQ(root.treeChildAtIndex(0)->levelState(), TreeItem::LevelState::NotBuilt);

    EXPECT_TRUE(root.recursiveExpand(waitUntilEnded));
    EXPECT_EQ(root.treeChildAtIndex(2)->levelState(), TreeItem::LevelState::None);
    EXPECT_EQ(*root.updateStatusField(), "4 in 1 generations");
}

TEST(BranchExpansion, AWorkerFailingOtherwiseEndsTheWaitUnfinished) {
    GateItem root(nullptr, 2, true);
    int polls = 0;
    const bool finished = root.recursiveExpand([&](TreeItem& task) {
        waitUntilEnded(task);
        polls = task.stillRunning() ? -1 : 1;
    });
    EXPECT_FALSE(finished);
    EXPECT_EQ(polls, 1);
    EXPECT_TRUE(TreeItem::expansionEnded());
}

}  // namespace
}  // namespace kl::test
