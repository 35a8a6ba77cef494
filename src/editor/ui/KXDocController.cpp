#include "editor/ui/KXDocController.h"

#include <QApplication>
#include <QDBusConnection>
#include <QDBusError>
#include <QDBusMessage>
#include <QDesktopServices>
#include <QDir>
#include <QUrl>
#include <QFileInfo>
#include <QProcess>
#include <QCloseEvent>
#include <QFileDialog>
#include <QMenu>
#include <QMenuBar>
#include <QMessageBox>
#include <QTimer>

#include <algorithm>

#include "app/ui/AppAlerts.h"
#include "app/ui/StandardKeys.h"
#include "app/ui/WindowCascade.h"
#include "editor/EditorCommands.h"
#include "editor/FormatDocument.h"
#include "editor/ScriptEditingDocument.h"
#include "foundation/UserDefaults.h"
#include "editor/ui/FormatWindow.h"
#include "editor/ui/OpenPanel.h"

namespace kl {

namespace fs = std::filesystem;

namespace {

// Kinlore II's scripting interface on the session bus.
constexpr const char* kKinloreService = "org.kinlore.KinloreII";
constexpr const char* kKinloreObject = "/org/kinlore/KinloreII";
constexpr const char* kKinloreScripting = "org.kinlore.KinloreII.Scripting";
constexpr int kRunScriptTimeout = 10000;

}  // namespace

struct KXDocController::Entry {
    std::unique_ptr<FormatDocument> document;
    std::unique_ptr<FormatWindow> window;
    // The workspace's own commands; none for a package.
    std::unique_ptr<ScriptWorkspace> workspace;
};

KXDocController::KXDocController(QObject* parent) : QObject(parent) {
    prompts_.openPaths = [] { return OpenPanel::choose(nullptr); };
    prompts_.savePath = [](const QString& suggested) -> std::optional<fs::path> {
        const QString file = QFileDialog::getSaveFileName(nullptr, tr("Save As"), suggested);
        if (file.isEmpty()) return std::nullopt;
        return fs::path(file.toStdString());
    };
    prompts_.askSaveChanges = [](const QString& name) {
        const int answer = AppAlerts::runInfoAlert(
            tr("Do you want to save the changes you made in the document \u201c%1\u201d?").arg(name).toStdString(),
            tr("Your changes will be lost if you don\u2019t save them.").toStdString(), tr("Save").toStdString(),
            tr("Cancel").toStdString(), tr("Don\u2019t Save").toStdString());
        return answer == 1000 ? SaveAnswer::Save : answer == 1002 ? SaveAnswer::DontSave : SaveAnswer::Cancel;
    };
    prompts_.alert = [](const QString& message, const QString& information) {
        AppAlerts::criticalAlert(message.toStdString(), information.toStdString(), nullptr);
    };
    prompts_.openInKinlore = [](const fs::path& package) {
        const QString program = QDir(QCoreApplication::applicationDirPath()).filePath("kinlore");
        return QFileInfo(program).isExecutable() &&
               QProcess::startDetached(program, {QString::fromStdString(package.string())});
    };
    prompts_.openFile = [](const fs::path& file) {
        QDesktopServices::openUrl(QUrl::fromLocalFile(QString::fromStdString(file.string())));
    };
    prompts_.runScriptInKinlore = [](const fs::path& path) -> std::optional<std::string> {
        QDBusConnection bus = QDBusConnection::sessionBus();
        if (!bus.isConnected()) return bus.lastError().message().toStdString();
        QDBusMessage call = QDBusMessage::createMethodCall(kKinloreService, kKinloreObject, kKinloreScripting,
                                                           "RunScript");
        call << QString::fromStdString(path.string());
        const QDBusMessage reply = bus.call(call, QDBus::Block, kRunScriptTimeout);
        if (reply.type() != QDBusMessage::ErrorMessage) return std::nullopt;
        return reply.errorMessage().toStdString();
    };
}

KXDocController::~KXDocController() {
    for (auto& entry : entries_) {
        entry->workspace.reset();
        entry->window.reset();
    }
}

bool KXDocController::isScriptFile(const fs::path& path) {
    return hasExtensionAmong(path.filename().string(), {"py", "klscpt"});
}

std::string KXDocController::typeForPath(const fs::path& path) {
    return path.extension() == ".kplug" ? FormatDocument::pluginType : FormatDocument::formatType;
}

KXDocController::Entry* KXDocController::entryFor(const FormatDocument& document) const {
    for (const auto& entry : entries_)
        if (entry->document.get() == &document) return entry.get();
    return nullptr;
}

std::vector<FormatDocument*> KXDocController::documents() const {
    std::vector<FormatDocument*> result;
    for (const auto& entry : entries_) result.push_back(entry->document.get());
    return result;
}

FormatWindow* KXDocController::windowForDocument(const FormatDocument& document) const {
    const Entry* entry = entryFor(document);
    return entry ? entry->window.get() : nullptr;
}

void KXDocController::alert(const QString& message, const QString& information) const {
    if (prompts_.alert) prompts_.alert(message, information);
}

FormatDocument* KXDocController::openDocument(const fs::path& given, std::string* error) {
    std::error_code ignored;
    fs::path path = fs::weakly_canonical(given, ignored);
    if (path.empty()) path = given;
    if (isScriptFile(path) && !fs::is_directory(path, ignored)) {
        ScriptEditingDocument* workspace = openScriptEditor();
        ScriptWorkspace* commands = workspaceCommands();
        if (!workspace || !commands) return nullptr;
        if (!commands->openScriptAtPath(path, false)) {
            if (error) *error = "The script could not be read.";
            alert(tr("The document \u201c%1\u201d could not be opened.").arg(QString::fromStdString(path.filename().string())),
                  tr("The selected script file could not be opened."));
            return nullptr;
        }
        return workspace;
    }
    for (const auto& entry : entries_) {
        if (entry->document->fileURL() == path) {
            entry->window->raise();
            entry->window->activateWindow();
            return entry->document.get();
        }
    }
    auto document = std::make_unique<FormatDocument>(&images_);
    std::string reason;
    if (!document->readFromURL(path, typeForPath(path), &reason)) {
        if (error) *error = reason;
        alert(tr("The document \u201c%1\u201d could not be opened.").arg(QString::fromStdString(path.filename().string())),
              QString::fromStdString(reason));
        return nullptr;
    }
    Entry& entry = addEntry(std::move(document));
    entry.window->show();
    entry.window->initialSelect();
    return entry.document.get();
}

KXDocController::Entry& KXDocController::addEntry(std::unique_ptr<FormatDocument> document) {
    auto entry = std::make_unique<Entry>();
    entry->document = std::move(document);
    entry->window = std::make_unique<FormatWindow>(*entry->document);
    FormatDocument& opened = *entry->document;
    FormatWindow& window = *entry->window;
    buildFileMenu(window, opened);
    // The File menu comes first in the bar.
    QList<QAction*> menus = window.menuBar()->actions();
    if (menus.size() > 1) {
        QAction* file = menus.last();
        window.menuBar()->removeAction(file);
        window.menuBar()->insertAction(menus.first(), file);
    }
    window.installEventFilter(this);
    connect(&window, &FormatWindow::documentChanged, this, [this, &opened] { updateWindow(opened); });
    connect(&window, &FormatWindow::saveAndRunRequested, this, [this, &opened] { saveAndRunCmd(opened); });
    connect(&window, &FormatWindow::previewRequested, this, [this, &opened](int tag) { previewInBrowser(opened, tag); });
    entries_.push_back(std::move(entry));
    WindowCascade::setWindowFrameAutosaveNameOrCascade(&window, "GEDCOMEditorWindow");
    updateWindow(opened);
    return *entries_.back();
}

ScriptEditingDocument* KXDocController::theScriptEditor() const {
    for (auto entry = entries_.rbegin(); entry != entries_.rend(); ++entry)
        if (auto* workspace = dynamic_cast<ScriptEditingDocument*>((*entry)->document.get())) return workspace;
    return nullptr;
}

ScriptWorkspace* KXDocController::workspaceCommands() const {
    const ScriptEditingDocument* workspace = theScriptEditor();
    const Entry* entry = workspace ? entryFor(*workspace) : nullptr;
    return entry ? entry->workspace.get() : nullptr;
}

ScriptEditingDocument* KXDocController::openScriptEditor() {
    if (ScriptEditingDocument* workspace = theScriptEditor()) {
        FormatWindow* window = windowForDocument(*workspace);
        window->show();
        window->raise();
        window->activateWindow();
        return workspace;
    }
    auto document = std::make_unique<ScriptEditingDocument>();
    ScriptEditingDocument& workspace = *document;
    Entry& entry = addEntry(std::move(document));
    entry.workspace = std::make_unique<ScriptWorkspace>(workspace, *entry.window, UserDefaults::standard());
    ScriptWorkspace& commands = *entry.workspace;
    ScriptWorkspace::Prompts prompts = workspacePrompts_.savePath ? workspacePrompts_
                                                                  : ScriptWorkspace::defaultPrompts(entry.window.get());
    prompts.runScript = prompts_.runScriptInKinlore;
    commands.setPrompts(std::move(prompts));
    entry.window->setWorkspaceCommands({[&commands] { commands.newScript(); }, [&commands] { commands.closeScript(); }});
    connect(&commands, &ScriptWorkspace::documentChanged, this, [this, &workspace] { updateWindow(workspace); });
    updateWindow(workspace);
    entry.window->show();
    commands.loadScriptWorkSpace();
    return &workspace;
}

void KXDocController::openDocumentFromPanel() {
    if (!prompts_.openPaths) return;
    for (const fs::path& path : prompts_.openPaths()) openDocument(path);
}

void KXDocController::updateWindow(FormatDocument& document) {
    FormatWindow* window = windowForDocument(document);
    if (!window) return;
    const QString name = document.isScriptEditor() ? tr("Script Editing Workspace")
                         : document.fileURL()  ? QString::fromStdString(document.fileURL()->filename().string())
                                               : tr("Untitled");
    window->setWindowTitle(name + "[*]");
    window->setWindowModified(document.isDocumentEdited());
    // A first save enables the commands that need a file.
    window->validateCommands();
}

bool KXDocController::writeTo(FormatDocument& document, const fs::path& path) {
    if (FormatWindow* window = windowForDocument(document)) window->saveCurrentTemplate();
    std::string error;
    if (!document.saveToURL(path, &error)) {
        alert(tr("The document could not be saved."), QString::fromStdString(error));
        return false;
    }
    document.updateChangeCount(false);
    updateWindow(document);
    return true;
}

bool KXDocController::saveDocument(FormatDocument& document) {
    if (const Entry* entry = entryFor(document); entry && entry->workspace) return entry->workspace->saveDocument();
    if (!document.fileURL()) return saveDocumentAs(document);
    return writeTo(document, *document.fileURL());
}

bool KXDocController::saveDocumentAs(FormatDocument& document) {
    if (const Entry* entry = entryFor(document); entry && entry->workspace) return entry->workspace->saveDocumentAs();
    if (!prompts_.savePath) return false;
    const QString suggested = document.fileURL() ? QString::fromStdString(document.fileURL()->string())
                                                 : tr("Untitled.kfrmt");
    const std::optional<fs::path> path = prompts_.savePath(suggested);
    return path && writeTo(document, *path);
}

void KXDocController::saveAndRunCmd(FormatDocument& document) {
    FormatWindow* window = windowForDocument(document);
    if (!window || !validateCommandTag(SaveAndRunTag, window->commandState()).enabled) {
        QApplication::beep();
        return;
    }
    if (const Entry* entry = entryFor(document); entry && entry->workspace) return entry->workspace->saveAndRun();
    if (!saveDocument(document) || !document.fileURL()) return;
    const fs::path package = *document.fileURL();
    if (document.fileType() == FormatDocument::pluginType) {
        const std::optional<std::string> error =
            prompts_.runScriptInKinlore ? prompts_.runScriptInKinlore(package) : std::optional<std::string>("");
        if (error)
            alert(tr("The script to run the selected script in Kinlore II failed."),
                  error->empty() ? tr("Unspecified error") : QString::fromStdString(*error));
        return;
    }
    // A launch that fails once is tried once more.
    for (int attempt = 0; attempt < 2; ++attempt)
        if (prompts_.openInKinlore && prompts_.openInKinlore(package)) return;
    AppAlerts::simpleOKAlert("The application Kinlore II could not be launched", "Running a format requires Kinlore II",
                             window, AlertButtons::Critical);
}

void KXDocController::previewInBrowser(FormatDocument& document, int tag) {
    FormatWindow* window = windowForDocument(document);
    if (!window || !validateCommandTag(tag, window->commandState()).enabled) {
        QApplication::beep();
        return;
    }
    const bool alternate = tag == PreviewOtherTag;
    if (alternate) document.setVirtualOption(true);
    const bool saved = saveDocument(document);
    const auto current = document.currentTemplate();
    if (saved && current && document.fileURL() && prompts_.openFile) prompts_.openFile(*document.fileURL() / current->name());
    if (alternate) {
        document.setVirtualOption(false);
        // The package on disk holds the alternate style sheet: the next
        // save must write the regular one.
        document.updateChangeCount(true);
        updateWindow(document);
    }
}

FormatDocument* KXDocController::frontDocument() const {
    for (const auto& entry : entries_)
        if (entry->window.get() == QApplication::activeWindow() && !entry->workspace) return entry->document.get();
    for (auto entry = entries_.rbegin(); entry != entries_.rend(); ++entry)
        if (!(*entry)->workspace) return (*entry)->document.get();
    return nullptr;
}

bool KXDocController::closeDocument(FormatDocument& document) {
    Entry* entry = entryFor(document);
    if (!entry) return true;
    entry->window->saveCurrentTemplate();
    if (entry->workspace) {
        if (!entry->workspace->canClose()) return false;
        entry->workspace->saveWorkSpaceSettings();
    } else if (document.isDocumentEdited() && prompts_.askSaveChanges) {
        const QString name = entry->window->windowTitle().remove("[*]");
        switch (prompts_.askSaveChanges(name)) {
        case SaveAnswer::Cancel: return false;
        case SaveAnswer::Save:
            if (!saveDocument(document)) return false;
            break;
        case SaveAnswer::DontSave: break;
        }
    }
    const auto found = std::find_if(entries_.begin(), entries_.end(),
                                    [&](const auto& candidate) { return candidate.get() == entry; });
    std::unique_ptr<Entry> gone = std::move(*found);
    entries_.erase(found);
    gone->window->setWorkspaceCommands({});
    gone->workspace.reset();
    gone->window->removeEventFilter(this);
    gone->window->hide();
    // The window may be running this very close from its own menu.
    FormatWindow* window = gone->window.release();
    FormatDocument* closed = gone->document.release();
    QTimer::singleShot(0, qApp, [window, closed] {
        delete window;
        delete closed;
    });
    return true;
}

bool KXDocController::closeAllDocuments() {
    while (!entries_.empty())
        if (!closeDocument(*entries_.back()->document)) return false;
    return true;
}

void KXDocController::buildFileMenu(FormatWindow& window, FormatDocument& document) {
    QMenu* menu = window.menuBar()->addMenu(tr("&File"));
    FormatDocument* target = &document;
    menu->addAction(tr("Open..."), QKeySequence::Open, this, [this] { openDocumentFromPanel(); });
    menu->addAction(tr("Script Editing Workspace"), QKeySequence(Qt::CTRL | Qt::SHIFT | Qt::Key_E), this,
                    [this] { openScriptEditor(); });
    menu->addSeparator();
    menu->addAction(tr("Close"), QKeySequence::Close, this, [this, target] { closeDocument(*target); });
    menu->addAction(tr("Save"), QKeySequence::Save, this, [this, target] { saveDocument(*target); });
    menu->addAction(tr("Save As..."), QKeySequence(Qt::CTRL | Qt::SHIFT | Qt::Key_S), this,
                    [this, target] { saveDocumentAs(*target); });
    QAction* saveAndRun = menu->addAction(tr("Save and Run"), QKeySequence(Qt::CTRL | Qt::Key_R), this,
                                          [this, target] { saveAndRunCmd(*target); });
    saveAndRun->setData(SaveAndRunTag);
    window.addCommand(saveAndRun);
    menu->addSeparator();
    menu->addAction(tr("Quit"), quitKeys(), this, [this] {
        if (closeAllDocuments()) emit quitRequested();
    });
}

bool KXDocController::eventFilter(QObject* watched, QEvent* event) {
    if (event->type() == QEvent::Close) {
        for (const auto& entry : entries_) {
            if (entry->window.get() == watched) {
                if (!closeDocument(*entry->document)) event->ignore();
                return true;
            }
        }
    }
    return QObject::eventFilter(watched, event);
}

}  // namespace kl
