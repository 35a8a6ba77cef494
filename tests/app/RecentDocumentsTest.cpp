// The Open Recent list: which paths it takes, its order, its length.
#include <gtest/gtest.h>

#include "AppTestSupport.h"
#include "app/RecentDocuments.h"
#include "support/CaseName.h"

namespace kl {
namespace {

namespace fs = std::filesystem;

struct ListableCase {
    const char* path;
    bool listed;
};

const ListableCase kListable[] = {
    {"/home/a/Tree.gedpkg", true},
    {"/home/a/tree.ged", true},
    {"/home/a/Formats/Mine.kfrmt", false},
    {"/home/a/Formats/Mine.KFRMT/", false},
    {"/home/a/Tools.kplug", false},
    {"/home/a/.local/share/Kinlore II/System/Radavizu/Brennow.gedpkg", false},
    {"/home/a/.local/share/Kinlore II/System/Radavizu/Brennow.gedpkg/", false},
    {"/home/a/Radavizu/Brennow.gedpkg", true},
    {"/home/a/Copies/Brennow.gedpkg", true},
    // Exactly the 30 characters, nothing before them: listed.
    {"System/Radavizu/Brennow.gedpkg", true},
};

class Listable : public ::testing::TestWithParam<ListableCase> {};

TEST_P(Listable, FollowsTheFilter) { EXPECT_EQ(RecentDocuments::isListable(GetParam().path), GetParam().listed); }

INSTANTIATE_TEST_SUITE_P(Paths, Listable, ::testing::ValuesIn(kListable), ::kl::test::CaseName());

class RecentList : public testing::AppHomeTest {
protected:
    void SetUp() override {
        AppHomeTest::SetUp();
        defaults_ = std::make_unique<UserDefaults>("Kinlore II", config());
    }
    std::unique_ptr<UserDefaults> defaults_;
};

TEST_F(RecentList, NewestFirstOnceAndAtMostTen) {
    RecentDocuments recent(*defaults_);
    for (int i = 0; i < 12; ++i) recent.noteNewRecentDocumentURL("/d/" + std::to_string(i) + ".ged");
    EXPECT_TRUE(recent.noteNewRecentDocumentURL("/d/5.ged/"));
    EXPECT_FALSE(recent.noteNewRecentDocumentURL("/d/x.kplug"));
    const auto list = recent.recentDocumentURLs();
    ASSERT_EQ(list.size(), RecentDocuments::maximumCount);
    EXPECT_EQ(list[0], fs::path("/d/5.ged"));
    EXPECT_EQ(list[1], fs::path("/d/11.ged"));
    EXPECT_EQ(std::count(list.begin(), list.end(), fs::path("/d/5.ged")), 1);
    recent.clearRecentDocuments();
    EXPECT_TRUE(recent.recentDocumentURLs().empty());
}

}  // namespace
}  // namespace kl
