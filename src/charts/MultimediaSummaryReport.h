#pragma once
// MultimediaSummaryReport: how the multimedia objects use the document's
// library folders: objects per library, objects outside every library,
// objects whose file is empty (not downloaded), objects whose file is
// missing, and files in the library folders that no object links.
//
// The walk of the library folders skips dot-files, enters no folder
// through a symbolic link, and treats a ".gedpkg" package as one item.
// Files under the home "Pictures" folder are summed up in one line.
//
// Ownership and thread: as ReportController.
#include <filesystem>
#include <map>
#include <memory>
#include <optional>
#include <string>
#include <vector>

#include "charts/ReportController.h"

namespace kl {

class OBJERecord;

class MultimediaSummaryReport : public ReportController {
public:
    // Relative name (or a package's full path) to the "~" form of its path.
    using FileMap = std::map<std::string, std::string>;

    MultimediaSummaryReport(GEDCOMDocument& document, ReportHost& host);

    bool reportPreparation() override;
    void compileReport() override;
    int32_t totalReportTasks() override { return static_cast<int32_t>(objes_.size()); }
    std::string progressTitle() override { return "Summarizing Multimedia Objects"; }
    std::string progressMessage() override { return "Objects Checked"; }

    // The files of the document's folder and of each root.
    void addToFileList(FileMap& files, const std::vector<std::string>& roots,
                       const std::optional<std::filesystem::path>& documentFile) const;
    void addPaths(FileMap& files, const std::string& basePath, const std::string& folder) const;
    bool isMMFolder(const std::string& path) const;
    // Where the home "Pictures" folder is, in "~" form with a final "/".
    static void setPicturesFolder(std::string folder);
    static std::string picturesFolder();

private:
    std::vector<std::shared_ptr<OBJERecord>> objes_;
    std::vector<std::string> roots_;
};

}  // namespace kl
