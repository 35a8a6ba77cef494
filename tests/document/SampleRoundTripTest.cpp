// The sample database opens through the document, the way the start
// screen opens it, and saving it unchanged writes the same GEDCOM text and
// package lists back.
#include <gtest/gtest.h>

#include <filesystem>

#include "DocumentTestSupport.h"
#include "foundation/PropertyList.h"

namespace kl {
namespace {

namespace fs = std::filesystem;

fs::path samplePackage() {
    return fs::path(KL_SOURCE_DIR) / "resources/KinloreIIAppSupport/Radavizu/Brennow.gedpkg";
}

TEST(SampleRoundTrip, OpensAndSavesUnchanged) {
    test::ScratchFolder scratch;
    // A copy beside its image, as the System library holds it; the shipped
    // package is never written.
    const fs::path package = scratch / "Radavizu/Brennow.gedpkg";
    fs::create_directories(package.parent_path());
    fs::copy(samplePackage(), package, fs::copy_options::recursive);
    fs::copy(samplePackage().parent_path() / "Brennow Hall.png", package.parent_path());

    test::DocumentFixture f;
    std::string error;
    ASSERT_TRUE(f.openPackage(package, &error)) << error;
    EXPECT_TRUE(f.ui.alerts.empty());
    EXPECT_EQ(f.question.asked, 0);
    ASSERT_TRUE(f.document->saveToURL(package, &error)) << error;

    EXPECT_EQ(test::readFile(package / "Brennow.ged"), test::readFile(samplePackage() / "Brennow.ged"));
    for (const char* list : {"attributes.plist", "settings.plist"}) {
        const auto saved = PropertyList::readDictionaryFile(package / list);
        const auto shipped = PropertyList::readDictionaryFile(samplePackage() / list);
        ASSERT_TRUE(saved && shipped) << list;
        for (const std::string& key : shipped->keys()) {
            ASSERT_TRUE(saved->get(key)) << list << " lost " << key;
            EXPECT_EQ(*saved->get(key), *shipped->get(key)) << list << " " << key;
        }
    }
}

}  // namespace
}  // namespace kl
