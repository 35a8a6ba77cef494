#include <gtest/gtest.h>

#include <random>

#include "TreeTestSupport.h"
#include "foundation/UndoManager.h"
#include "model/GEDCOMRecord.h"
#include "model/GEDCOMStructure.h"
#include "support/CaseName.h"

namespace kl {
namespace {

constexpr int kDepth = 100000;

// A record whose lines have levels 1, 2, 3, ... each one below the last.
std::shared_ptr<GEDCOMRecord> deepRecord() {
    auto record = std::make_shared<GEDCOMRecord>("@N1@", "NOTE");
    for (int level = 1; level <= kDepth; ++level) record->addLevel(level, level == kDepth ? "END" : "STEP", "x");
    return record;
}

TEST(DeepTree, IsBuiltWrittenSearchedCountedAndFreedWithoutRecursion) {
    auto record = deepRecord();
    auto deepest = record->findStructureWithTag("END");
    ASSERT_NE(deepest, nullptr);
    EXPECT_EQ(deepest->glevel(), kDepth);
    EXPECT_EQ(deepest->corrupt(), 0u);

    const std::string text = record->gedcomString();
    EXPECT_EQ(std::count(text.begin(), text.end(), '\n'), kDepth + 1);
    EXPECT_NE(text.find("\n100000 END x\n"), std::string::npos);

    EXPECT_EQ(record->countAllChildren("END"), 1u);
    EXPECT_EQ(record->findStructureWithTag("END", kDepth), deepest);
    EXPECT_EQ(record->findStructureWithTag("END", "x", kDepth), deepest);
    EXPECT_EQ(record->findAllChildren("STEP").size(), std::size_t(kDepth - 1));
    EXPECT_EQ(record->findAllStructuresWithTag("END", std::nullopt).size(), 1u);
    auto parent = record->findParentOfStructure(deepest.get());
    ASSERT_NE(parent, nullptr);
    EXPECT_EQ(parent->glevel(), kDepth - 1);
    EXPECT_EQ(record->parentOfStructure(deepest.get()), parent);
    EXPECT_EQ(record->gedcomArray().size(), std::size_t(kDepth + 1));
    EXPECT_EQ(record->attributedGedcomString().size(), std::size_t(kDepth + 1));
    std::string until;
    EXPECT_FALSE(record->appendGEDCOMUntil(until, deepest.get()));
    EXPECT_EQ(until.size() + std::string("100000 END x\n").size(), text.size());

    record->structures()[0]->appendCONTandCONC();
    record->structures()[0]->changeLevel(2, record.get());
    EXPECT_EQ(deepest->glevel(), kDepth + 1);
    UndoManager undo;
    record->clearUndoActions(&undo);

    deepest.reset();
    parent.reset();
    record.reset();  // must not overflow the stack
}

TEST(DeepTree, ReadsBackWhatItWrote) {
    const std::string text = deepRecord()->gedcomString();
    EXPECT_EQ(test::readRecord(text)->gedcomString(), text);
}

TEST(DeepTree, UndoActionHoldingADeepSubtreeFreesItIteratively) {
    auto record = deepRecord();
    UndoManager undo;
    record->setUndoManager(&undo);
    auto top = record->structures()[0];
    record->removeStructure(top, record.get(), nullptr);
    top.reset();
    record.reset();
    undo.removeAllActions();  // the last owner of the chain lets go
}

// A plain descent, one line at a time, to check the fast path that building
// keeps for deep trees against.
struct PlainNode {
    int level;
    std::string tag;
    std::vector<std::unique_ptr<PlainNode>> children;
    bool misplaced = false;

    void add(int l, std::string t) {
        PlainNode* n = this;
        bool bad = false;
        while (n->level + 1 != l) {
            if (n->children.empty()) {
                bad = true;
                break;
            }
            n = n->children.back().get();
        }
        n->children.push_back(std::make_unique<PlainNode>(PlainNode{l, std::move(t), {}, bad}));
    }
    void write(std::string& out) const {
        std::vector<const PlainNode*> stack{this};
        while (!stack.empty()) {
            const PlainNode* n = stack.back();
            stack.pop_back();
            if (n->level > 0) out += std::to_string(n->level) + " " + n->tag + (n->misplaced ? " bad" : " ok") + "\n";
            for (auto it = n->children.rbegin(); it != n->children.rend(); ++it) stack.push_back(it->get());
        }
    }
};

struct WalkSeed {
    unsigned seed;
    bool editMidway;
};

class DeepBuilding : public ::testing::TestWithParam<WalkSeed> {};

TEST_P(DeepBuilding, PlacesEveryLineAsAPlainDescentWould) {
    std::mt19937 rng(GetParam().seed);
    auto record = std::make_shared<GEDCOMRecord>("@I1@", "INDI");
    PlainNode plain{0, "", {}, false};
    int level = 0;
    for (int i = 0; i < 6000; ++i) {
        // Mostly deeper, sometimes a jump back or a skipped level.
        int r = static_cast<int>(rng() % 20);
        if (r < 14) level += 1;
        else if (r < 16) level += 2;
        else if (r < 19) level = 1 + static_cast<int>(rng() % std::max(level, 1));
        else level = std::max(1, level - 1);
        const std::string tag = "T" + std::to_string(i);
        record->addLevel(level, tag, "");
        plain.add(level, tag);
        if (GetParam().editMidway && i == 3000) {
            record->removeChild(record->structures().back()->gtag(), false);
            plain.children.pop_back();
        }
    }
    std::string expected;
    plain.write(expected);
    std::string actual;
    record->walk([&](GEDCOMObject& n) {
        if (&n != record.get())
            actual += std::to_string(n.glevel()) + " " + n.gtag() + (n.isCorrupt(CorruptMisorderedLevels) ? " bad" : " ok") + "\n";
        return GEDCOMObject::WalkStep::Continue;
    });
    EXPECT_EQ(actual, expected);
}

INSTANTIATE_TEST_SUITE_P(Seeds, DeepBuilding,
                         ::testing::Values(WalkSeed{1, false}, WalkSeed{2, false}, WalkSeed{3, true},
                                           WalkSeed{4, true}), ::kl::test::CaseName());

}  // namespace
}  // namespace kl
