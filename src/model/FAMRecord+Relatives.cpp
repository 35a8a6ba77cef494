// The family's children and the relatives lists a record browser shows
// beside it; links that resolve to nothing are skipped.
#include <typeinfo>

#include "model/FAMRecord.h"
#include "model/GEDCOMStructure.h"
#include "model/INDIRecord.h"
#include "model/RecordLinkLists.h"

namespace kl {

void FAMRecord::childrenToArray(std::vector<std::shared_ptr<INDIRecord>>& list) const {
    for (auto& child : children()) list.push_back(std::move(child));
}

std::optional<std::vector<std::shared_ptr<GEDCOMRecord>>> FAMRecord::childrenAndSpouses() const {
    std::vector<std::shared_ptr<GEDCOMRecord>> found;
    for (const auto& child : children()) {
        found.push_back(child);
        if (auto families = child->spouses(nullptr)) found.insert(found.end(), families->begin(), families->end());
    }
    if (found.empty()) return std::nullopt;
    return found;
}

Value FAMRecord::husbandRec() const {
    auto person = husbandRecord();
    return person ? Value(person) : Value("");
}

Value FAMRecord::wifeRec() const {
    auto person = wifeRecord();
    return person ? Value(person) : Value("");
}

void FAMRecord::setHusbandRecord(const std::shared_ptr<GEDCOMRecord>& record) {
    auto person = std::dynamic_pointer_cast<INDIRecord>(record);
    const GEDCOMRecord* exact = person.get();
    if (exact && typeid(*exact) == typeid(INDIRecord)) {
        if (person->sex() == "M") attachSpouse(person, "HUSB");
        return;
    }
    detachSpouse("HUSB");
}

// ---- the browser's lists

void FAMRecord::setUpLinkLists(RecordLinkLists& lists) {
    GEDCOMRecord::setUpLinkLists(lists);
    readHusband(lists.fatherOrHusband, lists.motherOrWife, lists.children, &lists.families);
    readAllTags(lists.places, "PLAC");
}

void FAMRecord::readParent(std::vector<std::string>& list, std::vector<std::string>* families,
                           const std::string& tag) const {
    auto link = firstChildWithTag(tag);
    auto parent = link ? resolve(link->contents()) : nullptr;
    if (!parent) return;
    list.push_back(parent->grecordID());
    if (!families) return;
    parent->readSpouses(nullptr, families, nullptr, this);
    parent->readFather(nullptr, nullptr, families, nullptr);
}

void FAMRecord::readChildren(std::vector<std::string>& list, std::vector<std::string>* families,
                             const GEDCOMRecord* ignore) const {
    for (const auto& child : children()) {
        if (child.get() == ignore) continue;
        list.push_back(child->grecordID());
        if (families) child->readSpouses(nullptr, families, nullptr, nullptr);
    }
}

void FAMRecord::readHusband(std::vector<std::string>& husbands, std::vector<std::string>& wives,
                            std::vector<std::string>& childList, std::vector<std::string>* families) const {
    readParent(husbands, families, "HUSB");
    readParent(wives, families, "WIFE");
    readChildren(childList, families, nullptr);
}

}  // namespace kl
