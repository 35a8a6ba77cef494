#include "document/RecordPathFacts.h"

#include <array>

#include "dates/DateBridge.h"
#include "model/GEDCOMRecord.h"
#include "model/GEDCOMStructure.h"
#include "model/RecordStore.h"

namespace kl {

namespace {

// Past this age an individual without a death event counts as dead.
constexpr std::int64_t kPresumedDeadYears = 111;

std::string dateOf(const GEDCOMRecord& record, std::string_view eventTag) {
    const GEDCOMStructure* event = RecordPathFacts::child(record, eventTag);
    const GEDCOMStructure* date = event ? RecordPathFacts::child(*event, "DATE") : nullptr;
    return date ? date->contents() : std::string();
}

// A missing date has no year; one that does not parse gives "?".
std::string shortYear(const std::string& date) { return date.empty() ? std::string() : yearFromDate(date); }

std::string firstYear(const GEDCOMRecord& record, std::initializer_list<std::string_view> events, bool* anyEvent) {
    std::string year;
    for (std::string_view tag : events) {
        if (anyEvent && RecordPathFacts::child(record, tag)) *anyEvent = true;
        if (year.empty()) year = shortYear(dateOf(record, tag));
    }
    return year;
}

bool presumedDead(const std::string& birthDate) {
    if (birthDate.empty()) return false;
    SDN earliest = 0;
    SDN latest = 0;
    if (sdnRangeForDate(birthDate, earliest, latest)) return false;
    return yearsBetweenSdns(latest, todaySdn()) >= kPresumedDeadYears;
}

}  // namespace

GEDCOMStructure* RecordPathFacts::child(const GEDCOMObject& node, std::string_view tag) { return child(node, tag, 1); }

GEDCOMStructure* RecordPathFacts::child(const GEDCOMObject& node, std::string_view tag, long n) {
    long wanted = n < 2 ? 1 : n;
    for (const auto& c : node.structures())
        if (c->gtag() == tag && --wanted == 0) return c.get();
    return nullptr;
}

std::string RecordPathFacts::lifeSpan(const GEDCOMRecord& individual) {
    const std::string birthDate = dateOf(individual, "BIRT");
    const std::string birth = firstYear(individual, {"BIRT", "BAPM", "CHR"}, nullptr);
    bool deathEvent = false;
    std::string death = firstYear(individual, {"DEAT", "BURI", "CREM"}, &deathEvent);
    if (deathEvent && death.empty()) death = "?";
    if (death.empty() && presumedDead(birthDate)) death = "?";
    if (birth.empty() && death.empty()) return {};
    return birth + "-" + death;
}

GEDCOMStructure* RecordPathFacts::spouse(const GEDCOMRecord& individual, std::size_t n, RecordStore* store,
                                         std::string& spouseID) {
    GEDCOMStructure* link = child(individual, "FAMS", static_cast<long>(n));
    if (!link || !store) return nullptr;
    auto family = store->recordWithID(link->contents(), "FAM");
    if (!family) return nullptr;
    const GEDCOMStructure* husband = child(*family, "HUSB");
    const GEDCOMStructure* wife = child(*family, "WIFE");
    const std::string husbandID = husband ? husband->contents() : std::string();
    spouseID = husbandID != individual.grecordID() ? husbandID : (wife ? wife->contents() : std::string());
    return spouseID.empty() ? nullptr : link;
}

}  // namespace kl
