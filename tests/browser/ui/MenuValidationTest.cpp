// A main record window's items enabled and named by their tags for the
// record it shows: the toolbar's enabled by the same rules but keeping
// their names, the main menu's items renamed when the window becomes the
// main one, and the Help item opening the window's help page.
#include <gtest/gtest.h>

#include <QMenuBar>
#include <QTest>

#include "app/AppController.h"
#include "browser/BrowserNavigation.h"
#include "browser/BrowserToolbar.h"
#include "browser/ui/ValueFieldSupport.h"
#include "index/ui/IndexToolbarWidget.h"
#include "model/FAMRecord.h"

namespace kl {
namespace {

namespace fs = std::filesystem;

class MenuValidation : public ValueFields {
protected:
    // The menu bar's item of the tag, as it reads with its menu closed.
    static QAction* itemOf(const QList<QAction*>& actions, int tag) {
        for (QAction* action : actions) {
            if (QMenu* menu = action->menu()) {
                if (QAction* found = itemOf(menu->actions(), tag)) return found;
            } else if (action->data().toInt() == tag) {
                return action;
            }
        }
        return nullptr;
    }
};

TEST_F(MenuValidation, ToolbarItemsAreEnabledByTheirTagsButKeepTheirNames) {
    BrowserController* browser = openWithReturn("@I1@");
    ASSERT_NE(browser, nullptr);
    ASSERT_NE(browser->toolbar(), nullptr);
    auto family = doc->gedcomModel().recordWithID("@F1@");
    ASSERT_NE(family, nullptr);
    index->documentWindows().openRecordBrowser(family);
    ASSERT_TRUE(test::processUntil([&] { return browser->theRecord() == family; }));
    settle();
    QAction* father = browser->toolbar()->actionForIdentifier("ShowFatherHusband");
    ASSERT_NE(father, nullptr);
    QAction* goFather = itemOf(browser->goMenu()->actions(), kFatherTag);
    ASSERT_NE(goFather, nullptr);
    EXPECT_EQ(goFather->text(), "Husband") << "the menu names the family's partner";
    EXPECT_EQ(father->text(), "Father") << "the toolbar keeps its own name";
    EXPECT_EQ(father->isEnabled(), browser->validateMenuTag(kFatherTag, nullptr));
    QAction* children = browser->toolbar()->actionForIdentifier("ShowChildren");
    ASSERT_NE(children, nullptr);
    EXPECT_EQ(children->isEnabled(), !browser->linkLists().children.empty());
}

TEST_F(MenuValidation, AWindowThatBecomesMainNamesItsMenuItemsForItsRecord) {
    BrowserController* browser = openWithReturn("@I1@");
    ASSERT_NE(browser, nullptr);
    auto family = std::dynamic_pointer_cast<FAMRecord>(doc->gedcomModel().recordWithID("@F1@"));
    ASSERT_NE(family, nullptr);
    index->documentWindows().openRecordBrowser(family);
    ASSERT_TRUE(test::processUntil([&] { return browser->theRecord() == family; }));
    settle();
    QAction* status = itemOf(browser->menuBar()->actions(), BrowserController::kMaritalStatusTag);
    ASSERT_NE(status, nullptr);
    const bool unmarried = family->isUnmarried();
    browser->maintainMenus();
    EXPECT_EQ(status->text(), unmarried ? "Married Status" : "Not Married Status");

    // Another window had the menu bar meanwhile: the item is named anew
    // when this window becomes the main one again.
    index->activateWindow();
    settle();
    status->setText("stale");
    browser->activateWindow();
    ASSERT_TRUE(test::processUntil([&] { return browser->isActiveWindow(); }));
    settle();
    EXPECT_EQ(status->text(), unmarried ? "Married Status" : "Not Married Status");
    QAction* father = itemOf(browser->goMenu()->actions(), kFatherTag);
    ASSERT_NE(father, nullptr);
    EXPECT_EQ(father->text().toStdString(), family->isUnmarried() ? family->unmarriedName("HUSB") : family->marriedName("HUSB"));
}

TEST_F(MenuValidation, HelpOpensTheHelpPageOfTheShownRecord) {
    std::vector<std::string> addresses;
    std::vector<std::pair<fs::path, std::string>> shown;
    AppController::setAddressOpener([&](const std::string& address) { addresses.push_back(address); });
    AppController::setHelpViewer(
        [&](const fs::path& page, const std::string& anchor) { shown.emplace_back(page, anchor); });
    BrowserController* browser = openWithReturn("@I1@");
    ASSERT_NE(browser, nullptr);
    QAction* help = browser->toolbar()->actionForIdentifier(BrowserToolbar::kWindowHelp);
    ASSERT_NE(help, nullptr);
    help->trigger();
    defaults->setObject(Value(false), "Open Help in Browser");
    help->trigger();
    AppController::setHelpViewer(nullptr);
    AppController::setAddressOpener(nullptr);
    const fs::path page = AppController::helpFolder() / "Editing/individual.html";
    EXPECT_EQ(addresses, std::vector<std::string>{AppController::fileAddress(page)});
    ASSERT_EQ(shown.size(), 1u);
    EXPECT_EQ(shown[0].first, page);
    EXPECT_EQ(shown[0].second, "Editing_individualAnchor");
}

}  // namespace
}  // namespace kl
