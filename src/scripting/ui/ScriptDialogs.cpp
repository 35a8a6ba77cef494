#include "scripting/ui/ScriptDialogs.h"

#include <QApplication>
#include <QFileDialog>
#include <QMainWindow>

#include "app/AlertButtons.h"
#include "app/ui/AppAlerts.h"
#include "model/ISScripting.h"
#include "scripting/ScriptDialogArguments.h"
#include "scripting/ui/UserInputPanel.h"

namespace kl {

namespace {

QString qt(const std::string& text) { return QString::fromStdString(text); }

void answer(ISInterpreter* target, Value value) {
    if (target) target->setReturnValue(std::move(value));
}

std::optional<std::string> text(const Dictionary& arguments, const char* key) {
    const Value* value = arguments.get(key);
    if (!value || !value->isString()) return std::nullopt;
    return *value->string();
}

QString nameFilter(const std::vector<std::string>& extensions) {
    if (extensions.empty()) return {};
    QStringList patterns;
    for (const std::string& extension : extensions) patterns << QStringLiteral("*.") + qt(extension);
    return patterns.join(' ');
}

// The document window in front: a main window other than the dialog's.
QWidget* frontDocumentWindow(const QWidget& dialog) {
    if (auto* active = qobject_cast<QMainWindow*>(QApplication::activeWindow())) return active;
    for (QWidget* widget : QApplication::topLevelWidgets())
        if (widget != &dialog && widget->isVisible() && qobject_cast<QMainWindow*>(widget)) return widget;
    return nullptr;
}

}  // namespace

std::string ScriptDialogs::doUserOptionCommand(const Dictionary& arguments, ISInterpreter* target) {
    const ScriptDialogArguments::Alert alert = ScriptDialogArguments::alert(arguments);
    auto title = [&](std::size_t n) -> AppAlerts::Title {
        return n < alert.buttons.size() ? AppAlerts::Title(alert.buttons[n]) : std::nullopt;
    };
    const int response = AppAlerts::runAlertOrClose(AlertButtons::Style::Critical, alert.message,
                                                    alert.informative, AlertButtons(title(0), title(1), title(2)));
    std::string result = ScriptDialogArguments::alertAnswer(alert, response);
    answer(target, Value(result));
    return result;
}

std::string ScriptDialogs::argsOpenFile(const Dictionary& arguments, ISInterpreter* target) {
    const bool files = arguments.get("ForFile") != nullptr;
    const bool multiple = ScriptDialogArguments::openAllowsMultiple(arguments);
    QFileDialog dialog;
    dialog.setOption(QFileDialog::DontUseNativeDialog);
    dialog.setAcceptMode(QFileDialog::AcceptOpen);
    dialog.setWindowTitle(qt(text(arguments, "title").value_or(files ? "Open a file" : "Choose a folder")));
    if (auto prompt = text(arguments, "prompt")) dialog.setLabelText(QFileDialog::Accept, qt(*prompt));
    if (files) {
        dialog.setFileMode(multiple ? QFileDialog::ExistingFiles : QFileDialog::ExistingFile);
        const QString filter = nameFilter(ScriptDialogArguments::extensions(arguments));
        if (!filter.isEmpty()) dialog.setNameFilter(filter);
    } else {
        dialog.setFileMode(QFileDialog::Directory);
        dialog.setOption(QFileDialog::ShowDirsOnly);
    }
    if (const auto start = ScriptDialogArguments::openStart(arguments); start.folder)
        dialog.setDirectory(qt(start.folder->string()));
    const bool chosen = dialog.exec() == QDialog::Accepted && !dialog.selectedFiles().isEmpty();
    const QStringList paths = chosen ? dialog.selectedFiles() : QStringList();
    std::string result = chosen ? paths.front().toStdString() : std::string();
    if (multiple) {
        Array list;
        for (const QString& path : paths) list.emplace_back(path.toStdString());
        answer(target, Value(std::move(list)));
    } else {
        answer(target, Value(result));
    }
    return result;
}

std::string ScriptDialogs::argsUserSaveFile(const Dictionary& arguments, ISInterpreter* target) {
    QFileDialog dialog;
    dialog.setOption(QFileDialog::DontUseNativeDialog);
    dialog.setAcceptMode(QFileDialog::AcceptSave);
    dialog.setFileMode(QFileDialog::AnyFile);
    if (auto title = text(arguments, "title")) dialog.setWindowTitle(qt(*title));
    if (auto prompt = text(arguments, "prompt")) dialog.setLabelText(QFileDialog::Accept, qt(*prompt));
    const QString filter = nameFilter(ScriptDialogArguments::extensions(arguments));
    if (!filter.isEmpty()) dialog.setNameFilter(filter);
    const auto start = ScriptDialogArguments::saveStart(arguments);
    if (start.folder) dialog.setDirectory(qt(start.folder->string()));
    if (!start.name.empty()) dialog.selectFile(qt(start.name));
    const bool chosen = dialog.exec() == QDialog::Accepted && !dialog.selectedFiles().isEmpty();
    std::string result = chosen ? dialog.selectedFiles().front().toStdString() : std::string();
    answer(target, Value(result));
    return result;
}

Array ScriptDialogs::doUserInputCommand(const Dictionary& arguments, ISInterpreter* target) {
    UserInputPanel panel(ScriptDialogArguments::input(arguments));
    Array result = panel.runModalUserInput();
    answer(target, Value(result));
    return result;
}

Array ScriptDialogs::userChoiceCommand(const Dictionary& arguments, ISInterpreter* target) {
    UserListPanel panel(ScriptDialogArguments::list(arguments));
    Array result = panel.runModalUserInput();
    answer(target, Value(result));
    return result;
}

void ScriptDialogs::positionWindow(QWidget& dialog) {
    QWidget* window = frontDocumentWindow(dialog);
    if (!window) return;
    const QRect frame = window->frameGeometry();
    dialog.move(frame.x() + (frame.width() - dialog.frameGeometry().width()) / 2, frame.y() + 80);
}

}  // namespace kl
