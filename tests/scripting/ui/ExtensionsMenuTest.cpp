// Kinlore II's Extensions menu with a fresh library: the shipped example
// script runs under the script run panel; so do Python scripts and
// extensions, and Alt opens an item in Kinlore Editor instead.
#include <gtest/gtest.h>

#include <QAbstractButton>
#include <QAction>
#include <QComboBox>
#include <QFileDialog>
#include <QLineEdit>
#include <QListWidget>
#include <QMessageBox>
#include <QPushButton>
#include <QMainWindow>
#include <QMenu>
#include <QMenuBar>
#include <QTest>
#include <QWindow>

#include <fstream>

#include "app/AppController.h"
#include "app/LibraryFolder.h"
#include "app/ui/ExtensionDocs.h"
#include "app/ui/KinloreApplication.h"
#include "app/ui/QtDispatcher.h"
#include "app/ui/DocController.h"
#include "app/ui/UiTestSupport.h"
#include "browser/ui/BrowserController.h"
#include "charts/ui/RelativesController.h"
#include "document/GEDCOMDocument.h"
#include "document/GEDCOMModel.h"
#include "index/ui/IndexWindow.h"
#include "model/INDIRecord.h"
#include "scripting/ScriptController.h"
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

// Outside scripts: a Python script runs as a child under the panel, with
// Alt held an item opens in Kinlore Editor instead, and an AppleScript is
// refused with an alert.
class OutsideScripts : public ExtensionsMenu {
protected:
    void SetUp() override {
        ExtensionsMenu::SetUp();
        if (HasFatalFailure()) return;
        scriptsFolder = AppController::sharedLibrary()->libraryFile("Scripts");
        fs::create_directories(scriptsFolder);
        defaults->setObject(Value("/usr/bin/python3"), "Path to python");
        scripts->setEditorLauncher([this](const fs::path& path) {
            edited.push_back(path);
            return editorThere;
        });
    }
    QAction* item(const QString& title) {
        AppController::sharedLibrary()->buildScriptsMenu();
        QMenu* menu = extensionsMenu();
        if (!menu) return nullptr;
        emit menu->aboutToShow();
        return find(*menu, title);
    }
    // The menu item as the user picks it, with or without Alt held.
    void pick(QAction& action, bool alt) {
        QWindow* window = application->emptyWindow()->windowHandle();
        if (alt) QTest::keyPress(window, Qt::Key_Alt, Qt::AltModifier);
        action.trigger();
        if (alt) QTest::keyRelease(window, Qt::Key_Alt, Qt::NoModifier);
    }
    // The next alert's text goes to `shown` and the alert is closed.
    void closeNextAlert() {
        test::whenModal<QMessageBox>([this](QMessageBox& box) {
            shown.push_back(box.text().toStdString());
            box.buttons().front()->click();
        });
    }

    fs::path scriptsFolder;
    std::vector<fs::path> edited;
    std::vector<std::string> shown;
    bool editorThere = true;
};

TEST_F(OutsideScripts, APythonScriptRunsUnderThePanel) {
    std::ofstream(scriptsFolder / "Hello.py")
        << "import os, sys\n"
           "print('hello from', sys.argv[1])\n"
           "print('modules first in', os.path.basename(os.environ['PYTHONPATH'].split(':')[0]))\n"
           "print('working in', os.path.basename(os.getcwd()))\n";
    QAction* hello = item("Hello");
    ASSERT_NE(hello, nullptr);
    pick(*hello, false);

    AppleScriptActivePanel& panel = scripts->panel();
    EXPECT_TRUE(panel.isVisible());
    ASSERT_TRUE(test::processUntil([&] { return !panel.isRunning(); }));
    EXPECT_EQ(panel.statusText().toStdString(), "Script 'Hello' is done");
    EXPECT_EQ(panel.outputText().toStdString(),
              "hello from org.kinlore.KinloreII\nmodules first in Scripts\nworking in Scripts\n");
    EXPECT_EQ(beeps, 0);
    EXPECT_TRUE(panel.grab().save(QString::fromStdString((fs::path(KL_BINARY_DIR) / "python-script-panel.png").string())));
}

TEST_F(OutsideScripts, AltOpensTheItemInKinloreEditor) {
    std::ofstream(scriptsFolder / "Hello.py") << "print('hello')\n";
    QAction* hello = item("Hello");
    ASSERT_NE(hello, nullptr);
    pick(*hello, true);
    EXPECT_EQ(edited, std::vector<fs::path>{scriptsFolder / "Hello.py"});
    EXPECT_FALSE(scripts->panel().isVisible());

    // An editor that will not start is tried twice, then the user is told.
    editorThere = false;
    edited.clear();
    closeNextAlert();
    pick(*item("Hello"), true);
    EXPECT_EQ(edited.size(), 2u);
    EXPECT_EQ(shown, std::vector<std::string>{"The Kinlore Editor application could not be found or a copy is in the trash."});
}

TEST_F(OutsideScripts, AnExtensionRunsTheScriptItsManifestNames) {
    const fs::path package = scriptsFolder / "Tool.kplug";
    fs::create_directories(package);
    std::ofstream(package / "main.klscpt") << "write \"packed\"";
    std::ofstream(package / "manifest.plist")
        << "<?xml version=\"1.0\" encoding=\"UTF-8\"?>\n<plist version=\"1.0\">\n<dict>\n"
           "<key>menu command</key><string>Packed Tool</string>\n"
           "<key>main</key><dict><key>main.klscpt</key><string></string></dict>\n</dict>\n</plist>\n";
    QAction* tool = item("Packed Tool");
    ASSERT_NE(tool, nullptr);
    pick(*tool, false);
    AppleScriptActivePanel& panel = scripts->panel();
    ASSERT_TRUE(test::processUntil([&] { return !panel.isRunning(); }));
    EXPECT_EQ(panel.statusText().toStdString(), "Script 'Packed Tool' is done");
    EXPECT_EQ(panel.outputText().toStdString(), "packed");
}

TEST_F(OutsideScripts, AnAppleScriptIsRefusedWithAnAlert) {
    std::ofstream(scriptsFolder / "Old.applescript") << "display dialog \"hi\"\n";
    QAction* old = item("Old");
    ASSERT_NE(old, nullptr);
    closeNextAlert();
    pick(*old, false);
    EXPECT_EQ(shown, std::vector<std::string>{"The 'Old' extension could not be run"});
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

// A script from the menu asks the user through the script dialogs, shows
// progress and reads the application object.
TEST_F(ExtensionsMenu, ScriptAsksTheUserAndShowsProgress) {
    LibraryFolder* library = AppController::sharedLibrary();
    ASSERT_NE(library, nullptr);
    const fs::path scriptsFolder = library->libraryFile("Scripts");
    fs::create_directories(scriptsFolder);
    std::ofstream(scriptsFolder / "Ask.klscpt")
        << "useroption \"#b\", \"Go on?\", \"\", Yes, No\n"
           "userinput \"#n\", Name, \"Your name\", Anna\n"
           "notifyprogress 0.5, \"Half way\"\n"
           "write #b, #n[1], #n[2], @klapp.name, @klapp.messageVisible\n";
    library->buildScriptsMenu();

    QString question;
    test::whenModal<QMessageBox>([&](QMessageBox& box) {
        question = box.text();
        test::whenModal<UserInputPanel>([](UserInputPanel& panel) {
            panel.field()->setText(panel.field()->text() + " Lind");
            panel.button(0)->click();
        });
        clickButton(box, "No");
    });
    QMenu* menu = extensionsMenu();
    ASSERT_NE(menu, nullptr);
    emit menu->aboutToShow();
    QAction* ask = find(*menu, "Ask");
    ASSERT_NE(ask, nullptr);
    ask->trigger();

    AppleScriptActivePanel& panel = scripts->panel();
    ASSERT_TRUE(test::processUntil([&] { return !panel.isRunning(); }));
    EXPECT_EQ(question, "Go on?");
    EXPECT_EQ(panel.statusText().toStdString(), "Script 'Ask' is done");
    EXPECT_EQ(panel.outputText().toStdString(), "Half way\nNo,OK,Anna Lind,Kinlore II,true");
    EXPECT_TRUE(panel.grab().save(QString::fromStdString((fs::path(KL_BINARY_DIR) / "script-commands-panel.png").string())));
}

// A script opens relatives windows of a person of an open database.
TEST_F(ExtensionsMenu, ScriptShowsAncestorsAndDescendants) {
    IndexWindow::installWindowFactory(application->docController(), *defaults);
    RelativesController::install(*defaults);
    const fs::path file = root() / "Family.ged";
    std::ofstream(file) << "0 HEAD\n1 CHAR UTF-8\n"
                           "0 @I1@ INDI\n1 NAME Karl /Berg/\n1 FAMS @F1@\n"
                           "0 @I2@ INDI\n1 NAME Anna /Vik/\n1 FAMS @F1@\n"
                           "0 @I3@ INDI\n1 NAME Olof /Berg/\n1 FAMC @F1@\n"
                           "0 @F1@ FAM\n1 HUSB @I1@\n1 WIFE @I2@\n1 CHIL @I3@\n0 TRLR\n";
    std::string error;
    GEDCOMDocument* document = application->docController().openDocument(file, &error);
    ASSERT_NE(document, nullptr) << error;
    const Dictionary people{{"olof", Value(document->gedcomModel().recordWithID("@I3@"))},
                            {"karl", Value(document->gedcomModel().recordWithID("@I1@"))}};

    auto treeWindow = [](const char* name) -> RelativesController* {
        for (QWidget* widget : QApplication::topLevelWidgets())
            if (auto* tree = qobject_cast<RelativesController*>(widget); tree && tree->objectName() == name) return tree;
        return nullptr;
    };
    AppleScriptActivePanel& panel = scripts->panel();
    ASSERT_TRUE(scripts->controller().interpretScriptText(
        "olof.showancestors 2, outline\nkarl.showdescendants 1, chart\nwrite \"shown\"", "Trees", root(), people));
    ASSERT_TRUE(test::processUntil([&] { return !panel.isRunning(); }));
    EXPECT_EQ(panel.outputText().toStdString(), "shown");

    RelativesController* ancestors = treeWindow("AncestorsWindow");
    ASSERT_NE(ancestors, nullptr);
    EXPECT_TRUE(ancestors->isVisible());
    EXPECT_FALSE(ancestors->chartMode());
    EXPECT_EQ(ancestors->rootRecord()->grecordID(), "@I3@");
    RelativesController* descendants = treeWindow("DescendantsWindow");
    ASSERT_NE(descendants, nullptr);
    EXPECT_TRUE(descendants->chartMode());
    EXPECT_EQ(descendants->rootRecord()->grecordID(), "@I1@");
    ancestors->resize(640, 360);
    EXPECT_TRUE(
        ancestors->grab().save(QString::fromStdString((fs::path(KL_BINARY_DIR) / "script-ancestors-window.png").string())));

    // Asked again, the open window comes forward instead of a second one.
    ASSERT_TRUE(scripts->controller().interpretScriptText("olof.showancestors", "Trees", root(), people));
    ASSERT_TRUE(test::processUntil([&] { return !panel.isRunning(); }));
    int windows = 0;
    for (QWidget* widget : QApplication::topLevelWidgets())
        windows += widget->objectName() == "AncestorsWindow";
    EXPECT_EQ(windows, 1);
    ancestors->close();
    descendants->close();
    test::processUntil([&] { return !treeWindow("AncestorsWindow") && !treeWindow("DescendantsWindow"); });
}

// A script from the menu writes its report into the front database, where
// it opens in a record window; a second script closes that window again.
TEST_F(ExtensionsMenu, ScriptReportOpensInARecordWindowAndClosesAsAChild) {
    IndexWindow::installWindowFactory(application->docController(), *defaults);
    IndexWindow::installBrowserFactory(&BrowserController::makeBrowser);
    scripts->addMenusToDocumentWindows(application->docController());
    struct FactoryReset {
        ~FactoryReset() { IndexWindow::installBrowserFactory(nullptr); }
    } reset;
    const fs::path file = root() / "Family.ged";
    std::ofstream(file) << "0 HEAD\n1 CHAR UTF-8\n0 @I1@ INDI\n1 NAME Karl /Berg/\n0 TRLR\n";
    std::string error;
    GEDCOMDocument* document = application->docController().openDocument(file, &error);
    ASSERT_NE(document, nullptr) << error;
    LibraryFolder* library = AppController::sharedLibrary();
    const fs::path scriptsFolder = library->libraryFile("Scripts");
    fs::create_directories(scriptsFolder);
    std::ofstream(scriptsFolder / "Report.klscpt")
        << "createscriptoutput r, \"Berg Family\", html\n"
           "r.out \"<p>Karl Berg kept the mill.</p>\"\n"
           "getobject doc klapp.frontDocument\n"
           "r.write doc\n"
           "getobject reports doc.reports\n"
           "write @reports.count\n";
    library->buildScriptsMenu();
    QMenu* menu = extensionsMenu();
    ASSERT_NE(menu, nullptr);
    emit menu->aboutToShow();
    QAction* report = find(*menu, "Report");
    ASSERT_NE(report, nullptr);
    report->trigger();

    AppleScriptActivePanel& panel = scripts->panel();
    ASSERT_TRUE(test::processUntil([&] { return !panel.isRunning(); }));
    EXPECT_EQ(panel.statusText().toStdString(), "Script 'Report' is done");
    EXPECT_EQ(panel.outputText().toStdString(), "1");
    auto reportWindow = [] {
        for (QWidget* widget : QApplication::topLevelWidgets())
            if (auto* browser = dynamic_cast<BrowserController*>(widget);
                browser && browser->isVisible() && browser->theRecord() && browser->theRecord()->recordType() == "_RPT")
                return browser;
        return static_cast<BrowserController*>(nullptr);
    };
    BrowserController* shown = reportWindow();
    ASSERT_NE(shown, nullptr);
    shown->resize(640, 420);
    test::spinUntil([] { return false; }, 300);
    EXPECT_TRUE(shown->grab().save(QString::fromStdString((fs::path(KL_BINARY_DIR) / "script-report-window.png").string())));

    QString title = shown->windowTitle();
    title.remove("[*]");
    ASSERT_TRUE(scripts->controller().interpretScriptText(
        "getobject doc klapp.frontDocument\ndoc.closechild \"#t\"\nwrite #t", "Close", root()));
    ASSERT_TRUE(test::processUntil([&] { return !panel.isRunning(); }));
    EXPECT_EQ(panel.outputText().toStdString(), title.toStdString());
    EXPECT_TRUE(test::processUntil([&] { return reportWindow() == nullptr; }));
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
