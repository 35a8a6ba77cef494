#include "charts/RelativesGraph.h"

#include <algorithm>
#include <string_view>

#include "document/GEDCOMModel.h"
#include "model/GEDCOMStructure.h"
#include "model/FAMRecord.h"
#include "model/INDIRecord.h"

namespace kl {

RelativesGraph::RelativesGraph(GEDCOMModel& model) {
    const auto individuals = model.recordsOfType("INDI");
    const auto families = model.recordsOfType("FAM");
    people_.reserve(individuals.size());
    families_.reserve(families.size());
    // The links are read from the records' own lines through these maps,
    // which is several times quicker than asking the store for each one.
    std::unordered_map<std::string_view, int> personByID, familyByID;
    personByID.reserve(individuals.size());
    familyByID.reserve(families.size());
    for (const auto& record : individuals)
        if (auto person = std::dynamic_pointer_cast<INDIRecord>(record)) {
            const int index = static_cast<int>(people_.size());
            personIndex_.emplace(person.get(), index);
            personByID.emplace(person->grecordID(), index);
            people_.push_back(Person{person, person->sexChar(), {}, {}, 0, 0});
        }
    for (const auto& record : families)
        if (auto family = std::dynamic_pointer_cast<FAMRecord>(record)) {
            const int index = static_cast<int>(families_.size());
            familyIndex_.emplace(family.get(), index);
            familyByID.emplace(family->grecordID(), index);
            families_.push_back(Family{family, family->grecordID(), -1, -1, {}});
        }
    const auto lookUp = [](const std::unordered_map<std::string_view, int>& map, const std::string& id) {
        const auto found = map.find(id);
        return found == map.end() ? -1 : found->second;
    };
    for (Family& family : families_) {
        bool husband = false, wife = false;
        for (const auto& link : family.record->structures()) {
            const std::string& tag = link->gtag();
            if (tag == "HUSB" && !husband) {
                husband = true;
                family.husband = lookUp(personByID, link->contents());
            } else if (tag == "WIFE" && !wife) {
                wife = true;
                family.wife = lookUp(personByID, link->contents());
            } else if (tag == "CHIL") {
                if (const int child = lookUp(personByID, link->contents()); child >= 0) family.children.push_back(child);
            }
        }
    }
    std::vector<std::vector<int>> own(people_.size());
    for (std::size_t i = 0; i < people_.size(); ++i)
        for (const auto& link : people_[i].record->structures()) {
            const std::string& tag = link->gtag();
            if (tag != "FAMS" && tag != "FAMC") continue;
            const int family = lookUp(familyByID, link->contents());
            if (family < 0) continue;
            (tag == "FAMS" ? people_[i].families : own[i]).push_back(family);
        }
    // Own parents' families, then each father's other families, then each
    // mother's, as the individual lists them.
    for (std::size_t i = 0; i < people_.size(); ++i) {
        Person& person = people_[i];
        person.parents = own[i];
        person.own = own[i].size();
        for (const bool fathers : {true, false}) {
            for (const int family : own[i]) {
                const int parent = fathers ? families_[static_cast<std::size_t>(family)].husband
                                           : families_[static_cast<std::size_t>(family)].wife;
                if (parent < 0) continue;
                for (const int other : people_[static_cast<std::size_t>(parent)].families)
                    if (other != family) person.parents.push_back(other);
            }
            if (fathers) person.father = person.parents.size() - person.own;
        }
    }
}

int RelativesGraph::personIndex(const GEDCOMRecord* record) const {
    const auto found = personIndex_.find(record);
    return found == personIndex_.end() ? -1 : found->second;
}

int RelativesGraph::familyIndex(const GEDCOMRecord* record) const {
    const auto found = familyIndex_.find(record);
    return found == familyIndex_.end() ? -1 : found->second;
}

int RelativesGraph::linkingParent(int lower, int upper) const {
    const Family& below = family(lower);
    for (const int partner : {below.husband, below.wife}) {
        if (partner < 0) continue;
        const Person& p = person(partner);
        const auto ownEnd = p.parents.begin() + static_cast<std::ptrdiff_t>(p.own);
        if (std::find(p.parents.begin(), ownEnd, upper) != ownEnd) return partner;
    }
    return -1;
}

int RelativesGraph::stepOf(int personIndex, int familyIndex) const {
    const Person& p = person(personIndex);
    const auto found = std::find(p.parents.begin(), p.parents.end(), familyIndex);
    if (found == p.parents.end()) return 0;
    const auto at = static_cast<std::size_t>(found - p.parents.begin());
    if (at < p.own) return 0;
    return at < p.own + p.father ? 1 : 2;
}

}  // namespace kl
