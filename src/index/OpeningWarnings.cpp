#include "index/OpeningWarnings.h"

#include "document/GEDCOMDocument.h"
#include "document/GEDCOMModel.h"
#include "document/RecordsIndices.h"
#include "model/HEADRecord.h"

namespace kl {

OpeningWarnings::Facts OpeningWarnings::factsOf(GEDCOMDocument& doc, int openingError) {
    Facts facts;
    facts.importName = doc.importedName();
    facts.hasCorruptedList = doc.gedcomModel().recordsIndex().corruptedIndex() >= 0;
    facts.readMessage = doc.readWriteMessage();
    const auto header = std::dynamic_pointer_cast<HEADRecord>(doc.gedcomModel().header());
    facts.foreignGEDCOM = header && header->foreignGEDCOM();
    facts.openingError = openingError;
    return facts;
}

std::optional<OpeningWarnings> OpeningWarnings::decide(const Facts& facts) {
    // An empty message is no message: the alert would say nothing.
    const bool hasMessage = facts.readMessage && !facts.readMessage->empty();
    if (!facts.importName && !facts.hasCorruptedList && !hasMessage) return std::nullopt;
    if (facts.openingError < 0) return std::nullopt;
    OpeningWarnings warnings;
    if (hasMessage) warnings.message = facts.readMessage;
    if (facts.importName && facts.foreignGEDCOM) warnings.pkgName = facts.importName;
    return warnings;
}

}  // namespace kl
