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
#include "foundation/Logger.h"
#include "foundation/TildePath.h"
#include "foundation/UserDefaults.h"
#include "scripting/ExtensionInstaller.h"
#include "scripting/ScriptController.h"
#include "scripting/ScriptRunner.h"
#include "app/ui/SharedWidget.h"
#include "scripting/ui/AppleScriptActivePanel.h"
#include "scripting/ui/QtClipboard.h"
#include "scripting/ui/QtScriptApplication.h"
#include "scripting/ui/ScriptDialogs.h"

#include <QCoreApplication>
#include <QDir>
#include <QFileDialog>
#include <QFileInfo>
#include <QGuiApplication>
#include <QProcess>

namespace kl {

namespace {

constexpr int userExtensionsTag = 8003;
constexpr int anyExtensionsTag = 8005;

QString qt(const std::string& text) { return QString::fromStdString(text); }

}  // namespace

ScriptsDesktop::ScriptsDesktop(UserDefaults& defaults, QObject* parent)
    : QObject(parent),
      defaults_(defaults),
      panel_(makeSharedWidget<AppleScriptActivePanel>(defaults)),
      clipboard_(std::make_shared<QtClipboard>()),
      application_(std::make_shared<QtScriptApplication>(defaults, panel_)),
      beep_([] { QApplication::beep(); }) {
    application_->setDocuments([this] { return documents_ ? documents_->documents() : std::vector<GEDCOMDocument*>{}; });
    application_->setCloser([this](GEDCOMDocument& document) {
        if (documents_) documents_->closeDocument(document);
    });
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

ExtensionPrompts ScriptsDesktop::prompts() {
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
    prompts.beep = [this] { beep_(); };
    return prompts;
}

ExtensionInstaller ScriptsDesktop::installer() {
    std::filesystem::path current;
    if (auto format = defaults_.stringForKey(LibraryFolder::currentFormatKey)) {
        std::string path = expandTilde(*format);
        while (path.size() > 1 && path.back() == '/') path.pop_back();
        current = path;
    }
    return ExtensionInstaller(*library(), prompts(), current);
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

ScriptRunner& ScriptsDesktop::runner() {
    if (runner_) return *runner_;
    ScriptRunner::Ports ports;
    ports.prompts = prompts();
    ports.interpret = [this](const std::filesystem::path& path, const std::string& title) {
        return controller().interpretScript(path, title);
    };
    ports.startProcess = [this](const std::string& title, std::vector<std::string> arguments,
                                TaskCommand::Environment environment, std::filesystem::path folder) {
        panel_->restart(title);
        panel_->showWindow();
        panel_->runCommand(std::move(arguments), std::move(environment), std::move(folder));
    };
    ports.setScriptMessage = [this](const std::string& message) { application_->setScriptMessage(message); };
    runner_ = std::make_unique<ScriptRunner>(library(), defaults_, application_->appVersionNumber(), std::move(ports));
    return *runner_;
}

void ScriptsDesktop::openScriptsMenuCmd(int tag) {
    openScriptsMenuCmd(tag, QGuiApplication::queryKeyboardModifiers().testFlag(Qt::AltModifier));
}

void ScriptsDesktop::openScriptsMenuCmd(int tag, bool alt) {
    LibraryFolder* folder = library();
    const auto path = folder ? folder->menus().plugInAtIndex(tag) : std::nullopt;
    if (!path) {
        beep_();
        return;
    }
    const std::string kind = asciiLower(path->extension().string());
    std::string title = path->stem().string();
    if (kind == ".kfrmt") return alt ? openInEditor(*path) : openFormat(*path);
    if (alt) {
        if (kind == ".scpt" || kind == ".applescript")
            AppAlerts::criticalAlert("The '" + title + "' extension is an AppleScript and cannot be edited here.",
                                     std::string("AppleScripts cannot run on Linux."), nullptr);
        else
            openInEditor(*path);
        return;
    }
    std::filesystem::path script = *path;
    if (kind == ".kplug") {
        auto decoded = runner().decodePluginBundle(*path, title);
        if (!decoded) return;
        script = *decoded;
    }
    runner().runScriptAtPath(script, title, ScriptRunSource::ExtensionsMenu);
}

void ScriptsDesktop::openInEditor(const std::filesystem::path& path) {
    if (!openInEditor_)
        openInEditor_ = [](const std::filesystem::path& file) {
            const QString program = QDir(QCoreApplication::applicationDirPath()).filePath("kinlore-editor");
            return QFileInfo(program).isExecutable() &&
                   QProcess::startDetached(program, {QString::fromStdString(file.string())});
        };
    // A second try, as the desktop sometimes refuses the first start.
    if (openInEditor_(path) || openInEditor_(path)) return;
    AppAlerts::criticalAlert("The Kinlore Editor application could not be found or a copy is in the trash.",
                             std::string("Empty the trash and/or reinstall Kinlore II to restore the Kinlore Editor"),
                             nullptr);
}

void ScriptsDesktop::openFormat(const std::filesystem::path& path) {
    LibraryFolder* folder = library();
    if (!folder) return beep_();
    // Opening a format makes it the current one; a format that fails to
    // open leaves the one in use.
    const std::optional<std::string> previous = defaults_.stringForKey(LibraryFolder::currentFormatKey);
    try {
        folder->saveCurrentFormat();
        defaults_.setObject(Value(abbreviateWithTilde(path.string())), LibraryFolder::currentFormatKey);
        folder->openCurrentFormat(previous);
    } catch (const std::exception& e) {
        Logger::log("The format '{}' could not be opened: {}", path.string(), e.what());
    }
}

}  // namespace kl
