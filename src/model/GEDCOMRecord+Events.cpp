// Event texts that individuals and families share: the year handed to a
// search service, the first date that is not the change stamp, and the
// entry that names an event offered for detaching.
#include "dates/DateBridge.h"
#include "model/GEDCOMRecord.h"
#include "model/GEDCOMStructure.h"
#include "model/LibraryServices.h"

namespace kl {

std::string GEDCOMRecord::searchYear(const std::string& date) {
    std::string year = yearFromDate(date);
    if (year.size() >= 2 && (year[0] == '<' || year[0] == '>' || year[0] == 'c')) year.erase(0, 1);
    return year;
}

std::string GEDCOMRecord::firstDateUnlessChanged() const {
    auto date = findStructureWithTag("DATE");
    if (!date) return {};
    auto chan = firstChildWithTag("CHAN");
    auto changed = chan ? chan->firstChildWithTag("DATE") : nullptr;
    if (changed && changed->contents() == date->contents()) return {};
    return date->contents();
}

std::array<std::string, 2> GEDCOMRecord::eventDetachEntry(const GEDCOMStructure& event,
                                                         const std::string& name) {
    auto services = LibraryServices::current();
    if (event.gtag() == "EVEN") {
        auto type = event.firstChildWithTag("TYPE");
        const std::string detail =
            type && !type->contents().empty() ? type->contents() : services->localString("Unknown Type");
        return std::array<std::string, 2>{services->localString("Generic Event"), detail};
    }
    std::string detail = event.contents() != "Y" ? event.contents() : std::string();
    if (detail.empty()) {
        auto line = event.firstChildWithTag("DATE");
        if (!line) line = event.firstChildWithTag("PLAC");
        if (line) detail = line->contents();
    }
    if (detail.empty()) detail = services->localString("No Subordinate Data");
    return std::array<std::string, 2>{name, detail};
}

}  // namespace kl
