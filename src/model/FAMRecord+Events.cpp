// The family's marriage data, its names in every form and the texts handed
// to outside searches. Read from the structures on every call.
#include "dates/DateBridge.h"
#include "model/FAMRecord.h"
#include "model/GEDCOMStructure.h"
#include "model/INDIRecord.h"
#include "model/LibraryServices.h"

namespace kl {

namespace {

std::string marriageLine(const GEDCOMObject& family, std::string_view tag) {
    auto marriage = family.firstChildWithTag("MARR");
    auto line = marriage ? marriage->firstChildWithTag(tag) : nullptr;
    return line ? line->contents() : std::string();
}

std::string local(std::string_view key) { return LibraryServices::current()->localString(key); }

// A spouse's name for the family's names; the unknown text when the slot is
// empty or names nobody.
std::string spouseName(const std::shared_ptr<INDIRecord>& spouse, std::string_view unknown, bool alt) {
    if (!spouse) return local(unknown);
    return alt ? spouse->altViewName() : spouse->viewName();
}

}  // namespace

// ---- marriage

std::string FAMRecord::marriageDate() const { return marriageLine(*this, "DATE"); }
std::string FAMRecord::marriagePlace() const { return marriageLine(*this, "PLAC"); }

std::string FAMRecord::marriageDateUser() const {
    const std::string date = marriageDate();
    return date.empty() ? date : userDisplayDate(date);
}

std::string FAMRecord::marriagePlaceWithAddress() const {
    auto marriage = firstChildWithTag("MARR");
    return marriage ? place(*marriage, true) : std::string();
}

SDN FAMRecord::marriageSDN() const { return earliestSdnForDate(marriageDate()); }
SDN FAMRecord::marriageSDNMax() const { return latestSdnForDate(marriageDate()); }

std::int64_t FAMRecord::anniversaryInYears() const {
    const SDN married = marriageSDN();
    return married == 0 ? -1 : yearsBetweenSdns(married, todaySdn());
}

void FAMRecord::setMarriageDate(const std::string& date) { setGenericTag("DATE", std::string("MARR"), date); }
void FAMRecord::setMarriagePlace(const std::string& place) { setGenericTag("PLAC", std::string("MARR"), place); }

// ---- names of the spouse slots

namespace {

std::string slotName(const std::shared_ptr<INDIRecord>& spouse, const std::string& tag, std::string_view female,
                     std::string_view male) {
    if (spouse) return local(spouse->sex() == "F" ? female : male);
    return local(tag == "WIFE" ? female : male);
}

}  // namespace

std::string FAMRecord::unmarriedName(const std::string& tag) const {
    return slotName(resolve(firstChildWithTag(tag) ? firstChildWithTag(tag)->contents() : ""), tag, "Mother",
                    "Father");
}

std::string FAMRecord::marriedName(const std::string& tag) const {
    return slotName(resolve(firstChildWithTag(tag) ? firstChildWithTag(tag)->contents() : ""), tag, "Wife",
                    "Husband");
}

// ---- names

std::string FAMRecord::viewName() const {
    return spouseName(husbandRecord(), "(unknown husband)", false) + "-" +
           spouseName(wifeRecord(), "(unknown wife)", false) + " Family";
}

std::string FAMRecord::altViewName() const {
    return spouseName(husbandRecord(), "(unknown husband)", true) + " and " +
           spouseName(wifeRecord(), "(unknown wife)", true) + " Family";
}

std::string FAMRecord::ipnSearch() const {
    auto husbandPerson = husbandRecord();
    auto wifePerson = wifeRecord();
    return (husbandPerson ? husbandPerson->surname() : std::string()) + "/" +
           (wifePerson ? wifePerson->surname() : std::string());
}

std::string FAMRecord::ipnName() const {
    const std::string date = marriageDate();
    return ipnSearch() + " (" + (date.empty() ? std::string() : yearFromDate(date)) + ")";
}

std::optional<std::vector<std::string>> FAMRecord::viewTags() const {
    std::vector<std::string> tags;
    for (const auto& spouse : {husbandRecord(), wifeRecord()})
        if (spouse && spouse->firstChildWithTag("NAME")) tags.push_back("NAME");
    if (tags.empty()) return std::nullopt;
    return tags;
}

std::optional<std::array<std::string, 2>> FAMRecord::nameForEventToDetach(const GEDCOMStructure& structure) const {
    auto name = LibraryServices::current()->eventName("FAM", structure.gtag());
    if (!name) return GEDCOMRecord::nameForEventToDetach(structure);
    return eventDetachEntry(structure, *name);
}

// ---- search texts

std::string FAMRecord::googleWords() const {
    std::string placeText = marriagePlace();
    if (placeText.empty()) placeText = firstPlace().value_or("");
    std::string date = marriageDate();
    if (date.empty()) date = firstDateUnlessChanged();
    return spouseName(husbandRecord(), "(unknown husband)", true) + " " +
           spouseName(wifeRecord(), "(unknown wife)", true) + " " + placeText + " " + date;
}

std::optional<Value> FAMRecord::familySearchTerms() const {
    auto husbandPerson = husbandRecord();
    auto wifePerson = wifeRecord();
    if (!husbandPerson && !wifePerson) return std::nullopt;
    std::array<std::string, 4> terms = husbandPerson ? husbandPerson->searchTerms() : wifePerson->searchTerms();
    if (husbandPerson && wifePerson && (terms[2].empty() || terms[3].empty())) {
        const auto hers = wifePerson->searchTerms();
        if (terms[2].empty()) terms[2] = hers[2];
        if (terms[3].empty()) terms[3] = hers[3];
    }
    const std::string date = marriageDate();
    if (date.size() >= 2) {
        const std::string year = yearFromDate(date);
        if (year.size() >= 2) terms[3] = searchYear(date);
    }
    if (!marriagePlace().empty()) terms[2] = marriagePlace();
    Array list;
    for (auto& term : terms) list.push_back(Value(std::move(term)));
    return Value(std::move(list));
}

}  // namespace kl
