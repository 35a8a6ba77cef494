// Paths, set-up and the current format of the library.
#include "app/LibraryFolder.h"

#include <cstdlib>
#include <system_error>

#include "app/AppController.h"
#include "app/LibraryFolderServices.h"
#include "foundation/Exception.h"
#include "foundation/Logger.h"
#include "foundation/PropertyList.h"
#include "foundation/ResourceFolder.h"
#include "foundation/TildePath.h"
#include "model/wex.h"

namespace kl {

namespace fs = std::filesystem;

namespace {

constexpr const char* inconsistency = "NSInternalInconsistencyException";

std::string withSlash(const fs::path& path) {
    std::string text = path.lexically_normal().string();
    if (text.empty() || text.back() != '/') text += '/';
    return text;
}

std::string withoutSlash(std::string text) {
    while (text.size() > 1 && text.back() == '/') text.pop_back();
    return text;
}

bool isFolder(const fs::path& path) {
    std::error_code error;
    return fs::is_directory(path, error);
}

bool itemExists(const fs::path& path) {
    std::error_code error;
    return fs::exists(fs::symlink_status(path, error));
}

}  // namespace

LibraryFolder::LibraryFolder(UserDefaults& defaults, LibraryPrompts prompts)
    : defaults_(defaults),
      prompts_(std::move(prompts)),
      libraryPath_(withSlash(userDataFolder() / libraryName)),
      rootLibraryPath_(libraryPath_ + "System/"),
      menus_([this](const std::string& relative) { return libraryFile(relative); },
             [this](const std::string& relative) { return rootLibraryFile(relative); }) {
    templates_ = std::make_unique<Templates>(this, &defaults_);
}

LibraryFolder::~LibraryFolder() {
    // The tree goes back to the bare default only if no other folder has
    // published since.
    if (auto mine = published_.lock(); mine && mine == LibraryServices::current()) LibraryServices::setCurrent(nullptr);
}

fs::path LibraryFolder::userDataFolder() {
    const char* xdg = std::getenv("XDG_DATA_HOME");
    if (xdg && *xdg && fs::path(xdg).is_absolute()) return fs::path(xdg);
    const char* home = std::getenv("HOME");
    return fs::path(home && *home ? home : "/") / ".local/share";
}

fs::path LibraryFolder::bundleSupportFolder() { return ResourceFolder::folder() / supportFolderName; }

// ---- Set-up ---------------------------------------------------------------

void LibraryFolder::setupLibrary() {
    createLibraryFolder("");
    createSystemResources();
    createFormats();
    for (const char* folder : {"Bookmarks", "Scripts", "Modules"}) createLibraryFolder(folder);
    buildScriptsMenu();
    buildBookmarksMenu();
    readMergeKLLibrary();
    readCountryCodes();
}

void LibraryFolder::createLibraryFolder(const std::string& relative) {
    const fs::path path = fs::path(libraryPath_ + relative);
    if (relative.empty()) {
        const fs::path library(withoutSlash(libraryPath_));
        const fs::path older = library.parent_path() / olderLibraryName;
        if (!itemExists(library) && isFolder(older)) {
            std::error_code error;
            fs::rename(older, library, error);
            if (!error) return;
            Logger::log("Could not move the older library '{}': {}", older.string(), error.message());
        }
        createLibraryDirectoryAtPath(library, std::nullopt);
        return;
    }
    if (!itemExists(path)) createLibraryDirectoryAtPath(path, std::nullopt);
}

void LibraryFolder::createRootLibraryFolder(const std::string& relative) {
    const fs::path path(withoutSlash(rootLibraryPath_ + relative));
    if (!itemExists(path)) createLibraryDirectoryAtPath(path, rootLibraryAttributes);
}

void LibraryFolder::createLibraryDirectoryAtPath(const fs::path& path, std::optional<fs::perms> attributes) {
    std::error_code error;
    const auto status = fs::status(path, error);
    if (!fs::exists(status)) {
        fs::create_directories(path, error);
        if (error || !isFolder(path)) raise(inconsistency, "Could not create Kinlore library directory '" + path.string() + "'!");
        if (attributes) fs::permissions(path, *attributes, fs::perm_options::replace, error);
        return;
    }
    if (!fs::is_directory(status)) raise(inconsistency, "'" + path.string() + "' already exists and it is not a directory!");
    if (attributes) fs::permissions(path, *attributes, fs::perm_options::replace, error);
}

void LibraryFolder::createSystemResources() {
    if (itemExists(withoutSlash(rootLibraryPath_))) return;
    createRootLibraryFolder("");
    installSystemNow(InstallMode::Silent);
}

std::vector<fs::path> LibraryFolder::getInternalFormats() const {
    return {bundleSupportFolder() / "Formats" / defaultFormatName};
}

void LibraryFolder::createFormats() {
    createLibraryFolder("Formats");
    for (const fs::path& format : getInternalFormats()) {
        const fs::path target = rootLibraryFile("Formats/" + format.filename().string());
        if (isFolder(target)) continue;
        createRootLibraryFolder("Formats");
        Templates::installFormat(format, target, rootLibraryAttributes);
    }
    const fs::path css = rootLibraryFile("Formats/report.css");
    if (!itemExists(css)) {
        std::error_code error;
        fs::copy_file(bundleSupportFolder() / "Formats/report.css", css, error);
    }
    openCurrentFormat(std::nullopt);
}

fs::path LibraryFolder::libraryFile(const std::string& relative) const {
    const std::string path = libraryPath_ + relative;
    if (auto resolved = wex::stringByResolvingSymlinksAndAliases(path)) return fs::path(*resolved);
    return fs::path(path);
}

fs::path LibraryFolder::rootLibraryFile(const std::string& relative) const { return fs::path(rootLibraryPath_ + relative); }

Dictionary LibraryFolder::libraryDictionary(const std::string& relative) const {
    if (auto list = PropertyList::readDictionaryFile(libraryFile(relative))) return *list;
    const std::string name = fs::path(relative).stem().string();
    if (auto list = PropertyList::readDictionaryFile(AppController::resourcesFolder() / (name + ".plist")))
        return *list;
    raise(inconsistency, "Could not read library dictionary file named '" + name + ".plist'");
}

// ---- Current format -----------------------------------------------------

fs::path LibraryFolder::systemDefaultFormat() const { return rootLibraryFile(std::string("Formats/") + defaultFormatName); }

std::string LibraryFolder::currentFormatPath() const {
    return defaults_.stringForKey(currentFormatKey).value_or(std::string());
}

void LibraryFolder::openCurrentFormat(const std::optional<std::string>& previous) {
    const std::string stored = currentFormatPath();
    const std::string expanded = withoutSlash(expandTilde(stored));
    if (!stored.empty() && isFolder(expanded) && (!previous || withoutSlash(expandTilde(*previous)) != expanded)) {
        try {
            openFormat(previous ? expanded : stored);
            return;
        } catch (const NamedException& e) {
            // A user format that fails keeps the format already loaded; with
            // none loaded yet the panes would have nothing to build from,
            // so the System format is opened instead.
            Logger::log("The format '{}' could not be opened: {}", stored, e.message());
            if (!templates_->templateFolder().empty()) return;
        }
    }
    openSystemFormat();
}

void LibraryFolder::openSystemFormat() {
    const fs::path format = systemDefaultFormat();
    if (!isFolder(format)) raise(inconsistency, "File error opening initial editing format or reopening previous format");
    defaults_.setObject(Value(abbreviateWithTilde(format.string())), currentFormatKey);
    try {
        openFormat(format.string());
    } catch (const NamedException&) {
        criticalAlert("The system level '" + format.filename().string() +
                          "' could not be opened and Kinlore II now cannot continue.",
                      "You may need to reinstall Kinlore II.");
        throw;
    }
}

void LibraryFolder::openFormat(const std::string& path) { templates_->readFormatAtPath(path); }

void LibraryFolder::switchToDefaultFormat() {
    if (withoutSlash(expandTilde(currentFormatPath())) == systemDefaultFormat().string()) return;
    openSystemFormat();
}

void LibraryFolder::saveCurrentFormat() {
    // The settings go back to the format they were read from. The stored
    // path may already name the next format (the System fallback stores it
    // before opening), and writing there would give that format the
    // settings of the one being left.
    if (!editingPrefs_.changed() || templates_->templateFolder().empty()) return;
    const fs::path folder(withoutSlash(templates_->templateFolder()));
    std::string error;
    if (editingPrefs_.writeFormat(folder, &error)) return;
    criticalAlert("The changes you made to the previous format's preferences were not saved because you do not "
                  "have sufficient file priviledges.",
                  "To save changes, copy the '" + folder.filename().string() + "' file and move it to the '" +
                      abbreviateWithTilde(libraryPath_ + "Formats") + "' folder.");
}

void LibraryFolder::createEditingPreferences(const fs::path& editingList) {
    const auto list = PropertyList::readDictionaryFile(editingList);
    if (!list) raise(exception_names::FileReadError, "The format file is missing editing preferences.");
    editingPrefs_.readSettings(*list, editingList.parent_path().stem().string());
}

bool LibraryFolder::createEditingStrings(const fs::path& languageList) {
    auto list = PropertyList::readDictionaryFile(languageList);
    localStrings_ = list ? std::move(*list) : Dictionary();
    publishServices();
    return list.has_value();
}

void LibraryFolder::publishServices() {
    auto services = std::make_shared<const LibraryFolderServices>(*this);
    published_ = services;
    LibraryServices::setCurrent(std::move(services));
}

std::string LibraryFolder::localString(const std::string& key) const {
    const Value* text = localStrings_.get(key);
    return text && text->isString() ? *text->string() : key;
}

void LibraryFolder::checkCurrentFormat() { menus_.checkCurrentFormat(withoutSlash(expandTilde(currentFormatPath()))); }

void LibraryFolder::infoAlert(const std::string& message, const std::string& information) {
    if (prompts_.infoAlert)
        prompts_.infoAlert(message, information);
    else
        Logger::log("{} {}", message, information);
}

void LibraryFolder::criticalAlert(const std::string& message, const std::string& information) const {
    if (prompts_.criticalAlert)
        prompts_.criticalAlert(message, information);
    else
        Logger::log("{} {}", message, information);
}

void LibraryFolder::buildScriptsMenu() {
    menus_.buildScriptsMenu(templates_->language(), withoutSlash(expandTilde(currentFormatPath())));
}

void LibraryFolder::buildBookmarksMenu() { menus_.buildBookmarksMenu(); }

void LibraryFolder::libTerminate() { saveCurrentFormat(); }

}  // namespace kl
