#include "cells/HTMLPage.h"

#include <fstream>
#include <system_error>

#include "app/AppController.h"
#include "app/LibraryFolder.h"
#include "document/GEDCOMModel.h"
#include "foundation/AsciiText.h"
#include "foundation/Logger.h"
#include "foundation/UserDefaults.h"
#include "model/NOTERecord.h"
#include "model/OBJERecord.h"

namespace kl {

namespace fs = std::filesystem;

namespace {

std::function<void(HTMLPage::Setting&)>& mapInfoSource() {
    static std::function<void(HTMLPage::Setting&)> source;
    return source;
}

std::string replaceAll(std::string text, std::string_view mark, const std::string& by) {
    if (mark.empty()) return text;
    for (std::size_t at = text.find(mark); at != std::string::npos; at = text.find(mark, at + by.size()))
        text.replace(at, mark.size(), by);
    return text;
}

bool readableFile(const fs::path& path) {
    std::error_code error;
    if (!fs::is_regular_file(path, error)) return false;
    return std::ifstream(path, std::ios::binary).good();
}

bool copyFile(const fs::path& from, const fs::path& to) {
    std::error_code error;
    fs::copy_file(from, to, fs::copy_options::overwrite_existing, error);
    return !error;
}

// The chosen style sheet: its path (none when there is no sheet) and
// whether it is the library's (reused once copied) or a record's.
struct StyleSheet {
    std::optional<fs::path> path;
    bool library = true;
};

StyleSheet reportSheet(const HTMLPage::Setting& setting) {
    std::error_code error;
    if (fs::exists(setting.libraryCSS, error)) return {setting.libraryCSS, true};
    Logger::log("Expected css file at '{}' does not exist", setting.libraryCSS.string());
    if (fs::exists(setting.programCSS, error)) {
        if (copyFile(setting.programCSS, setting.libraryCSS)) return {setting.libraryCSS, true};
        Logger::log("Failed to copy report.css from app to '{}'", setting.libraryCSS.string());
        return {setting.programCSS, true};
    }
    Logger::log("report.css file at '{}' not found", setting.programCSS.string());
    return {std::nullopt, true};
}

StyleSheet chooseSheet(const std::string& html, const HTMLPage::Request& request, const HTMLPage::Setting& setting) {
    if (request.isReport) return reportSheet(setting);
    const auto id = NOTERecord::findHTMLComment("<!--CSS", html, nullptr);
    if (!id) return {setting.libraryCSS, true};
    const auto record = request.model ? request.model->recordWithID(*id) : nullptr;
    const auto* object = dynamic_cast<const OBJERecord*>(record.get());
    if (!object) return {std::nullopt, false};
    bool isURL = false;
    const auto file = object->mmFileFullPathOrURL(&isURL);
    if (!file || isURL) return {std::nullopt, false};
    return {fs::path(*file), false};
}

// Where the page links the sheet: a copy in the working folder for
// display, the sheet itself for export or when it cannot be copied.
fs::path placeSheet(const StyleSheet& sheet, const HTMLPage::Request& request, const HTMLPage::Setting& setting) {
    const fs::path& path = *sheet.path;
    if (request.forExport || !readableFile(path) || !setting.workingFolder) return path;
    const fs::path copy = fs::path(*setting.workingFolder) / path.filename();
    std::error_code error;
    if (sheet.library && fs::exists(copy, error)) return copy;
    return copyFile(path, copy) ? copy : path;
}

std::string fileAddress(const fs::path& path) { return "file://" + replaceAll(path.string(), " ", "%20"); }

std::string assemble(std::string body, const std::string& link, bool warn) {
    std::string head = "<head>\n  <title>Kinlore II Report</title>\n"
                       "  <meta http-equiv='Content-Type' content='text/html; charset=UTF-8'>\n" +
                       link + "\n";
    NOTERecord::TextRange element;
    if (auto inner = NOTERecord::findHTMLElement("<head>", "</head>", body, &element)) {
        body.erase(element.location, element.length);
        head += *inner + "\n";
    }
    head += "</head>";
    return "<!DOCTYPE html>\n<html lang='en'>\n" + head + "\n<body>" + (warn ? HTMLPage::kCSSWarning : "") + "\n" +
           body + "\n</body>\n</html>";
}

// Local images of the page are copied into the working folder, the only
// folder a web pane may read.
std::string copyImages(std::string page, const HTMLPage::Setting& setting) {
    if (!setting.workingFolder) return page;
    std::size_t from = 0;
    while (true) {
        const std::size_t mark = asciiLower(page).find("<img src=", from);
        if (mark == std::string::npos) return page;
        const std::size_t quoteAt = mark + 9;
        if (quoteAt >= page.size()) return page;
        const char quote = page[quoteAt];
        const std::size_t end = page.find(quote, quoteAt + 1);
        if (end == std::string::npos) return page;
        const std::string source = page.substr(quoteAt + 1, end - quoteAt - 1);
        from = end;
        if (source.size() < 8 || source.compare(0, 7, "file://") != 0) continue;
        const fs::path file(source.substr(7));
        if (!readableFile(file)) continue;
        const std::int64_t index = setting.nextIndex ? setting.nextIndex() : 0;
        const fs::path copy = fs::path(*setting.workingFolder + "i" + std::to_string(index) + "-" +
                                       file.filename().string());
        if (!copyFile(file, copy)) continue;
        const std::string address = "file://" + copy.string();
        page.replace(quoteAt + 1, source.size(), address);
        from = quoteAt + 1 + address.size();
    }
}

std::optional<fs::path> writePage(const std::string& page, const HTMLPage::Setting& setting, std::string* error) {
    if (!setting.workingFolder) return std::nullopt;
    const auto index = setting.nextIndex ? setting.nextIndex() : 0;
    const fs::path file = *setting.workingFolder + "web-" + std::to_string(index) + ".html";
    std::ofstream out(file, std::ios::binary | std::ios::trunc);
    if (out) out.write(page.data(), std::streamsize(page.size()));
    out.close();
    if (out) return file;
    if (error) *error = "The file “" + file.filename().string() + "” couldn’t be saved in the folder “" +
                        fs::path(*setting.workingFolder).parent_path().string() + "”.";
    return std::nullopt;
}

}  // namespace

void HTMLPage::setMapInfoSource(std::function<void(Setting&)> source) { mapInfoSource() = std::move(source); }

HTMLPage::Setting HTMLPage::Setting::current() {
    Setting setting;
    if (auto* library = AppController::sharedLibrary())
        setting.libraryCSS = library->rootLibraryFile("Formats/report.css");
    setting.programCSS = LibraryFolder::bundleSupportFolder() / "Formats/report.css";
    if (!AppController::workingDirectory()) AppController::createWorkingDirectory();
    setting.workingFolder = AppController::workingDirectory();
    setting.nextIndex = [] { return AppController::dragIndex(); };
    setting.remakeWorkingFolder = [] {
        AppController::createWorkingDirectory();
        return AppController::workingDirectory();
    };
    setting.mappingAPI = int(UserDefaults::standard().integerForKey("Select Mapping API"));
    if (mapInfoSource()) mapInfoSource()(setting);
    return setting;
}

std::optional<std::string> HTMLPage::prepare(const std::string& html, const Request& request, std::string* error,
                                             const Setting& setting) {
    const StyleSheet sheet = chooseSheet(html, request, setting);
    std::string link;
    if (sheet.path)
        link = "  <link rel='stylesheet' type='text/css' href='" + fileAddress(placeSheet(sheet, request, setting)) +
               "'>";
    std::string page = assemble(html, link, !sheet.path);
    if (request.addMap) {
        page = setting.mappingAPI != 0 ? replaceAll(page, "$OPENLAYERS$", setting.openLayers)
                                       : replaceAll(page, "YOUR_API_KEY", setting.mapKey);
    }
    if (!request.url) return page;
    if (!request.forExport) page = copyImages(std::move(page), setting);
    if (auto file = writePage(page, setting, nullptr)) return file->string();
    // The folder may have been removed under us (a cleaner of the cache).
    Setting again = setting;
    if (setting.remakeWorkingFolder) again.workingFolder = setting.remakeWorkingFolder();
    if (auto file = writePage(page, again, error)) return file->string();
    if (error && error->empty()) *error = "The working folder could not be made.";
    return std::nullopt;
}

}  // namespace kl
