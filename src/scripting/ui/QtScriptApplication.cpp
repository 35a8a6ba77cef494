#include "scripting/ui/QtScriptApplication.h"

#include <QDesktopServices>
#include <QFontDatabase>
#include <QGuiApplication>
#include <QScreen>
#include <QUrl>

#include <filesystem>

#include "app/AppController.h"
#include "app/LibraryFolder.h"
#include "app/ui/DocController.h"
#include "app/ui/GEDCOMWindowController.h"
#include "browser/ui/BrowserController.h"
#include "charts/ui/RelativesController.h"
#include "document/GEDCOMDocument.h"
#include "document/GEDCOMModel.h"
#include "index/DocumentWindows.h"
#include "index/ui/IndexWindow.h"
#include "model/INDIRecord.h"
#include "foundation/AsciiText.h"
#include "foundation/MainThread.h"
#include "foundation/TildePath.h"
#include "foundation/UserDefaults.h"
#include "script/Templates.h"
#include "scripting/ui/AppleScriptActivePanel.h"
#include "scripting/ui/ScriptDialogs.h"

namespace kl {

namespace fs = std::filesystem;

namespace {

// A document window controller's platform window is its widget.
QWidget* widgetOf(const void* window) { return const_cast<QWidget*>(static_cast<const QWidget*>(window)); }

// A value the GUI thread owns, read from whichever thread asks.
template <class Read>
auto onMainThread(Read read) {
    decltype(read()) value{};
    Dispatcher::current().postAndWait([&] { value = read(); });
    return value;
}

}  // namespace

QtScriptApplication::QtScriptApplication(UserDefaults& defaults, std::shared_ptr<AppleScriptActivePanel> panel)
    : defaults_(defaults), panel_(std::move(panel)) {}

int QtScriptApplication::mappingAPI() const {
    return static_cast<int>(onMainThread([&] { return defaults_.integerForKey("Select Mapping API"); }));
}

std::string QtScriptApplication::formatLanguage() const {
    return onMainThread([] {
        LibraryFolder* library = AppController::sharedLibrary();
        return library ? library->templates().language() : std::string();
    });
}

std::string QtScriptApplication::currentInterfaceFormat() const {
    return onMainThread([&] {
        std::string path = expandTilde(defaults_.stringForKey(LibraryFolder::currentFormatKey).value_or(""));
        while (path.size() > 1 && path.back() == '/') path.pop_back();
        const fs::path format(path);
        return format.has_extension() ? (format.parent_path() / format.stem()).string() : path;
    });
}

int QtScriptApplication::openingError() const {
    return onMainThread([this] {
        AppController* app = AppController::myApp();
        return app ? app->openingError() : ScriptApplication::openingError();
    });
}

void QtScriptApplication::setOpeningError(int code) {
    Dispatcher::current().postAndWait([&] {
        if (AppController* app = AppController::myApp()) app->setOpeningError(code);
        ScriptApplication::setOpeningError(code);
    });
}

bool QtScriptApplication::hasFont(const std::string& family) const {
    return onMainThread([&] { return QFontDatabase::families().contains(QString::fromStdString(family)); });
}

bool QtScriptApplication::messageVisible() { return panel_ && panel_->isVisible(); }

void QtScriptApplication::setMessageVisible(bool visible) {
    if (!panel_) return;
    if (visible) {
        panel_->show();
        panel_->raise();
    } else {
        panel_->hide();
    }
}

std::size_t QtScriptApplication::openDocumentCount() {
    DocController* documents = DocController::sharedDocumentController();
    return documents ? documents->documents().size() : 0;
}

std::array<double, 4> QtScriptApplication::screenRect() {
    QScreen* screen = QGuiApplication::primaryScreen();
    if (!screen) return {0, 0, 0, 0};
    const QRect frame = screen->geometry();
    return {double(frame.x()), double(frame.y()), double(frame.width()), double(frame.height())};
}

std::string QtScriptApplication::doUserOptionCommand(const Dictionary& arguments, ISInterpreter* target) {
    return ScriptDialogs::doUserOptionCommand(arguments, target);
}

std::string QtScriptApplication::argsOpenFile(const Dictionary& arguments, ISInterpreter* target) {
    return ScriptDialogs::argsOpenFile(arguments, target);
}

std::string QtScriptApplication::argsUserSaveFile(const Dictionary& arguments, ISInterpreter* target) {
    return ScriptDialogs::argsUserSaveFile(arguments, target);
}

Array QtScriptApplication::doUserInputCommand(const Dictionary& arguments, ISInterpreter* target) {
    return ScriptDialogs::doUserInputCommand(arguments, target);
}

Array QtScriptApplication::userChoiceCommand(const Dictionary& arguments, ISInterpreter* target) {
    return ScriptDialogs::userChoiceCommand(arguments, target);
}

void QtScriptApplication::createDocument() {
    if (DocController* documents = DocController::sharedDocumentController()) documents->newDocument();
}

void QtScriptApplication::urlOpenURL(const std::string& address) {
    const bool web = address.size() >= 9 && asciiLower(address.substr(0, 4)) == "http";
    QDesktopServices::openUrl(web ? QUrl(QString::fromStdString(address))
                                  : QUrl::fromLocalFile(QString::fromStdString(expandTilde(address))));
}

bool QtScriptApplication::openPath(const std::string& path) {
    std::error_code error;
    if (path.empty() || !fs::exists(path, error)) return false;
    return QDesktopServices::openUrl(QUrl::fromLocalFile(QString::fromStdString(path)));
}

void QtScriptApplication::openDocumentFile(const std::string& path) {
    DocController* documents = DocController::sharedDocumentController();
    // The document controller tells the user why a file did not open.
    const bool opened = documents && documents->openDocument(expandTilde(path)) != nullptr;
    setOpeningError(opened ? 0 : 1);
}

void QtScriptApplication::buildScriptsMenu() {
    if (LibraryFolder* library = AppController::sharedLibrary()) library->buildScriptsMenu();
}

bool QtScriptApplication::showRelatives(const std::shared_ptr<Object>& person, bool ancestors,
                                        std::optional<int> generations, std::optional<bool> chart) {
    auto individual = std::dynamic_pointer_cast<INDIRecord>(person);
    DocController* documents = DocController::sharedDocumentController();
    if (!individual || !documents) return false;
    IndexWindow* index = nullptr;
    for (GEDCOMDocument* document : documents->documents())
        if (static_cast<const RecordStore*>(&document->gedcomModel()) == individual->model())
            index = dynamic_cast<IndexWindow*>(documents->windowForDocument(*document));
    if (!index) return false;
    DocumentWindows& windows = index->documentWindows();
    if (RelativesWindow* open = windows.findRecordTree(individual, ancestors ? "Ancest" : "Descend")) {
        open->showWindow();
        return true;
    }
    QString name = index->windowTitle();
    name.remove("[*]");
    RelativesController* window =
        ancestors ? static_cast<RelativesController*>(new AncestorController(
                        index->document(), windows, index->styleLibrary(), index->userDefaults(), name))
                  : new DescendantController(index->document(), windows, index->styleLibrary(),
                                             index->userDefaults(), name);
    const int levels = generations.value_or(
        static_cast<int>(index->userDefaults().integerForKey(RelativesController::kInitialGenerations)));
    window->initForRecord(individual, levels);
    if (chart) window->setChartMode(*chart);
    window->show();
    window->raise();
    window->activateWindow();
    return true;
}

void QtScriptApplication::scriptFractionDone(const std::optional<double>& fraction,
                                             const std::optional<std::string>& message) {
    if (!panel_) return;
    if (fraction) panel_->showFractionDone(*fraction);
    if (message) panel_->showScriptMessage(*message);
}

std::string QtScriptApplication::windowTitle(const void* window) {
    if (!window) return {};
    QString title = widgetOf(window)->windowTitle();
    title.remove("[*]");
    return title.toStdString();
}

bool QtScriptApplication::setSelectedText(const void* window, const std::string& text) {
    auto* controller = window ? dynamic_cast<GEDCOMWindowController*>(widgetOf(window)) : nullptr;
    // Nothing focused has no selection to replace.
    if (!controller || !controller->selectedText(false)) return false;
    controller->setSelectedText(text);
    return true;
}

std::optional<std::string> QtScriptApplication::printWindow(const void* window, bool showDialog,
                                                            const std::optional<Dictionary>& settings) {
    QWidget* widget = window ? widgetOf(window) : nullptr;
    if (auto* index = dynamic_cast<IndexWindow*>(widget)) {
        index->printWithDialog(showDialog, settings);
        return std::nullopt;
    }
    if (auto* browser = dynamic_cast<BrowserController*>(widget)) {
        browser->printWithDialog(showDialog, settings);
        return std::nullopt;
    }
    if (auto* relatives = dynamic_cast<RelativesController*>(widget)) {
        relatives->printWithDialog(showDialog, settings);
        return std::nullopt;
    }
    return ScriptApplication::printWindow(window, showDialog, settings);
}

}  // namespace kl
