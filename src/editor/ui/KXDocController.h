#pragma once
// KXDocController: Kinlore Editor's document controller, the part of the
// desktop's document framework Linux does not give: File ▸ Open…, Save,
// Save As…, Close and Quit over one FormatDocument per package, each shown
// in its FormatWindow titled with the package's name and the edited mark.
// Before an edited document goes it asks Save / Don't Save / Cancel.
//
// The questions and panels go through Prompts, which the program fills
// with dialogs and tests with answers.
//
// Ownership: owns the open documents and their windows (the window goes
// first). Main thread only.
#include <QObject>

#include <filesystem>
#include <functional>
#include <memory>
#include <optional>
#include <string>
#include <vector>

#include "editor/ui/QtImagePort.h"
#include "editor/ui/ScriptWorkspace.h"

class QMenu;
class QWidget;

namespace kl {

class FormatDocument;
class FormatWindow;
class ScriptEditingDocument;

class KXDocController : public QObject {
    Q_OBJECT
public:
    enum class SaveAnswer { Save, DontSave, Cancel };
    struct Prompts {
        std::function<std::vector<std::filesystem::path>()> openPaths;
        // Save As: the suggested name; nullopt when cancelled.
        std::function<std::optional<std::filesystem::path>(const QString& suggested)> savePath;
        std::function<SaveAnswer(const QString& name)> askSaveChanges;
        std::function<void(const QString& message, const QString& information)> alert;
        // Asks the desktop to open a package with Kinlore II; false when it
        // could not be started.
        std::function<bool(const std::filesystem::path& package)> openInKinlore;
        // Has Kinlore II run the extension or script at a path; the error's
        // brief message ("" when none was given) when that failed.
        std::function<std::optional<std::string>(const std::filesystem::path& path)> runScriptInKinlore;
        // Opens a file with the desktop's default application for it.
        std::function<void(const std::filesystem::path& file)> openFile;
    };

    explicit KXDocController(QObject* parent = nullptr);
    ~KXDocController() override;

    void setPrompts(Prompts prompts) { prompts_ = std::move(prompts); }
    // The questions of the script workspace; its Save and Run goes through
    // runScriptInKinlore above.
    void setWorkspacePrompts(ScriptWorkspace::Prompts prompts) { workspacePrompts_ = std::move(prompts); }

    // "WEXKinlorePlugIn" for a ".kplug", else "WEXKinloreFormat".
    static std::string typeForPath(const std::filesystem::path& path);

    // Whether a file is a script the workspace edits (".py", ".klscpt").
    static bool isScriptFile(const std::filesystem::path& path);

    // Opens and shows a package; an open one is brought forward. A script
    // file opens in the script workspace, which is answered. nullptr when
    // it could not be read (alerted; `error` gets the reader's text).
    FormatDocument* openDocument(const std::filesystem::path& path, std::string* error = nullptr);
    void openDocumentFromPanel();
    bool saveDocument(FormatDocument& document);
    bool saveDocumentAs(FormatDocument& document);
    // False when the user cancelled or a save failed.
    bool closeDocument(FormatDocument& document);
    bool closeAllDocuments();
    // Saves, then opens a format in Kinlore II or has it run an extension.
    void saveAndRunCmd(FormatDocument& document);
    // Saves and opens the current documentation page; tag 3013 saves it
    // with the alternate help style sheet and leaves the document changed,
    // so that the next save writes the regular one again.
    void previewInBrowser(FormatDocument& document, int tag);
    // The document scripting commands are sent to: the one of the active
    // window, else the package opened last; nullptr when none is open.
    FormatDocument* frontDocument() const;

    // The one script workspace, made and shown when needed; its window is
    // titled "Script Editing Workspace" and reopens the remembered scripts.
    ScriptEditingDocument* openScriptEditor();
    ScriptEditingDocument* theScriptEditor() const;
    ScriptWorkspace* workspaceCommands() const;

    std::vector<FormatDocument*> documents() const;
    FormatWindow* windowForDocument(const FormatDocument& document) const;
    void updateWindow(FormatDocument& document);

signals:
    void quitRequested();

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    struct Entry;
    Entry* entryFor(const FormatDocument& document) const;
    Entry& addEntry(std::unique_ptr<FormatDocument> document);
    void buildFileMenu(FormatWindow& window, FormatDocument& document);
    void alert(const QString& message, const QString& information) const;
    bool writeTo(FormatDocument& document, const std::filesystem::path& path);

    QtImagePort images_;
    Prompts prompts_;
    ScriptWorkspace::Prompts workspacePrompts_;
    std::vector<std::unique_ptr<Entry>> entries_;
    bool closing_ = false;
};

}  // namespace kl
