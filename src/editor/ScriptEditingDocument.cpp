#include "editor/ScriptEditingDocument.h"

#include "editor/EditorResources.h"
#include "foundation/Logger.h"
#include "foundation/PropertyList.h"
#include "model/TextEncoding.h"

namespace kl {

namespace fs = std::filesystem;

ScriptEditingDocument::ScriptEditingDocument() {
    setFileType(workspaceType);
    rootLevel_.push_back(ItemList::listWithName("Scripts", WorkspaceScriptType));
    rootLevel_.push_back(ItemList::listWithName("Search Results", SearchResultsType));
}

ScriptEditingDocument::TemplatePtr ScriptEditingDocument::openScriptAtPath(const fs::path& path, bool* added,
                                                                        std::string* error) {
    Logger::log("read script:{}", path.filename().string());
    if (added) *added = false;
    if (TemplatePtr open = scripts().templateAtPath(path.string())) return open;
    const std::optional<std::string> bytes = readFileBytes(path);
    if (!bytes || !isValidUTF8(*bytes)) {
        if (error)
            *error = bytes ? "The file \u201c" + path.filename().string() + "\u201d is not UTF-8 text."
                           : "The file \u201c" + path.filename().string() + "\u201d could not be read.";
        return nullptr;
    }
    TemplatePtr item = scripts().addTemplate(Value(*bytes), path.filename().string());
    item->setScriptPath(path.string());
    item->setScriptSaved(true);
    if (added) *added = true;
    return item;
}

ScriptEditingDocument::TemplatePtr ScriptEditingDocument::createScript(const fs::path& path, bool* added) {
    ItemList& list = scripts();
    const std::string name = path.filename().string();
    if (TemplatePtr open = list.templateAtPath(path.string())) {
        open->setTemplateObject(list.defaultTemplate(open->name()));
        open->setScriptSaved(false);
        *added = false;
        return open;
    }
    TemplatePtr item = list.createTemplate(std::nullopt, name);
    if (!item) return nullptr;
    item->setScriptPath(path.string());
    item->setScriptSaved(false);
    *added = true;
    return item;
}

std::optional<std::string> ScriptEditingDocument::saveScriptToFile(const TemplatePtr& item, const fs::path& path) {
    std::string error;
    if (!PropertyList::writeBytesAtomically(item->text(), path, &error)) return error;
    item->setScriptPath(path.string());
    item->setScriptSaved(true);
    return std::nullopt;
}

std::optional<std::pair<std::string, std::string>> ScriptEditingDocument::writeUnsavedScripts() const {
    for (const TemplatePtr& item : scripts().templates()) {
        if (item->scriptSaved()) continue;
        std::string error;
        if (!PropertyList::writeBytesAtomically(item->text(), item->scriptPath(), &error))
            return std::make_pair(item->name(), error);
    }
    return std::nullopt;
}

bool ScriptEditingDocument::renameScript(const TemplatePtr& item, const std::string& name) {
    if (item->name() == name) return false;
    item->setName(name);
    scripts().sortTemplate(item);
    return true;
}

std::vector<ScriptEditingDocument::TemplatePtr> ScriptEditingDocument::loadScriptWorkSpace(const Array& remembered) {
    std::vector<TemplatePtr> opened;
    for (const Value& entry : remembered) {
        const Dictionary* settings = entry.dictionary();
        const Value* path = settings ? settings->get("scriptPath") : nullptr;
        if (!path || !path->isString() || path->string()->empty()) continue;
        bool added = false;
        const TemplatePtr item = openScriptAtPath(*path->string(), &added);
        if (!item) continue;
        const auto number = [settings](const char* key) {
            const Value* value = settings->get(key);
            const long long n = value ? value->toInteger() : 0;
            return n > 0 ? static_cast<std::size_t>(n) : std::size_t{0};
        };
        item->setSelectedRange({number("location"), number("length")});
        if (added) opened.push_back(item);
    }
    return opened;
}

}  // namespace kl
