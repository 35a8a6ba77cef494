// How outside files are named and sorted when they enter a package.
#include <gtest/gtest.h>

#include "EditorTestSupport.h"
#include "editor/ItemList.h"
#include "editor/PackageImport.h"

namespace kl {
namespace {

using namespace test;

TEST(PackageImport, ImageNamesJoinTheWordsAndCountPastTakenNames) {
    ItemList images("Images", ImageType);
    images.addTemplate(Value(""), "Family_Crest");
    images.addTemplate(Value(""), "image");
    const struct {
        const char* file;
        const char* name;
    } cases[] = {
        {"Family Crest.png", "Family_Crest_1"},
        {"Mark.png", "Mark"},
        {"a, b\tc.jpg", "a_b_c"},
        {"\"two words\" more.gif", "two words_more"},
        {"  .png", "image_1"},
    };
    for (const auto& c : cases) EXPECT_EQ(PackageImport::imageName(c.file, images), c.name) << c.file;
}

TEST(PackageImport, ExtensionFilesGoToTheListOfTheirKindWithoutRegardToCase) {
    const struct {
        const char* file;
        std::optional<std::string> list;
    } cases[] = {
        {"tool.py", "Scripts"},           {"Tally.KLSCPT", "Scripts"},   {"notes.TXT", "Text Files"},
        {"paper.tex", "Text Files"},      {"guide.htm", "Documentation"}, {"site.CSS", "Documentation"},
        {"data.csv", std::nullopt},       {"README", std::nullopt},      {"py", std::nullopt},
    };
    for (const auto& c : cases) EXPECT_EQ(PackageImport::listForFile(c.file), c.list) << c.file;
}

TEST(PackageImport, CarriedNamesCountPastTheNamesOfTheTable) {
    const Dictionary table{{"data.csv", ""}, {"data 1.csv", ""}, {"LICENSE", ""}};
    EXPECT_EQ(PackageImport::carriedName("data.csv", table), "data 2.csv");
    EXPECT_EQ(PackageImport::carriedName("LICENSE", table), "LICENSE 1");
    EXPECT_EQ(PackageImport::carriedName("other.csv", table), "other.csv");
}

class PackageImportText : public EditorTest {};

TEST_F(PackageImportText, ReadsUTF8AndRefusesOtherBytesAndMissingFiles) {
    writeFile(scratch("good.txt"), "caf\xc3\xa9 \xef\xbf\xbd\n");
    writeFile(scratch("latin.txt"), "caf\xe9\n");
    std::string error;
    EXPECT_EQ(PackageImport::readText(scratch("good.txt"), &error), "caf\xc3\xa9 \xef\xbf\xbd\n");
    EXPECT_EQ(PackageImport::readText(scratch("latin.txt"), &error), std::nullopt);
    EXPECT_EQ(error, "The file is not UTF-8 text.");
    error.clear();
    EXPECT_EQ(PackageImport::readText(scratch("missing.txt"), &error), std::nullopt);
    EXPECT_FALSE(error.empty());
}

}  // namespace
}  // namespace kl
