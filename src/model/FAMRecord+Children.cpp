// Checking a candidate child against the family before it is attached, and
// the drops that attach children and spouses. A refusal is a message, never
// an exception.
#include "foundation/FormatText.h"
#include "model/FAMRecord.h"
#include "model/GEDCOMStructure.h"
#include "model/INDIRecord.h"
#include "model/LibraryServices.h"

namespace kl {

namespace {

// 120 years of 365 days: the oldest a parent is taken to have lived.
constexpr SDN kParentLifeDays = 43800;
// How long after a parent's death a child may still be born.
constexpr SDN kAfterMotherDays = 181;
constexpr SDN kAfterFatherDays = 481;

std::string local(std::string_view key) { return LibraryServices::current()->localString(key); }

bool namesChild(const GEDCOMObject& family, const std::string& id) {
    for (const auto& link : family.structures())
        if (link->gtag() == "CHIL" && link->contents() == id) return true;
    return false;
}

// What the check reads of one parent; all 0 for a missing parent.
struct ParentDays {
    std::shared_ptr<INDIRecord> person;
    SDN deathMax = 0;
    SDN death = 0;
    SDN birth = 0;

    explicit ParentDays(std::shared_ptr<INDIRecord> p) : person(std::move(p)) {
        if (!person) return;
        deathMax = person->deathSDNMax();
        death = person->deathSDN();
        birth = person->birthSDN();
    }
    SDN latestBirth() const { return death - kParentLifeDays; }
    std::string name() const { return person ? person->altViewName() : std::string(); }
    std::string birthText() const { return person ? person->birthDate() : std::string(); }
    std::string deathText() const { return person ? person->deathDate() : std::string(); }
};

// One warning of the date check: when it fires and the message it gives.
struct DateRule {
    bool (*fires)(SDN birth, SDN birthMax, SDN deathMax, const ParentDays& mother, const ParentDays& father);
    const char* message;
    bool deathOfChild;  // the message shows the child's death date, else its birth date
    bool mother;        // the parent named
    bool parentBirth;   // the parent's birth date, else its death date
};

// In order; the first that fires answers. The death tests only run for a
// child with a known death.
const DateRule kRules[] = {
    {[](SDN b, SDN, SDN, const ParentDays& m, const ParentDays&) {
         return b > 0 && m.deathMax > 0 && b - m.deathMax >= kAfterMotherDays;
     },
     "%@'s birth date (%@) may be after mother (%@, d:%@) died.", false, true, false},
    {[](SDN b, SDN, SDN, const ParentDays&, const ParentDays& f) {
         return b > 0 && f.deathMax > 0 && b - f.deathMax >= kAfterFatherDays;
     },
     "%@'s birth date (%@) may be well after father (%@, d:%@) died.", false, false, false},
    {[](SDN, SDN bmax, SDN, const ParentDays& m, const ParentDays&) { return bmax > 0 && m.birth > 0 && bmax < m.birth; },
     "%@'s birth date (%@) may be before mother (%@, b:%@) was born.", false, true, true},
    {[](SDN, SDN bmax, SDN, const ParentDays&, const ParentDays& f) { return bmax > 0 && f.birth > 0 && bmax < f.birth; },
     "%@'s birth date (%@) may be before father (%@, b:%@) was born.", false, false, true},
    {[](SDN, SDN, SDN d, const ParentDays& m, const ParentDays&) { return d > 0 && d < m.birth; },
     "%@'s death date (%@) may be before mother (%@, b:%@) was born.", true, true, true},
    {[](SDN, SDN, SDN d, const ParentDays& m, const ParentDays&) { return d > 0 && m.birth == 0 && d < m.latestBirth(); },
     "%@'s death date (%@) may be before mother (%@, d:%@) was born.", true, true, false},
    {[](SDN, SDN, SDN d, const ParentDays&, const ParentDays& f) { return d > 0 && d < f.birth; },
     "%@'s death date (%@) may be before father (%@, b:%@) was born.", true, false, true},
    {[](SDN, SDN, SDN d, const ParentDays&, const ParentDays& f) { return d > 0 && f.birth == 0 && d < f.latestBirth(); },
     "%@'s death date (%@) may be before father (%@, d:%@) was born.", true, false, false},
};

}  // namespace

std::optional<std::string> FAMRecord::verifyChild(const std::shared_ptr<INDIRecord>& candidate, bool& fatal) const {
    fatal = true;
    if (!candidate) return local("No child was selected.");
    const std::string& id = candidate->grecordID();
    const std::string name = candidate->altViewName();
    if (namesChild(*this, id))
        return formatText(local("The individual %@ is already attached to this family."), {name});
    if (husbandID() == id)
        return formatText(local("The individual %@ is the father in this family and therefore cannot also be a child."),
                          {name});
    if (wifeID() == id)
        return formatText(local("The individual %@ is the mother in this family and therefore cannot also be a child."),
                          {name});

    const SDN birth = candidate->birthSDN();
    const SDN birthMax = candidate->birthSDNMax();
    const SDN deathMax = candidate->deathSDNMax();
    if (birth == 0 && deathMax == 0) return std::nullopt;
    const ParentDays mother(wifeRecord());
    const ParentDays father(husbandRecord());
    if (!mother.person && !father.person) return std::nullopt;
    fatal = false;
    for (const auto& rule : kRules) {
        if (!rule.fires(birth, birthMax, deathMax, mother, father)) continue;
        const ParentDays& parent = rule.mother ? mother : father;
        return formatText(local(rule.message),
                          {name, rule.deathOfChild ? candidate->deathDate() : candidate->birthDate(), parent.name(),
                           rule.parentBirth ? parent.birthText() : parent.deathText()});
    }
    return std::nullopt;
}

// ---- drops

const GEDCOMRecord::DropTable& FAMRecord::dropTable() const {
    static const DropTable table = extendDropTable(
        baseDropTable(), {
                             {"dropINDIRecord:", static_cast<DropHandler>(&FAMRecord::dropINDIRecord)},
                             {"dropINDICtrlRecord:", static_cast<DropHandler>(&FAMRecord::dropINDICtrlRecord)},
                         });
    return table;
}

GEDCOMRecord::DropAnswer FAMRecord::dropINDIRecord(const std::shared_ptr<GEDCOMRecord>& dropped) {
    auto child = std::dynamic_pointer_cast<INDIRecord>(dropped);
    bool fatal = true;
    auto message = verifyChild(child, fatal);
    if (!message) {
        attachChild(child, PedigreeBirth);
        return std::nullopt;
    }
    if (fatal) return message;
    return *message + local(" Use Attach->Child... menu command if you still want to attach.");
}

GEDCOMRecord::DropAnswer FAMRecord::dropINDICtrlRecord(const std::shared_ptr<GEDCOMRecord>& dropped) {
    auto person = std::dynamic_pointer_cast<INDIRecord>(dropped);
    const std::string sex = person ? person->sex() : "U";
    if (sex == "M" || sex == "F") {
        attachSpouse(person, sex == "M" ? "HUSB" : "WIFE");
        return std::nullopt;
    }
    return local("The selected individual has unknown sex and cannot be attached as a spouse.");
}

}  // namespace kl
