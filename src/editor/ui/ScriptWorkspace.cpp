#include "editor/ui/ScriptWorkspace.h"

#include <QApplication>
#include <QFileDialog>
#include <QTimer>
#include <QTreeView>

#include "app/ui/AppAlerts.h"
#include "editor/ScriptEditingDocument.h"
#include "editor/ui/FormatWindow.h"
#include "editor/ui/WXColoredTextView.h"
#include "foundation/AsciiText.h"
#include "foundation/UserDefaults.h"

namespace kl {

namespace fs = std::filesystem;

namespace {

QString qs(const std::string& text) { return QString::fromStdString(text); }

}  // namespace

ScriptWorkspace::ScriptWorkspace(ScriptEditingDocument& document, FormatWindow& window, UserDefaults& defaults,
                                 QObject* parent)
    : QObject(parent), document_(document), window_(window), defaults_(defaults), prompts_(defaultPrompts(&window)) {}

ScriptWorkspace::Prompts ScriptWorkspace::defaultPrompts(QWidget* window) {
    Prompts prompts;
    prompts.savePath = [window](const QString& message, const QStringList& types,
                                const QString& proposed) -> std::optional<fs::path> {
        QStringList patterns;
        for (const QString& type : types) patterns << "*." + type;
        const QString file = QFileDialog::getSaveFileName(window, message, proposed,
                                                          tr("Scripts (%1)").arg(patterns.join(' ')));
        if (file.isEmpty()) return std::nullopt;
        return fs::path(file.toStdString());
    };
    prompts.askSave = [](const QString& message, const QString& information) {
        const int answer = AppAlerts::runInfoAlert(message.toStdString(), information.toStdString(),
                                                   tr("Save").toStdString(), tr("Cancel").toStdString(),
                                                   tr("Don't Save").toStdString());
        return answer == 1000 ? Answer::Save : answer == 1002 ? Answer::DontSave : Answer::Cancel;
    };
    prompts.alert = [window](const QString& message, const QString& information) {
        AppAlerts::simpleOKAlert(message.toStdString(), information.toStdString(), window,
                                 AlertButtons::Informational);
    };
    return prompts;
}

void ScriptWorkspace::alert(const QString& message, const QString& information) const {
    if (prompts_.alert) prompts_.alert(message, information);
}

void ScriptWorkspace::installNew(const TemplatePtr& item, bool add) {
    ItemList* list = &document_.scripts();
    UndoManager& undo = document_.undoManager();
    undo.beginUndoGrouping();
    undo.registerUndo(&document_, [this, item, list] { window_.removeTemplate(item, list); });
    window_.installTemplate(item, list, add);
    undo.setActionName(tr("New Template").toStdString());
    undo.endUndoGrouping();
}

ScriptWorkspace::TemplatePtr ScriptWorkspace::openScriptAtPath(const fs::path& path, bool handleAlert) {
    bool added = false;
    std::string error;
    const TemplatePtr item = document_.openScriptAtPath(path, &added, &error);
    if (!item) {
        if (handleAlert) alert(tr("The selected script file could not be opened."), qs(error));
        return nullptr;
    }
    if (!added) {
        window_.selectTemplate(item, &document_.scripts());
        return item;
    }
    installNew(item, false);
    checkChangedLater();
    return item;
}

void ScriptWorkspace::newScript() {
    if (!prompts_.savePath) return;
    const auto path = prompts_.savePath(tr("Create a Python ('.py') or Internal ('.klscpt') Script"),
                                        {"py", "klscpt"}, {});
    if (path) createScript(*path);
}

void ScriptWorkspace::createScript(const fs::path& path) {
    // What was typed into the shown script is its own until it is reset.
    window_.saveCurrentTemplate();
    bool added = false;
    const TemplatePtr item = document_.createScript(path, &added);
    if (!item) {
        QApplication::beep();
        return;
    }
    if (added) {
        installNew(item, false);
    } else if (document_.currentTemplate() == item) {
        window_.reloadDisplay();
    } else {
        window_.outline()->clearSelection();
        window_.selectTemplate(item, &document_.scripts());
    }
    saveDocument();
}

bool ScriptWorkspace::saveDocument() {
    const TemplatePtr current = document_.currentTemplate();
    if (!current) {
        QApplication::beep();
        return false;
    }
    if (current->scriptPath().empty()) return saveDocumentAs();
    return saveScriptToFile(current->scriptPath());
}

bool ScriptWorkspace::saveDocumentAs() {
    const TemplatePtr current = document_.currentTemplate();
    if (!current) {
        QApplication::beep();
        return false;
    }
    if (!prompts_.savePath) return false;
    const QString name = qs(current->name());
    const auto path = prompts_.savePath(tr("Save the '%1' script to disk").arg(name),
                                        {qs(asciiLower(pathExtension(current->name())))}, name);
    return path && saveScriptToFile(*path);
}

bool ScriptWorkspace::saveScriptToFile(const fs::path& path) {
    window_.saveCurrentTemplate();
    const TemplatePtr current = document_.currentTemplate();
    if (!current) return false;
    if (const auto error = document_.saveScriptToFile(current, path)) {
        alert(tr("The selected script could not be saved to a file."), qs(*error));
        return false;
    }
    window_.changeTemplateName(path.filename().string(), current);
    window_.outline()->viewport()->update();
    window_.validateCommands();
    if (document_.allScriptsSaved()) checkChangedLater();
    return true;
}

void ScriptWorkspace::saveAndRun() {
    if (!saveDocument()) return;
    const TemplatePtr current = document_.currentTemplate();
    if (!current) return;
    const std::optional<std::string> error =
        prompts_.runScript ? prompts_.runScript(current->scriptPath()) : std::optional<std::string>("");
    if (error)
        alert(tr("The script to run the selected script in Kinlore II failed."),
              error->empty() ? tr("Unspecified error") : qs(*error));
}

void ScriptWorkspace::closeScript() {
    const TemplatePtr current = document_.currentTemplate();
    if (!current) return;
    if (!current->scriptSaved()) {
        const Answer answer =
            prompts_.askSave ? prompts_.askSave(tr("Would you like to save the '%1' script to disk before it is "
                                                   "removed from the workspace?")
                                                    .arg(qs(current->name())),
                                                tr("The script has been changed since it was lasted save"))
                             : Answer::Cancel;
        if (answer == Answer::Cancel) return;
        // A script that could not be written stays, so nothing is lost.
        if (answer == Answer::Save && !saveDocument()) return;
    }
    UndoManager& undo = document_.undoManager();
    undo.beginUndoGrouping();
    window_.removeTemplate(current, &document_.scripts());
    undo.endUndoGrouping();
    checkChangedLater();
}

bool ScriptWorkspace::canClose() {
    window_.saveCurrentTemplate();
    if (document_.allScriptsSaved()) return true;
    const Answer answer =
        prompts_.askSave ? prompts_.askSave(tr("Would like to save all changed scripts before closing the Script "
                                               "Editing Workspace?"),
                                            tr("Your changes will be lost if you don\u2019t save them."))
                         : Answer::Cancel;
    if (answer == Answer::Cancel) return false;
    if (answer == Answer::DontSave) return true;
    if (const auto failure = document_.writeUnsavedScripts()) {
        alert(tr("The script '%1' could not be saved to disk.").arg(qs(failure->first)), qs(failure->second));
        return false;
    }
    return true;
}

void ScriptWorkspace::loadScriptWorkSpace() {
    const std::optional<Array> remembered = defaults_.arrayForKey(ScriptEditingDocument::workspaceKey);
    if (!remembered) return;
    for (const TemplatePtr& item : document_.loadScriptWorkSpace(*remembered))
        window_.installTemplate(item, &document_.scripts(), false);
}

void ScriptWorkspace::saveWorkSpaceSettings() {
    // The shown script's selection is in the view until another is shown.
    if (const TemplatePtr current = document_.currentTemplate()) {
        const QTextCursor cursor = window_.textView()->textCursor();
        current->setSelectedRange({static_cast<std::size_t>(cursor.selectionStart()),
                                   static_cast<std::size_t>(cursor.selectionEnd() - cursor.selectionStart())});
    }
    defaults_.setObject(Value(document_.scriptWorkSpace()), ScriptEditingDocument::workspaceKey);
    defaults_.synchronize();
}

void ScriptWorkspace::checkChanged() {
    if (!document_.allScriptsSaved()) return;
    document_.updateChangeCount(false);
    emit documentChanged();
}

void ScriptWorkspace::checkChangedLater() {
    QTimer::singleShot(0, this, [this] { checkChanged(); });
}

}  // namespace kl
