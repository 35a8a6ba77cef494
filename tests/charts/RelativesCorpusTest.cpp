// A real family file: the fully built descendants of the person with most
// descendants show each descendant once in full and once more, as "[see n]",
// for every further way down to them.
#include <gtest/gtest.h>

#include <set>

#include "ChartsTestSupport.h"
#include "model/TextEncoding.h"
#include "support/Corpus.h"

namespace kl::test {
namespace {

// Every way down from the person: one count per child link reached from a
// family of a person met for the first time.
struct Walk {
    std::set<const INDIRecord*> seen;
    std::size_t appearances = 0;
    void down(const INDIRecord& person) {
        for (const auto& family : person.spouseFamsRecs())
            for (const auto& child : family->children()) {
                ++appearances;
                if (seen.insert(child.get()).second) down(*child);
            }
    }
};

TEST(RelativesCorpus, FullDescendantsListEachPersonOnceAndEveryFurtherWaySeeN) {
    const auto path = corpusFolder() / "gedcom-parse" / "compat-paf2.ged";
    if (!std::filesystem::exists(path)) GTEST_SKIP() << "no test data at " << path;
    const std::string bytes = readCorpusBytes(path);
    TreeFixture f(decode(bytes, guessCorpusEncoding(bytes)).text);
    TreeItem::setMaxGenerations(1 << 20);

    std::shared_ptr<INDIRecord> most;
    Walk best;
    for (const auto& record : f.doc.gedcomModel().recordsOfType("INDI")) {
        auto person = std::dynamic_pointer_cast<INDIRecord>(record);
        Walk walk;
        walk.seen.insert(person.get());
        walk.down(*person);
        if (walk.seen.size() > best.seen.size()) {
            best = std::move(walk);
            most = person;
        }
    }
    ASSERT_TRUE(most);
    ASSERT_GT(best.seen.size(), 100u);

    auto& tree = f.open(RelativesTree::Kind::Descendants, most->grecordID());
    std::size_t people = 0, repeats = 0;
    std::set<std::string> shownOnce;
    for (const auto& row : f.allRows()) {
        if (row.item->spouseRecord()) continue;
        ++people;
        if (row.item->crossRefNum() < 0) {
            ++repeats;
            EXPECT_NE(tree.stringForItem(*row.item, 0)->find(" [see "), std::string::npos);
        } else {
            EXPECT_TRUE(shownOnce.insert(row.item->individual()->grecordID()).second);
        }
    }
    EXPECT_EQ(shownOnce.size(), best.seen.size());
    EXPECT_EQ(people, 1 + best.appearances);
    EXPECT_EQ(repeats, best.appearances + 1 - best.seen.size());
}

}  // namespace
}  // namespace kl::test
