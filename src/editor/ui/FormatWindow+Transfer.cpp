// The document window's commands that move files in and out of its package
// and answer Kinlore II's request to show one template.
#include <QApplication>
#include <QStandardPaths>

#include <system_error>

#include "app/ui/AppAlerts.h"
#include "editor/ImagePort.h"
#include "editor/PackageImport.h"
#include "editor/ui/FormatWindow.h"
#include "editor/ui/PropertyTableView.h"
#include "foundation/Logger.h"
#include "foundation/UndoManager.h"

namespace kl {

namespace fs = std::filesystem;

namespace {

constexpr int kNoSuchObject = -1708;

}  // namespace

void FormatWindow::beep() const {
    if (prompts_.beep)
        prompts_.beep();
    else
        QApplication::beep();
}

void FormatWindow::importImage() {
    const CommandValidation validation = validateCommandTag(ImportTag, commandState());
    if (!validation.enabled || !prompts_.importFiles) return;
    const std::vector<fs::path> files = prompts_.importFiles(QString::fromStdString(*validation.title));
    if (files.empty()) return;
    if (document_.fileType() == FormatDocument::pluginType)
        importOtherFiles(files);
    else
        importImages(files);
}

void FormatWindow::importImages(const std::vector<fs::path>& files) {
    ItemList* images = document_.listForName("Images");
    if (!images) return;
    UndoManager& undo = document_.undoManager();
    undo.beginUndoGrouping();
    bool imported = false;
    for (const fs::path& file : files) {
        const std::string fileName = file.filename().string();
        std::shared_ptr<Object> image = document_.imagePort() ? document_.imagePort()->readImage(file) : nullptr;
        if (!image) {
            criticalSheet("A selected file could not be imported",
                          "The file '" + fileName + "' does not contain a readable image");
            break;
        }
        auto item = std::make_shared<Template>(PackageImport::imageName(fileName, *images), Value(std::move(image)),
                                               false);
        item->setType(ImageType);
        undo.registerUndo(&document_, [this, item, images] { removeTemplate(item, images); });
        installTemplate(item, images, true);
        imported = true;
    }
    if (imported) {
        undo.setActionName(tr("Import Images").toStdString());
        document_.updateChangeCount(true);
        emit documentChanged();
    }
    undo.endUndoGrouping();
}

FormatWindow::TemplatePtr FormatWindow::otherFilesItem() const {
    if (document_.fileType() != FormatDocument::pluginType) return nullptr;
    for (const auto& list : document_.rootLevel()) {
        if (list->type() == SearchResultsType) continue;
        if (TemplatePtr item = list->objectNamed("other files")) return item;
    }
    return nullptr;
}

bool FormatWindow::carryFile(const fs::path& file, const std::string& name) {
    const fs::path target = *document_.fileURL() / name;
    std::error_code error;
    if (fs::exists(fs::symlink_status(target, error))) {
        if (!fs::remove(target, error) || error) {
            Logger::log("Error copying file at path '{}' to replace file in extension at '{}': {}", file.string(),
                        target.string(), error.message());
            return false;
        }
    }
    if (!fs::copy_file(file, target, error)) {
        Logger::log("Error copying file at path '{}' to the extension at '{}': {}", file.string(), target.string(),
                    error.message());
        return false;
    }
    return true;
}

void FormatWindow::importOtherFiles(const std::vector<fs::path>& files) {
    const TemplatePtr others = otherFilesItem();
    if (!others || !document_.fileURL()) return;
    saveCurrentTemplate();
    const Dictionary* current = others->templateObject().dictionary();
    Dictionary table = current ? *current : Dictionary{};
    UndoManager& undo = document_.undoManager();
    undo.beginUndoGrouping();
    bool copied = false;
    bool changed = false;
    for (const fs::path& file : files) {
        const std::string fileName = file.filename().string();
        if (const std::optional<std::string> listName = PackageImport::listForFile(fileName)) {
            ItemList* list = document_.listForName(*listName);
            if (!list) continue;
            std::string reason;
            const std::optional<std::string> text = PackageImport::readText(file, &reason);
            if (!text) {
                criticalSheet("A selected file could not be imported",
                              "The contents of file '" + fileName + "' could not be read (" + reason + ")");
                continue;
            }
            const TemplatePtr item = list->createTemplate(Value(*text), fileName, &reason);
            if (!item) continue;
            undo.registerUndo(&document_, [this, item, list] { removeTemplate(item, list); });
            installTemplate(item, list, false);
            changed = true;
            continue;
        }
        const std::string name = PackageImport::carriedName(fileName, table);
        if (!carryFile(file, name)) continue;
        table.set(name, Value(""));
        copied = true;
    }
    if (copied) replaceObject(Value(std::move(table)), others);
    if (copied || changed) {
        undo.setActionName(tr("Import Files").toStdString());
        document_.updateChangeCount(true);
        emit documentChanged();
    }
    undo.endUndoGrouping();
}

void FormatWindow::exportFile() {
    const TemplatePtr current = document_.currentTemplate();
    PropertyTableView* table = shownTable();
    const std::optional<std::size_t> row = table ? table->selectedRow() : std::nullopt;
    std::string key;
    if (current && current == otherFilesItem() && row && *row < table->table().rows().size()) {
        const auto& cells = *table->table().rows()[*row];
        const auto found = cells.find("key");
        if (found != cells.end() && found->second.isString()) key = *found->second.string();
    }
    if (key.empty() || !document_.fileURL()) {
        beep();
        return;
    }
    if (!prompts_.exportPath) return;
    QString folder;
    const QString support = QStandardPaths::writableLocation(QStandardPaths::GenericDataLocation);
    if (!support.isEmpty()) folder = support + "/Kinlore II/Scripts";
    const std::optional<fs::path> destination = prompts_.exportPath(QString::fromStdString(key), folder);
    if (!destination) return;
    const fs::path source = *document_.fileURL() / key;
    Logger::log("copy '{}' to '{}'", source.string(), destination->string());
    std::error_code error;
    if (fs::exists(fs::symlink_status(*destination, error))) {
        if (!fs::remove(*destination, error) || error) {
            Logger::log("Error copying file at path '{}' to replace file at path '{}': {}", source.string(),
                        destination->string(), error.message());
            beep();
            return;
        }
    }
    if (!fs::copy_file(source, *destination, error)) {
        Logger::log("Error copying file at path '{}' to path '{}': {}", source.string(), destination->string(),
                    error.message());
        beep();
    }
}

std::optional<FormatWindow::CommandError> FormatWindow::showTemplateScriptCommand(const std::string& named,
                                                                                 const std::string& typed) {
    ItemList* list = document_.listForName(typed);
    if (!list || list->type() == SearchResultsType)
        return CommandError{kNoSuchObject, "The template list named '" + typed + "' is not a valid type of template list."};
    const TemplatePtr item = list->objectNamed(named);
    if (!item)
        return CommandError{kNoSuchObject,
                            "The template named '" + named + "' in not in the '" + typed + "' template list."};
    selectTemplate(item, list);
    return std::nullopt;
}

}  // namespace kl
