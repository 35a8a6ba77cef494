#pragma once
// RecordPathFacts: the few facts that record paths read ("span", "spouse",
// and the n-th child with a tag), taken from the record kinds so that a
// path and a list column answer alike; other kinds answer nothing.
//
// Thread: any thread that may read the tree; pure apart from the date
// engine's clock (the presumed-dead test counts years to today).
#include <cstddef>
#include <string>
#include <string_view>

namespace kl {

class GEDCOMObject;
class GEDCOMRecord;
class GEDCOMStructure;
class RecordStore;

class RecordPathFacts {
public:
    // "1820-1890", "1820-", "-1890", "1820-?" (died or presumed dead,
    // year unknown) or "" when neither year is known. Baptism or
    // christening stand in for birth, burial or cremation for death.
    static std::string lifeSpan(const GEDCOMRecord& individual);
    // The individual's n-th FAMS link (n below 2 counts as 1) when its
    // family exists and names another spouse; that spouse's ID goes into
    // spouseID (written whenever the family exists). nullptr otherwise.
    static GEDCOMStructure* spouse(const GEDCOMRecord& individual, std::size_t n, RecordStore* store,
                                   std::string& spouseID);
    // The first direct child with the tag, nullptr when none.
    static GEDCOMStructure* child(const GEDCOMObject& node, std::string_view tag);
    // The n-th (from 1; below 2 counts as 1) direct child with the tag.
    static GEDCOMStructure* child(const GEDCOMObject& node, std::string_view tag, long n);
};

}  // namespace kl
