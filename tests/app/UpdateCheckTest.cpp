// The update check: what each published version list says to an official
// and to a beta build, asked for at start-up and from the menu.
#include <gtest/gtest.h>

#include "app/UpdateCheck.h"

namespace kl {
namespace {

const std::string kSite = "https://kinlore.example";

Dictionary versionList(bool withBeta) {
    Dictionary list{{"Official", Value(Array{Value("2.1"), Value("3 March 2026"), Value("2.1"), Value("4")})}};
    if (withBeta)
        list.set("Beta", Value(Array{Value("2.2b3"), Value("1 May 2026"), Value(2.203)}));
    return list;
}

std::vector<std::string> texts(const std::optional<Array>& feedback) {
    std::vector<std::string> out;
    if (feedback)
        for (const Value& v : *feedback) out.push_back(v.toString());
    return out;
}

struct Case {
    const char* what;
    UpdateCheck::Running running;
    bool withBeta;
    bool manual;
    std::vector<std::string> feedback;  // empty: nothing is shown
};

class UpdateChecks : public ::testing::TestWithParam<Case> {};

TEST_P(UpdateChecks, TellWhatTheVersionListSays) {
    const Case& c = GetParam();
    EXPECT_EQ(texts(UpdateCheck::updateFeedback(versionList(c.withBeta), c.running, c.manual, kSite)), c.feedback)
        << c.what;
}

const std::string kOfficialText = "The current official release (2.1 build 4) was posted 3 March 2026.";
const std::string kBetaText = "A beta release (2.2b3) posted 1 May 2026 is available for downloading";
const std::string kNoCheck = "You can disable this automatic check for updates in the Kinlore II preferences.";

INSTANTIATE_TEST_SUITE_P(
    Lists, UpdateChecks,
    ::testing::Values(
        Case{"current, automatic", {2.1, 0, 4}, true, false, {}},
        Case{"current, from the menu", {2.1, 0, 4}, false, true,
             {"You are running the current official release of Kinlore II", ""}},
        Case{"current with a beta, from the menu", {2.1, 0, 4}, true, true,
             {"You are running the current official release of Kinlore II", kBetaText, kSite + "/KLBeta.html",
              "Download"}},
        Case{"newer, automatic", {2.1, 0, 5}, false, false, {}},
        Case{"newer, from the menu", {2.1, 0, 5}, false, true,
             {"You are running a version that is newer than the current official release of Kinlore II", ""}},
        Case{"older, automatic", {2.0, 0, 9}, true, false,
             {"A newer version of Kinlore II (2.1 build 4) posted 3 March 2026 is available for downloading.",
              kNoCheck, kSite + "/KLDown.html", "Download", "2.14"}},
        Case{"older, from the menu", {2.0, 0, 9}, true, true,
             {"A newer version of Kinlore II (2.1 build 4) posted 3 March 2026 is available for downloading.",
              kBetaText, kSite + "/KLDown.html", "Download", "2.14"}},
        Case{"the current beta, from the menu", {2.2, 3, 0}, true, true,
             {"You are running the current beta release of Kinlore II.", kOfficialText, kSite + "/KLDown.html",
              "Download"}},
        Case{"the current beta, automatic", {2.2, 3, 0}, true, false, {}},
        Case{"an old beta", {2.2, 1, 0}, true, false,
             {"Your beta version is out of date. " + kBetaText, kNoCheck, kSite + "/KLBeta.html", "Download"}},
        Case{"an old beta, from the menu", {2.2, 1, 0}, true, true,
             {"Your beta version is out of date. " + kBetaText, kOfficialText, kSite + "/KLBeta.html", "Download"}},
        Case{"any beta without a published one", {3.0, 9, 0}, false, false,
             {"You are running a beta version, but the official version of Kinlore II (2.1 build 4) posted 3 March "
              "2026 is now available for downloading.",
              kNoCheck, kSite + "/KLDown.html", "Download", "2.14"}}));

TEST(UpdateCheck, AListThatCannotBeReadIsToldOnlyWhenAskedFor) {
    EXPECT_EQ(UpdateCheck::updateFeedback(std::nullopt, {2.1, 0, 4}, false, kSite), std::nullopt);
    EXPECT_EQ(texts(UpdateCheck::updateFeedback(std::nullopt, {2.1, 0, 4}, true, kSite)),
              (std::vector<std::string>{"The latest version information could not be read from the web.",
                                        "Either the version information file is missing or you are not connected "
                                        "to the web."}));
    const auto empty = UpdateCheck::updateFeedback(Dictionary{}, {2.1, 0, 4}, true, kSite);
    EXPECT_EQ(texts(empty).at(0),
              "You are running a version that is newer than the current official release of Kinlore II")
        << "no official release: every build is newer";
}

TEST(UpdateCheck, ReleaseNotesOpenTheNotesOfTheRelease) {
    const auto older = UpdateCheck::updateFeedback(versionList(false), {2.0, 0, 9}, true, kSite);
    ASSERT_TRUE(older);
    EXPECT_EQ(UpdateCheck::buttons(*older), (std::vector<std::string>{"Get Later", "Release Notes", "Download"}));
    EXPECT_EQ(UpdateCheck::addressForButton(*older, 0, kSite), std::nullopt);
    EXPECT_EQ(UpdateCheck::addressForButton(*older, 1, kSite), kSite + "/downlds/KLRelease.html#v214");
    EXPECT_EQ(UpdateCheck::addressForButton(*older, 2, kSite), kSite + "/KLDown.html");

    const auto current = UpdateCheck::updateFeedback(versionList(false), {2.1, 0, 4}, true, kSite);
    EXPECT_EQ(UpdateCheck::buttons(*current), std::vector<std::string>{"OK"});
    const auto beta = UpdateCheck::updateFeedback(versionList(true), {2.2, 3, 0}, true, kSite);
    EXPECT_EQ(UpdateCheck::buttons(*beta), (std::vector<std::string>{"OK", "Download"}));
    EXPECT_EQ(UpdateCheck::addressForButton(*beta, 1, kSite), kSite + "/KLDown.html");
}

}  // namespace
}  // namespace kl
