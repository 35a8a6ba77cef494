// Reading format and extension packages into the document's item lists.
#include <algorithm>

#include "editor/EditorResources.h"
#include "editor/FormatDocument.h"
#include "editor/ImagePort.h"
#include "foundation/AsciiText.h"
#include "foundation/Exception.h"
#include "foundation/PropertyList.h"
#include "model/SingleByteCodec.h"
#include "model/wex.h"
#include "script/Templates.h"

namespace kl {

namespace fs = std::filesystem;

namespace {

constexpr const char* kTemplateError = "Error reading a template in a format file.";
constexpr const char* kFormatListError = "Error reading a property list in a format file.";
constexpr const char* kDocumentationError = "Error reading a documentation file in a format file.";
constexpr const char* kImageError = "Error reading an image in a format file.";
constexpr const char* kPluginTextError = "Error reading a script or text file in an extension.";
constexpr const char* kPluginListError = "Error reading a property list in an extension file.";

[[noreturn]] void readError(const char* reason) { raise(exception_names::FileReadError, reason); }

// The names of a folder's entries, sorted so that a read does not depend
// on the file system's order; nullopt when the folder cannot be listed.
std::optional<std::vector<std::string>> entriesOf(const fs::path& folder) {
    std::error_code error;
    if (!fs::is_directory(folder, error)) return std::nullopt;
    std::vector<std::string> names;
    for (fs::directory_iterator it(folder, error), end; !error && it != end; it.increment(error))
        names.push_back(it->path().filename().string());
    if (error) return std::nullopt;
    std::sort(names.begin(), names.end());
    return names;
}

bool samePlace(const fs::path& a, const fs::path& b) {
    std::error_code error;
    return fs::equivalent(a, b, error);
}

// Puts every entry of the empty package that the package lacks into it,
// so that a package made by hand gains what the layout expects.
void copyMissingEntries(const fs::path& empty, const fs::path& package) {
    if (samePlace(empty, package)) return;
    const auto names = entriesOf(empty);
    if (!names) return;
    for (const std::string& name : *names) {
        std::error_code error;
        if (fs::exists(fs::symlink_status(package / name, error))) continue;
        fs::copy(empty / name, package / name, fs::copy_options::recursive, error);
    }
}

// The package's entries; raises the reason when there are none to read.
std::vector<std::string> listPackage(const fs::path& package, const fs::path& empty, const char* reason) {
    const auto before = entriesOf(package);
    if (!before || before->empty()) readError(reason);
    copyMissingEntries(empty, package);
    const auto names = entriesOf(package);
    if (!names) readError(reason);
    return *names;
}

std::optional<std::string> readUTF8File(const fs::path& file) {
    auto bytes = readFileBytes(file);
    if (!bytes || !isValidUTF8(*bytes)) return std::nullopt;
    return bytes;
}

std::optional<std::string> readMacRomanFile(const fs::path& file) {
    auto bytes = readFileBytes(file);
    if (!bytes) return std::nullopt;
    return SingleByteCodec::forEncoding(TextEncoding::MacOSRoman)->decode(*bytes).text;
}

Dictionary readDictionary(const fs::path& file, const char* reason) {
    auto list = PropertyList::readDictionaryFile(file);
    if (!list) readError(reason);
    return std::move(*list);
}

bool endsWith(const std::string& text, std::string_view tail) {
    return text.size() >= tail.size() && text.compare(text.size() - tail.size(), tail.size(), tail) == 0;
}

bool isDirectory(const fs::path& path) {
    std::error_code error;
    return fs::is_directory(path, error);
}

// The list of a format template by the last words of its name.
std::int32_t templateTypeOf(const std::string& name) {
    if (wex::getLastWord(name) != "Editing") return SubroutinesType;
    return wex::getLastWord(wex::deleteLastWord(name)) == "Record" ? RecordEditingType : TagEditingType;
}

bool isVersionControl(const std::string& name) { return name == ".svn" || name == "CVS"; }

// A manifest's choices: a dictionary, or a lone script name made into the
// one-entry dictionary Kinlore II runs without asking.
Value choicesOf(const Value* main) {
    if (!main) return Value(Dictionary{});
    if (const std::string* script = main->string()) return Value(Dictionary{{*script, *script}});
    return *main;
}

}  // namespace

// ---- formats

void FormatDocument::readFormatAtPath(const fs::path& path) {
    const std::vector<std::string> names =
        listPackage(path, emptyPackageFolder(formatType), "The format file is missing or empty.");
    makeLists(false);
    carriedFormatFiles_.clear();
    double version = 0;
    for (const std::string& name : names) readFormatEntry(path, name, version);
    readFormatImages(path);
    if (static_cast<float>(version) < convertedFormatVersion || names.empty()) list(3).updateArchivedDictionaries();
    for (const ListPtr& list : rootLevel_) list->sortTemplates();
}

void FormatDocument::readFormatEntry(const fs::path& folder, const std::string& name, double& version) {
    const fs::path file = folder / name;
    if (name == "images" || isVersionControl(name) || name == ".DS_Store") return;
    if (isDirectory(file)) {
        carriedFormatFiles_.push_back(name);
    } else if (endsWith(name, ".txt")) {
        auto text = readUTF8File(file);
        if (!text) readError(kTemplateError);
        const std::string stem = name.substr(0, name.size() - 4);
        const std::int32_t type = templateTypeOf(stem);
        list(static_cast<std::size_t>(type)).addTemplate(Value(std::move(*text)), stem);
    } else if (name == "Editing.plist") {
        const Dictionary editing = readDictionary(file, kFormatListError);
        ItemList& properties = list(3);
        const Value* colors = editing.get("Colors");
        const Value* fonts = editing.get("Fonts");
        const Value* variables = editing.get("Variables");
        properties.addTemplate(colors ? *colors : Value(Dictionary{}), "Editing Colors", EditingColorsType);
        properties.addTemplate(fonts ? *fonts : Value(Dictionary{}), "Editing Fonts", EditingFontsType);
        properties.addTemplate(variables ? *variables : Value(), "Editing Properties", EditingPropertiesType);
    } else if (name == "formatVersion.plist") {
        version = Templates::readFormatVersion(file);
    } else if (endsWith(name, ".plist")) {
        list(3).addTemplate(Value(readDictionary(file, kFormatListError)), name.substr(0, name.size() - 6));
    } else if (hasExtensionAmong(name, {"html", "htm", "css"})) {
        auto text = readMacRomanFile(file);
        if (!text) readError(kDocumentationError);
        list(5).addTemplate(Value(std::move(*text)), name);
    } else {
        // Kinlore II passes over what it does not read; a save keeps it.
        carriedFormatFiles_.push_back(name);
    }
}

void FormatDocument::readFormatImages(const fs::path& folder) {
    const fs::path imagesFolder = folder / "images";
    if (!isDirectory(imagesFolder)) return;
    const auto names = entriesOf(imagesFolder);
    if (!names) readError(kImageError);
    for (const std::string& name : *names) {
        // Folders of version control, and the notes desktops leave behind
        // (".DS_Store", ".directory"), are no images of the format.
        if (isVersionControl(name) || name.starts_with(".")) continue;
        std::shared_ptr<Object> image = images_ ? images_->readImage(imagesFolder / name) : nullptr;
        if (!image) readError(kImageError);
        list(4).addTemplate(Value(std::move(image)), deletingPathExtension(name));
    }
}

// ---- extensions

void FormatDocument::readPluginAtPath(const fs::path& path) {
    const std::vector<std::string> names =
        listPackage(path, emptyPackageFolder(pluginType), "The plug in file is missing or empty.");
    makeLists(true);
    carriedFormatFiles_.clear();
    Dictionary otherFiles;
    for (const std::string& name : names) readPluginEntry(path, name, otherFiles);
    list(2).addTemplate(Value(std::move(otherFiles)), "other files");
    for (const ListPtr& list : rootLevel_) list->sortTemplates();
}

void FormatDocument::readPluginEntry(const fs::path& folder, const std::string& name, Dictionary& otherFiles) {
    const fs::path file = folder / name;
    if (name == ".DS_Store") return;
    const bool script = hasExtensionAmong(name, {"py", "klscpt"});
    if (isDirectory(file)) {
        otherFiles.set(name, Value(""));
    } else if (script || hasExtensionAmong(name, {"txt", "tex"})) {
        auto text = readUTF8File(file);
        if (!text) readError(kPluginTextError);
        list(script ? 0 : 1).addTemplate(Value(std::move(*text)), name);
    } else if (name == "manifest.plist") {
        Dictionary manifest = readDictionary(file, kPluginListError);
        ItemList& properties = list(2);
        properties.addTemplate(choicesOf(manifest.get("main")), "main choices");
        properties.addTemplate(choicesOf(manifest.get("main SD")), "main choices SD");
        manifest.remove("main");
        manifest.remove("main SD");
        properties.addTemplate(Value(std::move(manifest)), "manifest");
    } else if (hasExtensionAmong(name, {"plist"})) {
        list(2).addTemplate(Value(readDictionary(file, kPluginListError)), deletingPathExtension(name));
    } else if (hasExtensionAmong(name, {"html", "htm", "css"})) {
        auto text = readMacRomanFile(file);
        if (!text) readError(kDocumentationError);
        list(3).addTemplate(Value(std::move(*text)), name);
    } else {
        otherFiles.set(name, Value(""));
    }
}

}  // namespace kl
