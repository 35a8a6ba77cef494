#include "charts/GenRelativesReport.h"

#include <map>

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
