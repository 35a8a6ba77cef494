#pragma once
// DocController: the document controller of Kinlore II, the part of the
// desktop's document framework that Linux does not give: File ▸ New, Open…,
// Open Recent, Close, Save, Save As…, Revert and Quit over one
// GEDCOMDocument per file, each shown in the window its factory makes, with
// the document's name as title and the edited mark; it asks Save / Don't
// Save / Cancel before an edited document goes, keeps the Open Recent list
// and gives each document its Qt autosave timer. Each window takes the
// application's toolbar style, and its edited mark follows the document's
// change count (edits, undo and redo, saves).
//
// The questions and panels go through Prompts, which the application fills
// with dialogs and tests with answers.
//
// Ownership: owns the open documents and their windows; the character-set
// question and the progress UI are borrowed. Thread: main thread. A read
// or save blocks in the document while its worker runs behind the progress
// UI.
#include <QMainWindow>
#include <QObject>
#include <QPointer>

#include <filesystem>
#include <functional>
#include <memory>
#include <optional>
#include <string>
#include <vector>

#include "app/RecentDocuments.h"
#include "foundation/UserDefaults.h"

class QMenu;

namespace kl {

class CharacterSetQuestion;
class DocumentUI;
class GEDCOMDocument;

class DocController : public QObject {
    Q_OBJECT
public:
    enum class SaveAnswer { Save, DontSave, Cancel };

    struct Prompts {
        // Before an edited document closes: its display name.
        std::function<SaveAnswer(const QString& name)> askSaveChanges;
        // Save As: the suggested name; nullopt when cancelled.
        std::function<std::optional<std::filesystem::path>(const QString& suggested)> savePath;
        // Open…: the chosen files; empty when cancelled.
        std::function<std::vector<std::filesystem::path>()> openPaths;
        // Revert: true to drop the changes.
        std::function<bool(const QString& name)> confirmRevert;
        // The autosave question; true to save.
        std::function<bool()> confirmAutosave;
        std::function<void(const QString& message, const QString& information)> alert;
    };
    // Makes the main window of a document that has just been read.
    using WindowFactory = std::function<std::unique_ptr<QMainWindow>(GEDCOMDocument&, DocController&)>;

    explicit DocController(UserDefaults& defaults = UserDefaults::standard(), QObject* parent = nullptr);
    ~DocController() override;

    // The one controller while it lives.
    static DocController* sharedDocumentController();

    void setPrompts(Prompts prompts);
    void setWindowFactory(WindowFactory factory) { windowFactory_ = std::move(factory); }
    const WindowFactory& windowFactory() const { return windowFactory_; }
    void setCharacterSetQuestion(CharacterSetQuestion* question) { charsetQuestion_ = question; }
    // The wait and progress panel of reads and saves; nullptr polls without one.
    void setProgressUI(DocumentUI* ui) { progressUI_ = ui; }

    // "WEXKinloreFile" for a package (a folder or a ".gedpkg"), else "WEXGEDCOMFile".
    static std::string typeForPath(const std::filesystem::path& path);

    // ---- File menu
    GEDCOMDocument* newDocument();
    // Opens and shows a file or package; an open one is brought forward.
    // nullptr when it could not be read (alerted) or the read was cancelled
    // (no alert); `error` gets the reader's text.
    GEDCOMDocument* openDocument(const std::filesystem::path& path, std::string* error = nullptr);
    void openDocuments(const std::vector<std::filesystem::path>& paths);
    void openDocumentFromPanel();
    // False when the user cancelled or a save failed.
    bool closeDocument(GEDCOMDocument& document);
    bool saveDocument(GEDCOMDocument& document);
    bool saveDocumentAs(GEDCOMDocument& document);
    bool revertDocument(GEDCOMDocument& document);
    // Quit's review of every open document; false when one stays open.
    bool closeAllDocuments();

    // ---- Open documents
    std::vector<GEDCOMDocument*> documents() const;
    GEDCOMDocument* documentForPath(const std::filesystem::path& path) const;
    bool hasDocumentsOfClass() const { return !entries_.empty(); }
    QMainWindow* windowForDocument(const GEDCOMDocument& document) const;
    QString displayName(const GEDCOMDocument& document) const;
    // Title and edited mark of the document's window.
    void updateWindow(GEDCOMDocument& document);

    // Where File ▸ Open… and Save As… start: the folder of the front
    // document's file, else the user's documents folder, else home.
    std::filesystem::path panelFolder() const;

    RecentDocuments& recentDocuments() { return recent_; }
    void noteNewRecentDocumentURL(const std::filesystem::path& path) { recent_.noteNewRecentDocumentURL(path); }

    // The File menu for a window; `document` is the window's own (or none).
    QMenu* buildFileMenu(QWidget* parent, GEDCOMDocument* document);

signals:
    // After a document was opened, made or closed.
    void documentsChanged();
    // File ▸ Quit.
    void quitRequested();
    // File ▸ Preferences… was chosen.
    void preferencesRequested();

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    struct Entry;
    Entry* entryFor(const GEDCOMDocument& document) const;
    GEDCOMDocument* install(std::unique_ptr<Entry> entry, QString name);
    std::unique_ptr<Entry> makeEntry();
    void remove(const GEDCOMDocument& document);
    void later(std::function<void()> step);
    void fillRecentMenu(QMenu* menu);
    QString untitledName();
    void alert(const QString& message, const QString& information) const;

    UserDefaults& defaults_;
    RecentDocuments recent_;
    Prompts prompts_;
    WindowFactory windowFactory_;
    CharacterSetQuestion* charsetQuestion_ = nullptr;
    DocumentUI* progressUI_ = nullptr;
    std::vector<std::unique_ptr<Entry>> entries_;
    int untitledCount_ = 0;
};

}  // namespace kl
