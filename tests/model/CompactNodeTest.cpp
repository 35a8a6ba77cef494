// Nodes keep their tags as interned numbers and their rare fields in a side
// block; whatever the storage, every field must read back as it was set.
#include <gtest/gtest.h>

#include <algorithm>
#include <set>
#include <string>
#include <thread>
#include <vector>

#include "model/GEDCOMRecord.h"
#include "model/GEDCOMStructure.h"
#include "model/TagTable.h"

namespace kl {
namespace {

TEST(TagTable, OneNumberPerSpellingAndLongTagsStayOut) {
    const TagTable::Id birt = TagTable::idFor("BIRT");
    EXPECT_EQ(TagTable::idFor(std::string("BI") + "RT"), birt);
    EXPECT_NE(TagTable::idFor("birt"), birt);
    EXPECT_EQ(TagTable::text(birt), "BIRT");
    EXPECT_EQ(TagTable::text(TagTable::idFor("")), "");
    EXPECT_NE(TagTable::idFor(std::string(TagTable::kLongestInterned, 'X')), TagTable::kNotInterned);
    EXPECT_EQ(TagTable::idFor(std::string(TagTable::kLongestInterned + 1, 'X')), TagTable::kNotInterned);
}

// Threads interning overlapping sets must agree on every number.
TEST(TagTable, ThreadsAgreeOnNumbers) {
    constexpr int kThreads = 4;
    constexpr int kTags = 300;
    std::vector<std::vector<TagTable::Id>> seen(kThreads, std::vector<TagTable::Id>(kTags));
    std::vector<std::thread> threads;
    for (int t = 0; t < kThreads; ++t)
        threads.emplace_back([t, &seen] {
            for (int i = 0; i < kTags; ++i) {
                const int n = (i * 7 + t * 13) % kTags;
                seen[t][n] = TagTable::idFor("_THR" + std::to_string(n));
            }
        });
    for (auto& th : threads) th.join();
    std::set<TagTable::Id> distinct;
    for (int i = 0; i < kTags; ++i) {
        for (int t = 1; t < kThreads; ++t) EXPECT_EQ(seen[t][i], seen[0][i]);
        EXPECT_EQ(TagTable::text(seen[0][i]), "_THR" + std::to_string(i));
        distinct.insert(seen[0][i]);
    }
    EXPECT_EQ(distinct.size(), static_cast<std::size_t>(kTags));
}

// Many short tags compete for the few numbers a thread remembers: each keeps
// its own number, whatever was looked up before, on this thread and others.
TEST(TagTable, ShortTagsKeepTheirNumbersWhateverWasLookedUpBefore) {
    std::vector<std::string> tags;
    for (int i = 0; i < 600; ++i) {
        // "_A", "_B", ..., "_BA", ... padded with Z to 2 to 7 bytes.
        std::string tag = "_";
        for (int n = i;; n /= 26) {
            tag += static_cast<char>('A' + n % 26);
            if (n < 26) break;
        }
        tag.resize(std::max<std::size_t>(tag.size(), 2 + i % 6), 'Z');
        tags.push_back(tag);
    }
    tags.push_back("A");
    tags.push_back("ABCDEFG");
    tags.push_back("ABCDEFGH");
    std::vector<TagTable::Id> first;
    for (const std::string& tag : tags) first.push_back(TagTable::idFor(tag));
    for (std::size_t i = 0; i < tags.size(); ++i) {
        ASSERT_NE(first[i], TagTable::kNotInterned) << tags[i];
        EXPECT_EQ(TagTable::text(first[i]), tags[i]);
    }
    auto again = [&tags] {
        std::vector<TagTable::Id> ids(tags.size());
        for (std::size_t i = tags.size(); i-- > 0;) ids[i] = TagTable::idFor(tags[i]);
        for (std::size_t i = 0; i < tags.size(); i += 3) ids[i] = TagTable::idFor(std::string(tags[i]));
        return ids;
    };
    EXPECT_EQ(again(), first);
    std::vector<TagTable::Id> elsewhere;
    std::thread([&] { elsewhere = again(); }).join();
    EXPECT_EQ(elsewhere, first);
    // Equal texts are one number, different texts (even one byte apart)
    // are two.
    EXPECT_EQ(TagTable::idFor("DATE"), TagTable::idFor(std::string("DA") + "TE"));
    EXPECT_NE(TagTable::idFor("DATE"), TagTable::idFor("DATF"));
    EXPECT_NE(TagTable::idFor("DAT"), TagTable::idFor(std::string_view("DAT\0", 4)));
}

struct TagCase {
    const char* name;
    std::string first;
    std::string second;
};

class NodeTags : public ::testing::TestWithParam<TagCase> {};

// A tag too long to intern is kept by the node, through a change to an
// interned one and back.
TEST_P(NodeTags, ReadBackThroughChanges) {
    const TagCase& c = GetParam();
    auto record = std::make_shared<GEDCOMRecord>("@I1@", "INDI");
    auto line = record->addLevel(1, c.first, "x");
    EXPECT_EQ(line->gtag(), c.first);
    line->setGtag(c.second);
    EXPECT_EQ(line->gtag(), c.second);
    line->setGtag(c.first);
    EXPECT_EQ(line->gtag(), c.first);
    EXPECT_EQ(record->findStructureWithTag(c.first, 1), line);
    EXPECT_EQ(record->gedcomString(), "0 @I1@ INDI\n1 " + c.first + " x\n");
}

INSTANTIATE_TEST_SUITE_P(Cases, NodeTags,
                         ::testing::Values(TagCase{"ShortToShort", "NOTE", "TEXT"},
                                           TagCase{"LongToShort", std::string(40, 'L'), "NOTE"},
                                           TagCase{"ShortToLong", "NOTE", std::string(200, 'M')},
                                           TagCase{"LongToLong", std::string(33, 'A'), std::string(34, 'B')}),
                         [](const auto& info) { return info.param.name; });

TEST(CompactNode, DamageBitsBeyondTheCommonOnesSurvive) {
    auto record = std::make_shared<GEDCOMRecord>("@I1@", "INDI");
    auto line = record->addLevel(1, "NOTE", "x");
    const std::uint32_t high = 1u << 20;
    line->setCorrupt(high | CorruptInvalidTag);
    EXPECT_EQ(line->corrupt(), high | CorruptInvalidTag);
    line->setCorruptBit(CorruptMissingLevel);
    EXPECT_EQ(line->corrupt(), high | CorruptInvalidTag | CorruptMissingLevel);
    line->setCorrupt(CorruptMisorderedLevels);
    EXPECT_EQ(line->corrupt(), static_cast<std::uint32_t>(CorruptMisorderedLevels));
    EXPECT_TRUE(line->isCorrupt(CorruptMisorderedLevels));
    EXPECT_FALSE(line->isCorrupt(high));
}

TEST(CompactNode, RareFieldsStartEmptyAndKeepWhatIsSet) {
    auto record = std::make_shared<GEDCOMRecord>("@I1@", "INDI");
    auto line = record->addLevel(1, "NOTE", "x");
    EXPECT_TRUE(line->returnValue().isNull());
    EXPECT_FALSE(line->quickComment().has_value());
    line->setReturnValue(Value("done"));
    line->setQuickComment("remember");
    EXPECT_EQ(line->returnValue(), Value("done"));
    EXPECT_EQ(line->quickComment(), std::optional<std::string>("remember"));
    EXPECT_EQ(line->gtag(), "NOTE");
    EXPECT_EQ(line->corrupt(), 0u);
    line->setQuickComment(std::nullopt);
    EXPECT_FALSE(line->quickComment().has_value());
    EXPECT_EQ(line->returnValue(), Value("done"));
}

// Only nodes with children hold a list; once a node has one, the list
// stays the same object through removals and additions, so a caller's
// reference to it keeps tracking the node.
TEST(CompactNode, ChildListOnceMadeStaysTheSameList) {
    auto record = std::make_shared<GEDCOMRecord>("@I1@", "INDI");
    auto birth = record->addLevel(1, "BIRT", "");
    EXPECT_TRUE(birth->structures().empty());
    EXPECT_TRUE(birth->empty());
    record->addLevel(2, "DATE", "1800");
    const auto& list = birth->structures();
    EXPECT_EQ(list.size(), 1u);
    birth->removeChildren();
    EXPECT_TRUE(list.empty());
    EXPECT_EQ(&birth->structures(), &list);
    record->addLevel(2, "PLAC", "Here");
    ASSERT_EQ(list.size(), 1u);
    EXPECT_EQ(list[0]->gtag(), "PLAC");
    EXPECT_EQ(record->gedcomString(), "0 @I1@ INDI\n1 BIRT\n2 PLAC Here\n");
}

// Side fields set on a node without children, then children added: both
// live in the same block and neither disturbs the other.
TEST(CompactNode, SideFieldsAndChildrenShareTheBranch) {
    auto record = std::make_shared<GEDCOMRecord>("@I1@", "INDI");
    auto note = record->addLevel(1, std::string(40, 'T'), "x");
    note->setQuickComment("memo");
    note->setCorrupt(1u << 18);
    record->addLevel(2, "CONT", "more");
    EXPECT_EQ(note->structures().size(), 1u);
    EXPECT_EQ(note->gtag(), std::string(40, 'T'));
    EXPECT_EQ(note->quickComment(), std::optional<std::string>("memo"));
    EXPECT_EQ(note->corrupt(), 1u << 18);
    note->setStructures({});
    EXPECT_TRUE(note->structures().empty());
    EXPECT_EQ(note->quickComment(), std::optional<std::string>("memo"));
}

// A record three levels deep, with the lines the pointer tests look for.
struct EventTree {
    std::shared_ptr<GEDCOMRecord> record = std::make_shared<GEDCOMRecord>("@I1@", "INDI");
    std::shared_ptr<GEDCOMStructure> birth = record->addLevel(1, "BIRT", "");
    std::shared_ptr<GEDCOMStructure> date = record->addLevel(2, "DATE", "1800");
    std::shared_ptr<GEDCOMStructure> source = record->addLevel(2, "SOUR", "@S1@");
    std::shared_ptr<GEDCOMStructure> page = record->addLevel(3, "PAGE", "12");
    std::shared_ptr<GEDCOMStructure> death = record->addLevel(1, "DEAT", "");
    std::shared_ptr<GEDCOMStructure> deathDate = record->addLevel(2, "DATE", "1850");
};

// A structure has no weak reference of its own: its pointer is the one its
// record's tree holds, at any depth; a record answers its own.
TEST(CompactNode, OwnPointerIsTheOneTheTreeHolds) {
    const EventTree tree;
    const auto& [record, birth, date, source, page, death, deathDate] = tree;
    EXPECT_EQ(record->weak_from_this().lock(), std::static_pointer_cast<GEDCOMObject>(record));
    EXPECT_EQ(record->weakRecord().lock(), record);
    for (const auto& line : {birth, date, source, page}) {
        EXPECT_EQ(line->weak_from_this().lock(), std::static_pointer_cast<GEDCOMObject>(line)) << line->gtag();
        EXPECT_EQ(line->shared_from_this().get(), line.get());
        const GEDCOMStructure& constant = *line;
        EXPECT_EQ(constant.weak_from_this().lock().get(), line.get());
    }
    // Taking a pointer adds an owner, like the standard form.
    const long owners = page.use_count();
    {
        auto held = page->shared_from_this();
        EXPECT_EQ(page.use_count(), owners + 1);
    }
    EXPECT_EQ(page.use_count(), owners);
}

// Outside any record's tree there is nothing to find: an empty weak pointer,
// and shared_from_this throws as the standard one does for an unowned object.
TEST(CompactNode, StructureOutsideATreeHasNoPointerToFind) {
    auto record = std::make_shared<GEDCOMRecord>("@I1@", "INDI");
    auto birth = record->addLevel(1, "BIRT", "");
    record->removeChildren();
    auto placeholder = std::make_shared<GEDCOMStructure>();
    for (const auto& line : {birth, placeholder}) {
        EXPECT_TRUE(line->weak_from_this().expired());
        EXPECT_THROW(line->shared_from_this(), std::bad_weak_ptr);
    }
}

// Searches hand back the tree's own pointers, and a parent's pointer that
// is the receiver's when the receiver itself is the parent.
TEST(CompactNode, SearchResultsAreTheTreesPointers) {
    const EventTree tree;
    const auto& [record, birth, date, source, page, death, deathDate] = tree;
    EXPECT_EQ(record->findStructureWithTag("DATE"), date);
    EXPECT_EQ(record->findStructureWithTag("DATE", "1850", 2), std::static_pointer_cast<GEDCOMObject>(deathDate));
    EXPECT_EQ(birth->findStructureWithTag("BIRT", 1), std::static_pointer_cast<GEDCOMObject>(birth));
    EXPECT_EQ(birth->findStructureWithTag("DEAT", 1), nullptr);
    const auto all = record->findAllChildren("DATE");
    ASSERT_EQ(all.size(), 2u);
    EXPECT_EQ(all[0], std::static_pointer_cast<GEDCOMObject>(date));
    EXPECT_EQ(all[1], std::static_pointer_cast<GEDCOMObject>(deathDate));
    EXPECT_EQ(death->findAllChildren("DEAT").front(), std::static_pointer_cast<GEDCOMObject>(death));
    const auto pairs = record->findAllStructuresWithTag("DATE", std::nullopt);
    ASSERT_EQ(pairs.size(), 2u);
    EXPECT_EQ(pairs[0].structure, date);
    EXPECT_EQ(pairs[0].parent, std::static_pointer_cast<GEDCOMObject>(birth));
    EXPECT_EQ(pairs[1].parent, std::static_pointer_cast<GEDCOMObject>(death));
    const auto own = death->findAllStructuresWithTag("DATE", std::nullopt);
    ASSERT_EQ(own.size(), 1u);
    EXPECT_EQ(own[0].parent, std::static_pointer_cast<GEDCOMObject>(death));
}

}  // namespace
}  // namespace kl
