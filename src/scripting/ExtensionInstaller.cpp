#include "scripting/ExtensionInstaller.h"

#include <system_error>

#include "app/LibraryFolder.h"
#include "foundation/AsciiText.h"
#include "foundation/Logger.h"
#include "foundation/PackageSwap.h"
#include "foundation/PropertyList.h"

namespace kl {

namespace fs = std::filesystem;

namespace {

struct Manifest {
    std::string category;
    std::string menuCommand;
};

Manifest readManifest(const fs::path& item) {
    Manifest manifest;
    if (auto list = PropertyList::readDictionaryFile(item / "manifest.plist")) {
        if (const Value* category = list->get("category"); category && category->isString())
            manifest.category = *category->string();
        if (const Value* command = list->get("menu command"); command && command->isString())
            manifest.menuCommand = *command->string();
    }
    return manifest;
}

bool isFormat(const fs::path& path) { return asciiLower(path.extension().string()) == ".kfrmt"; }

fs::path resolved(const fs::path& path) {
    std::error_code error;
    fs::path real = fs::canonical(path, error);
    return error ? path.lexically_normal() : real;
}

bool sameFile(const fs::path& a, const fs::path& b) {
    std::error_code error;
    return fs::equivalent(a, b, error) && !error;
}

bool copyTree(const fs::path& from, const fs::path& to, std::error_code& error) {
    fs::copy(from, to, fs::copy_options::recursive | fs::copy_options::copy_symlinks, error);
    return !error;
}

std::string relativeName(const fs::path& path, const std::vector<fs::path>& folders) {
    const std::string text = path.string();
    for (const fs::path& folder : folders) {
        const std::string prefix = folder.string() + "/";
        if (text.starts_with(prefix)) return fs::path(text.substr(prefix.size())).replace_extension().string();
    }
    return fs::path(path).replace_extension().string();
}

const char* const kInformative =
    "You can use the \"Documentation...\" command in the \"Extensions\" menu to learn how to use installed "
    "extensions.";

}  // namespace

ExtensionInstaller::ExtensionInstaller(LibraryFolder& library, ExtensionPrompts prompts, fs::path currentFormat)
    : library_(library), prompts_(std::move(prompts)), currentFormat_(std::move(currentFormat)) {}

bool ExtensionInstaller::categoryIsSafe(const std::string& category) {
    if (category.find('\0') != std::string::npos) return false;
    const fs::path path(category);
    if (path.is_absolute()) return false;
    for (const fs::path& part : path)
        if (part == "." || part == "..") return false;
    return true;
}

fs::path ExtensionInstaller::destination(const fs::path& item, Location location, const std::string& category) const {
    const std::string folder = isFormat(item) ? "Formats" : "Scripts";
    fs::path base = resolved(location == UserLibrary ? library_.libraryFile(folder) : library_.rootLibraryFile(folder));
    if (!category.empty()) base /= category;
    return base / PackageSwap::packagePath(item).filename();
}

int ExtensionInstaller::installPlugIns(const std::vector<fs::path>& paths, Location location, int method) {
    int installed = 0;
    Manifest last;
    for (const fs::path& path : paths) {
        if (installOne(path, location, method)) {
            ++installed;
            last = readManifest(path);
        }
    }
    library_.buildScriptsMenu();
    if (method != askAndReport) return installed;
    std::string message = "The installed extensions are now available in the \"Extensions\" menu.";
    if (installed == 1) {
        if (!last.category.empty() && !last.menuCommand.empty())
            message = "The installed extension is now available at " + last.category + "/" + last.menuCommand +
                      " in the \"Extensions\" menu.";
        else if (!last.category.empty())
            message = "The installed extension is now in the \"" + last.category +
                      "\" submenu in the \"Extensions\" menu.";
        else if (!last.menuCommand.empty())
            message = "The installed extension is now available at \"" + last.menuCommand +
                      "\" in the \"Extensions\" menu.";
        else
            message = "The installed extension is now available in the \"Extensions\" menu.";
    }
    if (prompts_.infoAlert) prompts_.infoAlert(message, kInformative);
    return installed;
}

bool ExtensionInstaller::installOne(const fs::path& given, Location location, int method) {
    const fs::path item = PackageSwap::packagePath(given);
    const std::string name = item.filename().string();
    const Manifest manifest = readManifest(item);
    auto critical = [&](const std::string& message, const std::string& informative) {
        if (prompts_.criticalAlert) prompts_.criticalAlert(message, informative);
    };
    if (!categoryIsSafe(manifest.category)) {
        critical("The extension '" + name + "' could not be installed at its requested location",
                 "The extension's category must be a folder name inside the library");
        return false;
    }
    const fs::path target = destination(item, location, manifest.category);
    if (sameFile(item, target)) return true;

    std::error_code error;
    const bool present = fs::exists(fs::symlink_status(target, error));
    if (present) {
        if (method == keepInstalled) return false;
        if (method == askAndReport &&
            !(prompts_.askOverwrite &&
              prompts_.askOverwrite("The extension '" + name + "' is already installed",
                                    "Would you like to overwrite the previous version or skip this installation?")))
            return false;
    }
    // The category's folder, or a library's own Scripts or Formats folder
    // that was never made, is made now.
    {
        const fs::path folder = target.parent_path();
        const fs::file_status status = fs::status(folder, error);
        if (fs::exists(status) && !fs::is_directory(status)) {
            critical("The extension '" + name + "' could not be installed at its requested location",
                     "A non-directory file conflicts with this extension's category");
            return false;
        }
        if (!fs::exists(status)) {
            try {
                LibraryFolder::createLibraryDirectoryAtPath(folder, LibraryFolder::rootLibraryAttributes);
            } catch (const std::exception& e) {
                critical("Error creating folder for extension's '" + name + "' cateogry", e.what());
                return false;
            }
        }
    }
    // The new copy is complete before it takes the old one's place.
    const fs::path written = PackageSwap::siblingOf(target, "installing");
    error.clear();
    PackageSwap::Result placed;
    if (copyTree(item, written, error)) placed = PackageSwap::replacePackage(written, target);
    if (error || !placed) {
        std::error_code ignored;
        fs::remove_all(written, ignored);
        if (method == askAndReport)
            critical("File error copying extension '" + name + "' to it's requested location",
                     error ? error.message() : placed.message);
        return false;
    }
    return true;
}

std::vector<ExtensionInstaller::Candidate> ExtensionInstaller::removalCandidates(Location location) const {
    const LibraryMenus& menus = library_.menus();
    const auto& list = menus.pluginList();
    const std::size_t users = static_cast<std::size_t>(menus.numUserExtensions());
    const std::size_t from = location == UserLibrary ? 0 : users;
    const std::size_t to = location == UserLibrary ? std::min(users, list.size()) : list.size();
    std::vector<Candidate> candidates;
    for (std::size_t n = from; n < to; ++n) {
        const fs::path& path = list[n];
        const bool format = isFormat(path);
        if (format && !currentFormat_.empty() && path == currentFormat_) continue;
        std::string name;
        if (fs::exists(path / "manifest.plist")) {
            const Manifest manifest = readManifest(path);
            name = manifest.menuCommand.empty() ? path.stem().string() : manifest.menuCommand;
            if (!manifest.category.empty()) name = manifest.category + " - " + name;
        } else {
            const std::string folder = format ? "Formats" : "Scripts";
            name = relativeName(path, {library_.rootLibraryFile(folder), library_.libraryFile(folder)});
        }
        if (format) {
            if (name.starts_with("Browser Styles/")) name = name.substr(std::string("Browser Styles/").size());
            name = "Browser Styles - " + name;
        }
        candidates.push_back({path, name});
    }
    return candidates;
}

void ExtensionInstaller::removePlugins(Location location) {
    const std::vector<Candidate> candidates = removalCandidates(location);
    if (candidates.empty()) {
        if (prompts_.beep) prompts_.beep();
        return;
    }
    if (!prompts_.choose) return;
    Array names;
    for (const Candidate& candidate : candidates) names.emplace_back(candidate.name);
    Dictionary arguments;
    arguments.set("title", Value("Plugin Removal"));
    arguments.set("prompt", Value("Select one or more plug ins to remove"));
    arguments.set("listItems", Value(std::move(names)));
    arguments.set("buttons", Value(Array{Value("Remove"), Value("Cancel")}));
    arguments.set("multiple", Value(true));
    const Array answer = prompts_.choose(arguments);
    if (answer.size() < 3 || answer[0].toString() != "Remove" || !answer[2].isArray()) return;
    for (const Value& row : *answer[2].array()) {
        const std::int64_t index = row.toInteger() - 1;
        if (index < 0 || index >= static_cast<std::int64_t>(candidates.size())) continue;
        const fs::path& path = candidates[static_cast<std::size_t>(index)].path;
        std::error_code error;
        if (!fs::exists(fs::symlink_status(path, error))) {
            Logger::log("Extension {} not found and could not be deleted", path.string());
            continue;
        }
        fs::remove_all(path, error);
        if (error) {
            if (prompts_.criticalAlert) prompts_.criticalAlert("File error removing a selected plug in.", error.message());
            return;
        }
    }
    library_.buildScriptsMenu();
}

}  // namespace kl
