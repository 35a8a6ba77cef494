#include "editor/PackageImport.h"

#include <cstring>
#include <fstream>
#include <iterator>

#include "editor/ItemList.h"
#include "foundation/AsciiText.h"
#include "foundation/Utf8.h"
#include "model/wex.h"

namespace kl {

std::string PackageImport::imageName(const std::string& fileName, const ItemList& images) {
    std::string base;
    for (const std::string& word : wex::notWhiteArgs(deletingPathExtension(fileName))) {
        if (word.empty()) continue;
        if (!base.empty()) base += "_";
        base += word;
    }
    if (base.empty()) base = "image";
    std::string name = base;
    for (int n = 1; !images.uniqueName(name); ++n) name = base + "_" + std::to_string(n);
    return name;
}

std::optional<std::string> PackageImport::listForFile(const std::string& fileName) {
    if (hasExtensionAmong(fileName, {"py", "klscpt"})) return "Scripts";
    if (hasExtensionAmong(fileName, {"txt", "tex"})) return "Text Files";
    if (hasExtensionAmong(fileName, {"html", "htm", "css"})) return "Documentation";
    return std::nullopt;
}

std::string PackageImport::carriedName(const std::string& fileName, const Dictionary& otherFiles) {
    const std::string extension = pathExtension(fileName);
    const std::string base = deletingPathExtension(fileName);
    std::string name = fileName;
    // A name without extension takes no trailing full stop.
    for (int n = 1; otherFiles.contains(name); ++n)
        name = base + " " + std::to_string(n) + (extension.empty() ? "" : "." + extension);
    return name;
}

std::optional<std::string> PackageImport::readText(const std::filesystem::path& file, std::string* error) {
    std::ifstream in(file, std::ios::binary);
    if (!in) {
        if (error) *error = std::strerror(errno);
        return std::nullopt;
    }
    std::string text((std::istreambuf_iterator<char>(in)), std::istreambuf_iterator<char>());
    if (in.bad()) {
        if (error) *error = "The file could not be read.";
        return std::nullopt;
    }
    for (std::size_t at = 0, count = 0; at < text.size(); at += count) {
        if (utf8::decodeAt(text, at, &count) == utf8::ReplacementCharacter && count == 1) {
            if (error) *error = "The file is not UTF-8 text.";
            return std::nullopt;
        }
    }
    return text;
}

}  // namespace kl
