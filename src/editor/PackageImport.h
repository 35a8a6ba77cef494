#pragma once
// PackageImport: the naming and sorting rules by which outside files enter
// a format or extension package: an image becomes an item of "Images"
// named after its file, a text file of an extension becomes an item of the
// list its extension says, and any other file is carried in the package
// under a name the "other files" table does not hold yet. No files are
// touched here. Any thread.
#include <filesystem>
#include <optional>
#include <string>

#include "foundation/Value.h"

namespace kl {

class ItemList;

class PackageImport {
public:
    // The item name of an imported image: the file name less its
    // extension, its words joined with "_" ("image" when none), made
    // unique in the list with "_1", "_2", ...
    static std::string imageName(const std::string& fileName, const ItemList& images);
    // The list an imported extension file becomes an item of ("Scripts",
    // "Text Files" or "Documentation"); nullopt for a file that is carried.
    static std::optional<std::string> listForFile(const std::string& fileName);
    // The name a carried file takes: its own, or "name 1.ext", "name 2.ext",
    // ... while the table holds it.
    static std::string carriedName(const std::string& fileName, const Dictionary& otherFiles);
    // The whole file as UTF-8 text; nullopt with *error set when it cannot
    // be read or is not UTF-8.
    static std::optional<std::string> readText(const std::filesystem::path& file, std::string* error);
};

}  // namespace kl
