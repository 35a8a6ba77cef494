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
#include <QMessageBox>
#include <QTcpServer>
#include <QTcpSocket>
#include <QTimer>

#include "UiTestSupport.h"
#include "app/LibraryFolder.h"
#include "app/ui/AboutPanel.h"
#include "app/ui/DocController.h"
#include "app/ui/HelpViewer.h"
#include "app/ui/KinloreApplication.h"
#include "app/ui/StartScreenController.h"
#include "app/ui/UpdateChecker.h"
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

// Help > Check for Updates... reads the version list of a site on this
// machine and tells every outcome; its buttons open the product's pages.
TEST_F(RunningApplication, CheckForUpdatesTellsWhatTheVersionListSays) {
    QByteArray versionList;
    QTcpServer server;
    ASSERT_TRUE(server.listen(QHostAddress::LocalHost));
    QObject::connect(&server, &QTcpServer::newConnection, [&] {
        QTcpSocket* socket = server.nextPendingConnection();
        QObject::connect(socket, &QTcpSocket::readyRead, socket, [&, socket] {
            const bool found = socket->readAll().startsWith("GET /downlds/KLIIVersion.plist ") && !versionList.isEmpty();
            const QByteArray body = found ? versionList : QByteArray("missing");
            socket->write((found ? "HTTP/1.0 200 OK\r\n" : "HTTP/1.0 404 Not Found\r\n") +
                          QByteArray("Content-Length: ") + QByteArray::number(body.size()) + "\r\n\r\n" + body);
            socket->disconnectFromHost();
        });
        QObject::connect(socket, &QTcpSocket::disconnected, socket, &QObject::deleteLater);
    });
    const std::string site = "http://127.0.0.1:" + std::to_string(server.serverPort());
    UpdateChecker::setSite(site);
    launch();

    // Answers the alert with the button of that title, noting what it said.
    struct Told {
        std::string text;
        QStringList buttons;
    };
    auto check = [&](const QString& press) {
        Told told;
        QTimer answer;
        QObject::connect(&answer, &QTimer::timeout, [&] {
            auto* box = qobject_cast<QMessageBox*>(QApplication::activeModalWidget());
            if (!box) return;
            told.text = (box->text() + "|" + box->informativeText()).toStdString();
            for (QAbstractButton* button : box->buttons()) told.buttons << button->text();
            for (QAbstractButton* button : box->buttons())
                if (button->text() == press) button->click();
        });
        answer.start(20);
        helpItem("Check for Updates...")->trigger();
        test::spinUntil([&] { return !told.text.empty(); });
        test::spinUntil([] { return QApplication::activeModalWidget() == nullptr; });
        return told;
    };

    Told told = check("OK");
    EXPECT_EQ(told.text, "The latest version information could not be read from the web.|Either the version "
                         "information file is missing or you are not connected to the web.");

    versionList = "<?xml version=\"1.0\" encoding=\"UTF-8\"?>\n<plist version=\"1.0\"><dict>"
                  "<key>Official</key><array><string>9.1</string><string>3 March 2026</string>"
                  "<string>9.1</string><string>4</string></array></dict></plist>";
    opened.clear();
    told = check("Release Notes");
    EXPECT_EQ(told.text.substr(0, told.text.find('|')),
              "A newer version of Kinlore II (9.1 build 4) posted 3 March 2026 is available for downloading.");
    EXPECT_EQ(told.buttons, (QStringList{"Get Later", "Release Notes", "Download"}));
    EXPECT_EQ(opened, std::vector<std::string>{site + "/downlds/KLRelease.html#v914"});
}

}  // namespace
}  // namespace kl
