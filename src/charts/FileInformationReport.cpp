#include "charts/FileInformationReport.h"

#include <fcntl.h>
#include <pwd.h>
#include <sys/stat.h>

#include <ctime>

#include "charts/ReportHost.h"
#include "document/GEDCOMDocument.h"
#include "document/RecordsIndices.h"
#include "document/RecordsList.h"

namespace kl {

namespace {

struct FileTimes {
    std::optional<std::int64_t> created;
    std::optional<std::int64_t> modified;
    std::optional<std::string> owner;
};

std::optional<FileTimes> fileTimes(const std::filesystem::path& file) {
    struct statx info {};
    if (statx(AT_FDCWD, file.c_str(), 0, STATX_BASIC_STATS | STATX_BTIME, &info) != 0) return std::nullopt;
    FileTimes times;
    if (info.stx_mask & STATX_BTIME) times.created = info.stx_btime.tv_sec;
    if (info.stx_mask & STATX_MTIME) times.modified = info.stx_mtime.tv_sec;
    if (info.stx_mask & STATX_UID) {
        struct passwd entry {};
        struct passwd* found = nullptr;
        char buffer[4096];
        if (getpwuid_r(info.stx_uid, &entry, buffer, sizeof buffer, &found) == 0 && found) times.owner = found->pw_name;
    }
    return times;
}

// The sizes of everything below a folder; nullopt for a plain file.
std::optional<std::uintmax_t> folderSize(const std::filesystem::path& folder) {
    std::error_code error;
    if (!std::filesystem::is_directory(folder, error)) return std::nullopt;
    std::uintmax_t total = 0;
    for (auto it = std::filesystem::recursive_directory_iterator(folder, error);
         !error && it != std::filesystem::recursive_directory_iterator(); it.increment(error)) {
        std::error_code sizeError;
        if (it->is_regular_file(sizeError)) {
            const auto size = it->file_size(sizeError);
            if (!sizeError) total += size;
        }
    }
    return total;
}

}  // namespace

FileInformationReport::FileInformationReport(GEDCOMDocument& document, ReportHost& host)
    : ReportController(document, host) {}

std::string FileInformationReport::dateText(std::int64_t seconds) {
    const std::time_t time = static_cast<std::time_t>(seconds);
    std::tm utc{};
    gmtime_r(&time, &utc);
    char text[64];
    std::strftime(text, sizeof text, "%Y-%m-%d %H:%M:%S +0000", &utc);
    return text;
}

void FileInformationReport::addFileRows(Rows& rows, const std::filesystem::path& file) {
    rows.push_back({"File Name", htmlText(file.filename().string())});
    rows.push_back({"Save Location", htmlText(file.parent_path().string())});
    if (const auto size = folderSize(file)) rows.push_back({"File Size", std::to_string(*size / 1000) + " kB"});
    if (const auto times = fileTimes(file)) {
        if (times->created) rows.push_back({"Created", dateText(*times->created)});
        if (times->modified) rows.push_back({"Last Modified", dateText(*times->modified)});
        if (times->owner) rows.push_back({"Owner", htmlText(*times->owner)});
    }
}

void FileInformationReport::addNumberRow(Rows& rows, const std::string& recordType) const {
    const auto list = recordsIndex().listForType(recordType);
    rows.push_back({htmlText(RecordsIndices::pluralNameForRecordType(recordType, nullptr)),
                    std::to_string(list ? list->count() : 0)});
}

std::string FileInformationReport::compilePage() {
    setTheTitle("File Information");
    setReport(theTitle() + " on " + host().displayName());
    Rows rows{{"File Property", "Value"}};
    if (const auto& file = document().myFileName())
        addFileRows(rows, *file);
    else
        rows.push_back({"File Name", "Untitled"});
    for (const char* type : {"INDI", "FAM", "OBJE"}) addNumberRow(rows, type);
    rows.push_back({"Multimedia Thumbnails", std::to_string(document().thumbnailCount())});
    for (const char* type : {"_PLC", "NOTE", "SOUR", "REPO", "HEAD", "SUBN", "SUBM", "_BOK", "_LOG"})
        addNumberRow(rows, type);
    rows.push_back({"Total Records", std::to_string(recordsIndex().numberOfRecords())});
    addTable(reportText(), rows);
    reportText() += "</div>";
    return report();
}

bool FileInformationReport::reportPreparation() {
    host().addOpenReport(compilePage(), theTitle());
    return false;
}

}  // namespace kl
