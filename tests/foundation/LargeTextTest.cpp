#include <gtest/gtest.h>

#include <algorithm>
#include <string>

#include "foundation/LargeText.h"

namespace kl {
namespace {

// The huge-page request covers only room past what the text holds: what is
// there stays, and the room is usable whether the system grants it or not.
TEST(LargeText, KeepsWhatTheTextHoldsAndGivesTheRoom) {
    for (std::size_t bytes : {std::size_t{0}, std::size_t{100}, std::size_t{8} << 20}) {
        std::string text = "0 HEAD\n";
        reserveLargeText(text, bytes);
        EXPECT_EQ(text, "0 HEAD\n") << bytes;
        EXPECT_GE(text.capacity(), bytes) << bytes;
        text.resize(std::max(bytes, text.size()), 'x');
        EXPECT_EQ(text.substr(0, 7), "0 HEAD\n") << bytes;
    }
}

}  // namespace
}  // namespace kl
