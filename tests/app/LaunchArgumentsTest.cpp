// The command line: files made absolute once each, options apart.
#include <gtest/gtest.h>

#include "app/LaunchArguments.h"

namespace kl {
namespace {

namespace fs = std::filesystem;
using Paths = std::vector<fs::path>;

struct ArgumentsCase {
    const char* label;
    std::vector<std::string> arguments;
    Paths files;
    bool separate;
    std::vector<std::string> unknown;
};

const ArgumentsCase kCases[] = {
    {"None", {}, {}, false, {}},
    {"RelativeAndAbsolute", {"a.ged", "/data/Tree.gedpkg"}, {"/work/a.ged", "/data/Tree.gedpkg"}, false, {}},
    {"PackageWithSlashIsOneDocument", {"Tree.gedpkg/", "./Tree.gedpkg"}, {"/work/Tree.gedpkg"}, false, {}},
    {"DotsResolved", {"../x/b.ged"}, {"/x/b.ged"}, false, {}},
    {"Options", {"--separate-instance", "-v", "c.ged"}, {"/work/c.ged"}, true, {"-v"}},
    {"DashFileAfterSeparator", {"--", "-odd.ged"}, {"/work/-odd.ged"}, false, {}},
    {"NamesWithBlanks", {"My Tree; $(x).ged"}, {"/work/My Tree; $(x).ged"}, false, {}},
};

class Arguments : public ::testing::TestWithParam<ArgumentsCase> {};

TEST_P(Arguments, SplitIntoFilesAndOptions) {
    const LaunchArguments parsed(GetParam().arguments, "/work");
    EXPECT_EQ(parsed.files(), GetParam().files);
    EXPECT_EQ(parsed.separateInstance(), GetParam().separate);
    EXPECT_EQ(parsed.unknownOptions(), GetParam().unknown);
}

INSTANTIATE_TEST_SUITE_P(Lines, Arguments, ::testing::ValuesIn(kCases),
                         [](const auto& info) { return std::string(info.param.label); });

}  // namespace
}  // namespace kl
