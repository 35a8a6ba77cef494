// Writing format and extension packages. A save writes the whole package
// into a hidden sibling folder and swaps it in only when every file is
// written, so a failed save leaves the old package as it was.
#include "editor/FormatDocument.h"
#include "foundation/PackageSwap.h"
#include "foundation/PropertyList.h"
#include "script/Templates.h"

namespace kl {

namespace fs = std::filesystem;

namespace {

bool entryExists(const fs::path& path) {
    std::error_code error;
    return fs::exists(fs::symlink_status(path, error));
}

bool copyEntry(const fs::path& from, const fs::path& to) {
    std::error_code error;
    fs::create_directories(to.parent_path(), error);
    fs::copy(from, to, fs::copy_options::recursive | fs::copy_options::copy_symlinks, error);
    return !error;
}

std::string folderText(const fs::path& folder) { return folder.string() + "/"; }

}  // namespace

bool FormatDocument::saveVCFiles(const std::string& name, const fs::path& from, const fs::path& to,
                                 const std::string& newName) {
    if (!entryExists(from / name)) return true;
    return copyEntry(from / name, to / newName);
}

std::optional<std::string> FormatDocument::writeContentsToPkg(const fs::path& folder,
                                                              const std::optional<fs::path>& fromPath) const {
    std::error_code error;
    if (!fs::create_directory(folder, error) || error) return "Could not create new file";
    if (list(4).count() > 0 && (!fs::create_directory(folder / "images", error) || error))
        return "Could not create images directory";
    const Dictionary version{{"KLFormatVersionID", Templates::applicationFormatVersion}};
    if (!PropertyList::writeFile(Value(version), folder / "formatVersion.plist", nullptr, false))
        return "Could not write the format version information";
    for (const ListPtr& list : rootLevel_)
        if (!list->writeToFile(folderText(folder), images_)) return "Could not save a template";
    if (!fromPath) return std::nullopt;
    const fs::path from = PackageSwap::packagePath(*fromPath);
    for (const char* name : {".svn", "CVS", "images/.svn", "images/CVS"})
        if (!saveVCFiles(name, from, folder, name)) return "Error copying version control files";
    // What the layout does not read survives the save, as an extension's
    // other files do.
    for (const std::string& name : carriedFormatFiles_)
        if (!entryExists(folder / name) && entryExists(from / name)) copyEntry(from / name, folder / name);
    return std::nullopt;
}

std::optional<std::string> FormatDocument::writeContentsToPlugin(const fs::path& folder,
                                                                 const std::optional<fs::path>& fromPath) const {
    std::error_code error;
    if (!fs::create_directory(folder, error) || error) return "Could not create new file";
    for (const ListPtr& list : rootLevel_)
        if (!list->writeToFile(folderText(folder), images_)) return "Could not save an extension item";
    if (!fromPath) return std::nullopt;
    const ItemList* properties = listForType(PropertyListType);
    const Value* others = properties ? properties->templateNamed("other files") : nullptr;
    if (!others || !others->dictionary()) return std::nullopt;
    const fs::path from = PackageSwap::packagePath(*fromPath);
    const Dictionary& names = *others->dictionary();
    for (std::size_t i = 0; i < names.size(); ++i) {
        const std::string& name = names.keyAt(i);
        const std::string newName = names.valueAt(i).toString();
        const fs::path target = folder / (newName.empty() ? name : newName);
        // Names that no longer exist, and copies that fail, are passed over.
        if (entryExists(from / name) && !entryExists(target)) copyEntry(from / name, target);
    }
    return std::nullopt;
}

bool FormatDocument::writeToURL(const fs::path& path, const std::string& type,
                                const std::optional<fs::path>& originalContents, std::string* error) {
    if (type != formatType && type != pluginType) return false;
    replaceHelpType(virtualOption_ ? "helpAS" : "helpType");
    const fs::path target = PackageSwap::packagePath(path);
    const fs::path written = PackageSwap::siblingOf(target, "saving");
    std::optional<std::string> failure = type == formatType ? writeContentsToPkg(written, originalContents)
                                                            : writeContentsToPlugin(written, originalContents);
    if (!failure && !PackageSwap::replacePackage(written, target)) failure = "Could not create new file";
    if (failure) {
        std::error_code ignored;
        fs::remove_all(written, ignored);
        if (error) *error = *failure;
        return false;
    }
    undoManager().removeAllActions();
    return true;
}

bool FormatDocument::saveToURL(const fs::path& path, std::string* error) {
    if (!writeToURL(path, fileType_, fileURL_, error)) return false;
    fileURL_ = PackageSwap::packagePath(path);
    updateChangeCount(false);
    return true;
}

}  // namespace kl
