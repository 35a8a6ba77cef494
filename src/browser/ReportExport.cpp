#include "browser/ReportExport.h"

#include <algorithm>
#include <cctype>
#include <fstream>
#include <iterator>
#include <system_error>

#include "cells/HTMLPage.h"
#include "cells/HTMLTextEditing.h"
#include "foundation/PropertyList.h"
#include "model/ReportRecord.h"

namespace kl {

namespace fs = std::filesystem;

namespace {

std::optional<std::string> readFile(const fs::path& file) {
    std::ifstream in(file, std::ios::binary);
    if (!in) return std::nullopt;
    return std::string(std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>());
}

}  // namespace

ReportExport::SavePanel ReportExport::savePanelFor(const ReportRecord& report) {
    if (report.isHtmlReport()) return {{"html", "htm"}, "Export Report to an HTML File"};
    return {{"txt"}, "Export Report to a Text File"};
}

std::string ReportExport::menuTitle(const ReportRecord& report) {
    return report.isHtmlReport() ? kHTMLTitle : kTextTitle;
}

std::string ReportExport::withFileType(const std::string& file, const std::vector<std::string>& types) {
    if (types.empty()) return file;
    std::string extension = fs::path(file).extension().string();
    if (!extension.empty()) extension.erase(0, 1);
    std::transform(extension.begin(), extension.end(), extension.begin(),
                   [](unsigned char c) { return char(std::tolower(c)); });
    if (std::find(types.begin(), types.end(), extension) != types.end()) return file;
    return file + "." + types.front();
}

bool ReportExport::printsAsPage(const GEDCOMRecord* record) {
    return record && record->isType("_RPT") && !record->firstChildWithTag("_FONT");
}

std::optional<std::string> ReportExport::exportText(const ReportRecord& report,
                                                    const std::optional<fs::path>& panePage) {
    if (!report.isHtmlReport()) return report.body();
    std::optional<std::string> page = panePage ? readFile(*panePage) : std::nullopt;
    if (!page) {
        HTMLPage::Request request;
        request.isReport = true;
        request.forExport = true;
        std::string error;
        page = HTMLPage::prepare(report.body(), request, &error);
    }
    if (!page) return std::nullopt;
    HTMLTextEditing::convertForExport(*page, nullptr, nullptr);
    return page;
}

ReportExport::Result ReportExport::exportReport(const ReportRecord& report, const fs::path& file,
                                                const std::optional<fs::path>& panePage) {
    std::error_code error;
    if (fs::exists(fs::symlink_status(file, error))) {
        if (!fs::remove(file, error) || error) return {Result::ReplaceFailed, {}};
    }
    const auto text = exportText(report, panePage);
    if (!text) return {Result::NoContent, {}};
    std::string reason;
    if (!PropertyList::writeBytesAtomically(*text, file, &reason)) return {Result::WriteFailed, reason};
    return {};
}

}  // namespace kl
