#pragma once
// LibraryMenus: the contents of the menus built from the library folders,
// as plain data the desktop layer turns into menus: the Extensions menu
// (user and System scripts, extensions and interface formats, in category
// submenus), the Bookmarks menu and the documentation menu. Items of the
// Extensions menu carry tags that index pluginList(), the paths of the
// files behind them, so that a chosen item finds its file.
//
// Folders are listed in name order, so the menus read the same on every
// file system.
//
// Ownership: owned by the library folder; items are values. Main thread.
#include <filesystem>
#include <functional>
#include <map>
#include <optional>
#include <string>
#include <vector>

namespace kl {

struct LibraryMenuItem {
    explicit LibraryMenuItem(std::string title = {}) : title(std::move(title)) {}

    std::string title;
    int tag = -1;  // index into pluginList(); -1 for headings, categories and bookmarks
    bool separator = false;
    bool checked = false;
    std::filesystem::path path;  // the file behind the item, when there is one
    std::vector<LibraryMenuItem> submenu;
};

class LibraryMenus {
public:
    enum Which { BothLibraries = 0, UserLibrary = 1, SystemLibrary = 2 };

    // userFolder and systemFolder map a relative path ("Formats",
    // "Scripts/Tools") to the folder in each library.
    using FolderOf = std::function<std::filesystem::path(const std::string& relative)>;
    LibraryMenus(FolderOf userFolder, FolderOf systemFolder);

    static const std::vector<std::string>& extensionKinds();

    // The Extensions menu above its fixed items; then the documentation
    // menu (for the given format language) and the current format's mark.
    void buildScriptsMenu(const std::string& language, const std::string& currentFormat);
    void buildBookmarksMenu();
    // Items inserted; fills pluginList() for every kind but "webloc".
    int fillLibraryMenu(std::vector<LibraryMenuItem>& menu, const std::vector<std::string>& paths, Which which,
                        const std::vector<std::string>& extensions);
    void fillDocumentationMenu(const std::string& language);
    // Marks the item of the current format (a full path) and only it.
    void checkCurrentFormat(const std::string& currentFormat);

    const std::vector<LibraryMenuItem>& scriptsMenu() const { return scriptsMenu_; }
    const std::vector<LibraryMenuItem>& bookmarksMenu() const { return bookmarksMenu_; }
    const std::vector<LibraryMenuItem>& documentationMenu() const { return documentationMenu_; }
    const std::vector<std::filesystem::path>& pluginList() const { return pluginList_; }
    int numUserExtensions() const { return numUserExtensions_; }
    std::optional<std::filesystem::path> plugInAtIndex(int tag) const;
    // Menu tags 8003 and 8005: enabled only with user extensions, only
    // with any extensions.
    bool validateMenuTag(int tag) const;

private:
    int fillFromFolder(std::vector<LibraryMenuItem>& menu, int& at, const std::filesystem::path& folder,
                       const std::string& path, Which which, Which pass, const std::vector<std::string>& extensions);
    std::string getItemTitle(const std::string& name, const std::filesystem::path& folder, const std::string& kind);

    FolderOf userFolder_;
    FolderOf systemFolder_;
    std::vector<LibraryMenuItem> scriptsMenu_;
    std::vector<LibraryMenuItem> bookmarksMenu_;
    std::vector<LibraryMenuItem> documentationMenu_;
    std::vector<std::filesystem::path> pluginList_;
    int numUserExtensions_ = 0;
};

}  // namespace kl
