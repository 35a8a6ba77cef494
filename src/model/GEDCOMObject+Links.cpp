// Offering a node's links to the detach-link picker.
#include <unordered_map>

#include "model/DetachLinkList.h"
#include "model/GEDCOMObject.h"
#include "model/GEDCOMRecord.h"
#include "model/GEDCOMStructure.h"
#include "model/LibraryServices.h"
#include "model/RecordStore.h"

namespace kl {

namespace {

struct LinkKind {
    const char* type;   // record type looked up; "" for any
    const char* label;  // nullptr: the type's singular name
    bool onlyInvalid;
};

const std::unordered_map<std::string_view, LinkKind>& linkKinds() {
    static const std::unordered_map<std::string_view, LinkKind> kinds{
        {"SOUR", {"SOUR", nullptr, false}},
        {"REPO", {"REPO", nullptr, false}},
        {"SUBM", {"SUBM", nullptr, false}},
        {"_LOG", {"_LOG", nullptr, false}},
        {"OBJE", {"OBJE", nullptr, false}},
        {"NOTE", {"NOTE", nullptr, false}},
        {"ANCI", {"SUBM", "Ancestor Interest", false}},
        {"DESI", {"SUBM", "Descendant Interest", false}},
        {"ALIA", {"INDI", "Alias", false}},
        {"FAMC", {"FAM", "Child To Family Link", false}},
        {"FAMS", {"FAM", "Spouse To Family Link", false}},
        {"CHIL", {"INDI", "Family to Child Link", true}},
        {"HUSB", {"INDI", "Link to Husband", true}},
        {"WIFE", {"INDI", "Link to Wife", true}},
        {"_INDI", {"INDI", "Researched Individual Link", false}},
        {"_FAM", {"FAM", "Researched Family Link", false}},
        {"__PLC", {"_PLC", "Researched Place Link", false}},
        {"ASSO", {"", "Association", false}},
    };
    return kinds;
}

}  // namespace

void GEDCOMObject::addLinksToList(DetachLinkList& list, const std::optional<std::string>& inEvent) {
    auto services = LibraryServices::current();
    const GEDCOMRecord* record = theRecord();
    for (const auto& child : StructureList(structures())) {
        auto kind = linkKinds().find(child->gtag());
        if (kind == linkKinds().end()) {
            if (glevel_ == 0) addEventLinks(list, child);
            continue;
        }
        const LinkKind& k = kind->second;
        std::optional<std::string> label;
        if (child->gtag() == "_INDI" && record && record->isType("_BOK"))
            label = services->localString("Source Individual for Book");
        else if (k.label)
            label = services->localString(k.label);
        auto name = getLinkName(*child, k.type, label, k.onlyInvalid);
        list.addDetachLink(child, name, inEvent, this);
    }
}

void GEDCOMObject::addEventLinks(DetachLinkList&, const std::shared_ptr<GEDCOMStructure>&) {}

std::optional<std::array<std::string, 2>> GEDCOMObject::getLinkName(const GEDCOMObject& link, const std::string& type,
                                                                    const std::optional<std::string>& altName,
                                                                    bool onlyBad) const {
    const GEDCOMRecord* record = theRecord();
    RecordStore* store = record ? record->model() : nullptr;
    std::shared_ptr<GEDCOMRecord> linked = store ? store->recordWithID(link.contents(), type) : nullptr;
    std::string label;
    if (altName)
        label = *altName;
    else if (store)
        label = store->singularNameForType(type);
    else
        label = type;
    if (!linked) return std::array<std::string, 2>{label, LibraryServices::current()->localString("Invalid Link")};
    if (onlyBad) return std::nullopt;
    return std::array<std::string, 2>{label, linked->viewName()};
}

}  // namespace kl
