#include "app/LibraryMenus.h"

#include <algorithm>
#include <system_error>

#include "foundation/AsciiText.h"
#include "foundation/PropertyList.h"

namespace kl {

namespace fs = std::filesystem;

namespace {

constexpr int userExtensionsTag = 8003;
constexpr int anyExtensionsTag = 8005;

std::optional<std::vector<fs::directory_entry>> listFolder(const fs::path& folder) {
    std::error_code error;
    fs::directory_iterator it(folder, error);
    if (error) {
        const fs::path resolved = fs::canonical(folder, error);
        if (error) return std::nullopt;
        it = fs::directory_iterator(resolved, error);
        if (error) return std::nullopt;
    }
    std::vector<fs::directory_entry> entries;
    for (const auto& entry : it) entries.push_back(entry);
    std::sort(entries.begin(), entries.end(),
              [](const auto& a, const auto& b) { return a.path().filename() < b.path().filename(); });
    return entries;
}

std::string kindOf(const fs::path& name) {
    const std::string extension = name.extension().string();
    return extension.empty() ? std::string() : asciiLower(extension.substr(1));
}

bool isFolder(const fs::directory_entry& entry) {
    std::error_code error;
    return entry.is_directory(error);
}

bool isFile(const fs::path& path) {
    std::error_code error;
    return fs::is_regular_file(path, error);
}

LibraryMenuItem heading(std::string title) { return LibraryMenuItem(std::move(title)); }

void uncheck(std::vector<LibraryMenuItem>& menu) {
    for (auto& item : menu) {
        item.checked = false;
        uncheck(item.submenu);
    }
}

void checkFormat(std::vector<LibraryMenuItem>& menu, const fs::path& format) {
    for (auto& item : menu) {
        if (!item.path.empty() && kindOf(item.path) == "kfrmt" && item.path == format) item.checked = true;
        checkFormat(item.submenu, format);
    }
}

}  // namespace

LibraryMenus::LibraryMenus(FolderOf userFolder, FolderOf systemFolder)
    : userFolder_(std::move(userFolder)), systemFolder_(std::move(systemFolder)) {}

const std::vector<std::string>& LibraryMenus::extensionKinds() {
    static const std::vector<std::string> kinds{"scpt", "applescript", "py", "kplug", "kfrmt", "klscpt"};
    return kinds;
}

void LibraryMenus::buildScriptsMenu(const std::string& language, const std::string& currentFormat) {
    pluginList_.clear();
    numUserExtensions_ = 0;
    scriptsMenu_.clear();
    fillLibraryMenu(scriptsMenu_, {"Formats", "Scripts"}, BothLibraries, extensionKinds());
    fillDocumentationMenu(language);
    checkCurrentFormat(currentFormat);
}

void LibraryMenus::buildBookmarksMenu() {
    bookmarksMenu_.clear();
    fillLibraryMenu(bookmarksMenu_, {"Bookmarks"}, UserLibrary, {"webloc"});
}

int LibraryMenus::fillLibraryMenu(std::vector<LibraryMenuItem>& menu, const std::vector<std::string>& paths,
                                  Which which, const std::vector<std::string>& extensions) {
    int at = 0;
    if (which != SystemLibrary) {
        for (const std::string& path : paths)
            fillFromFolder(menu, at, userFolder_(path), path, which, UserLibrary, extensions);
        if (which == UserLibrary) return at;
        numUserExtensions_ = static_cast<int>(pluginList_.size());
    }
    const std::size_t base = menu.size();
    for (const std::string& path : paths) {
        const fs::path folder = systemFolder_(path);
        if (which == BothLibraries && menu.size() == base) {
            auto entries = listFolder(folder);
            if (!entries || entries->empty()) continue;
            LibraryMenuItem separator;
            separator.separator = true;
            menu.insert(menu.begin() + at, {separator, heading("--- System Extensions ---")});
            at += 2;
        }
        fillFromFolder(menu, at, folder, path, which, SystemLibrary, extensions);
    }
    return at;
}

int LibraryMenus::fillFromFolder(std::vector<LibraryMenuItem>& menu, int& at, const fs::path& folder,
                                 const std::string& path, Which which, Which pass,
                                 const std::vector<std::string>& extensions) {
    auto entries = listFolder(folder);
    if (!entries || entries->empty()) return at;
    if (pass == UserLibrary && which == BothLibraries && at == 0) menu.insert(menu.begin() + at++, heading("--- User Extensions ---"));
    const bool styles = path == "Formats";
    std::vector<LibraryMenuItem> stylesMenu;
    auto add = [&](LibraryMenuItem item) {
        if (styles)
            stylesMenu.push_back(std::move(item));
        else
            menu.insert(menu.begin() + at++, std::move(item));
    };
    std::vector<std::string> categories;
    for (const auto& entry : *entries) {
        const std::string name = entry.path().filename().string();
        const std::string kind = kindOf(name);
        if (std::find(extensions.begin(), extensions.end(), kind) != extensions.end()) {
            LibraryMenuItem item(getItemTitle(name, folder, kind));
            if (kind != "webloc") item.tag = static_cast<int>(pluginList_.size()) - 1;
            item.path = folder / name;
            add(std::move(item));
        } else if (isFolder(entry)) {
            categories.push_back(name);
        }
    }
    for (const std::string& category : categories) {
        LibraryMenuItem item(category);
        fillLibraryMenu(item.submenu, {path + "/" + category}, pass, extensions);
        if (!item.submenu.empty()) add(std::move(item));
    }
    if (!stylesMenu.empty()) {
        LibraryMenuItem item("Browser Styles");
        item.submenu = std::move(stylesMenu);
        menu.insert(menu.begin() + at++, std::move(item));
    }
    return at;
}

std::string LibraryMenus::getItemTitle(const std::string& name, const fs::path& folder, const std::string& kind) {
    if (kind != "webloc") pluginList_.push_back(folder / name);
    if (kind == "kplug") {
        if (auto manifest = PropertyList::readDictionaryFile(folder / name / "manifest.plist"))
            if (const Value* command = manifest->get("menu command"); command && command->isString())
                return *command->string();
    }
    return fs::path(name).stem().string();
}

void LibraryMenus::fillDocumentationMenu(const std::string& language) {
    documentationMenu_.clear();
    for (std::size_t n = 0; n < pluginList_.size(); ++n) {
        const fs::path& package = pluginList_[n];
        const std::string kind = kindOf(package);
        std::string title;
        fs::path help;
        if (kind == "kplug") {
            auto manifest = PropertyList::readDictionaryFile(package / "manifest.plist");
            const Value* file = manifest ? manifest->get("help") : nullptr;
            if (!file || !file->isString() || !isFile(package / *file->string())) continue;
            help = package / *file->string();
            const Value* command = manifest->get("menu command");
            title = command && command->isString() ? *command->string() : package.stem().string();
            if (const Value* category = manifest->get("category"); category && category->isString())
                title = *category->string() + " - " + title;
        } else if (kind == "kfrmt") {
            help = package / (language + ".html");
            if (!isFile(help)) help = package / "English.html";
            if (!isFile(help)) continue;
            title = "Browser Style - " + package.stem().string();
        } else {
            continue;
        }
        if (static_cast<int>(n) < numUserExtensions_) title = "User: " + title;
        LibraryMenuItem item(title);
        item.tag = static_cast<int>(n);
        item.path = help;
        documentationMenu_.push_back(std::move(item));
    }
}

void LibraryMenus::checkCurrentFormat(const std::string& currentFormat) {
    uncheck(scriptsMenu_);
    checkFormat(scriptsMenu_, fs::path(currentFormat));
}

std::optional<fs::path> LibraryMenus::plugInAtIndex(int tag) const {
    if (tag < 0 || tag >= static_cast<int>(pluginList_.size())) return std::nullopt;
    return pluginList_[static_cast<std::size_t>(tag)];
}

bool LibraryMenus::validateMenuTag(int tag) const {
    if (tag == anyExtensionsTag) return !pluginList_.empty();
    if (tag == userExtensionsTag) return numUserExtensions_ != 0;
    return true;
}

}  // namespace kl
