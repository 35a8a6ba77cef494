#pragma once
// FileInformationReport: one table about the open database: where its file
// lies, its size, creation and change dates and owner, and the number of
// records of each kind. Quick to make, so it is built and stored in
// reportPreparation on the main thread: no worker, no panel.
//
// On Linux "Created" is the file's birth time where the file system keeps
// one (statx), and is left out where it does not.
#include <filesystem>
#include <optional>
#include <string>
#include <vector>

#include "charts/ReportController.h"

namespace kl {

class FileInformationReport : public ReportController {
public:
    using Rows = std::vector<std::vector<std::string>>;
    FileInformationReport(GEDCOMDocument& document, ReportHost& host);

    bool reportPreparation() override;
    // The whole page (heading, table, "</div>").
    std::string compilePage();
    void addNumberRow(Rows& rows, const std::string& recordType) const;

    // The rows about the file itself.
    static void addFileRows(Rows& rows, const std::filesystem::path& file);
    // "2024-03-05 12:34:56 +0000".
    static std::string dateText(std::int64_t secondsSinceEpoch);
};

}  // namespace kl
