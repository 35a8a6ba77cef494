// Format loading and the template stacks.
#include "script/Templates.h"

#include <algorithm>
#include <fstream>
#include <sstream>
#include <system_error>

#include "foundation/Exception.h"
#include "foundation/Logger.h"
#include "foundation/NotificationCenter.h"
#include "foundation/PropertyList.h"
#include "foundation/ResourceFolder.h"
#include "foundation/TildePath.h"
#include "model/TextEncoding.h"

namespace kl {

namespace fs = std::filesystem;

namespace {

constexpr const char* editingList = "Editing.plist";
constexpr const char* versionList = "formatVersion.plist";

bool endsWith(const std::string& text, std::string_view tail) {
    return text.size() >= tail.size() && text.compare(text.size() - tail.size(), tail.size(), tail) == 0;
}

std::optional<std::string> readText(const fs::path& path, std::string& reason) {
    std::ifstream in(path, std::ios::binary);
    if (!in) {
        reason = std::error_code(errno, std::generic_category()).message();
        return std::nullopt;
    }
    std::ostringstream text;
    text << in.rdbuf();
    if (in.bad()) {
        reason = "read failed";
        return std::nullopt;
    }
    if (!isValidUTF8(text.view())) {
        reason = "the text is not UTF-8";
        return std::nullopt;
    }
    return text.str();
}

// The top-level names of the folder, sorted so that a load does not depend
// on the file system's order; nullopt when the folder cannot be listed.
std::optional<std::vector<std::string>> listFolder(const fs::path& folder) {
    std::error_code error;
    fs::directory_iterator it(folder, error);
    if (error) return std::nullopt;
    std::vector<std::string> names;
    for (const fs::directory_entry& entry : it) names.push_back(entry.path().filename().string());
    std::sort(names.begin(), names.end());
    return names;
}

}  // namespace

double Templates::readFormatVersion(const fs::path& path) {
    const auto list = PropertyList::readDictionaryFile(path);
    if (!list) return 0;
    const Value* version = list->get("KLFormatVersionID");
    if (!version) return 0;
    if (version->isString()) {
        try {
            return std::stod(version->toString());
        } catch (const std::exception&) {
            return 0;
        }
    }
    return version->toReal();
}

Templates::Templates(TemplatesDelegate* library, UserDefaults* defaults) : library_(library), defaults_(defaults) {}

UserDefaults& Templates::defaults() const { return defaults_ ? *defaults_ : UserDefaults::standard(); }

void Templates::setTemplatesByName(Dictionary templates) {
    templatesByName_ = std::move(templates);
    compiledTemplatesByName_.clear();
}

void Templates::readFormatAtPath(const std::string& path) {
    if (library_) library_->saveCurrentFormat();
    std::string folderText = expandTilde(path);
    while (folderText.size() > 1 && folderText.back() == '/') folderText.pop_back();
    const fs::path folder(folderText);
    const auto names = listFolder(folder);
    if (!names || names->empty()) raise(exception_names::FileReadError, "The format file is missing or empty.");
    if (std::find(names->begin(), names->end(), editingList) == names->end())
        raise(exception_names::FileReadError, "The format file is missing required Editing properties element.");

    // Everything that can fail is read before the loaded format is
    // touched, so a format that fails to open leaves the previous one
    // whole instead of its folder paired with another format's templates.
    FormatFiles files = readTemplateFiles(folder, *names);
    if (library_) library_->createEditingPreferences(folder / editingList);
    templatesByName_ = std::move(files.templates);
    compiledTemplatesByName_.clear();
    languages_ = std::move(files.languages);
    formatVersion_ = files.version;
    loadLanguage(folder);
    if (library_) {
        library_->createIndiFamEvents(folder / "INDIEvents.plist", "INDI");
        library_->createIndiFamEvents(folder / "FAMEvents.plist", "FAM");
    }
    readResourceTemplates();

    templateFolder_ = folderText + "/";
    defaults().setObject(Value(abbreviateWithTilde(folderText)), "Path to current editing format");
    if (library_) library_->checkCurrentFormat();
    NotificationCenter::defaultCenter().post("Editing Font Changed Notification", this);

    if (formatVersion_ > applicationFormatVersion && library_)
        library_->infoAlert("The interface format '" + folder.stem().string() +
                                "' was created by a newer version of Kinlore II meaning some features may not work.",
                            "Updating to the latest version of Kinlore II will solve this problem.");
}

Templates::FormatFiles Templates::readTemplateFiles(const fs::path& folder, const std::vector<std::string>& names) {
    FormatFiles files;
    for (const std::string& name : names) {
        if (endsWith(name, ".txt")) {
            std::string reason;
            auto text = readText(folder / name, reason);
            if (!text) raise(exception_names::FileReadError, "Error reading template '" + name + "': " + reason);
            files.templates.set(name, Value(std::move(*text)));
        } else if (name == versionList) {
            files.version = readFormatVersion(folder / name);
        } else if (name == editingList || name == "INDIEvents.plist" || name == "FAMEvents.plist") {
            continue;
        } else if (endsWith(name, ".plist")) {
            files.languages.push_back(name.substr(0, name.size() - 6));
        }
    }
    return files;
}

void Templates::loadLanguage(const fs::path& folder) {
    language_ = defaults().stringForKey("Preferred format language").value_or("English");
    if (!library_) return;
    if (!language_.empty() && language_.find('/') == std::string::npos &&
        library_->createEditingStrings(folder / (language_ + ".plist")))
        return;
    library_->createEditingStrings(folder / "English.plist");
    language_ = "English";
}

void Templates::readResourceTemplates() {
    for (const char* name : {reportTemplate, reportBodyTemplate}) {
        const auto path = ResourceFolder::pathForResource(name, "");
        std::string reason = "not found";
        std::optional<std::string> text;
        if (path) text = readText(*path, reason);
        if (!text) {
            Logger::log("Error reading required template '{}' : {}", std::string(name), reason);
            continue;
        }
        templatesByName_.set(name, Value(std::move(*text)));
    }
}

void Templates::changeLanguage(const std::string& language) {
    const bool loaded = library_ && language.find('/') == std::string::npos &&
                        library_->createEditingStrings(templateFilePath(language + ".plist"));
    language_ = loaded ? language : "English";
    NotificationCenter::defaultCenter().post("Editing Font Changed Notification", this);
}

fs::path Templates::templateFilePath(const std::string& name) const { return fs::path(templateFolder_ + name); }

void Templates::installFormat(const fs::path& source, const fs::path& toPath, std::optional<fs::perms> perms) {
    std::error_code error;
    fs::remove_all(toPath, error);
    error.clear();
    fs::copy(source, toPath, fs::copy_options::recursive, error);
    if (error) {
        fs::remove_all(toPath, error);
        raise(exception_names::FileReadError, "Could not install format in Application Support folder.");
    }
    if (perms) fs::permissions(toPath, *perms, fs::perm_options::replace, error);
}

// ---- Stacks -------------------------------------------------------------

void Templates::startStack() {
    templateStack_.clear();
    tagStack_.clear();
}

void Templates::removeLastTemplate(bool withContents) {
    if (!templateStack_.empty()) templateStack_.pop_back();
    if (withContents && !tagStack_.empty()) tagStack_.pop_back();
}

std::optional<std::string> Templates::currentTemplate() const {
    if (templateStack_.empty()) return std::nullopt;
    return templateStack_.back();
}

std::string Templates::currentTagPath() const {
    std::string path;
    for (const std::string& tag : tagStack_) {
        if (!path.empty()) path += ' ';
        path += tag;
    }
    return path;
}

std::string Templates::parentTag() const {
    return tagStack_.size() < 2 ? std::string() : tagStack_[tagStack_.size() - 2];
}

}  // namespace kl
