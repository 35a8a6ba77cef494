// When two individuals may merge: the same primary name (ignoring case),
// the same sex, an unlocked kept record, and birth and death dates within
// five years of each other where both are known.
#include "model/GEDCOMStructure.h"
#include "model/INDIRecord.h"
#include "foundation/TextCase.h"

namespace kl {

namespace {

std::string primaryNameKey(const GEDCOMRecord& record) {
    auto name = record.firstChildWithTag("NAME");
    return name ? textcase::lower(name->contents()) : std::string();
}

}  // namespace

bool INDIRecord::canMergeWith(const GEDCOMRecord& other) {
    const auto* person = dynamic_cast<const INDIRecord*>(&other);
    if (!person) return false;
    if (primaryNameKey(*this) != primaryNameKey(other)) return false;
    if (sex() != person->sex() || isLocked()) return false;
    return datesWithinMergeWindow(birthDate(), person->birthDate()) &&
           datesWithinMergeWindow(deathDate(), person->deathDate());
}

std::string INDIRecord::mergeRequirement() const {
    return "To merge individuals, they must have the same name and sex, be unlocked, and have birth and death "
           "dates (if known) within 5 years.";
}

bool INDIRecord::removeDuplicateLinksAfterMerge() {
    std::int64_t removed = 0;
    for (const char* tag : {"FAMC", "FAMS", "ASSO", "ALIA"}) removed += removeDuplicateLinks(tag);
    for (const char* tag : {"ADOP", "BIRT", "CHR", "SLGC"}) removed += removeDuplicateEvents(tag);
    return removed >= contextInfo().toInteger(0);
}

}  // namespace kl
