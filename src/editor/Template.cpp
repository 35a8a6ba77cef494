#include "editor/Template.h"

#include <algorithm>
#include <array>

#include "editor/ImagePort.h"
#include "foundation/AsciiText.h"
#include "foundation/PropertyList.h"
#include "model/TextEncoding.h"
#include "model/wex.h"

namespace kl {

namespace fs = std::filesystem;

std::string pathExtension(const std::string& name) {
    const std::string ext = fs::path(name).extension().string();
    return ext.empty() ? ext : ext.substr(1);
}

std::string deletingPathExtension(const std::string& name) {
    const std::string ext = fs::path(name).extension().string();
    return name.substr(0, name.size() - ext.size());
}

bool hasExtensionAmong(const std::string& name, std::initializer_list<std::string_view> extensions) {
    const std::string ext = asciiLower(pathExtension(name));
    return std::find(extensions.begin(), extensions.end(), ext) != extensions.end();
}

namespace {

bool writeBytes(const fs::path& file, std::string_view bytes) {
    std::FILE* out = std::fopen(file.c_str(), "wb");
    if (!out) return false;
    const bool wrote = std::fwrite(bytes.data(), 1, bytes.size(), out) == bytes.size();
    return std::fclose(out) == 0 && wrote;
}

bool isOneOf(const std::string& name, std::initializer_list<std::string_view> names) {
    return std::find(names.begin(), names.end(), name) != names.end();
}

std::string joined(const std::vector<std::string>& words) {
    std::string out;
    for (const std::string& word : words) {
        if (!out.empty()) out += ' ';
        out += word;
    }
    return out;
}

}  // namespace

Template::Template(std::string name, Value object, bool plugin)
    : templateObject_(std::move(object)), name_(std::move(name)), isPlugin_(plugin) {}

std::optional<std::string> Template::unsafeName(const std::string& name) {
    if (name.find('/') != std::string::npos || name.find('\0') != std::string::npos || name == "." ||
        name == "..")
        return "Names cannot contain '/' or be '.' or '..'";
    return std::nullopt;
}

std::optional<std::string> Template::validName(const std::string& newName, std::string* error) const {
    auto refuse = [&](const char* message) -> std::optional<std::string> {
        if (error) *error = message;
        return std::nullopt;
    };
    if (wex::isAllWhite(newName)) return refuse("The name can not be blank");
    const std::vector<std::string> words = wex::notWhiteArgs(newName);
    std::optional<std::string> result;
    const char* message = "The selected type of template can not change its name";
    switch (type_) {
    case RecordEditingType:
        message = "Record templates must be three words ending in 'Record Editing'";
        if (words.size() == 3 && words[1] == "Record" && words[2] == "Editing") result = joined(words);
        break;
    case TagEditingType:
        if (isPlugin_) {
            message = "Extension text files must end in '.txt' or '.tex'";
            if (isOneOf(pathExtension(newName), {"txt", "tex"})) result = newName;
        } else {
            message = "Tag templates must be two words ending in 'Editing'";
            if (words.size() == 2 && words[1] == "Editing") result = joined(words);
        }
        break;
    case SubroutinesType:
        if (isPlugin_) {
            message = "Extension scripts must end in '.py' or '.klscpt'";
            if (isOneOf(pathExtension(newName), {"py", "klscpt"})) result = newName;
        } else {
            message = "Subrountines must be one word that is not 'Editing'";
            if (words.size() == 1 && words[0] != "Editing") result = words[0];
        }
        break;
    case DocumentationType:
        message = "Documentation files must have extension 'html', 'htm', or 'css'";
        if (hasExtensionAmong(newName, {"html", "htm", "css"})) result = newName;
        break;
    case PropertyListType: result = newName; break;
    case ImageType:
        message = "Image names must be a single word";
        if (words.size() == 1) result = words[0];
        break;
    default: break;
    }
    if (!result) return refuse(message);
    // The name becomes a file name inside the package on the next save.
    if (auto unsafe = unsafeName(*result)) {
        if (error) *error = *unsafe;
        return std::nullopt;
    }
    return result;
}

std::string Template::nameForTitle() const {
    if (type_ == WorkspaceScriptType) return name_ + " (" + scriptPath_ + ")";
    return name_;
}

std::string Template::templateExtension() const {
    switch (type_) {
    case RecordEditingType:
    case TagEditingType: return isPlugin_ ? "" : "txt";
    case SubroutinesType:
    case WorkspaceScriptType: {
        const std::string ext = asciiLower(pathExtension(name_));
        if (ext == "py" || ext == "klscpt") return ext;
        const std::string lower = asciiLower(text());
        if (lower.find("tell application") != std::string::npos && lower.find("end tell") != std::string::npos)
            return "applescript";
        return "txt";
    }
    case DocumentationType: return pathExtension(name_);
    default: return "";
    }
}

bool Template::canDelete() const {
    switch (type_) {
    case RecordEditingType: return name_ != "_Unknown_ Record Editing";
    case TagEditingType: return name_ != "_Unknown_ Editing";
    case DocumentationType: return name_ != "helpType.css";
    case EditingColorsType:
    case EditingFontsType:
    case EditingPropertiesType: return false;
    case PropertyListType:
        return !isOneOf(name_, {"English", "FAMEvents", "INDIEvents", "manifest", "main choices", "main choices SD",
                                "other files"});
    default: return true;
    }
}

bool Template::canPreview() const {
    return type_ == DocumentationType && hasExtensionAmong(name_, {"html", "htm"});
}

std::string Template::description() const { return "Template: " + name_ + ", Type: " + std::to_string(type_); }

bool Template::writeToFile(const std::string& folder, const ImagePort* images) const {
    switch (type_) {
    case RecordEditingType: return writeBytes(folder + name_ + ".txt", text());
    case TagEditingType:
    case SubroutinesType: return writeBytes(folder + name_ + (isPlugin_ ? "" : ".txt"), text());
    case DocumentationType: {
        const EncodeResult bytes = encode(text(), TextEncoding::MacOSRoman);
        return writeBytes(folder + name_, bytes.bytes);
    }
    case PropertyListType:
        if (name_ == "other files") return true;
        return PropertyList::writeFile(templateObject_, folder + name_ + ".plist", nullptr, false);
    case ImageType: {
        const auto image = templateObject_.object();
        return image && images && images->writePNG(*image, folder + "images/" + name_ + ".png");
    }
    default: return true;
    }
}

}  // namespace kl
