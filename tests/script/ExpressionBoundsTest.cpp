// Hostile expressions end promptly with their error instead of taking all
// memory or time: texts that double themselves, and nesting far past any
// sound expression's.
#include <gtest/gtest.h>

#include "FakeDefs.h"
#include "script/Expression.h"

namespace kl {
namespace {


std::string nested(const std::string& open, const std::string& inner, const std::string& close, int depth) {
    std::string text;
    text.reserve((open.size() + close.size()) * std::size_t(depth) + inner.size());
    for (int i = 0; i < depth; ++i) text += open;
    text += inner;
    for (int i = 0; i < depth; ++i) text += close;
    return text;
}

struct BoundCase {
    const char* label;
    std::string text;
    const char* expected;  // value, or the error when `fails`
    bool fails;
};

std::vector<BoundCase> boundCases() {
    const int limit = Expression::kMaxNesting;
    return {
        {"ParenthesesAtTheLimit", nested("(", "1+1", ")", limit), "2", false},
        {"ParenthesesPastTheLimit", nested("(", "1", ")", limit + 1), Expression::kNestedTooDeeply, true},
        {"HundredThousandParentheses", nested("(", "1", ")", 100000), Expression::kNestedTooDeeply, true},
        {"IndicesPastTheLimit", nested("#a[", "0", "]", limit + 1), Expression::kNestedTooDeeply, true},
        {"HundredThousandIndices", nested("#a[", "0", "]", 100000), Expression::kNestedTooDeeply, true},
        {"IndicesAndGroupsCountTogether", nested("#a[(", "0", ")]", limit / 2 + 1), Expression::kNestedTooDeeply,
         true},
        {"IndicesWithinTheLimit", nested("#a[", "0", "]", 10), "0", false},
    };
}

class Bounds : public testing::TestWithParam<BoundCase> {};

TEST_P(Bounds, NestingEndsWithValueOrError) {
    const BoundCase& c = GetParam();
    Expression e(c.text);
    const auto error = e.evaluateWith(Variables{{"#a[0]", "0"}});
    if (c.fails)
        EXPECT_EQ(error, c.expected);
    else {
        EXPECT_FALSE(error) << *error;
        EXPECT_EQ(e.value(), c.expected);
    }
}

INSTANTIATE_TEST_SUITE_P(Cases, Bounds, testing::ValuesIn(boundCases()),
                         [](const auto& info) { return std::string(info.param.label); });

// Many groups side by side are no deeper than one, and read in one pass.
TEST(Bounds, ManyGroupsInARowStillAddUp) {
    std::string text = "(1)";
    for (int i = 1; i < 100000; ++i) text += "+(1)";
    Expression e(text);
    ASSERT_FALSE(e.evaluateWith(Variables{}));
    EXPECT_EQ(e.value(), "100000");
}

TEST(TextLimit, ADefThatDoublesItsTextStopsWithTheReason) {
    test::FakeDefs defs;
    defs.defs = {{"f", {"S", "f(#1&#1)"}}, {"g", {"S", "\"[\"&f(#1)&\"]\""}}};
    for (const char* text : {"f(x)", "g(x)"}) {
        Expression e(text);
        e.setParce(&defs);
        EXPECT_EQ(e.evaluateWith(Variables{}), Expression::kTextTooLong) << text;
    }
    // The limit is reset for the next evaluation.
    Expression fine("\"a\"&\"b\"");
    ASSERT_FALSE(fine.evaluateWith(Variables{}));
    EXPECT_EQ(fine.value(), "ab");
}

TEST(TextLimit, AJoinPastTheLimitFailsAndOneAtItDoesNot) {
    const std::string half(Expression::kMaxTextLength / 2, 'x');
    Expression join("#h&#h");
    ASSERT_FALSE(join.evaluateWith(Variables{{"#h", half}}));
    EXPECT_EQ(join.value().size(), Expression::kMaxTextLength);
    Expression over("#h&#h&\"!\"");
    EXPECT_EQ(over.evaluateWith(Variables{{"#h", half}}), Expression::kTextTooLong);
}

}  // namespace
}  // namespace kl
