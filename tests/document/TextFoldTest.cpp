#include <gtest/gtest.h>

#include <string>

#include "document/TextOrder.h"
#include "foundation/TextCase.h"
#include "foundation/TextCompare.h"

namespace kl {
namespace {

struct FoldCase {
    const char* a;
    const char* b;
    int order;  // sign of a against b, ignoring case
};

// Letters the sort and the find once folded apart: Latin-1's Ÿ, dotted
// capital I, Greek capitals with dialytika, and the tail of Latin
// Extended-A, plus the plain cases that must not move.
const FoldCase kFoldCases[] = {
    {"\xC5\xB8" "a", "\xC3\xBF" "a", 0},            // Ÿa / ÿa
    {"\xC4\xB0z", "iz", 0},                          // İz / iz
    {"\xCE\xAA", "\xCF\x8A", 0},                     // Ϊ / ϊ
    {"\xCE\xAB", "\xCF\x8B", 0},                     // Ϋ / ϋ
    {"\xC5\xB7", "\xC5\xB6", 0},                     // ŷ / Ŷ
    {"\xC5\xBD", "\xC5\xBE", 0},                     // Ž / ž
    {"Smith", "smithson", -1},
    {"smith", "SMITH", 0},
    {"\xC3\x84rger", "\xC3\xA4rger", 0},             // Ärger / ärger
    {"Zeta", "\xC3\xA4", -1},                        // ASCII before Latin-1
    {"\xD0\x81", "\xD1\x91", 0},                     // Ё / ё
};

class FoldOrder : public ::testing::TestWithParam<FoldCase> {};

int sign(int v) { return v < 0 ? -1 : v > 0 ? 1 : 0; }

TEST_P(FoldOrder, SortAndFindUseTheSameFold) {
    const FoldCase& c = GetParam();
    EXPECT_EQ(sign(compareCaseInsensitive(c.a, c.b)), c.order);
    EXPECT_EQ(sign(compareCaseless(c.a, c.b)), c.order);
    EXPECT_EQ(sign(compareCaseInsensitive(c.b, c.a)), -c.order);
    if (c.order == 0) {
        EXPECT_TRUE(hasCaselessPrefix(c.a, c.b));
        EXPECT_EQ(textcase::lower(c.a), textcase::lower(c.b));
    }
}

INSTANTIATE_TEST_SUITE_P(Letters, FoldOrder, ::testing::ValuesIn(kFoldCases));

TEST(FoldOrder, LocalizedBreaksTiesUpperFirstAndStaysTotal) {
    EXPECT_LT(compareLocalized("Smith", "smith"), 0);
    EXPECT_GT(compareLocalized("smith", "Smith"), 0);
    EXPECT_EQ(compareLocalized("smith", "smith"), 0);
    // Two different malformed texts fold alike but never compare equal.
    EXPECT_NE(compareLocalized("a\xC3", "a\xC4"), 0);
    EXPECT_EQ(sign(compareLocalized("a\xC3", "a\xC4")), -sign(compareLocalized("a\xC4", "a\xC3")));
}

TEST(FoldOrder, GreekDialytikaChangeCaseBothWays) {
    EXPECT_EQ(textcase::upper("\xCF\x8A\xCF\x8B"), "\xCE\xAA\xCE\xAB");
    EXPECT_EQ(textcase::lower("\xCE\xAA\xCE\xAB"), "\xCF\x8A\xCF\x8B");
}

}  // namespace
}  // namespace kl
