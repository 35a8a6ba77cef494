// Record links inside HTML text: counted and cut without ID maps,
// re-pointed with them, and left alone where they are no record links.
#include <gtest/gtest.h>

#include "model/HREFLinks.h"

namespace kl {
namespace {

struct LinkCase {
    const char* name;
    const char* html;
    const char* expected;  // nullptr: unchanged
    int total;
    int broken;
};

class RewriteLinks : public ::testing::TestWithParam<LinkCase> {};

bool exists(const std::string& id) { return id == "@I1@" || id == "@N2@"; }

TEST_P(RewriteLinks, WithoutMaps) {
    const LinkCase& c = GetParam();
    HREFCounts counts;
    const auto rewritten = rewriteHREFLinks(c.html, nullptr, nullptr, exists, counts);
    if (c.expected)
        EXPECT_EQ(rewritten.value_or("(unchanged)"), c.expected);
    else
        EXPECT_FALSE(rewritten) << *rewritten;
    EXPECT_EQ(counts.total, c.total);
    EXPECT_EQ(counts.broken, c.broken);
}

INSTANTIATE_TEST_SUITE_P(
    HREFLinks, RewriteLinks,
    ::testing::Values(LinkCase{"ValidLinkStays", "<div><a href='//@I1@'>A</a></div>", nullptr, 1, 0},
                      LinkCase{"BrokenLinkKeepsItsText", "<div>See <a href='//@I9@'>gone</a>.</div>",
                               "<div>See gone.</div>", 0, 1},
                      LinkCase{"DoubleQuotesAndCase", "<div><A HREF=\"@I9@\">x</A><a href = '//@N2@'>y</a></div>",
                               "<div>x<a href = '//@N2@'>y</a></div>", 1, 1},
                      LinkCase{"NoClosingAnchorGetsAHash", "<div><a href='//@I9@'>open", "<div><a href='#'>open", 0, 1},
                      LinkCase{"TwoBrokenInARow", "<a href='@I8@'>1</a><a href='@I9@'>2</a>", "12", 0, 2},
                      LinkCase{"AnythingBeforeTheSlashesIsNoRecordLink", "<a href='x//@I9@'>w</a>", nullptr, 0, 0},
                      LinkCase{"WebAddressesStay", "<a href='https://example.org/'>w</a>", nullptr, 0, 0},
                      LinkCase{"AnchorWithoutAddress", "<a name='top'>t</a>", nullptr, 0, 0}),
    [](const auto& info) { return std::string(info.param.name); });

TEST(HREFLinks, MapsRepointOrRemoveAndDoNotCount) {
    const HREFIDMap newIDs{{"@I1@", "@I5@"}, {"@I2@", ""}};
    const HREFIDSet merging{"@I3@"};
    HREFCounts counts;
    const char* html = "<a href='//@I1@'>a</a><a href=\"@I2@\">b</a><a href='@I3@'>c</a><a href='@I4@'>d</a>";
    EXPECT_EQ(rewriteHREFLinks(html, &newIDs, nullptr, exists, counts).value_or(""),
              "<a href='//@I5@'>a</a>b<a href='@I3@'>c</a><a href='@I4@'>d</a>");
    EXPECT_EQ(rewriteHREFLinks(html, nullptr, &merging, exists, counts), std::nullopt)
        << "merging IDs alone change nothing";
    EXPECT_EQ(counts.total + counts.broken, 0);
}

}  // namespace
}  // namespace kl
