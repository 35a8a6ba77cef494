#include "scripting/ui/ScriptsDesktop.h"

#include <QAction>
#include <QApplication>
#include <QMainWindow>
#include <QMenu>
#include <QMenuBar>

#include "app/AppController.h"
#include "app/LibraryFolder.h"
#include "app/ui/DocController.h"
#include "foundation/AsciiText.h"
#include "scripting/ScriptController.h"
#include "scripting/ui/AppleScriptActivePanel.h"
#include "scripting/ui/QtClipboard.h"

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
      beep_([] { QApplication::beep(); }) {}

ScriptsDesktop::~ScriptsDesktop() {
    // The controller stops a run under way before the panel it reports to.
    controller_.reset();
}

LibraryFolder* ScriptsDesktop::library() const { return AppController::sharedLibrary(); }

ScriptController& ScriptsDesktop::controller() {
    if (!controller_) controller_ = std::make_unique<ScriptController>(ScriptController::Ports{panel_, clipboard_, nullptr, library()});
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
    // The fixed items; installing and removing are not offered yet.
    menu.addSeparator();
    struct Fixed {
        const char* title;
        int tag;
    };
    for (const Fixed& fixed : {Fixed{"Install Extensions…", -1}, Fixed{"Remove User Extensions…", userExtensionsTag},
                               Fixed{"Remove System Extensions…", anyExtensionsTag}}) {
        QAction* action = menu.addAction(tr(fixed.title));
        if (fixed.tag > 0) {
            action->setData(fixed.tag);
            action->setEnabled(folder && folder->menus().validateMenuTag(fixed.tag));
        }
        connect(action, &QAction::triggered, this, [this] { beep_(); });
    }
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
