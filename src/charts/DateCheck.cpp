#include "charts/DateCheck.h"

#include <optional>

#include "dates/DateBridge.h"
#include "foundation/HTMLText.h"
#include "model/FAMRecord.h"
#include "model/GEDCOMStructure.h"
#include "model/INDIRecord.h"
#include "model/ReportText.h"

namespace kl {

namespace {

constexpr const char* kError = "<font color='red'>Error</font>";
constexpr SDN kPregnancyDays = 280;
constexpr SDN kYearDays = 365;

struct Range {
    SDN earliest = 0;
    SDN latest = 0;
    bool known() const { return earliest > 0; }
};

// A date's range; the parser's complaint goes to `error` (an unparsable
// date is then treated as empty).
Range rangeOf(const std::string& text, std::optional<std::string>* error = nullptr) {
    Range range;
    auto complaint = sdnRangeForDate(text, range.earliest, range.latest);
    if (complaint) {
        if (error) *error = std::move(complaint);
        return {};
    }
    return range;
}

int years(SDN from, SDN to) { return static_cast<int>(static_cast<double>(to - from) / 365.2425); }

std::string page(const std::string& text) { return safeHTMLText(text, false, false); }

class Findings {
public:
    explicit Findings(DateFindings& out) : out_(out) {}
    // An error's first value is the marker.
    void error(std::string_view pattern, std::initializer_list<std::string> values) {
        std::vector<std::string> all{kError};
        all.insert(all.end(), values);
        out_.messages.push_back(report::fill(pattern, all));
        ++out_.errors;
    }
    void warning(std::string_view pattern, std::initializer_list<std::string> values) {
        out_.messages.push_back(report::fill(pattern, std::vector<std::string>(values)));
        ++out_.warnings;
    }

private:
    DateFindings& out_;
};

}  // namespace

DateFindings checkPersonDates(const PersonDates& person, const DateLimits& limits) {
    DateFindings result;
    Findings found(result);
    const std::string he = person.male ? "he" : "she";
    const std::string his = person.male ? "his" : "her";

    std::optional<std::string> complaint;
    const Range birth = rangeOf(person.birth, &complaint);
    if (complaint) found.error("%@: birth date (%@) is not valid: %@", {page(person.birth), page(*complaint)});
    complaint.reset();
    const Range death = rangeOf(person.death, &complaint);
    if (complaint) found.error("%@: death date (%@) is not valid: %@", {page(person.death), page(*complaint)});

    if (birth.known() && death.known()) {
        if (death.latest < birth.earliest) found.error("%@: %@ death date is before %@ birth date", {his, his});
        const int age = years(birth.latest, death.earliest);
        if (age >= limits.maxPersonAge) found.warning("Warning: %@ age at death was %d", {his, std::to_string(age)});
    }
    if (!birth.known() && !death.known()) return result;

    for (const auto& parent : person.parents) {
        const std::string which = parent.male ? "father" : "mother";
        const Range parentBirth = rangeOf(parent.birth);
        if (parentBirth.known()) {
            if (birth.known()) {
                const int age = years(parentBirth.latest, birth.earliest);
                if (age >= (parent.male ? limits.maxFatherAge : limits.maxMotherAge))
                    found.warning(parent.male ? "Warning: %@ was born when %@ father was very old (%dy)"
                                              : "Warning: %@ was born when %@ mother was very old (%dy)",
                                  {he, his, std::to_string(age)});
                if (birth.latest < parentBirth.earliest)
                    found.error("%@: %@ %@ was born after %@ was born", {his, which, he});
                else if (age <= limits.minParentAge)
                    found.warning("Warning: %@ was born when %@ %@ was very young (%dy)",
                                  {he, his, which, std::to_string(age)});
            }
            if (death.known()) {
                if (death.latest < parentBirth.earliest) {
                    found.error("%@: %@ died before %@ %@ was born", {he, his, which});
                } else {
                    const int age = years(parentBirth.earliest, death.latest);
                    if (age <= limits.minParentAge)
                        found.warning("Warning: %@ died when %@ %@ was very young (%dy)",
                                      {he, his, which, std::to_string(age)});
                }
            }
        }
        const Range parentDeath = rangeOf(parent.death);
        if (!parentDeath.known()) continue;
        if (birth.known()) {
            if (parent.male && parentDeath.latest < birth.earliest - kPregnancyDays)
                found.error("%@: %@ was born more than 9 months after %@ father died", {he, his});
            else if (!parent.male && parentDeath.latest < birth.earliest)
                found.error("%@: %@ was born after %@ mother died", {he, his});
        }
        if (death.known()) {
            const int after = years(death.latest, parentDeath.earliest);
            if (after >= limits.maxPersonAge - limits.minParentAge)
                found.warning("Warning: %@ %@ died many years (%dy) after %@ died",
                              {his, which, std::to_string(after), he});
        }
    }

    const bool numbered = person.marriages.size() >= 2;
    for (std::size_t i = 0; i < person.marriages.size(); ++i) {
        const std::string marker = numbered ? " #" + std::to_string(i + 1) + " " : " ";
        complaint.reset();
        const Range marriage = rangeOf(person.marriages[i], &complaint);
        if (complaint)
            found.error("%@: marriage%@date (%@) is not valid: %@",
                        {marker, page(person.marriages[i]), page(*complaint)});
        if (!marriage.known()) continue;
        if (birth.known()) {
            if (marriage.latest < birth.earliest) {
                found.error("%@: %@ marriage%@was before %@ was born", {his, marker, he});
            } else {
                const int age = years(birth.earliest, marriage.latest);
                if (age <= limits.minSpouseAge)
                    found.warning("Warning: %@ marriage%@was at a very young age (%dy)",
                                  {his, marker, std::to_string(age)});
            }
        }
        if (death.known()) {
            if (death.latest < marriage.earliest) {
                found.error("%@: %@ died before marriage%@", {he, marker});
            } else {
                const int span = years(marriage.latest, death.earliest);
                if (span >= limits.maxPersonAge - limits.minSpouseAge)
                    found.warning("Warning: %@ lived many years (%dy) after marriage%@",
                                  {he, std::to_string(span), marker});
            }
        }
    }

    for (const auto& event : person.events) {
        complaint.reset();
        const Range range = rangeOf(event.date, &complaint);
        if (complaint)
            found.error("%@: %@ date (%@) is not valid: %@", {page(event.name), page(event.date), page(*complaint)});
        if (range.earliest == 0) continue;
        if (birth.known() && range.latest < birth.earliest - kYearDays)
            found.warning("Warning: %@ event was more than a year before %@ was born", {page(event.name), he});
        if (death.known() && range.earliest > death.latest + kYearDays)
            found.warning("Warning: %@ event was more than a year after %@ died", {page(event.name), he});
    }
    return result;
}

namespace {

void collectEvents(const GEDCOMObject& node, const std::function<std::string(const std::string&)>& eventName,
                   std::vector<PersonDates::Event>& events) {
    const std::string& tag = node.gtag();
    const bool skipped = tag == "BIRT" || tag == "DEAT" || tag == "CHAN" || tag == "DATA";
    for (const auto& child : node.structures()) {
        if (child->gtag() == "DATE" && !skipped) events.push_back({eventName(tag), child->contents()});
        collectEvents(*child, eventName, events);
    }
}

std::string dateOf(const GEDCOMObject& record, std::string_view event) {
    const auto line = record.firstChildWithTag(event);
    const auto date = line ? line->firstChildWithTag("DATE") : nullptr;
    return date ? date->contents() : std::string();
}

}  // namespace

PersonDates datesOfIndividual(const INDIRecord& person,
                              const std::function<std::string(const std::string&)>& eventName) {
    PersonDates dates;
    dates.male = person.sexChar() == u'M';
    dates.birth = dateOf(person, "BIRT");
    dates.death = dateOf(person, "DEAT");
    if (const auto family = person.parentsFAM()) {
        for (const auto& parent : {family->husbandRecord(), family->wifeRecord()})
            if (parent)
                dates.parents.push_back({parent->sexChar() == u'M', dateOf(*parent, "BIRT"), dateOf(*parent, "DEAT")});
    }
    for (const auto& family : person.spouseFamsRecs()) dates.marriages.push_back(dateOf(*family, "MARR"));
    collectEvents(person, eventName, dates.events);
    return dates;
}

}  // namespace kl
