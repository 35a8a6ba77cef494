// Which warnings a freshly opened window gives, from the document's state
// after its read.
#include <gtest/gtest.h>

#include "IndexTestSupport.h"
#include "index/OpeningWarnings.h"

namespace kl {
namespace {

using Facts = OpeningWarnings::Facts;

struct WarningCase {
    const char* name;
    Facts facts;
    bool warned;
    std::optional<std::string> message;
    std::optional<std::string> pkgName;
};

class Decide : public testing::TestWithParam<WarningCase> {};

TEST_P(Decide, WarnsOnlyAboutWhatTheReadLeft) {
    const WarningCase& c = GetParam();
    const auto warnings = OpeningWarnings::decide(c.facts);
    ASSERT_EQ(warnings.has_value(), c.warned);
    if (!warnings) return;
    EXPECT_EQ(warnings->message, c.message);
    EXPECT_EQ(warnings->pkgName, c.pkgName);
}

const std::string kName = "Untitled (from tree)";

INSTANTIATE_TEST_SUITE_P(
    OpeningWarnings, Decide,
    testing::Values(WarningCase{"CleanPackage", Facts{}, false, {}, {}},
                    WarningCase{"ImportedFromOurOwnProgram", Facts{kName, false, {}, false, 0}, true, {}, {}},
                    WarningCase{"ImportedFromOtherSoftware", Facts{kName, false, {}, true, 0}, true, {}, kName},
                    WarningCase{"ForeignHeaderOfAPackage", Facts{{}, true, {}, true, 0}, true, {}, {}},
                    WarningCase{"ReadMessage", Facts{{}, false, "Changes: added Header", false, 0}, true,
                                "Changes: added Header", {}},
                    WarningCase{"EmptyReadMessageIsNone", Facts{{}, false, "", false, 0}, false, {}, {}},
                    WarningCase{"Corrupted", Facts{{}, true, {}, false, 0}, true, {}, {}},
                    WarningCase{"AfterAFailedOpening", Facts{kName, true, "m", true, -1}, false, {}, {}}),
    [](const auto& info) { return std::string(info.param.name); });

TEST(OpeningWarnings, FactsComeFromTheDocumentAfterItsRead) {
    test::IndexFixture f;
    f.read("0 @I1@ INDI\n1 NAME A\n0 @I1@ INDI\n1 NAME B\n");
    f.doc.setReadWriteMessage(std::string("Changes: added Submitter"));
    const auto facts = OpeningWarnings::factsOf(f.doc, 0);
    EXPECT_TRUE(facts.hasCorruptedList) << "a duplicate record ID is a flaw";
    EXPECT_EQ(facts.readMessage, "Changes: added Submitter");
    EXPECT_FALSE(facts.importName) << "read from text, not imported from a file";
}

}  // namespace
}  // namespace kl
