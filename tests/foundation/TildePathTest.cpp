// Paths stored with "~" for the home folder.
#include <gtest/gtest.h>

#include <cstdlib>
#include <optional>
#include <string>

#include "foundation/TildePath.h"

namespace kl {
namespace {

class TildePathTest : public ::testing::Test {
protected:
    void SetUp() override {
        if (const char* home = std::getenv("HOME")) saved_ = home;
        ::setenv("HOME", "/home/ann/", 1);
    }
    void TearDown() override {
        if (saved_)
            ::setenv("HOME", saved_->c_str(), 1);
        else
            ::unsetenv("HOME");
    }
    std::optional<std::string> saved_;
};

TEST_F(TildePathTest, ExpandsAndAbbreviatesOnlyTheHomeFolder) {
    struct Case {
        const char* full;
        const char* stored;
    } cases[] = {{"/home/ann/.local/share/Kinlore II", "~/.local/share/Kinlore II"},
                 {"/home/ann", "~"},
                 {"/home/anna/x", "/home/anna/x"},
                 {"/tmp/x", "/tmp/x"},
                 {"", ""}};
    for (const Case& c : cases) {
        EXPECT_EQ(abbreviateWithTilde(c.full), c.stored) << c.full;
        EXPECT_EQ(expandTilde(c.stored), c.full) << c.stored;
    }
    EXPECT_EQ(expandTilde("~ann/x"), "~ann/x") << "other users' homes are not looked up";
}

}  // namespace
}  // namespace kl
