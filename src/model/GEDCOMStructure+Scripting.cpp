// The scripting surface of a structure: its event texts and value setters
// for internal scripts, and its neighbours, place record and bounds as
// script objects. Setters change the tree on the main thread while the
// script's thread waits.
#include <cstdio>
#include <map>

#include "dates/DateBridge.h"
#include "foundation/MainThread.h"
#include "model/GEDCOMRecord.h"
#include "model/GEDCOMStructure.h"
#include "model/RecordScriptHost.h"
#include "model/RecordStore.h"

namespace kl {

namespace {

using StructureGetter = std::string (*)(GEDCOMStructure&);

const std::map<std::string, StructureGetter, std::less<>>& structureGetters() {
    static const std::map<std::string, StructureGetter, std::less<>> table{
        {"class", [](GEDCOMStructure&) { return std::string("structure"); }},
        {"name", [](GEDCOMStructure& s) { return s.gtag(); }},
        {"contents", [](GEDCOMStructure& s) { return s.contents(); }},
        {"eventDate", [](GEDCOMStructure& s) { return s.eventDate(); }},
        {"eventYear", [](GEDCOMStructure& s) { return s.eventYear(); }},
        {"eventDateUser", [](GEDCOMStructure& s) { return s.subordinateDate(); }},
        {"eventDatePlace", [](GEDCOMStructure& s) { return s.eventDatePlace(); }},
        {"eventDateUserPlace", [](GEDCOMStructure& s) { return s.eventDateUserPlace(); }},
        {"eventCountry", [](GEDCOMStructure& s) { return s.eventCountry(); }},
        {"eventYearCountry", [](GEDCOMStructure& s) { return s.eventYearCountry(); }},
        {"eventPlace", [](GEDCOMStructure& s) { return s.eventPlace(); }},
        {"eventPlacePlusAddress", [](GEDCOMStructure& s) { return s.eventPlaceWithAddress(); }},
        {"eventSDN", [](GEDCOMStructure& s) { return std::to_string(s.eventSDN()); }},
        {"eventSDNMax", [](GEDCOMStructure& s) { return std::to_string(s.eventSDNMax()); }},
        {"memo", [](GEDCOMStructure& s) { return s.quickMemo(); }},
    };
    return table;
}

using StructureSetter = void (*)(GEDCOMStructure&, const std::string&);

// "evenPlace" is the key scripts have always used to set the place;
// "eventPlace" only reads.
const std::map<std::string, StructureSetter, std::less<>>& structureSetters() {
    static const std::map<std::string, StructureSetter, std::less<>> table{
        {"contents", [](GEDCOMStructure& s, const std::string& v) { s.setContents(v); }},
        {"eventDate", [](GEDCOMStructure& s, const std::string& v) { s.setEventDate(v); }},
        {"evenPlace", [](GEDCOMStructure& s, const std::string& v) { s.setEventPlace(v); }},
        {"memo", [](GEDCOMStructure& s, const std::string& v) { s.setQuickMemo(v); }},
        {"name", [](GEDCOMStructure& s, const std::string& v) { s.setReadTag(v); }},
    };
    return table;
}

std::string joinPresent(const std::string& first, const std::string& second) {
    if (!first.empty() && !second.empty()) return first + ", " + second;
    return first.empty() ? second : first;
}

std::string trimmed(std::string_view text) {
    constexpr std::string_view kWhite = " \t\r\n";
    const auto first = text.find_first_not_of(kWhite);
    if (first == std::string_view::npos) return {};
    return std::string(text.substr(first, text.find_last_not_of(kWhite) - first + 1));
}

std::string formatG(double number) {
    char buffer[32];
    std::snprintf(buffer, sizeof buffer, "%g", number);
    return buffer;
}

}  // namespace

// ---- event texts

std::string GEDCOMStructure::eventYear() {
    const std::string date = eventDate();
    return date.empty() ? std::string() : yearFromDate(date);
}

std::string GEDCOMStructure::eventDatePlace() { return joinPresent(eventDate(), eventPlace()); }

std::string GEDCOMStructure::eventDateUserPlace() { return joinPresent(subordinateDate(), eventPlace()); }

std::string GEDCOMStructure::eventCountry() {
    const std::string place = eventPlace();
    const auto comma = place.rfind(',');
    return trimmed(comma == std::string::npos ? std::string_view(place) : std::string_view(place).substr(comma + 1));
}

std::string GEDCOMStructure::eventYearCountry() { return joinPresent(eventYear(), eventCountry()); }

// ---- attributes

std::optional<std::string> GEDCOMStructure::klis_getAttribute(const std::string& name, ISInterpreter*) {
    auto it = structureGetters().find(name);
    if (it != structureGetters().end()) return it->second(*this);
    return nodeAttribute(name);
}

bool GEDCOMStructure::klis_setAttribute(const std::string& name, const std::string& value, ISInterpreter*) {
    auto it = structureSetters().find(name);
    if (it == structureSetters().end()) return false;
    // The script that addresses this structure holds it through the wait;
    // one not yet in a record's tree has no pointer of its own to find.
    GEDCOMStructure* self = this;
    Dispatcher::current().postAndWait([self, setter = it->second, value] { setter(*self, value); });
    return true;
}

std::shared_ptr<Object> GEDCOMStructure::klis_getObjectAttribute(const std::string& name, ISInterpreter* sender) {
    using Neighbour = std::shared_ptr<GEDCOMObject> (*)(const GEDCOMStructure&);
    static const std::map<std::string, Neighbour, std::less<>> neighbours{
        {"parentStructure", [](const GEDCOMStructure& s) { return s.parentStructure(); }},
        {"nextStructure", [](const GEDCOMStructure& s) -> std::shared_ptr<GEDCOMObject> { return s.nextStructure(); }},
        {"prevStructure", [](const GEDCOMStructure& s) -> std::shared_ptr<GEDCOMObject> { return s.prevStructure(); }},
    };
    if (auto it = neighbours.find(name); it != neighbours.end()) {
        auto found = it->second(*this);
        return found ? std::shared_ptr<Object>(std::move(found)) : noneValue(sender);
    }
    if (name == "placeRecord" || name == "eventLonLatBounds") {
        std::shared_ptr<Object> place;
        const std::string placeName = eventPlace();
        RecordStore* store = record_ ? record_->model() : nullptr;
        if (!placeName.empty() && store)
            if (auto id = store->placeRecordIDForName(placeName)) place = store->recordWithID(*id, "_PLC");
        if (name == "placeRecord") return place ? place : noneValue(sender);
        return lonLatBounds(std::static_pointer_cast<GEDCOMRecord>(place), sender);
    }
    return nodeObjectAttribute(name, sender);
}

std::shared_ptr<Object> GEDCOMStructure::lonLatBounds(const std::shared_ptr<GEDCOMRecord>& place,
                                                      ISInterpreter* sender) {
    RecordScriptHost* host = scriptHost();
    if (auto gps = firstChildWithTag("_GPS"); gps && host)
        if (auto rect = host->boundsToRect(gps->contents())) {
            Array texts;
            for (double number : *rect) texts.emplace_back(formatG(number));
            return listValue(sender, std::move(texts));
        }
    if (place)
        if (auto bounds = place->klis_getObjectAttribute("lonLatBounds", sender)) return bounds;
    return noneValue(sender);
}

std::optional<ScriptSpecifier> GEDCOMStructure::objectSpecifier() {
    auto parent = record_ ? record_->parentOfStructure(this) : nullptr;
    if (!parent) return std::nullopt;
    const std::size_t index = parent->indexOfStructure(this);
    if (index == notFound) return std::nullopt;
    return ScriptSpecifier{parent, "klStructures", index, {}};
}

}  // namespace kl
