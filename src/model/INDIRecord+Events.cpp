// The individual's birth and death data, ages, life span and the texts
// handed to outside searches. Everything is read from the structures on
// each call: an edit in the browser shows at once without invalidation.
#include <array>

#include "dates/DateBridge.h"
#include "model/GEDCOMStructure.h"
#include "model/INDIRecord.h"
#include "model/LibraryServices.h"
#include "model/wex.h"

namespace kl {

namespace {

// Past this age an individual without a death-type event counts as dead.
constexpr std::int64_t kPresumedDeadYears = 111;

std::string lineOf(const GEDCOMObject& record, std::string_view eventTag, std::string_view tag) {
    auto event = record.firstChildWithTag(eventTag);
    auto line = event ? event->firstChildWithTag(tag) : nullptr;
    return line ? line->contents() : std::string();
}

// A missing date has no year; one that does not parse gives "?".
std::string shortYear(const std::string& date) { return date.empty() ? std::string() : yearFromDate(date); }

// The year of the first of the events that has one; `anyEvent` learns
// whether any of them exists at all.
std::string firstYear(const GEDCOMObject& record, std::initializer_list<std::string_view> events, bool* anyEvent) {
    std::string year;
    for (std::string_view tag : events) {
        if (anyEvent && record.firstChildWithTag(tag)) *anyEvent = true;
        if (year.empty()) year = shortYear(lineOf(record, tag, "DATE"));
    }
    return year;
}

bool presumedDead(const std::string& birthDate) {
    if (birthDate.empty()) return false;
    SDN earliest = 0;
    SDN latest = 0;
    if (sdnRangeForDate(birthDate, earliest, latest) || latest == 0) return false;
    return yearsBetweenSdns(latest, todaySdn()) >= kPresumedDeadYears;
}

// The year shown beside a name: no "?" and no leading mark.
std::string plainYear(const std::string& date) {
    std::string year = shortYear(date);
    if (year == "?") return {};
    if (!year.empty() && (year[0] == '<' || year[0] == '>' || year[0] == 'c')) year.erase(0, 1);
    return year;
}

std::string firstNonEmpty(std::initializer_list<std::string> texts) {
    for (const auto& text : texts)
        if (!text.empty()) return text;
    return {};
}

std::string lastCommaPart(const std::string& place) {
    const std::size_t comma = place.rfind(',');
    return wex::nonWhiteString(comma == std::string::npos ? std::string_view(place)
                                                          : std::string_view(place).substr(comma + 1));
}

std::string placeWithAddress(const GEDCOMRecord& record, std::string_view eventTag) {
    auto event = record.firstChildWithTag(eventTag);
    return event ? GEDCOMRecord::place(*event, true) : std::string();
}

}  // namespace

// ---- dates and places

std::string INDIRecord::birthDate() const { return lineOf(*this, "BIRT", "DATE"); }
std::string INDIRecord::deathDate() const { return lineOf(*this, "DEAT", "DATE"); }
std::string INDIRecord::birthPlace() const { return lineOf(*this, "BIRT", "PLAC"); }
std::string INDIRecord::deathPlace() const { return lineOf(*this, "DEAT", "PLAC"); }

void INDIRecord::setBirthDate(const std::string& date) { setGenericTag("DATE", std::string("BIRT"), date); }
void INDIRecord::setDeathDate(const std::string& date) { setGenericTag("DATE", std::string("DEAT"), date); }
void INDIRecord::setBirthPlace(const std::string& place) { setGenericTag("PLAC", std::string("BIRT"), place); }
void INDIRecord::setDeathPlace(const std::string& place) { setGenericTag("PLAC", std::string("DEAT"), place); }

std::string INDIRecord::birthPlaceWithAddress() const { return placeWithAddress(*this, "BIRT"); }
std::string INDIRecord::deathPlaceWithAddress() const { return placeWithAddress(*this, "DEAT"); }

std::string INDIRecord::birthDateUser() const {
    const std::string date = birthDate();
    return date.empty() ? date : userDisplayDate(date);
}

std::string INDIRecord::deathDateUser() const {
    const std::string date = deathDate();
    return date.empty() ? date : userDisplayDate(date);
}

std::string INDIRecord::deathDateUnknown(const std::string& fallback) const {
    auto death = firstChildWithTag("DEAT");
    if (!death) return {};
    auto date = death->firstChildWithTag("DATE");
    return date ? date->contents() : fallback;
}

SDN INDIRecord::birthSDN() const { return earliestSdnForDate(birthDate()); }
SDN INDIRecord::birthSDNMax() const { return latestSdnForDate(birthDate()); }
SDN INDIRecord::deathSDN() const { return earliestSdnForDate(deathDate()); }
SDN INDIRecord::deathSDNMax() const { return latestSdnForDate(deathDate()); }

std::int64_t INDIRecord::ageInYears() const {
    const SDN birth = birthSDN();
    return birth == 0 ? -1 : yearsBetweenSdns(birth, todaySdn());
}

// ---- life span and name with years

std::string INDIRecord::lifeSpan() const {
    const std::string birthDateText = birthDate();
    const std::string birth = firstYear(*this, {"BIRT", "BAPM", "CHR"}, nullptr);
    bool deathEvent = false;
    std::string death = firstYear(*this, {"DEAT", "BURI", "CREM"}, &deathEvent);
    if (deathEvent && death.empty()) death = "?";
    if (!deathEvent && presumedDead(birthDateText)) death = "?";
    if (birth.empty() && death.empty()) return {};
    return birth + "-" + death;
}

std::string INDIRecord::ipnName() const {
    return viewName() + " (" + plainYear(birthDate()) + "-" + plainYear(deathDate()) + ")";
}

// ---- detach entries and search texts

std::optional<std::array<std::string, 2>> INDIRecord::nameForEventToDetach(const GEDCOMStructure& structure) const {
    auto services = LibraryServices::current();
    auto name = services->eventName("INDI", structure.gtag());
    if (!name) return GEDCOMRecord::nameForEventToDetach(structure);
    return eventDetachEntry(structure, *name);
}

std::string INDIRecord::googleWords() const {
    const std::string place = firstNonEmpty({birthPlace(), deathPlace(), firstPlace().value_or("")});
    std::string date = firstNonEmpty({birthDate(), deathDate()});
    if (date.empty()) date = firstDateUnlessChanged();
    return altViewName() + " " + place + " " + date;
}

std::array<std::string, 4> INDIRecord::searchTerms() const {
    std::string place = firstNonEmpty({birthPlace(), deathPlace(), lineOf(*this, "CHR", "PLAC"),
                                       lineOf(*this, "BAPM", "PLAC")});
    if (!place.empty()) place = lastCommaPart(place);
    std::string year = firstNonEmpty({birthDate(), deathDate(), lineOf(*this, "CHR", "DATE"),
                                      lineOf(*this, "BAPM", "DATE")});
    if (!year.empty()) year = searchYear(year);
    return {firstname(), surname(), place, year};
}

std::optional<Value> INDIRecord::familySearchTerms() const {
    Array terms;
    for (auto& term : searchTerms()) terms.push_back(Value(std::move(term)));
    return Value(std::move(terms));
}

}  // namespace kl
