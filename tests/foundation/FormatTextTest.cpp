#include "foundation/FormatText.h"

#include <gtest/gtest.h>

namespace kl {
namespace {

TEST(FormatText, FillsPlaceholdersInOrderAndLeavesWhatNoValueFills) {
    struct Case {
        const char* pattern;
        std::vector<std::string> values;
        Unfilled unfilled;
        const char* expected;
    };
    const Case cases[] = {
        {"The record '%@' cannot be deleted because %@.", {"Ann", "it is home"}, Unfilled::keep,
         "The record 'Ann' cannot be deleted because it is home."},
        {"%@ %ld of the merged records", {"Done.", "3"}, Unfilled::keep, "Done. 3 of the merged records"},
        {"%d characters in %@", {"7", "ANSEL"}, Unfilled::keep, "7 characters in ANSEL"},
        // A value that holds a placeholder is taken as it stands.
        {"%@ and %@", {"100%@", "b"}, Unfilled::keep, "100%@ and b"},
        {"Delete %@ Record and %@", {"Notes"}, Unfilled::keep, "Delete Notes Record and %@"},
        {"<a href='//%@'>%@</a>", {"@I1@"}, Unfilled::drop, "<a href='//@I1@'></a>"},
        {"50% off, 100%", {"x"}, Unfilled::keep, "50% off, 100%"},
        {"ends with %", {}, Unfilled::drop, "ends with %"},
    };
    for (const auto& c : cases) EXPECT_EQ(formatText(c.pattern, c.values, c.unfilled), c.expected) << c.pattern;
}

}  // namespace
}  // namespace kl
