#include "scripting/ScriptReportPage.h"

#include "app/LibraryFolder.h"
#include "foundation/AsciiText.h"
#include "foundation/Logger.h"
#include "model/NOTERecord.h"

namespace kl {

namespace fs = std::filesystem;

namespace {

std::size_t findAnyCase(const std::string& text, std::string_view what, std::size_t from) {
    const std::string lower = asciiLower(text);
    return lower.find(what, from);
}

bool isBlank(char c) { return c == ' ' || c == '\t'; }

}  // namespace

std::string removeRecordLinks(std::string html) {
    std::size_t pos = 0;
    while (true) {
        const std::size_t at = findAnyCase(html, "<a href", pos);
        if (at == std::string::npos) break;
        std::size_t i = at + 7;
        pos = i;
        const std::size_t equals = html.find('=', i);
        const std::size_t close = html.find('>', i);
        if (equals == std::string::npos || (close != std::string::npos && close < equals)) continue;
        i = equals + 1;
        while (i < html.size() && isBlank(html[i])) ++i;
        const char quote = i < html.size() && (html[i] == '"' || html[i] == '\'') ? html[i] : 0;
        if (quote) ++i;
        if (html.compare(i, 2, "//") == 0)
            i += 2;
        else if (i < html.size() && html[i] == '/')
            continue;
        if (i >= html.size() || html[i] != '@') continue;
        // The ID must end before the tag does, else the anchor is dead.
        std::size_t idEnd = i;
        while (idEnd < html.size() && html[idEnd] != '>' && (quote ? html[idEnd] != quote : !isBlank(html[idEnd])))
            ++idEnd;
        if (idEnd >= html.size() || html[idEnd] == '>') continue;
        const std::size_t tagEnd = html.find('>', idEnd);
        if (tagEnd == std::string::npos) break;
        const std::size_t end = findAnyCase(html, "</a>", tagEnd);
        if (end == std::string::npos) break;
        const std::string inner = html.substr(tagEnd + 1, end - tagEnd - 1);
        html.replace(at, end + 4 - at, inner);
        pos = at;
    }
    return html;
}

std::optional<fs::path> reportStyleSheet(const LibraryFolder* library) {
    const fs::path own = LibraryFolder::bundleSupportFolder() / "Formats/report.css";
    std::error_code error;
    if (!library) return fs::is_regular_file(own, error) ? std::optional<fs::path>(own) : std::nullopt;
    const fs::path sheet = library->rootLibraryFile("Formats/report.css");
    if (fs::exists(sheet, error)) return sheet;
    Logger::log("Expected css file at '{}' does not exist", sheet.string());
    if (!fs::is_regular_file(own, error)) {
        Logger::log("report.css file at '{}' not found", own.string());
        return std::nullopt;
    }
    fs::create_directories(sheet.parent_path(), error);
    if (fs::copy_file(own, sheet, error)) return sheet;
    Logger::log("Failed to copy report.css from app to '{}'", sheet.string());
    return own;
}

std::string exportReportPage(const std::string& html, const std::optional<fs::path>& styleSheet) {
    std::string body = html;
    std::string head = "<head>\n  <title>Kinlore II Report</title>\n"
                       "  <meta http-equiv='Content-Type' content='text/html; charset=UTF-8'>\n";
    if (styleSheet) {
        std::string path = styleSheet->string();
        for (std::size_t at = path.find(' '); at != std::string::npos; at = path.find(' ', at + 3))
            path.replace(at, 1, "%20");
        head += "  <link rel='stylesheet' type='text/css' href='file://" + path + "'>";
    }
    head += "\n";
    NOTERecord::TextRange range;
    if (auto inner = NOTERecord::findHTMLElement("<head>", "</head>", body, &range)) {
        body.erase(range.location, range.length);
        head += *inner + "\n";
    }
    head += "</head>";
    const std::string warning = styleSheet ? "" : "<b><font color='red'>(Attached CSS file not found)</font></b>";
    return "<!DOCTYPE html>\n<html lang='en'>\n" + head + "\n<body>" + warning + "\n" + body + "\n</body>\n</html>";
}

}  // namespace kl
