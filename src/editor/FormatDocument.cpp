#include "editor/FormatDocument.h"

#include "editor/EditorResources.h"
#include "foundation/Exception.h"
#include "foundation/Logger.h"

namespace kl {

namespace fs = std::filesystem;

namespace {

struct ListSpec {
    const char* name;
    std::int32_t type;
};

constexpr ListSpec kFormatLists[] = {{"Record Editing", RecordEditingType}, {"Tag Editing", TagEditingType},
                                     {"Subroutines", SubroutinesType},      {"Properties", PropertyListType},
                                     {"Images", ImageType},                 {"Documentation", DocumentationType},
                                     {"Search Results", SearchResultsType}};
constexpr ListSpec kPluginLists[] = {{"Scripts", SubroutinesType},
                                     {"Text Files", TagEditingType},
                                     {"Properties", PropertyListType},
                                     {"Documentation", DocumentationType},
                                     {"Search Results", SearchResultsType}};

// The index into rootLevel of the list holding a type code, -1 for none.
int formatListIndex(std::int32_t type) {
    switch (type) {
    case RecordEditingType: return 0;
    case TagEditingType: return 1;
    case SubroutinesType: return 2;
    case DocumentationType: return 5;
    case EditingColorsType:
    case EditingFontsType:
    case EditingPropertiesType:
    case PropertyListType: return 3;
    case ImageType: return 4;
    case SearchResultsType: return 6;
    default: return -1;
    }
}

int pluginListIndex(std::int32_t type) {
    switch (type) {
    case TagEditingType: return 1;
    case SubroutinesType: return 0;
    case DocumentationType: return 3;
    case PropertyListType: return 2;
    case SearchResultsType: return 4;
    default: return -1;
    }
}

int workspaceListIndex(std::int32_t type) {
    if (type == WorkspaceScriptType) return 0;
    if (type == SearchResultsType) return 1;
    return -1;
}

}  // namespace

void FormatDocument::makeLists(bool plugin) {
    rootLevel_.clear();
    if (plugin) {
        for (const ListSpec& spec : kPluginLists) {
            auto list = ItemList::listWithName(spec.name, spec.type);
            list->setIsPlugin(spec.type != SearchResultsType);
            rootLevel_.push_back(std::move(list));
        }
    } else {
        for (const ListSpec& spec : kFormatLists) rootLevel_.push_back(ItemList::listWithName(spec.name, spec.type));
    }
}

ItemList* FormatDocument::listForType(std::int32_t type) const {
    const int index = isScriptEditor()         ? workspaceListIndex(type)
                      : fileType_ == pluginType ? pluginListIndex(type)
                                                : formatListIndex(type);
    if (index < 0 || static_cast<std::size_t>(index) >= rootLevel_.size()) return nullptr;
    return rootLevel_[static_cast<std::size_t>(index)].get();
}

ItemList* FormatDocument::listForName(const std::string& name) const {
    for (const ListPtr& list : rootLevel_)
        if (list->name() == name) return list.get();
    return nullptr;
}

fs::path FormatDocument::emptyPackageFolder(const std::string& type) {
    return EditorResources::folder() / (type == pluginType ? "Empty File.kplug" : "Empty Format.kfrmt");
}

bool FormatDocument::initWithType(const std::string& type, std::string* error) {
    if (isScriptEditor()) return true;
    virtualOption_ = false;
    if (!readFromURL(emptyPackageFolder(type), type, error)) return false;
    fileURL_.reset();
    return true;
}

bool FormatDocument::readFromURL(const fs::path& path, const std::string& type, std::string* error) {
    if (type != formatType && type != pluginType) return false;
    fileType_ = type;
    try {
        if (type == formatType)
            readFormatAtPath(path);
        else
            readPluginAtPath(path);
    } catch (const NamedException& e) {
        if (e.name() != exception_names::FileReadError) throw;
        rootLevel_.clear();
        if (error) *error = e.message();
        return false;
    }
    fileURL_ = path;
    return true;
}

void FormatDocument::replaceHelpType(const std::string& resourceName) {
    const auto sheet = EditorResources::readUTF8(resourceName, "css");
    if (!sheet || rootLevel_.size() < 2) return;
    ItemList& documentation = *rootLevel_[rootLevel_.size() - 2];
    if (const auto item = documentation.objectNamed("helpType.css")) {
        if (item->text() != *sheet) {
            item->setTemplateObject(Value(*sheet));
            updateChangeCount(true);
        }
        return;
    }
    if (!fileURL_) return;
    const fs::path file = *fileURL_ / "helpType.css";
    std::error_code error;
    if (fs::exists(file, error)) {
        if (readFileBytes(file) == sheet) {
            Logger::log("file is the same");
            return;
        }
        if (!fs::remove(file, error)) Logger::log("Error rejoving previous helpType.css file");
    }
    fs::copy_file(EditorResources::folder() / (resourceName + ".css"), file, error);
    if (error) Logger::log("Error copying helpType.css file to extension or browser style documentation files");
    Logger::log("wrote new file");
}

}  // namespace kl
