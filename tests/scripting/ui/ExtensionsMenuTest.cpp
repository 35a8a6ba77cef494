// Kinlore II's Extensions menu with a fresh library: the shipped example
// script runs under the script run panel; an outside script kind beeps.
#include <gtest/gtest.h>

#include <QAbstractButton>
#include <QAction>
#include <QComboBox>
#include <QFileDialog>
#include <QListWidget>
#include <QMessageBox>
#include <QPushButton>
#include <QMainWindow>
#include <QMenu>
#include <QMenuBar>

#include <fstream>

#include "app/AppController.h"
#include "app/LibraryFolder.h"
#include "app/ui/ExtensionDocs.h"
#include "app/ui/KinloreApplication.h"
#include "app/ui/QtDispatcher.h"
#include "app/ui/UiTestSupport.h"
#include "scripting/ui/AppleScriptActivePanel.h"
#include "scripting/ui/ScriptsDesktop.h"
#include "scripting/ui/UserInputPanel.h"

namespace kl {
namespace {

namespace fs = std::filesystem;

class ExtensionsMenu : public test::AppHome {
protected:
    void SetUp() override {
        AppHome::SetUp();
        application = std::make_unique<KinloreApplication>(*defaults);
        application->setAlertPresenter([this](const std::string& m, const std::string&) { alerts.push_back(m); });
        application->setInfoPresenter([this](const std::string& m, const std::string&) { alerts.push_back(m); });
        scripts = std::make_shared<ScriptsDesktop>(*defaults);
        scripts->setBeep([this] { ++beeps; });
        application->setScriptsHost(scripts);
        ASSERT_TRUE(application->launch());
        ASSERT_TRUE(test::spinUntil([&] { return application->emptyWindow() != nullptr; }));
    }
    void TearDown() override {
        scripts.reset();
        application.reset();
        AppHome::TearDown();
    }

    QMenu* extensionsMenu() {
        for (QAction* action : application->emptyWindow()->menuBar()->actions())
            if (action->data().toInt() == ScriptsDesktop::extensionsMenuTag) return action->menu();
        return nullptr;
    }
    static QAction* find(QMenu& menu, const QString& title) {
        for (QAction* action : menu.actions())
            if (action->text() == title) return action;
        return nullptr;
    }

    QtDispatcher dispatcher;
    Dispatcher::Scope mainThread{dispatcher};
    std::unique_ptr<KinloreApplication> application;
    std::shared_ptr<ScriptsDesktop> scripts;
    std::vector<std::string> alerts;
    int beeps = 0;
};

TEST_F(ExtensionsMenu, ExampleScriptRunsUnderThePanel) {
    QMenu* menu = extensionsMenu();
    ASSERT_NE(menu, nullptr);
    emit menu->aboutToShow();
    QAction* examples = find(*menu, "Examples");
    ASSERT_TRUE(examples && examples->menu());
    QAction* soundex = find(*examples->menu(), "Soundex Codes");
    ASSERT_NE(soundex, nullptr);
    soundex->trigger();

    AppleScriptActivePanel& panel = scripts->panel();
    ASSERT_TRUE(test::processUntil([&] { return !panel.isRunning(); }));
    EXPECT_TRUE(panel.isVisible());
    EXPECT_EQ(panel.statusText().toStdString(), "Script 'Soundex Codes' is done");
    const std::string output = panel.outputText().toStdString();
    EXPECT_NE(output.find("Ashdown: A235\n"), std::string::npos) << output;
    EXPECT_NE(output.find("Tolliver: T416\nTalliver: T416\n"), std::string::npos) << output;
    EXPECT_EQ(beeps, 0);
    EXPECT_TRUE(panel.grab().save(QString::fromStdString((fs::path(KL_BINARY_DIR) / "script-panel.png").string())));
}

TEST_F(ExtensionsMenu, AnOutsideScriptBeeps) {
    LibraryFolder* library = AppController::sharedLibrary();
    ASSERT_NE(library, nullptr);
    const fs::path scriptsFolder = library->libraryFile("Scripts");
    fs::create_directories(scriptsFolder);
    std::ofstream(scriptsFolder / "Hello.py") << "print('hello')\n";
    library->buildScriptsMenu();

    QMenu* menu = extensionsMenu();
    ASSERT_NE(menu, nullptr);
    emit menu->aboutToShow();
    QAction* hello = find(*menu, "Hello");
    ASSERT_NE(hello, nullptr);
    hello->trigger();
    EXPECT_EQ(beeps, 1);
    EXPECT_FALSE(scripts->panel().isVisible());
}

TEST_F(ExtensionsMenu, DocumentationOpensTheViewerOnTheFirstDocumentedItem) {
    LibraryFolder* library = AppController::sharedLibrary();
    ASSERT_NE(library, nullptr);
    const fs::path format = library->libraryFile("Formats") / "Plain.kfrmt";
    fs::create_directories(format);
    std::ofstream(format / "English.html") << "<h1>Plain format</h1>";
    library->buildScriptsMenu();

    QMenu* menu = extensionsMenu();
    ASSERT_NE(menu, nullptr);
    emit menu->aboutToShow();
    QAction* documentation = find(*menu, "Documentation...");
    ASSERT_NE(documentation, nullptr);
    documentation->trigger();
    ExtensionDocs* docs = scripts->documentation();
    ASSERT_NE(docs, nullptr);
    EXPECT_TRUE(docs->isVisible());
    EXPECT_EQ(docs->docIndex(), 0);
    EXPECT_EQ(docs->docsMenuButton()->count(), static_cast<int>(library->menus().documentationMenu().size()));
    EXPECT_EQ(beeps, 0);
}

void clickButton(QMessageBox& box, const QString& title) {
    for (QAbstractButton* button : box.buttons())
        if (button->text() == title) return button->click();
    ADD_FAILURE() << "no button " << title.toStdString();
    box.done(0);
}

TEST_F(ExtensionsMenu, InstallThenRemoveThroughTheMenu) {
    const fs::path package = root() / "Tool.kplug";
    fs::create_directories(package);
    std::ofstream(package / "main.klscpt") << "write 1";
    std::string reported;
    test::whenModal<QFileDialog>([&](QFileDialog& dialog) {
        test::whenModal<QMessageBox>([&](QMessageBox& where) {
            test::whenModal<QMessageBox>([&](QMessageBox& done) {
                reported = done.text().toStdString();
                done.buttons().front()->click();
            });
            clickButton(where, "User Library");
        });
        dialog.selectFile(QString::fromStdString(package.string()));
        QMetaObject::invokeMethod(&dialog, "accept");
    });
    QMenu* menu = extensionsMenu();
    ASSERT_NE(menu, nullptr);
    emit menu->aboutToShow();
    find(*menu, "Install Extensions…")->trigger();
    const fs::path installed = AppController::sharedLibrary()->libraryFile("Scripts") / "Tool.kplug";
    EXPECT_TRUE(fs::exists(installed / "main.klscpt"));
    EXPECT_EQ(reported, "The installed extension is now available in the \"Extensions\" menu.");

    emit menu->aboutToShow();
    QAction* remove = find(*menu, "Remove User Extensions…");
    ASSERT_TRUE(remove && remove->isEnabled());
    // Cancel changes nothing.
    test::whenModal<UserListPanel>([](UserListPanel& panel) { panel.button(1)->click(); });
    remove->trigger();
    EXPECT_TRUE(fs::exists(installed));
    QStringList offered;
    test::whenModal<UserListPanel>([&](UserListPanel& panel) {
        for (int row = 0; row < panel.list()->count(); ++row) offered << panel.list()->item(row)->text();
        panel.button(0)->click();
    });
    remove->trigger();
    EXPECT_EQ(offered, QStringList{"Tool"});
    EXPECT_FALSE(fs::exists(installed));
    emit menu->aboutToShow();
    EXPECT_FALSE(find(*menu, "Remove User Extensions…")->isEnabled());
}

}  // namespace
}  // namespace kl
