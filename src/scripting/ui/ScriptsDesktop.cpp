#include "scripting/ui/ScriptsDesktop.h"

#include "app/ui/ExtensionDocs.h"

#include <QAction>
#include <QApplication>
#include <QMainWindow>
#include <QMenu>
#include <QMenuBar>

#include "app/AppController.h"
#include "app/LibraryFolder.h"
#include "app/ui/DocController.h"
#include "app/ui/AppAlerts.h"
#include "foundation/AsciiText.h"
#include "foundation/TildePath.h"
#include "foundation/UserDefaults.h"
#include "scripting/ExtensionInstaller.h"
#include "scripting/ScriptController.h"
#include "scripting/ui/AppleScriptActivePanel.h"
#include "scripting/ui/QtClipboard.h"
#include "scripting/ui/QtScriptApplication.h"
#include "scripting/ui/ScriptDialogs.h"

#include <QFileDialog>

namespace kl {

namespace {

constexpr int userExtensionsTag = 8003;
constexpr int anyExtensionsTag = 8005;

QString qt(const std::string& text) { return QString::fromStdString(text); }

}  // namespace

ScriptsDesktop::ScriptsDesktop(UserDefaults& defaults, QObject* parent)
    : QObject(parent),
      defaults_(defaults),
      panel_(std::make_shared<AppleScriptActivePanel>(defaults)),
      clipboard_(std::make_shared<QtClipboard>()),
      application_(std::make_shared<QtScriptApplication>(defaults, panel_)),
      beep_([] { QApplication::beep(); }) {
    application_->setDocuments([this] { return documents_ ? documents_->documents() : std::vector<GEDCOMDocument*>{}; });
}

ScriptsDesktop::~ScriptsDesktop() {
    // The controller stops a run under way before the panel it reports to.
    controller_.reset();
}

void ScriptsDesktop::showDocumentation() {
    LibraryFolder* folder = library();
    if (!folder) return beep_();
    if (!docs_) docs_ = std::make_unique<ExtensionDocs>(defaults_);
    // The menu follows every rebuild of the Extensions menu.
    docs_->insertMenu(folder->menus().documentationMenu());
    docs_->show();
    docs_->raise();
    docs_->activateWindow();
}

LibraryFolder* ScriptsDesktop::library() const { return AppController::sharedLibrary(); }

ScriptController& ScriptsDesktop::controller() {
    if (!controller_) controller_ = std::make_unique<ScriptController>(ScriptController::Ports{panel_, clipboard_, application_, library()});
    return *controller_;
}

void ScriptsDesktop::initScripts() { controller().initScripts(); }

void ScriptsDesktop::addMenus(QMainWindow& window) {
    QMenu* menu = window.menuBar()->addMenu(tr("E&xtensions"));
    menu->setObjectName(QStringLiteral("Extensions"));
    menu->menuAction()->setData(extensionsMenuTag);
    fillExtensionsMenu(*menu);
    connect(menu, &QMenu::aboutToShow, this, [this, menu] { fillExtensionsMenu(*menu); });
}

void ScriptsDesktop::addMenusToDocumentWindows(DocController& documents) {
    documents_ = &documents;
    DocController::WindowFactory made = documents.windowFactory();
    if (!made) return;
    documents.setWindowFactory([this, made](GEDCOMDocument& document, DocController& controller) {
        std::unique_ptr<QMainWindow> window = made(document, controller);
        if (window) addMenus(*window);
        return window;
    });
}

void ScriptsDesktop::fillExtensionsMenu(QMenu& menu) {
    menu.clear();
    LibraryFolder* folder = library();
    std::function<void(QMenu&, const std::vector<LibraryMenuItem>&)> render =
        [&](QMenu& into, const std::vector<LibraryMenuItem>& items) {
            for (const LibraryMenuItem& item : items) {
                if (item.separator) {
                    into.addSeparator();
                } else if (!item.submenu.empty()) {
                    render(*into.addMenu(qt(item.title)), item.submenu);
                } else if (item.tag < 0) {
                    into.addAction(qt(item.title))->setEnabled(false);
                } else {
                    QAction* action = into.addAction(qt(item.title));
                    action->setData(item.tag);
                    action->setCheckable(item.checked);
                    action->setChecked(item.checked);
                    const int tag = item.tag;
                    connect(action, &QAction::triggered, this, [this, tag] { openScriptsMenuCmd(tag); });
                }
            }
        };
    if (folder) render(menu, folder->menus().scriptsMenu());
    // The fixed items.
    menu.addSeparator();
    connect(menu.addAction(tr("Install Extensions…")), &QAction::triggered, this, [this] { installPluginMenuCmd(); });
    struct Fixed {
        const char* title;
        int tag;
    };
    for (const Fixed& fixed : {Fixed{"Remove User Extensions…", userExtensionsTag},
                               Fixed{"Remove System Extensions…", anyExtensionsTag}}) {
        QAction* action = menu.addAction(tr(fixed.title));
        action->setData(fixed.tag);
        action->setEnabled(folder && folder->menus().validateMenuTag(fixed.tag));
        const int tag = fixed.tag;
        connect(action, &QAction::triggered, this, [this, tag] { removePluginMenuCmd(tag); });
    }
    connect(menu.addAction(tr("Documentation...")), &QAction::triggered, this, [this] { showDocumentation(); });
}

ExtensionInstaller ScriptsDesktop::installer() {
    ExtensionPrompts prompts;
    prompts.askOverwrite = [](const std::string& message, const std::string& informative) {
        return AppAlerts::runCriticalAlert(message, informative, std::string("Overwrite"), std::string("Skip")) ==
               AlertButtons::responseForIndex(0);
    };
    prompts.criticalAlert = [](const std::string& message, const std::string& informative) {
        AppAlerts::criticalAlert(message, informative, nullptr);
    };
    prompts.infoAlert = [](const std::string& message, const std::string& informative) {
        AppAlerts::infoAlert(message, informative, nullptr);
    };
    prompts.choose = [](const Dictionary& arguments) { return ScriptDialogs::userChoiceCommand(arguments); };
    prompts.beep = beep_;
    std::filesystem::path current;
    if (auto format = defaults_.stringForKey(LibraryFolder::currentFormatKey)) {
        std::string path = expandTilde(*format);
        while (path.size() > 1 && path.back() == '/') path.pop_back();
        current = path;
    }
    return ExtensionInstaller(*library(), std::move(prompts), current);
}

void ScriptsDesktop::installPluginMenuCmd() {
    if (!library()) return;
    // Packages are folders: the panel chooses one package folder.
    QFileDialog dialog;
    dialog.setOption(QFileDialog::DontUseNativeDialog);
    dialog.setFileMode(QFileDialog::Directory);
    dialog.setWindowTitle(tr("Install an extension or format (.kplug, .kfrmt)"));
    if (dialog.exec() != QDialog::Accepted || dialog.selectedFiles().isEmpty()) return;
    std::vector<std::filesystem::path> paths;
    for (const QString& path : dialog.selectedFiles()) paths.emplace_back(path.toStdString());
    const int where = AppAlerts::runInfoAlert("Install into which library?", std::string(),
                                              std::string("User Library"), std::string("System Library"),
                                              std::string("Cancel"));
    if (where == AlertButtons::responseForIndex(2)) return;
    installer().installPlugIns(paths,
                               where == AlertButtons::responseForIndex(1) ? ExtensionInstaller::SystemLibrary
                                                                          : ExtensionInstaller::UserLibrary,
                               ExtensionInstaller::askAndReport);
}

void ScriptsDesktop::removePluginMenuCmd(int tag) {
    if (!library()) return;
    installer().removePlugins(tag == userExtensionsTag ? ExtensionInstaller::UserLibrary
                                                       : ExtensionInstaller::SystemLibrary);
}

void ScriptsDesktop::openScriptsMenuCmd(int tag) {
    LibraryFolder* folder = library();
    const auto path = folder ? folder->menus().plugInAtIndex(tag) : std::nullopt;
    if (!path) {
        beep_();
        return;
    }
    const std::string kind = asciiLower(path->extension().string());
    if (kind == ".klscpt") {
        controller().interpretScript(*path, path->stem().string());
        return;
    }
    // Outside scripts and extensions do not run yet.
    beep_();
}

}  // namespace kl
