// The script module that ships in the System library loads in front of a
// script as the interpreter loads modules, and its subroutines are found.
#include <gtest/gtest.h>

#include <filesystem>

#include "script/CommandParcer.h"

namespace kl {
namespace {

TEST(ShippedModule, LoadsAndDefinesItsSubroutines) {
    const std::filesystem::path modules = std::filesystem::path(KL_SOURCE_DIR) / "resources/KinloreIIAppSupport/Modules";
    CommandParcer parser("load \"Kinlore Helpers\"\nsay done\n");
    const Value searchList(Array{Value(".klscpt"), Value(modules.string())});
    const auto loadError = parser.loadPreambles(searchList, std::nullopt);
    ASSERT_FALSE(loadError) << *loadError;
    const auto subError = parser.findSubroutines();
    ASSERT_FALSE(subError) << *subError;
    for (const char* sub : {"AgeInYears", "SurnameFirst"}) EXPECT_TRUE(parser.hasDefinedSub(sub)) << sub;
    const auto first = parser.nextCommand();
    ASSERT_TRUE(first);
    EXPECT_EQ((*first)[0].toString(), "say");
}

}  // namespace
}  // namespace kl
