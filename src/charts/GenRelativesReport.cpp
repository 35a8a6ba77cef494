#include "charts/GenRelativesReport.h"

#include <map>

#include "model/FAMRecord.h"
#include "model/INDIRecord.h"
#include "model/ReportOptions.h"

namespace kl {

namespace {
std::map<std::string, RelativesReportRegistry::Maker>& makers() {
    static std::map<std::string, RelativesReportRegistry::Maker> registered;
    return registered;
}
}  // namespace

int64_t GenRelativesReport::outputFlags(const bool (&boxes)[8], int styleColumn) {
    int64_t flags = 0;
    for (int i = 0; i < 8; ++i)
        if (boxes[i]) flags |= int64_t{1} << i;
    if (styleColumn == 2) flags |= kStyleColumn2;
    if (styleColumn == 1) flags |= kStyleColumn1;
    return flags;
}

std::shared_ptr<INDIRecord> GenRelativesReport::subjectPerson() const {
    auto object = std::static_pointer_cast<Object>(record_);
    if (auto person = std::dynamic_pointer_cast<INDIRecord>(object)) return person;
    if (auto family = std::dynamic_pointer_cast<FAMRecord>(object)) {
        if (auto husband = family->husbandRecord()) return husband;
        return family->wifeRecord();
    }
    return nullptr;
}

std::string relativesDetailHeadings(int64_t flags) {
    static constexpr std::pair<int64_t, const char*> kHeadings[] = {
        {ReportBD, "<th>Birth Date</th>\n"}, {ReportBP, "<th>Birth Place</th>\n"},
        {ReportDD, "<th>Death Date</th>\n"}, {ReportDP, "<th>Death Place</th>\n"},
        {ReportSN, "<th>Spouse</th>\n"},     {ReportMD, "<th>Marriage Date</th>\n"},
        {ReportMP, "<th>Marriage Place</th>\n"}};
    std::string headings;
    for (const auto& [bit, heading] : kHeadings)
        if (flags & bit) headings += heading;
    return headings;
}

void RelativesReportRegistry::registerMaker(const std::string& kind, Maker maker) {
    if (maker)
        makers()[kind] = std::move(maker);
    else
        makers().erase(kind);
}

RelativesReportRegistry::Maker RelativesReportRegistry::maker(const std::string& kind) {
    const auto found = makers().find(kind);
    return found == makers().end() ? Maker() : found->second;
}

}  // namespace kl
