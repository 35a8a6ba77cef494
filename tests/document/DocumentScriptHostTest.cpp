// Scripts read values anywhere in a record through record paths that the
// document's store resolves, links included.
#include <gtest/gtest.h>

#include "StoreTestSupport.h"
#include "document/DocumentScriptHost.h"
#include "support/ExpressionOnlyHost.h"
#include "model/GEDCOMStructure.h"
#include "support/CaseName.h"

namespace kl::test {
namespace {

struct PathCase {
    const char* path;
    bool onBirth;  // else on the record
    const char* expected;
};

class ScriptRecordPaths : public ::testing::TestWithParam<PathCase> {
protected:
    StoreFixture store;
    ExpressionOnlyHost host;

    void SetUp() override {
        store.read("0 HEAD\n"
                   "0 @I1@ INDI\n1 NAME Karl /Berg/\n1 BIRT\n2 DATE 1820\n2 PLAC Bergen\n1 FAMS @F1@\n"
                   "0 @I2@ INDI\n1 NAME Anna /Vik/\n1 FAMS @F1@\n"
                   "0 @F1@ FAM\n1 HUSB @I1@\n1 WIFE @I2@\n"
                   "0 TRLR\n");
        store.model.setScriptHost(&host);
    }
};

TEST_P(ScriptRecordPaths, EvaluateOnTheReceiver) {
    auto person = store.model.recordWithID("@I1@");
    ASSERT_TRUE(person);
    GEDCOMObject& receiver = GetParam().onBirth ? static_cast<GEDCOMObject&>(*person->structures().at(1)) : *person;
    EXPECT_EQ(receiver.klis_evaluateExpression(GetParam().path), GetParam().expected);
    ScriptReply reply = receiver.handleScriptCommand("scriptValueInRecord", {{"klExpression", GetParam().path}});
    EXPECT_EQ(reply.value.toString(), GetParam().expected);
}

INSTANTIATE_TEST_SUITE_P(Paths, ScriptRecordPaths,
                         ::testing::Values(PathCase{"BIRT.PLAC", false, "Bergen"},
                                           PathCase{"PLAC", true, "Bergen"},
                                           PathCase{"FAMS.WIFE.NAME.surname", false, "Vik"},
                                           PathCase{"NOSUCH", false, ""}), ::kl::test::CaseName());

TEST(ScriptRecordPathsWithoutHost, AnswerEmpty) {
    StoreFixture store;
    store.read("0 HEAD\n0 @I1@ INDI\n1 NAME Karl /Berg/\n0 TRLR\n");
    EXPECT_EQ(store.model.recordWithID("@I1@")->klis_evaluateExpression("NAME"), "");
}

}  // namespace
}  // namespace kl::test
