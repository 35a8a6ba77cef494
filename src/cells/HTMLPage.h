#pragma once
// HTMLPage: turns the HTML block of a record into a standalone page (a
// document type, a head with the title, the character set and the style
// sheet, the block as the body). For display the page, its style sheet and
// its local images go into the program's working folder, the one folder the
// web panes may read; for export the style sheet is linked where it lies.
// Pages that embed a map get the map service's placeholders filled.
//
// The places it works with (library style sheet, working folder, file
// numbers, map settings) come in a Setting, so that tests can point them at
// a folder of their own; Setting::current() reads the running program's.
//
// Thread: main thread (it reads the model and the user defaults).
#include <cstdint>
#include <filesystem>
#include <functional>
#include <optional>
#include <string>

namespace kl {

class GEDCOMModel;

class HTMLPage {
public:
    static constexpr const char* kCSSWarning = "<b><font color='red'>(Attached CSS file not found)</font></b>";

    struct Setting {
        std::filesystem::path libraryCSS;  // the library's "Formats/report.css"
        std::filesystem::path programCSS;  // the program's own copy of it
        std::optional<std::string> workingFolder;  // ends in "/"; nullopt when there is none
        std::function<std::int64_t()> nextIndex;    // a new file number at each call
        std::function<std::optional<std::string>()> remakeWorkingFolder;  // the new folder
        int mappingAPI = 0;       // "Select Mapping API"
        std::string mapKey;       // replaces "YOUR_API_KEY" (interface 0)
        std::string openLayers;   // replaces "$OPENLAYERS$" (interface 1)

        static Setting current();
    };
    // Lets the program supply its map service's key and library; the
    // default reading leaves both empty.
    static void setMapInfoSource(std::function<void(Setting&)> source);

    struct Request {
        bool isReport = false;   // a report's body: the library's report style sheet
        const GEDCOMModel* model = nullptr;  // resolves an attached style sheet
        bool url = false;        // write a file and answer its path
        bool addMap = false;     // fill the map placeholders
        bool forExport = false;  // link files where they lie
    };

    // The page text, or (with `url`) the path of the page file; nullopt when
    // that file could not be written, with the reason in *error.
    static std::optional<std::string> prepare(const std::string& html, const Request& request, std::string* error,
                                              const Setting& setting = Setting::current());
};

}  // namespace kl
