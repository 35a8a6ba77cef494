#include "browser/BrowserMenuTitles.h"

#include "model/FAMRecord.h"
#include "model/GEDCOMRecord.h"

namespace kl {

BrowserMenuTitles::Titles BrowserMenuTitles::maintainTitles(const BrowserNavigation::Facts& facts) {
    const GEDCOMRecord* record = facts.record.get();
    if (!record) return {};
    if (record->isType("INDI"))
        return {{kFatherTag, "Father"},
                {kMotherTag, "Mother"},
                {kAttachHusbandTag, "As Husband in New Family"},
                {kAttachWifeTag, "As Wife in New Family"},
                {kAttachChildTag, "As Child in New Family"}};
    if (const auto* family = dynamic_cast<const FAMRecord*>(record)) {
        const bool husband = !family->husbandID().empty();
        const bool wife = !family->wifeID().empty();
        return {{kFatherTag, BrowserNavigation::relationTitle(kFatherTag, facts).value_or("Father")},
                {kMotherTag, BrowserNavigation::relationTitle(kMotherTag, facts).value_or("Mother")},
                {kMaritalStatusTag, family->isUnmarried() ? "Married Status" : "Not Married Status"},
                {kAttachHusbandTag, husband && !wife ? "Male Partner..." : "Husband..."},
                {kAttachWifeTag, wife && !husband ? "Female Partner..." : "Wife..."},
                {kAttachChildTag, "Child..."}};
    }
    if (record->isCiteableType())
        return {{kAttachHusbandTag, "Link From Individual..."}, {kAttachWifeTag, "Link From Family..."}};
    return {};
}

}  // namespace kl
