#pragma once
// ReportExport: what a record window does with a stored report ("_RPT")
// outside the pane: the title of its export item, the save panel's file
// types and message, the text the file gets (the standalone page of an
// HTML report, the body of a text report) and the writing of that file.
// Whether the report is printed as a pane (it carries a "_FONT") or as its
// page is decided here too.
//
// Values and borrowed records only. Thread: main thread (pages read the
// user defaults).
#include <filesystem>
#include <optional>
#include <string>
#include <vector>

namespace kl {

class GEDCOMRecord;
class ReportRecord;

class ReportExport {
public:
    static constexpr const char* kHTMLTitle = "Report to HTML File";
    static constexpr const char* kTextTitle = "Report to Text File";
    static constexpr const char* kReplaceFailed = "Error trying to replace the selected file.";
    static constexpr const char* kReplaceFailedInfo = "You may not have file permissions to replace that file.";
    static constexpr const char* kNoContent = "Error retrieving the report html content.";
    static constexpr const char* kWriteFailed = "Error saving the report file.";

    struct SavePanel {
        std::vector<std::string> fileTypes;
        std::string message;
    };
    static SavePanel savePanelFor(const ReportRecord& report);
    static std::string menuTitle(const ReportRecord& report);
    // The chosen file, with the first of the panel's types added when it
    // has none of them.
    static std::string withFileType(const std::string& file, const std::vector<std::string>& types);

    // A report without "_FONT" is printed from its page, not as a pane.
    static bool printsAsPage(const GEDCOMRecord* record);

    // The text the file gets: for an HTML report the page file the pane
    // shows (when it has one), else the standalone page made from the body,
    // either with its record links reduced to their text; nullopt when no
    // page could be had.
    static std::optional<std::string> exportText(const ReportRecord& report,
                                                 const std::optional<std::filesystem::path>& panePage);

    struct Result {
        enum Outcome { Written, ReplaceFailed, NoContent, WriteFailed } outcome = Written;
        std::string error;  // WriteFailed: the reason
    };
    // Replaces whatever is at `file` with the report's text, atomically.
    static Result exportReport(const ReportRecord& report, const std::filesystem::path& file,
                               const std::optional<std::filesystem::path>& panePage = std::nullopt);
};

}  // namespace kl
