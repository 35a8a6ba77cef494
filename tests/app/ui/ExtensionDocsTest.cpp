// Extensions ▸ Documentation... of a running Kinlore II: the viewer of the
// documentation of installed extensions and formats, its pop-up, history
// and link policy.
#include <gtest/gtest.h>

#include <QComboBox>
#include <QTextBrowser>
#include <QToolButton>
#include <QUrl>

#include <fstream>

#include "UiTestSupport.h"
#include "app/LibraryFolder.h"
#include "foundation/PropertyList.h"
#include "app/ui/ExtensionDocs.h"
#include "app/ui/KinloreApplication.h"

namespace kl {
namespace {

namespace fs = std::filesystem;

class DocumentationViewer : public test::AppHome {
protected:
    void SetUp() override {
        AppHome::SetUp();
        application = std::make_unique<KinloreApplication>(*defaults);
        application->setAlertPresenter([](const std::string&, const std::string&) {});
        application->setInfoPresenter([](const std::string&, const std::string&) {});
        ASSERT_TRUE(application->launch());
        library = AppController::sharedLibrary();
        // Two documented packages in the user's library.
        const fs::path scripts = root() / "data/Kinlore II/Scripts";
        const fs::path plug = scripts / "Tools.kplug";
        fs::create_directories(plug);
        ASSERT_TRUE(PropertyList::writeFile(Value(Dictionary{{"help", Value("Guide.html")}}), plug / "manifest.plist"));
        std::ofstream(plug / "Guide.html") << "<h1>Tools guide</h1><a href=\"More.html\">more</a> "
                                              "<a href=\"help://Editing/attach.html\">attach</a> "
                                              "<a href=\"http://example.org/x\">web</a>";
        std::ofstream(plug / "More.html") << "<h1>More tools</h1>";
        const fs::path format = root() / "data/Kinlore II/Formats/Plain.kfrmt";
        fs::create_directories(format);
        std::ofstream(format / "English.html") << "<h1>Plain format</h1>";
        library->buildScriptsMenu();
        AppController::setAddressOpener([this](const std::string& address) { opened.push_back(address); });
        docs = std::make_unique<ExtensionDocs>(*defaults);
    }
    void TearDown() override {
        docs.reset();
        AppController::setAddressOpener(nullptr);
        application.reset();
        AppHome::TearDown();
    }
    int indexOf(const std::string& title) const { return docs->docsMenuButton()->findText(QString::fromStdString(title), Qt::MatchContains); }

    std::unique_ptr<KinloreApplication> application;
    LibraryFolder* library = nullptr;
    std::unique_ptr<ExtensionDocs> docs;
    std::vector<std::string> opened;
};

TEST_F(DocumentationViewer, ShowsAnItemFollowsPackageLinksAndKeepsHistoryPerItem) {
    const auto& menu = library->menus().documentationMenu();
    ASSERT_GE(menu.size(), 2u);
    docs->insertMenu(menu);
    const int tools = indexOf("Tools");
    const int plain = indexOf("Plain");
    ASSERT_GE(tools, 0);
    ASSERT_GE(plain, 0);
    docs->loadHelpDoc(tools);
    EXPECT_TRUE(docs->docsWeb()->toPlainText().contains("Tools guide"));
    EXPECT_FALSE(docs->backButton()->isEnabled());

    docs->linkClicked(QString("More.html"));
    EXPECT_TRUE(docs->docsWeb()->toPlainText().contains("More tools"));
    EXPECT_TRUE(docs->backButton()->isEnabled());
    docs->backButton()->click();
    EXPECT_TRUE(docs->docsWeb()->toPlainText().contains("Tools guide"));
    EXPECT_TRUE(docs->forwardButton()->isEnabled());

    docs->linkClicked(QString("http://example.org/x"));
    docs->linkClicked(QString("help://Editing/attach.html"));
    ASSERT_EQ(opened.size(), 2u);
    EXPECT_EQ(opened[0], "http://example.org/x");
    EXPECT_TRUE(opened[1].ends_with("/Kinlore_Help/Editing/attach.html")) << opened[1];
    docs->linkClicked(QString("https://example.org/secure"));
    EXPECT_EQ(opened.size(), 2u) << "only http: pages go to the browser";

    emit docs->docsMenuButton()->activated(plain);
    EXPECT_TRUE(docs->docsWeb()->toPlainText().contains("Plain format"));
    EXPECT_FALSE(docs->backButton()->isEnabled()) << "history belongs to one item";
    docs->resize(640, 400);
    docs->show();
    const fs::path shot = fs::path(KL_BINARY_DIR) / "extension-docs.png";
    EXPECT_TRUE(docs->grab().save(QString::fromStdString(shot.string())));
}

TEST_F(DocumentationViewer, ARebuiltMenuKeepsTheItemShownWhileItIsThere) {
    docs->insertMenu(library->menus().documentationMenu());
    const int plain = indexOf("Plain");
    ASSERT_GE(plain, 0);
    docs->loadHelpDoc(plain);
    const std::string title = docs->docTitle();
    docs->insertMenu(library->menus().documentationMenu());
    EXPECT_EQ(docs->docTitle(), title);
    EXPECT_EQ(docs->docsMenuButton()->currentIndex(), docs->docIndex());

    // The item gone: the first one is shown.
    std::vector<LibraryMenuItem> fewer;
    for (const LibraryMenuItem& item : library->menus().documentationMenu())
        if (item.title != title) fewer.push_back(item);
    docs->insertMenu(fewer);
    EXPECT_EQ(docs->docIndex(), 0);

    // An item without documentation beeps and leaves the page shown.
    const QString shown = docs->docsWeb()->toPlainText();
    const int beeps = docs->beeps();
    fs::remove(root() / "data/Kinlore II/Formats/Plain.kfrmt/English.html");
    docs->insertMenu(library->menus().documentationMenu());
    docs->loadHelpDoc(indexOf("Plain"));
    EXPECT_EQ(docs->beeps(), beeps + 1);
    docs->insertMenu({});
    EXPECT_EQ(docs->beeps(), beeps + 2) << "an empty menu has no first item";
}

}  // namespace
}  // namespace kl
