// The start screen of a running Kinlore II, its quick buttons for a list
// of recent documents, and the Help menu: help pages, format help, the
// product's pages and the about panel, checked by the address handed to
// the desktop.
#include <gtest/gtest.h>

#include <QAction>
#include <QCheckBox>
#include <QComboBox>
#include <QLabel>
#include <QPushButton>
#include <QTextBrowser>

#include "UiTestSupport.h"
#include "app/LibraryFolder.h"
#include "app/ui/AboutPanel.h"
#include "app/ui/DocController.h"
#include "app/ui/HelpViewer.h"
#include "app/ui/KinloreApplication.h"
#include "app/ui/StartScreenController.h"
#include "document/GEDCOMDocument.h"

namespace kl {
namespace {

namespace fs = std::filesystem;

class RunningApplication : public test::AppHome {
protected:
    void SetUp() override {
        AppHome::SetUp();
        application = std::make_unique<KinloreApplication>(*defaults);
        application->setAlertPresenter([this](const std::string& m, const std::string&) { alerts.push_back(m); });
        application->setInfoPresenter([this](const std::string& m, const std::string&) { alerts.push_back(m); });
        AppController::setAddressOpener([this](const std::string& address) { opened.push_back(address); });
    }
    void TearDown() override {
        application.reset();
        AppController::setAddressOpener(nullptr);
        AppHome::TearDown();
    }
    void launch() {
        ASSERT_TRUE(application->launch());
        ASSERT_TRUE(test::spinUntil([&] { return application->emptyWindow() && application->emptyWindow()->isVisible(); }));
    }
    QAction* helpItem(const QString& title) const { return test::menuItem(*application->emptyWindow(), "&Help", title); }

    std::unique_ptr<KinloreApplication> application;
    std::vector<std::string> alerts;
    std::vector<std::string> opened;
};

TEST_F(RunningApplication, StartScreenOpensTheSampleAndClosesWhenItIsOpen) {
    launch();
    ASSERT_TRUE(test::spinUntil([&] { return application->startScreen() && application->startScreen()->isVisible(); }));
    StartScreenController* screen = application->startScreen();
    EXPECT_EQ(screen->startAppVersion()->text(), QString::fromStdString(AppController::versionLine(false)));
    EXPECT_FALSE(screen->recentFileMenu()->isEnabled());
    EXPECT_EQ(screen->sampleFileTwo()->text(), "(no recent file)");
    EXPECT_TRUE(screen->showCheckBox()->isChecked());
    const fs::path shot = fs::path(KL_BINARY_DIR) / "start-screen.png";
    EXPECT_TRUE(screen->grab().save(QString::fromStdString(shot.string())));

    // Unchecking stores at once; the screen stays.
    screen->showCheckBox()->click();
    EXPECT_FALSE(defaults->boolForKey("Show Startup Screen"));
    EXPECT_TRUE(screen->isVisible());
    screen->sampleFileTwo()->click();  // "(no recent file)" does nothing
    screen->sampleFileOne()->click();
    ASSERT_TRUE(test::spinUntil([&] { return application->docController().documents().size() == 1; }));
    ASSERT_TRUE(test::spinUntil([&] { return application->startScreen() == nullptr; }));
    EXPECT_TRUE(alerts.empty());
}

TEST_F(RunningApplication, StartScreenComesBackFromTheHelpMenuForAReturningUser) {
    launch();
    ASSERT_TRUE(test::spinUntil([&] { return application->startScreen() != nullptr; }));
    application->startScreen()->close();
    ASSERT_TRUE(test::spinUntil([&] { return application->startScreen() == nullptr; }));
    defaults->setObject(Value(false), "Show Startup Screen");
    helpItem("Show Start Screen")->trigger();
    ASSERT_NE(application->startScreen(), nullptr);
    EXPECT_FALSE(application->startScreen()->newUserType());
    EXPECT_FALSE(application->startScreen()->showCheckBox()->isChecked());
    StartScreenController* first = application->startScreen();
    helpItem("Show Start Screen")->trigger();
    EXPECT_EQ(application->startScreen(), first);
}

// The quick buttons for lists of recent documents.
TEST(StartScreenButtons, PickTheTwoMostRecentPackagesElseTheSample) {
    struct Case {
        std::vector<fs::path> recent;
        int one, two;
        int menuItems;  // the sample's item follows the recent ones
    } cases[] = {
        {{}, StartScreenController::sampleFileTag, StartScreenController::noFileTag, 0},
        {{"/a/Old.ged", "/a/Older.ged"}, StartScreenController::sampleFileTag, StartScreenController::noFileTag, 3},
        {{"/a/Old.ged", "/a/Tree.gedpkg"}, 1, StartScreenController::sampleFileTag, 3},
        {{"/a/One.gedpkg", "/a/Old.ged", "/a/Two.gedpkg", "/a/Three.gedpkg"}, 0, 2, 5},
    };
    UserDefaults defaults("Kinlore II", fs::path(KL_BINARY_DIR) / "start-screen-buttons");
    for (const Case& c : cases) {
        std::vector<fs::path> asked;
        int samples = 0;
        StartScreenController::Commands commands;
        commands.openRecent = [&](const fs::path& path) { asked.push_back(path); };
        commands.openSample = [&] { ++samples; };
        StartScreenController screen(false, c.recent, commands, defaults);
        EXPECT_EQ(screen.sampleFileOne()->property("tag").toInt(), c.one);
        EXPECT_EQ(screen.sampleFileTwo()->property("tag").toInt(), c.two);
        EXPECT_EQ(screen.recentFileMenu()->count(), c.menuItems);
        screen.sampleFileOne()->click();
        screen.sampleFileTwo()->click();
        const int packages = (c.one >= 0) + (c.two >= 0);
        EXPECT_EQ(int(asked.size()), packages);
        EXPECT_EQ(samples, (c.one == StartScreenController::sampleFileTag) + (c.two == StartScreenController::sampleFileTag));
        if (c.menuItems > 1) {
            emit screen.recentFileMenu()->activated(1);
            EXPECT_EQ(asked.back(), c.recent[1]);
        }
    }
}

TEST_F(RunningApplication, HelpMenuOpensPagesInTheBrowserOrTheHelpViewer) {
    launch();
    helpItem("Kinlore II Help")->trigger();
    helpItem("Quick Start")->trigger();
    helpItem("Tutorials")->trigger();
    helpItem("Mail to Support")->trigger();
    const std::string help = AppController::fileAddress(shipped() / "Kinlore_Help");
    EXPECT_EQ(opened, (std::vector<std::string>{help + "/index.html", help + "/Quick.html",
                                                std::string(AppController::productSite) + "/tutorials/index.html",
                                                "mailto:support@kinlore.org?subject=Re:%20Kinlore%20II"}));

    defaults->setObject(Value(false), "Open Help in Browser");
    opened.clear();
    helpItem("Kinlore II Help")->trigger();
    EXPECT_TRUE(opened.empty());
    ASSERT_NE(application->helpViewer(), nullptr);
    EXPECT_TRUE(application->helpViewer()->isVisible());
    EXPECT_TRUE(application->helpViewer()->browser()->toPlainText().contains("Kinlore II Help"));
    const fs::path shot = fs::path(KL_BINARY_DIR) / "help-viewer.png";
    EXPECT_TRUE(application->helpViewer()->grab().save(QString::fromStdString(shot.string())));
}

TEST_F(RunningApplication, FormatHelpShowsTheFormatsPageOrSaysThereIsNone) {
    launch();
    LibraryFolder* library = AppController::sharedLibrary();
    const fs::path format = library->templates().templateFilePath("");
    helpItem("Format Help")->trigger();
    ASSERT_EQ(opened.size(), 1u);
    EXPECT_EQ(opened[0], AppController::fileAddress(format / "English.html"));
    EXPECT_TRUE(fs::exists(format / "helpType.css"));

    fs::remove(format / "English.html");
    const int beeps = application->beeps();
    helpItem("Format Help")->trigger();
    EXPECT_EQ(application->beeps(), beeps + 1);
    EXPECT_EQ(alerts, std::vector<std::string>{"The current format does not have any help documentation"});
    EXPECT_EQ(opened.size(), 1u);
}

TEST_F(RunningApplication, AboutPanelShowsTheVersionAndLinks) {
    launch();
    helpItem("About Kinlore II")->trigger();
    AboutPanel* about = application->aboutPanel();
    ASSERT_NE(about, nullptr);
    EXPECT_TRUE(about->isVisible());
    EXPECT_EQ(about->appVersion()->text(), QString::fromStdString(AppController::versionLine(true)));
    EXPECT_TRUE(about->webSiteButton()->font().underline());
    about->webSiteButton()->click();
    EXPECT_EQ(opened, std::vector<std::string>{std::string(AppController::productSite) + "/"});
    const fs::path shot = fs::path(KL_BINARY_DIR) / "about-panel.png";
    EXPECT_TRUE(about->grab().save(QString::fromStdString(shot.string())));
    helpItem("About Kinlore II")->trigger();
    EXPECT_EQ(application->aboutPanel(), about);
}

TEST_F(RunningApplication, DerevAzeduzePageFollowsTheLocalPlaceDataSetting) {
    launch();
    defaults->setObject(Value(2), "Use Local Place Data");
    helpItem("Derev Azeduze Web Page")->trigger();
    ASSERT_EQ(opened.size(), 1u);
    EXPECT_NE(opened[0].find(":8080/~"), std::string::npos) << opened[0];
    EXPECT_TRUE(opened[0].ends_with("/Kinlore%20II/Mundora.html"));
}

}  // namespace
}  // namespace kl
