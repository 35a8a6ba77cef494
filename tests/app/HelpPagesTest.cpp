// Help pages, format and extension documentation and the product's pages:
// which address or help page each command hands over.
#include <gtest/gtest.h>

#include <fstream>

#include "AppTestSupport.h"
#include "app/AppController.h"

namespace kl {
namespace {

namespace fs = std::filesystem;

class HelpPages : public testing::AppHomeTest {
protected:
    void SetUp() override {
        AppHomeTest::SetUp();
        defaults = std::make_unique<UserDefaults>("Kinlore II", config());
        AppController::initialize(*defaults);
        AppController::setAddressOpener([this](const std::string& address) { opened.push_back(address); });
        AppController::setHelpViewer([this](const fs::path& page, const std::string& anchor) {
            shown.emplace_back(page, anchor);
        });
        fs::create_directories(resources() / "KinloreEditor");
        std::ofstream(resources() / "KinloreEditor/helpType.css") << "body { margin: 1em }";
    }
    void TearDown() override {
        AppController::setAddressOpener(nullptr);
        AppController::setHelpViewer(nullptr);
        defaults.reset();
        AppHomeTest::TearDown();
    }
    std::string helpFile(const std::string& relative) const {
        return "file://" + (resources() / "Kinlore_Help" / relative).string();
    }

    std::unique_ptr<UserDefaults> defaults;
    std::vector<std::string> opened;
    std::vector<std::pair<fs::path, std::string>> shown;
};

TEST_F(HelpPages, ContextHelpOpensThePageOfTheTagInTheBrowser) {
    struct Case {
        std::optional<int> tag;
        std::string page;
    } cases[] = {{7510, "Editing/attach.html"}, {7004, "Quick.html"}, {7517, "Customization/appsupport.html"},
                 {42, "index.html"}, {std::nullopt, "index.html"}};
    for (const Case& c : cases) {
        opened.clear();
        AppController::showHelp(c.tag, *defaults);
        EXPECT_EQ(opened, std::vector<std::string>{helpFile(c.page)}) << c.page;
    }
    EXPECT_TRUE(shown.empty());
}

TEST_F(HelpPages, WithoutTheBrowserTheViewerGetsThePageAndItsAnchor) {
    defaults->setObject(Value(false), "Open Help in Browser");
    AppController::showHelp(7510, *defaults);
    AppController::showAnchor("Editing/indwind", std::nullopt, *defaults);
    AppController::showHelp(std::nullopt, *defaults);
    ASSERT_EQ(shown.size(), 3u);
    EXPECT_EQ(shown[0], std::make_pair(resources() / "Kinlore_Help/Editing/attach.html",
                                       std::string("Editing_attachAnchor")));
    EXPECT_EQ(shown[1].second, "Editing/indwind");
    EXPECT_EQ(shown[2], std::make_pair(resources() / "Kinlore_Help/index.html", std::string()));
    EXPECT_TRUE(opened.empty());
}

TEST_F(HelpPages, BlanksInThePathAreEncoded) {
    AppController::setResourcesFolder(root_ / "my resources");
    AppController::showHelp(std::nullopt, *defaults);
    ASSERT_EQ(opened.size(), 1u);
    EXPECT_NE(opened[0].find("/my%20resources/Kinlore_Help/index.html"), std::string::npos) << opened[0];
}

TEST_F(HelpPages, FormatDocumentationPrefersItsLanguageAndGetsAFreshStyleSheet) {
    const fs::path format = root_ / "Plain.kfrmt";
    fs::create_directories(format / "Deutsch.html");  // a folder is no page
    std::ofstream(format / "English.html") << "<p>en</p>";
    std::ofstream(format / "helpType.css") << "stale";
    EXPECT_EQ(AppController::formatHelpPage(format, "Deutsch"), format / "English.html");
    std::ifstream sheet(format / "helpType.css");
    EXPECT_EQ(std::string(std::istreambuf_iterator<char>(sheet), {}), "body { margin: 1em }");
    std::ofstream(format / "Français.html") << "<p>fr</p>";
    EXPECT_EQ(AppController::formatHelpPage(format, "Français"), format / "Français.html");
    fs::remove(format / "English.html");
    EXPECT_EQ(AppController::formatHelpPage(format, "Deutsch"), std::nullopt);
}

TEST_F(HelpPages, ExtensionDocumentationIsTheHelpFileOfItsManifest) {
    const fs::path plug = root_ / "Tools.kplug";
    fs::create_directories(plug);
    EXPECT_EQ(AppController::extensionHelpPage(plug), std::nullopt);
    ASSERT_TRUE(PropertyList::writeFile(Value(Dictionary{{"help", Value("Docs.html")}}), plug / "manifest.plist"));
    EXPECT_EQ(AppController::extensionHelpPage(plug), plug / "Docs.html");
    EXPECT_TRUE(fs::exists(plug / "helpType.css"));
}

TEST_F(HelpPages, ProductPagesAndMail) {
    AppController::showTutorials(7005);
    AppController::showTutorials(0);
    AppController::showFormatsWebSite();
    AppController::showScriptsWebSite();
    AppController::showDiscussionGroup();
    AppController::sendTorvickEmail();
    const std::string site = AppController::productSite;
    EXPECT_EQ(opened, (std::vector<std::string>{site + "/tutorials/index.html", site + "/tutorials/scripting.html",
                                                site + "/interfaces/index.html", site + "/extensions/index.html",
                                                AppController::discussionGroupSite,
                                                "mailto:support@kinlore.org?subject=Re:%20Kinlore%20II"}));
}

TEST_F(HelpPages, DerevAzeduzeAddressFollowsTheLocalPlaceDataSetting) {
    EXPECT_EQ(AppController::derevAzeduzeAddress(0, "10.0.0.5", "ana"), std::string(AppController::productSite) + "/Mundora.html");
    EXPECT_EQ(AppController::derevAzeduzeAddress(1, "10.0.0.5", "ana"), "http://10.0.0.5/~ana/Kinlore%20II/Mundora.html");
    EXPECT_EQ(AppController::derevAzeduzeAddress(2, "10.0.0.5", "ana"),
              "http://10.0.0.5:8080/~ana/Kinlore%20II/Mundora.html");
}

TEST_F(HelpPages, EmptyingThePlaceAdvisorCacheRemovesItsFolder) {
    testing::ScopedEnv cache("XDG_CACHE_HOME", (root_ / "cache").string());
    EXPECT_TRUE(AppController::emptyPlaceAdivsorCache());
    const fs::path folder = root_ / "cache" / AppController::bundleIdentifier;
    fs::create_directories(folder / "pages");
    std::ofstream(folder / "pages/one.html") << "x";
    EXPECT_TRUE(AppController::emptyPlaceAdivsorCache());
    EXPECT_FALSE(fs::exists(folder));
    EXPECT_TRUE(fs::exists(root_ / "cache"));
}

TEST(VersionLine, ShowsTheBuildFromTheSecondOnOrWhenAsked) {
    EXPECT_EQ(AppController::versionLine(false, 1), "Version 2.0");
    EXPECT_EQ(AppController::versionLine(false, 2), "Version 2.0(b2)");
    EXPECT_EQ(AppController::versionLine(true, 1), "Version 2.0(b1)");
}

}  // namespace
}  // namespace kl
