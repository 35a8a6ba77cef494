#include "document/RecordPathFacts.h"

#include "model/GEDCOMRecord.h"
#include "model/GEDCOMStructure.h"
#include "model/INDIRecord.h"

namespace kl {

GEDCOMStructure* RecordPathFacts::child(const GEDCOMObject& node, std::string_view tag) { return child(node, tag, 1); }

GEDCOMStructure* RecordPathFacts::child(const GEDCOMObject& node, std::string_view tag, long n) {
    long wanted = n < 2 ? 1 : n;
    for (const auto& c : node.structures())
        if (c->gtag() == tag && --wanted == 0) return c.get();
    return nullptr;
}

std::string RecordPathFacts::lifeSpan(const GEDCOMRecord& individual) {
    const auto* person = dynamic_cast<const INDIRecord*>(&individual);
    return person ? person->lifeSpan() : std::string();
}

GEDCOMStructure* RecordPathFacts::spouse(const GEDCOMRecord& individual, std::size_t n, RecordStore* store,
                                         std::string& spouseID) {
    const auto* person = dynamic_cast<const INDIRecord*>(&individual);
    if (!person || !store) return nullptr;
    return person->spouseLink(spouseID, n).get();
}

}  // namespace kl
