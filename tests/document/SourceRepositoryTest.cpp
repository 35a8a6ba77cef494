// Sources, repositories and submitters in a store: source names and merge
// rules, the one repository a source may have, repositories whose back
// links are worked out from the sources, and the protected main submitter.
#include <gtest/gtest.h>

#include "RecordKindsTestSupport.h"
#include "model/REPORecord.h"
#include "model/ReportOptions.h"
#include "model/SOURRecord.h"
#include "model/SUBMRecord.h"

namespace kl {
namespace {

using test::RecordKindsFixture;
using SourceFixture = RecordKindsFixture;

struct SourceNameCase {
    const char* lines;
    const char* viewName;
    const char* ipnName;
};

TEST_F(SourceFixture, ViewNameFromShortTitleThenTitleAndIpnNameCutAtThirty) {
    const SourceNameCase cases[] = {
        {"1 ABBR Short\n1 TITL Long title\n", "Short", "Short"},
        {"1 ABBR\n1 TITL First line\n2 CONT second line\n", "First line", "First line"},
        {"", "Source ID @S1@", "Source ID @S1@"},
        {"1 TITL 123456789012345678901234567890\n", "123456789012345678901234567890",
         "123456789012345678901234567890"},
        {"1 TITL 1234567890123456789012345678901\n", "1234567890123456789012345678901",
         "123456789012345678901234567890..."},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.lines);
        StoreFixture fresh;
        fresh.read(std::string("0 HEAD\n0 @S1@ SOUR\n") + c.lines + "0 TRLR\n");
        fresh.model.runSimplifyGEDCOM(3);
        auto source = fresh.model.recordWithID("@S1@", "SOUR");
        EXPECT_EQ(source->viewName(), c.viewName);
        EXPECT_EQ(source->ipnName(), c.ipnName);
    }
}

TEST_F(SourceFixture, SourcesMergeByTitleAndKindIgnoringCase) {
    load("0 @S1@ SOUR\n1 TITL Parish Book\n0 @S2@ SOUR\n1 TITL parish book\n"
         "0 @S3@ SOUR\n1 TITL Parish Book\n1 _TYPE book\n0 @S4@ SOUR\n1 TITL Parish Book\n1 _TYPE Article\n"
         "0 @S5@ SOUR\n1 TITL PARISH BOOK\n1 _TYPE BOOK\n");
    auto s = [&](const char* id) { return get<SOURRecord>(id); };
    EXPECT_TRUE(s("@S1@")->canMergeWith(*s("@S2@")));
    EXPECT_FALSE(s("@S3@")->canMergeWith(*s("@S4@")));
    EXPECT_TRUE(s("@S3@")->canMergeWith(*s("@S5@")));
    EXPECT_FALSE(s("@S1@")->canMergeWith(*s("@S3@")));
}

TEST_F(SourceFixture, ASourceTakesOneRepository) {
    load("0 @R1@ REPO\n1 NAME Archive\n0 @R2@ REPO\n1 NAME Library\n0 @S1@ SOUR\n1 TITL T\n");
    auto source = get<SOURRecord>("@S1@");
    EXPECT_FALSE(source->drop(get("@R1@")));
    EXPECT_EQ(source->drop(get("@R1@")), "The dropped repository is already attached to this record.");
    EXPECT_EQ(source->drop(get("@R2@")), "The source record is already attached to a repository.");
    EXPECT_EQ(body("@S1@"), "1 TITL T\n1 REPO @R1@\n");
}

TEST_F(SourceFixture, SettersWaitForTheStoreAndTurnReturnsIntoLineFeeds) {
    auto source = std::make_shared<SOURRecord>("@S9@");
    source->setSourceTitle("A\rB");
    EXPECT_EQ(source->sourceTitle(), "");
    model.installRecord(source);
    EXPECT_EQ(source->sourceTitle(), "A\nB");
    EXPECT_EQ(source->viewName(), "A");
}

TEST_F(SourceFixture, ReportNamesTheFirstCitingRecord) {
    load("0 @I1@ INDI\n1 NAME Ann /Lind/\n0 @I2@ INDI\n0 @I3@ INDI\n"
         "0 @S1@ SOUR\n1 TITL Parish Book\n1 AUTH Pastor\n1 PUBL Town Press\n1 _TYPE Book\n"
         "0 @S2@ SOUR\n1 TITL Site\n1 _TYPE web page\n1 _URL http://x.org/?a&b\n");
    for (const char* id : {"@I1@", "@I2@", "@I3@"}) cite(id, "SOUR", "@S1@");
    EXPECT_EQ(get("@S1@")->reportDescription(0).toString(),
              "Pastor, \"Parish Book.\" Publisher: Town Press. This source is cited by the Ann Lind record and "
              "other records.");
    EXPECT_EQ(get("@S2@")->reportDescription(ReportLinks).toString(),
              "Unknown authors, \"Site.\" The web page is <a href='http://x.org/?a&b'>http://x.org/?a&amp;b</a>. "
              "This source is cited by no records.");
    const Value lines = get("@S1@")->reportDescription(ReportList);
    ASSERT_TRUE(lines.array());
    EXPECT_EQ(lines.array()->front().toString(), "Source Title: Parish Book");
    EXPECT_EQ(lines.array()->back().toString(), "Cited by: the Ann Lind record and other records.");
    EXPECT_EQ(get("@S1@")->reportDescription(ReportSay).toString(),
              "The source title is \"Parish Book.\" This source is a book. It is cited by the Ann Lind record and "
              "other records.");
}

using RepositoryFixture = RecordKindsFixture;

TEST_F(RepositoryFixture, BackLinksAreWorkedOutFromTheSources) {
    load("0 @R1@ REPO\n0 @S1@ SOUR\n1 TITL A\n0 @S2@ SOUR\n1 TITL B\n");
    auto repository = get<REPORecord>("@R1@");
    EXPECT_EQ(repository->viewName(), "Repository ID @R1@");
    EXPECT_FALSE(repository->isConnected());
    EXPECT_TRUE(repository->hasCrossRefs());
    EXPECT_TRUE(repository->crossRefsOnTheFly().empty());

    get<SOURRecord>("@S2@")->drop(repository);
    get<SOURRecord>("@S1@")->drop(repository);
    EXPECT_TRUE(repository->isConnected());
    EXPECT_EQ(repository->crossRefsOnTheFly(), (std::vector<std::string>{"@S1@", "@S2@"}));
    EXPECT_TRUE(repository->crossRefIDs().empty());  // nothing stored

    model.deleteRecord(repository);
    EXPECT_EQ(body("@S1@"), "1 TITL A\n");
    EXPECT_EQ(body("@S2@"), "1 TITL B\n");
}

TEST_F(RepositoryFixture, NameSetBeforeInstallingTakesEffectAfterwards) {
    auto repository = std::make_shared<REPORecord>("@R7@");
    repository->setViewName("County Archive");
    EXPECT_EQ(repository->viewName(), "Repository ID @R7@");
    model.installRecord(repository);
    EXPECT_EQ(repository->viewName(), "County Archive");
}

TEST_F(RepositoryFixture, SentenceWithPhoneAndMailLinkEndsWithoutBlank) {
    load("0 @R1@ REPO\n1 NAME Archive\n1 ADDR Main St 1\n1 PHON 555\n1 _EMAIL a@b.org\n");
    EXPECT_EQ(get("@R1@")->reportDescription(ReportLinks).toString(),
              "The repository's name is Archive. It's address is Main St 1. It's phone number and email address "
              "are 555 and <a href='mailto:a@b.org'>a@b.org</a>.");
}

using SubmitterFixture = RecordKindsFixture;

TEST_F(SubmitterFixture, TheMainSubmitterCannotBeDeleted) {
    read("0 HEAD\n1 SUBM @U1@\n0 @U1@ SUBM\n1 NAME Main\n0 @U2@ SUBM\n1 NAME Other\n0 TRLR\n");
    EXPECT_EQ(get<SUBMRecord>("@U1@")->canBeDeleted(0), "you cannot delete the main submitter");
    EXPECT_EQ(get<SUBMRecord>("@U2@")->canBeDeleted(0), std::nullopt);
    EXPECT_EQ(get("@U1@")->reportDescription(0).toString(),
              "Main is the main submitter for the genealogy data in this file.");
    EXPECT_EQ(get("@U2@")->reportDescription(0).toString(),
              "Other is an alternate submitter for the genealogy data in this file.");
}

TEST_F(SubmitterFixture, DeletingASubmitterRemovesEveryKindOfLinkToIt) {
    load("0 @U2@ SUBM\n0 @I1@ INDI\n1 SUBM @U2@\n1 ANCI @U2@\n1 DESI @U2@\n1 NAME Ann /Lind/\n"
         "0 @F1@ FAM\n1 SUBM @U2@\n");
    model.deleteRecord(get("@U2@"));
    EXPECT_EQ(body("@I1@"), "1 NAME Ann /Lind/\n");
    EXPECT_EQ(body("@F1@"), "");
}

}  // namespace
}  // namespace kl
