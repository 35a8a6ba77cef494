#include "charts/RelativesGraph.h"

#include <algorithm>

#include "document/GEDCOMModel.h"
#include "model/FAMRecord.h"
#include "model/INDIRecord.h"

namespace kl {

RelativesGraph::RelativesGraph(GEDCOMModel& model) {
    const auto individuals = model.recordsOfType("INDI");
    const auto families = model.recordsOfType("FAM");
    people_.reserve(individuals.size());
    families_.reserve(families.size());
    for (const auto& record : individuals)
        if (auto person = std::dynamic_pointer_cast<INDIRecord>(record)) {
            personIndex_.emplace(person.get(), static_cast<int>(people_.size()));
            people_.push_back(Person{person, person->sexChar(), {}, {}, 0, 0});
        }
    for (const auto& record : families)
        if (auto family = std::dynamic_pointer_cast<FAMRecord>(record)) {
            familyIndex_.emplace(family.get(), static_cast<int>(families_.size()));
            families_.push_back(Family{family, family->grecordID(), -1, -1, {}});
        }
    for (Family& family : families_) {
        family.husband = personIndex(family.record->husbandRecord().get());
        family.wife = personIndex(family.record->wifeRecord().get());
        for (const auto& child : family.record->children())
            if (const int index = personIndex(child.get()); index >= 0) family.children.push_back(index);
    }
    for (Person& person : people_) {
        if (const auto spouses = person.record->spouses(nullptr))
            for (const auto& family : *spouses)
                if (const int index = familyIndex(family.get()); index >= 0) person.families.push_back(index);
        INDIRecord::ParentSteps steps;
        const auto parents = person.record->allParentsStartStep(&steps);
        // Counted as they resolve, so the parts keep their lengths.
        for (std::size_t i = 0; i < parents.size(); ++i) {
            const int index = familyIndex(parents[i].get());
            if (index < 0) continue;
            person.parents.push_back(index);
            if (i < steps.own)
                ++person.own;
            else if (i < steps.own + steps.father)
                ++person.father;
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
