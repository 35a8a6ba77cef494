#include "app/ui/DocController.h"

#include "app/ui/StandardKeys.h"

#include <QApplication>
#include <QCloseEvent>
#include <QDir>
#include <QFileDialog>
#include <QMenu>
#include <QMenuBar>
#include <QMessageBox>
#include <QStandardPaths>
#include <QTimer>

#include "app/ui/AppToolbars.h"
#include "app/ui/DocControllerUI.h"
#include "app/ui/DocumentWindow.h"
#include "app/ui/QtAutosaveTimer.h"
#include "app/ui/StandardKeys.h"
#include "document/GEDCOMDocument.h"

namespace kl {

namespace fs = std::filesystem;

namespace {

DocController* theController = nullptr;

constexpr const char* kPackageExtension = ".gedpkg";

QString qt(const std::string& text) { return QString::fromStdString(text); }
QString quoted(const QString& name) { return QString::fromUtf8("\u201C") + name + QString::fromUtf8("\u201D"); }

// "/a/b.gedpkg/" and "/a/b.gedpkg" are one package.
fs::path normalized(const fs::path& path) {
    fs::path p = fs::absolute(path).lexically_normal();
    if (!p.has_filename() && p.has_parent_path() && p != p.root_path()) p = p.parent_path();
    return p;
}

// A file picked inside a package (the panel walks into package folders)
// opens the package.
fs::path packageOf(const fs::path& picked) {
    return picked.parent_path().extension() == kPackageExtension ? picked.parent_path() : picked;
}

DocController::SaveAnswer askSaveChangesInPanel(const QString& name) {
    QMessageBox box(QMessageBox::Warning, QObject::tr("Kinlore II"),
                    QObject::tr("Do you want to save the changes made to the document %1?").arg(quoted(name)),
                    QMessageBox::Save | QMessageBox::Discard | QMessageBox::Cancel);
    box.setInformativeText(QObject::tr("Your changes will be lost if you don't save them."));
    box.setDefaultButton(QMessageBox::Save);
    switch (box.exec()) {
    case QMessageBox::Save: return DocController::SaveAnswer::Save;
    case QMessageBox::Discard: return DocController::SaveAnswer::DontSave;
    default: return DocController::SaveAnswer::Cancel;
    }
}

std::optional<fs::path> savePathFromPanel(const QString& suggested, const fs::path& folder) {
    const QString start = qt((folder / (suggested.toStdString() + kPackageExtension)).string());
    const QString path = QFileDialog::getSaveFileName(nullptr, QObject::tr("Save As"), start,
                                                      QObject::tr("Kinlore II databases (*.gedpkg)"));
    if (path.isEmpty()) return std::nullopt;
    return fs::path(path.toStdString());
}

std::vector<fs::path> openPathsFromPanel(const fs::path& folder) {
    QFileDialog panel(nullptr, QObject::tr("Open"), qt(folder.string()));
    panel.setFileMode(QFileDialog::ExistingFiles);
    panel.setNameFilters({QObject::tr("GEDCOM files and databases (*.ged *.GED *.txt *.gedpkg)"),
                          QObject::tr("All files (*)")});
    std::vector<fs::path> paths;
    if (panel.exec() != QDialog::Accepted) return paths;
    for (const QString& file : panel.selectedFiles()) paths.push_back(packageOf(fs::path(file.toStdString())));
    return paths;
}

bool askInPanel(const QString& text) {
    return QMessageBox::question(nullptr, QObject::tr("Kinlore II"), text, QMessageBox::Yes | QMessageBox::No,
                                 QMessageBox::Yes) == QMessageBox::Yes;
}

void alertInPanel(const QString& message, const QString& information) {
    QMessageBox box(QMessageBox::Critical, QObject::tr("Kinlore II"), message, QMessageBox::Ok);
    box.setInformativeText(information);
    box.exec();
}

// The panels start where the controller says, never in the process's
// working folder.
DocController::Prompts panelPrompts(const DocController& controller) {
    DocController::Prompts prompts;
    prompts.askSaveChanges = askSaveChangesInPanel;
    prompts.savePath = [&controller](const QString& suggested) {
        return savePathFromPanel(suggested, controller.panelFolder());
    };
    prompts.openPaths = [&controller] { return openPathsFromPanel(controller.panelFolder()); };
    prompts.confirmRevert = [](const QString& name) {
        return askInPanel(
            QObject::tr("Do you want to revert to the most recently saved version of the document %1?").arg(quoted(name)));
    };
    prompts.confirmAutosave = [] { return askInPanel(QObject::tr("Would you like to save your recent changes now?")); };
    prompts.alert = alertInPanel;
    return prompts;
}

}  // namespace

// Destroyed window first, then the document it shows, then the UI the
// document borrows.
struct DocController::Entry {
    std::unique_ptr<DocControllerUI> ui;
    std::unique_ptr<GEDCOMDocument> document;
    std::unique_ptr<QMainWindow> window;
    fs::path source;  // the file it was opened from; empty for a new one
    QString name;
};

DocController::DocController(UserDefaults& defaults, QObject* parent)
    : QObject(parent), defaults_(defaults), recent_(defaults), prompts_(panelPrompts(*this)) {
    windowFactory_ = [](GEDCOMDocument& document, DocController&) {
        return std::make_unique<DocumentWindow>(document);
    };
    if (!theController) theController = this;
}

DocController::~DocController() {
    entries_.clear();
    if (theController == this) theController = nullptr;
}

DocController* DocController::sharedDocumentController() { return theController; }

void DocController::setPrompts(Prompts prompts) {
    const Prompts panels = panelPrompts(*this);
    if (!prompts.askSaveChanges) prompts.askSaveChanges = panels.askSaveChanges;
    if (!prompts.savePath) prompts.savePath = panels.savePath;
    if (!prompts.openPaths) prompts.openPaths = panels.openPaths;
    if (!prompts.confirmRevert) prompts.confirmRevert = panels.confirmRevert;
    if (!prompts.confirmAutosave) prompts.confirmAutosave = panels.confirmAutosave;
    if (!prompts.alert) prompts.alert = panels.alert;
    prompts_ = std::move(prompts);
}

std::string DocController::typeForPath(const fs::path& path) {
    std::error_code error;
    const fs::path p = normalized(path);
    return p.extension() == kPackageExtension || fs::is_directory(p, error) ? GEDCOMDocument::kPackageType
                                                                           : GEDCOMDocument::kGEDCOMType;
}

// ---- Open documents

DocController::Entry* DocController::entryFor(const GEDCOMDocument& document) const {
    for (const auto& entry : entries_)
        if (entry->document.get() == &document) return entry.get();
    return nullptr;
}

std::vector<GEDCOMDocument*> DocController::documents() const {
    std::vector<GEDCOMDocument*> list;
    for (const auto& entry : entries_) list.push_back(entry->document.get());
    return list;
}

GEDCOMDocument* DocController::documentForPath(const fs::path& path) const {
    const fs::path wanted = normalized(path);
    for (const auto& entry : entries_) {
        if (!entry->source.empty() && entry->source == wanted) return entry->document.get();
        if (const auto& file = entry->document->myFileName(); file && normalized(*file) == wanted)
            return entry->document.get();
    }
    return nullptr;
}

QMainWindow* DocController::windowForDocument(const GEDCOMDocument& document) const {
    const Entry* entry = entryFor(document);
    return entry ? entry->window.get() : nullptr;
}

QString DocController::displayName(const GEDCOMDocument& document) const {
    const Entry* entry = entryFor(document);
    return entry ? entry->name : QString();
}

fs::path DocController::panelFolder() const {
    // The front document: the one whose window is active, else the last opened.
    const Entry* front = entries_.empty() ? nullptr : entries_.back().get();
    for (const auto& entry : entries_)
        if (entry->window && entry->window.get() == QApplication::activeWindow()) front = entry.get();
    std::error_code error;
    if (front) {
        fs::path file = front->source;
        if (file.empty() && front->document->myFileName()) file = *front->document->myFileName();
        if (!file.empty() && fs::is_directory(file.parent_path(), error)) return file.parent_path();
    }
    const fs::path documents = QStandardPaths::writableLocation(QStandardPaths::DocumentsLocation).toStdString();
    if (!documents.empty() && fs::is_directory(documents, error)) return documents;
    return QDir::homePath().toStdString();
}

void DocController::updateWindow(GEDCOMDocument& document) {
    Entry* entry = entryFor(document);
    if (!entry || !entry->window) return;
    entry->window->setWindowTitle(entry->name + "[*]");
    entry->window->setWindowModified(document.isDocumentEdited());
}

// ---- Making, reading and showing

std::unique_ptr<DocController::Entry> DocController::makeEntry() {
    auto entry = std::make_unique<Entry>();
    entry->ui = std::make_unique<DocControllerUI>(
        *this, progressUI_, [this] { return prompts_.confirmAutosave(); },
        [this](const std::vector<std::string>& lines) {
            alert(qt(lines.front()), lines.size() > 1 ? qt(lines[1]) : QString());
        });
    return entry;
}

GEDCOMDocument* DocController::install(std::unique_ptr<Entry> entry, QString name) {
    GEDCOMDocument& document = *entry->document;
    document.setUI(entry->ui.get());
    document.setCharacterSetQuestion(charsetQuestion_);
    document.setAutosaveTimer(std::make_unique<QtAutosaveTimer>());
    entry->name = std::move(name);
    entry->window = windowFactory_(document, *this);
    QMainWindow* window = entry->window.get();
    entries_.push_back(std::move(entry));
    if (window) {
        // The File menu comes first, before the menus the window made.
        QMenuBar* bar = window->menuBar();
        const QList<QAction*> menus = bar->actions();
        bar->insertMenu(menus.isEmpty() ? nullptr : menus.front(), buildFileMenu(window, &document));
        AppToolbars::setToolbarStyleForWindow(window, defaults_);
        window->installEventFilter(this);
        updateWindow(document);
        window->show();
        window->raise();
        window->activateWindow();
    }
    document.startAutoSaveTimer();
    emit documentsChanged();
    return &document;
}

QString DocController::untitledName() {
    ++untitledCount_;
    return untitledCount_ == 1 ? tr("Untitled") : tr("Untitled %1").arg(untitledCount_);
}

GEDCOMDocument* DocController::newDocument() {
    auto entry = makeEntry();
    entry->document = GEDCOMDocument::makeUntitled();
    return install(std::move(entry), untitledName());
}

GEDCOMDocument* DocController::openDocument(const fs::path& path, std::string* error) {
    const fs::path file = normalized(path);
    if (GEDCOMDocument* open = documentForPath(file)) {
        if (QMainWindow* window = windowForDocument(*open)) {
            window->show();
            window->raise();
            window->activateWindow();
        }
        return open;
    }
    const QString fileName = qt(file.filename().string());
    std::error_code missing;
    if (!fs::exists(file, missing)) {
        const std::string text = "The file " + quoted(fileName).toStdString() + " does not exist.";
        if (error) *error = text;
        alert(tr("The document %1 could not be opened.").arg(quoted(fileName)), qt(text));
        return nullptr;
    }
    auto entry = makeEntry();
    entry->document = std::make_unique<GEDCOMDocument>();
    entry->document->setUI(entry->ui.get());
    entry->document->setCharacterSetQuestion(charsetQuestion_);
    std::string failure;
    if (!entry->document->readFromURL(file, typeForPath(file), &failure)) {
        if (error) *error = failure;
        // A cancelled read is the user's own choice: nothing to tell.
        if (entry->document->readWriteStatus() != GEDCOMDocument::Cancelled)
            alert(tr("The document %1 could not be opened.").arg(quoted(fileName)), qt(failure));
        return nullptr;
    }
    entry->source = file;
    const auto imported = entry->document->importFileName();
    const QString name = imported ? qt(*imported) : qt(file.stem().string());
    noteNewRecentDocumentURL(file);
    return install(std::move(entry), name);
}

void DocController::openDocuments(const std::vector<fs::path>& paths) {
    for (const fs::path& path : paths) openDocument(path);
}

void DocController::openDocumentFromPanel() { openDocuments(prompts_.openPaths()); }

// ---- Closing and saving

void DocController::remove(const GEDCOMDocument& document) {
    for (auto it = entries_.begin(); it != entries_.end(); ++it) {
        if ((*it)->document.get() != &document) continue;
        std::unique_ptr<Entry> entry = std::move(*it);
        entries_.erase(it);
        entry->document->stopAutoSaveTimer();
        if (entry->window) {
            entry->window->removeEventFilter(this);
            entry->window->hide();
        }
        entry.reset();
        emit documentsChanged();
        return;
    }
}

bool DocController::closeDocument(GEDCOMDocument& document) {
    Entry* entry = entryFor(document);
    if (!entry) return true;
    if (document.isDocumentEdited()) {
        switch (prompts_.askSaveChanges(entry->name)) {
        case SaveAnswer::Cancel: return false;
        case SaveAnswer::Save:
            if (!saveDocument(document)) return false;
            break;
        case SaveAnswer::DontSave: break;
        }
    }
    remove(document);
    return true;
}

bool DocController::closeAllDocuments() {
    for (GEDCOMDocument* document : documents())
        if (!closeDocument(*document)) return false;
    return true;
}

bool DocController::saveDocument(GEDCOMDocument& document) {
    if (!entryFor(document)) return false;
    const auto& file = document.myFileName();
    if (!file || document.fileType() != GEDCOMDocument::kPackageType) return saveDocumentAs(document);
    std::string error;
    if (!document.saveToURL(*file, &error)) {
        alert(tr("The document %1 could not be saved.").arg(quoted(displayName(document))), qt(error));
        return false;
    }
    document.startAutoSaveTimer();
    updateWindow(document);
    return true;
}

bool DocController::saveDocumentAs(GEDCOMDocument& document) {
    Entry* entry = entryFor(document);
    if (!entry) return false;
    std::optional<fs::path> chosen = prompts_.savePath(entry->name);
    if (!chosen) return false;
    fs::path target = normalized(*chosen);
    if (target.extension() != kPackageExtension) target += kPackageExtension;
    if (GEDCOMDocument* other = documentForPath(target); other && other != &document) {
        alert(tr("The document %1 could not be saved.").arg(quoted(entry->name)),
              tr("Another open document is stored there; close it first."));
        return false;
    }
    std::string error;
    if (!document.saveToURL(target, &error)) {
        alert(tr("The document %1 could not be saved.").arg(quoted(entry->name)), qt(error));
        return false;
    }
    entry->source = target;
    entry->name = qt(target.stem().string());
    document.startAutoSaveTimer();
    noteNewRecentDocumentURL(target);
    updateWindow(document);
    return true;
}

bool DocController::revertDocument(GEDCOMDocument& document) {
    Entry* entry = entryFor(document);
    if (!entry || !document.myFileName() || document.fileType() != GEDCOMDocument::kPackageType) return false;
    if (!prompts_.confirmRevert(entry->name)) return false;
    const fs::path file = normalized(*document.myFileName());
    // The saved version is read before the open one goes, so a package
    // that no longer reads leaves the document as it was.
    auto fresh = makeEntry();
    fresh->document = std::make_unique<GEDCOMDocument>();
    fresh->document->setUI(fresh->ui.get());
    std::string error;
    if (!fresh->document->readFromURL(file, GEDCOMDocument::kPackageType, &error)) {
        if (fresh->document->readWriteStatus() != GEDCOMDocument::Cancelled)
            alert(tr("The document %1 could not be reverted.").arg(quoted(entry->name)), qt(error));
        return false;
    }
    fresh->source = file;
    const QString name = entry->name;
    const QRect geometry = entry->window ? entry->window->geometry() : QRect();
    remove(document);
    GEDCOMDocument* reverted = install(std::move(fresh), name);
    if (QMainWindow* window = windowForDocument(*reverted); window && geometry.isValid()) window->setGeometry(geometry);
    return true;
}

void DocController::alert(const QString& message, const QString& information) const {
    if (prompts_.alert) prompts_.alert(message, information);
}

// ---- Menus and window events

// Menu commands and the close box run on the next turn of the event loop:
// closing deletes the window whose menu or event is still being handled.
void DocController::later(std::function<void()> step) { QTimer::singleShot(0, this, std::move(step)); }

QMenu* DocController::buildFileMenu(QWidget* parent, GEDCOMDocument* document) {
    auto* menu = new QMenu(tr("&File"), parent);
    auto onDocument = [this, document](bool (DocController::*command)(GEDCOMDocument&)) {
        return [this, document, command] {
            later([this, document, command] {
                if (document && entryFor(*document)) (this->*command)(*document);
            });
        };
    };
    menu->addAction(tr("&New"), QKeySequence::New, this, [this] { later([this] { newDocument(); }); });
    menu->addAction(tr("&Open…"), QKeySequence::Open, this, [this] { later([this] { openDocumentFromPanel(); }); });
    QMenu* recent = menu->addMenu(tr("Open &Recent"));
    connect(recent, &QMenu::aboutToShow, this, [this, recent] { fillRecentMenu(recent); });
    fillRecentMenu(recent);
    menu->addSeparator();
    const struct {
        QString title;
        QKeySequence keys;
        bool (DocController::*command)(GEDCOMDocument&);
    } commands[] = {{tr("&Close"), QKeySequence::Close, &DocController::closeDocument},
                    {tr("&Save"), QKeySequence::Save, &DocController::saveDocument},
                    {tr("Save &As…"), QKeySequence::SaveAs, &DocController::saveDocumentAs},
                    {tr("Re&vert to Saved"), QKeySequence(), &DocController::revertDocument}};
    for (const auto& command : commands) {
        QAction* action = menu->addAction(command.title, command.keys, this, onDocument(command.command));
        action->setEnabled(document != nullptr);
    }
    menu->addSeparator();
    QAction* preferences = menu->addAction(tr("Preferences…"), preferencesKeys(), this,
                                           [this] { later([this] { emit preferencesRequested(); }); });
    preferences->setMenuRole(QAction::PreferencesRole);
    menu->addSeparator();
    QAction* quit = menu->addAction(tr("&Quit"), quitKeys(), this, [this] { later([this] { emit quitRequested(); }); });
    quit->setMenuRole(QAction::QuitRole);
    return menu;
}

void DocController::fillRecentMenu(QMenu* menu) {
    menu->clear();
    for (const fs::path& path : recent_.recentDocumentURLs())
        menu->addAction(qt(path.filename().string()), this, [this, path] { later([this, path] { openDocument(path); }); })
            ->setToolTip(qt(path.string()));
    if (!menu->isEmpty()) menu->addSeparator();
    QAction* clear = menu->addAction(tr("Clear Menu"), this, [this] { recent_.clearRecentDocuments(); });
    clear->setEnabled(!recent_.recentDocumentURLs().empty());
}

bool DocController::eventFilter(QObject* watched, QEvent* event) {
    if (event->type() != QEvent::Close) return QObject::eventFilter(watched, event);
    for (const auto& entry : entries_) {
        if (entry->window.get() != watched) continue;
        event->ignore();
        GEDCOMDocument* document = entry->document.get();
        later([this, document] {
            if (entryFor(*document)) closeDocument(*document);
        });
        return true;
    }
    return QObject::eventFilter(watched, event);
}

}  // namespace kl
