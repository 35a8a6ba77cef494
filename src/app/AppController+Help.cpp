// Help pages, the documentation of formats and extensions, and the pages
// of the product's web site.
#include <algorithm>
#include <cctype>
#include <cstdio>
#include <map>
#include <mutex>

#include "app/AppController.h"
#include "foundation/Logger.h"
#include "foundation/PropertyList.h"

namespace kl {

namespace fs = std::filesystem;

namespace {

std::mutex& viewerMutex() {
    static std::mutex mutex;
    return mutex;
}

AppController::HelpViewer& viewer() {
    static AppController::HelpViewer installed;
    return installed;
}

constexpr const char* kContextPrefix = "index_";

}  // namespace

// Everything but the unreserved characters and "/" is percent-encoded, so
// blanks in folder names survive the hand-over.
std::string AppController::fileAddress(const fs::path& path) {
    static const char* hex = "0123456789ABCDEF";
    std::string address = "file://";
    for (unsigned char c : path.string()) {
        if (std::isalnum(c) || c == '/' || c == '-' || c == '_' || c == '.' || c == '~') {
            address += char(c);
        } else {
            address += '%';
            address += hex[c >> 4];
            address += hex[c & 15];
        }
    }
    return address;
}

namespace {

bool isPage(const fs::path& path) {
    std::error_code error;
    return fs::exists(path, error) && !fs::is_directory(path, error);
}

void openPage(const fs::path& page, const std::string& anchor) {
    AppController::HelpViewer show;
    {
        std::lock_guard lock(viewerMutex());
        show = viewer();
    }
    if (show)
        show(page, anchor);
    else
        Logger::log("No help viewer for {}", page.string());
}

}  // namespace

std::string AppController::shortVersionString() {
    int beta = 0;
    const double version = decodeVersionNumber(appVersionNumber, &beta);
    char text[32];
    std::snprintf(text, sizeof text, "%.1f", version);
    return text;
}

std::string AppController::versionLine(bool alwaysWithBuild, int buildNumber) {
    std::string line = "Version " + shortVersionString();
    if (alwaysWithBuild || buildNumber >= 2) line += "(b" + std::to_string(buildNumber) + ")";
    return line;
}

fs::path AppController::helpFolder() { return resourcesFolder() / helpFolderName; }

void AppController::setHelpViewer(HelpViewer show) {
    std::lock_guard lock(viewerMutex());
    viewer() = std::move(show);
}

void AppController::showAnchor(const std::string& page, const std::optional<std::string>& prefix,
                               UserDefaults& defaults) {
    const fs::path file = helpFolder() / (page + ".html");
    if (defaults.boolForKey("Open Help in Browser")) {
        openAddress(fileAddress(file));
        return;
    }
    std::string anchor = page;
    if (prefix) {
        std::replace(anchor.begin(), anchor.end(), '/', '_');
        anchor += "Anchor";
    }
    openPage(file, anchor);
}

std::optional<std::string> AppController::helpPageForTag(int tag) {
    static const std::map<int, const char*> pages{
        {7004, "Quick"},          {7500, "Editing/exportgedcom"}, {7504, "Editing/reports"},
        {7509, "Editing/attach"}, {7510, "Editing/attach"},       {7511, "Editing/event"},
        {7512, "Editing/attachnotes"}, {7513, "Editing/mergerecords"}, {7514, "Editing/citation"},
        {7515, "Editing/mmlink"}, {7516, "Editing/researchlink"}, {7517, "Customization/appsupport"},
    };
    const auto found = pages.find(tag);
    if (found == pages.end()) return std::nullopt;
    return found->second;
}

void AppController::showHelp(std::optional<int> tag, UserDefaults& defaults) {
    if (const auto page = tag ? helpPageForTag(*tag) : std::nullopt) {
        showAnchor(*page, std::string(kContextPrefix), defaults);
        return;
    }
    const fs::path front = helpFolder() / "index.html";
    if (defaults.boolForKey("Open Help in Browser"))
        openAddress(fileAddress(front));
    else
        openPage(front, {});
}

void AppController::copyHelpStyleSheet(const fs::path& folder) {
    const fs::path sheet = folder / "helpType.css";
    std::error_code error;
    if (fs::exists(sheet, error) && !fs::remove(sheet, error))
        Logger::log("Error removing previous helpType.css file");
    fs::copy_file(resourcesFolder() / "KinloreEditor" / "helpType.css", sheet, error);
    if (error) Logger::log("Error copying helpType.css file to extension or browser style documentation files");
}

std::optional<fs::path> AppController::formatHelpPage(const fs::path& format, const std::string& language) {
    fs::path page = format / (language + ".html");
    if (!isPage(page)) page = format / "English.html";
    if (!isPage(page)) return std::nullopt;
    copyHelpStyleSheet(format);
    return page;
}

std::optional<fs::path> AppController::extensionHelpPage(const fs::path& extension) {
    const auto manifest = PropertyList::readFile(extension / "manifest.plist");
    const Dictionary* entries = manifest ? manifest->dictionary() : nullptr;
    const Value* help = entries ? entries->get("help") : nullptr;
    if (!help || !help->string() || help->string()->empty()) return std::nullopt;
    copyHelpStyleSheet(extension);
    return extension / *help->string();
}

void AppController::showTutorials(int tag) {
    openAddress(std::string(productSite) + (tag == 7005 ? "/tutorials/index.html" : "/tutorials/scripting.html"));
}

void AppController::showFormatsWebSite() { openAddress(std::string(productSite) + "/interfaces/index.html"); }

void AppController::showScriptsWebSite() { openAddress(std::string(productSite) + "/extensions/index.html"); }

void AppController::showTorvickWebSite() { openAddress(std::string(productSite) + "/"); }

void AppController::showDiscussionGroup() { openAddress(discussionGroupSite); }

void AppController::sendTorvickEmail() {
    openAddress("mailto:" + std::string(supportAddress) + "?subject=Re:%20Kinlore%20II");
}

std::string AppController::derevAzeduzeAddress(int useLocalPlaceData, const std::string& localAddress,
                                               const std::string& loginName) {
    if (useLocalPlaceData != 1 && useLocalPlaceData != 2) return std::string(productSite) + "/Mundora.html";
    const std::string host = useLocalPlaceData == 2 ? localAddress + ":8080" : localAddress;
    return "http://" + host + "/~" + loginName + "/Kinlore%20II/Mundora.html";
}

bool AppController::emptyPlaceAdivsorCache(std::string* reason) {
    const fs::path caches = cachesFolder();
    if (caches.empty()) return true;
    const fs::path cache = caches / bundleIdentifier;
    std::error_code error;
    if (!fs::exists(cache, error)) return true;
    fs::remove_all(cache, error);
    if (!error) return true;
    if (reason) *reason = error.message();
    return false;
}

}  // namespace kl
