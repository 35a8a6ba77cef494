#pragma once
// ScriptWorkspace: the commands of the script editing workspace's window
// that differ from a format's: opening a script file into it, New Script
// (a file chosen first, then written), Save and Save As of the one script
// shown, Save and Run through Kinlore II, Close Script, and the question
// about unsaved scripts when the workspace closes. The set of open scripts
// is kept in the user defaults when the window closes and reopened when
// the workspace is made.
//
// Questions and panels go through Prompts, which the program fills with
// dialogs and tests with answers.
//
// Ownership: the document controller keeps it beside the workspace's
// document and window, which outlive it. Main thread only.
#include <QObject>
#include <QString>
#include <QStringList>

#include <filesystem>
#include <functional>
#include <memory>
#include <optional>
#include <string>

namespace kl {

class FormatWindow;
class ScriptEditingDocument;
class Template;
class UserDefaults;

class ScriptWorkspace : public QObject {
    Q_OBJECT
public:
    enum class Answer { Save, Cancel, DontSave };
    struct Prompts {
        // A save panel: its message, the allowed extensions and the
        // proposed name; nullopt when cancelled.
        std::function<std::optional<std::filesystem::path>(const QString& message, const QStringList& types,
                                                           const QString& proposed)>
            savePath;
        // Save / Cancel / Don't Save.
        std::function<Answer(const QString& message, const QString& information)> askSave;
        std::function<void(const QString& message, const QString& information)> alert;
        // Has Kinlore II run a file; the error's brief message ("" when
        // none was given) when that failed.
        std::function<std::optional<std::string>(const std::filesystem::path& path)> runScript;
    };
    using TemplatePtr = std::shared_ptr<Template>;

    ScriptWorkspace(ScriptEditingDocument& document, FormatWindow& window, UserDefaults& defaults,
                    QObject* parent = nullptr);

    static Prompts defaultPrompts(QWidget* window);
    void setPrompts(Prompts prompts) { prompts_ = std::move(prompts); }

    // Opens a script file (or selects it when open); nullptr when it could
    // not be read, which is alerted only when asked.
    TemplatePtr openScriptAtPath(const std::filesystem::path& path, bool handleAlert);
    void newScript();
    void createScript(const std::filesystem::path& path);
    bool saveDocument();
    bool saveDocumentAs();
    bool saveScriptToFile(const std::filesystem::path& path);
    void saveAndRun();
    void closeScript();
    // Whether the workspace may close, asking about unsaved scripts.
    bool canClose();
    void loadScriptWorkSpace();
    void saveWorkSpaceSettings();
    // Clears the document's changed state once every script is saved.
    void checkChanged();

signals:
    void documentChanged();

private:
    void alert(const QString& message, const QString& information) const;
    void installNew(const TemplatePtr& item, bool add);
    void checkChangedLater();

    ScriptEditingDocument& document_;
    FormatWindow& window_;
    UserDefaults& defaults_;
    Prompts prompts_;
};

}  // namespace kl
