// The place advisor's rules: place codes from page titles, which commands
// they enable, the home page's address, the navigation policy and the
// request base of the service's scripts.
#include <gtest/gtest.h>

#include "places/PlaceAdvisor.h"

namespace kl {
namespace {

using P = PlaceAdvisor;

TEST(PlaceAdvisor, MediumSpacePairsBecomeTwoSpaces) {
    EXPECT_EQ(P::placeCode("FR:\u205F\u205FLyon"), "FR:  Lyon");
    EXPECT_EQ(P::placeCode("FR:\u205FLyon"), "FR:\u205FLyon") << "a single medium space stays";
    EXPECT_EQ(P::placeCode(""), "");
}

struct CodeCase {
    const char* title;
    bool copy;    // with a document open
    bool search;
};

class PlaceAdvisorCodes : public ::testing::TestWithParam<CodeCase> {};

TEST_P(PlaceAdvisorCodes, EnableTheCommandsOfAValidCode) {
    const CodeCase& c = GetParam();
    const std::string code = P::placeCode(c.title);
    EXPECT_EQ(P::validateMenuTag(P::CopyToPlaceTag, code, true), c.copy);
    EXPECT_EQ(P::validateMenuTag(P::SearchTag, code, false), c.search);
    EXPECT_FALSE(P::validateMenuTag(P::CopyToPlaceTag, code, false)) << "copy needs an open document";
    EXPECT_TRUE(P::validateMenuTag(P::OpenInBrowserTag, code, false));
}

INSTANTIATE_TEST_SUITE_P(Titles, PlaceAdvisorCodes,
                         ::testing::Values(CodeCase{"FR", true, true}, CodeCase{"FR: Lyon, Rhône, France", true, true},
                                           CodeCase{"ÉS", true, true}, CodeCase{"The Place Advisor", false, false},
                                           CodeCase{"The", false, false}, CodeCase{"F", false, false},
                                           CodeCase{"FRA", false, false}, CodeCase{"FR Lyon", false, false},
                                           CodeCase{"", false, false}));

TEST(PlaceAdvisor, HomePageFollowsUseLocalPlaceData) {
    EXPECT_EQ(P::advisorAddress(0, "https://places.example/Mundora.html", "10.0.0.5", "ama"),
              "https://places.example/Mundora.html");
    EXPECT_EQ(P::advisorAddress(1, "x", "10.0.0.5", "ama"), "http://10.0.0.5/~ama/Kinlore%20II/Mundora.html");
    std::string why;
    const std::string local = P::localIPAddress({"127.0.0.1", "::1", "fe80::1"}, &why);
    EXPECT_EQ(P::advisorAddress(2, "x", local, "ama"), "http://localhost:8080/~ama/Kinlore%20II/Mundora.html");
    EXPECT_EQ(why, "No IP address found among (127.0.0.1, ::1, fe80::1)");
    EXPECT_EQ(P::localIPAddress({"::1", "127.0.0.1", "192.168.1.20", "10.0.0.5"}), "192.168.1.20");
}

struct NavigationCase {
    int type;
    const char* address;
    P::Policy policy;
    bool remembered;
};

class PlaceAdvisorNavigation : public ::testing::TestWithParam<NavigationCase> {};

TEST_P(PlaceAdvisorNavigation, DecidesAndRemembers) {
    const NavigationCase& c = GetParam();
    EXPECT_EQ(P::navigationPolicy(c.type, c.address), c.policy);
    EXPECT_EQ(P::remembersNavigation(c.type, c.address), c.remembered);
}

INSTANTIATE_TEST_SUITE_P(
    Kinds, PlaceAdvisorNavigation,
    ::testing::Values(NavigationCase{P::LinkActivated, "https://a.example/x", P::Policy::OpenInBrowser, false},
                      NavigationCase{P::BackForward, "https://a.example/x", P::Policy::Cancel, false},
                      NavigationCase{P::Reload, "https://a.example/x", P::Policy::Allow, false},
                      NavigationCase{P::Other, "https://a.example/x", P::Policy::Allow, true},
                      NavigationCase{P::FormSubmitted, "HTTP://A.example/x", P::Policy::Allow, true},
                      NavigationCase{P::Other, "https://a.example/404-header.html", P::Policy::NotFound, false},
                      NavigationCase{P::Other, "file:///tmp/404-header.html", P::Policy::Allow, false},
                      NavigationCase{P::Other, "http://a", P::Policy::Allow, false},
                      NavigationCase{P::Other, "about:blank", P::Policy::Allow, false}));

TEST(PlaceAdvisor, RequestBaseComesFromTheHomePage) {
    EXPECT_EQ(P::requestURLFor("https://places.example/Mundora.html", "The Place Advisor"),
              "https://places.example/cgi-bin/");
    EXPECT_EQ(P::requestURLFor("http://10.0.0.5:8080/~ama/Kinlore%20II/Mundora.html", "The Advisor"),
              "http://10.0.0.5:8080/cgi-bin/");
    EXPECT_EQ(P::requestURLFor("https://places.example/x", "FR: Lyon, France"), std::nullopt);
    EXPECT_EQ(P::requestURLFor("https://places.example/x", "The"), std::nullopt) << "four characters at least";
    EXPECT_EQ(P::requestURLFor("places.example/x", "The Advisor"), std::nullopt) << "three slashes needed";
}

}  // namespace
}  // namespace kl
