#include "places/PlaceImport.h"

#include "document/GEDCOMModel.h"
#include "foundation/AsciiText.h"
#include "model/GEDCOMStructure.h"
#include "model/NOTERecord.h"
#include "model/PlaceRecord.h"
#include "places/PlaceDataRequests.h"

namespace kl {

namespace {

const std::string* textOf(const Dictionary& dictionary, std::string_view key) {
    const Value* value = dictionary.get(key);
    return value ? value->string() : nullptr;
}

std::string textOr(const Dictionary& dictionary, std::string_view key, std::string fallback = {}) {
    const std::string* text = textOf(dictionary, key);
    return text ? *text : fallback;
}

bool hasChild(const GEDCOMObject& parent, std::string_view tag, const std::string& contents) {
    for (const auto& child : parent.structures())
        if (child->gtag() == tag && child->contents() == contents) return true;
    return false;
}

std::optional<Value> fetch(const std::string& request, bool asList, PlaceDataError& error) {
    return MyHTTPRequest(request, PlaceImport::kTimeout).getJSONDictionaryOrError(&error, asList);
}

// A fact the record already has: same type, and the date and value the
// fact gives (those it gives) below it.
bool knownFact(const std::vector<std::shared_ptr<GEDCOMStructure>>& facts, const std::string& type,
               const std::string* date, const std::string* value) {
    for (const auto& fact : facts)
        if (fact->contents() == type && (!date || hasChild(*fact, "DATE", *date)) &&
            (!value || hasChild(*fact, "_VALUE", *value)))
            return true;
    return false;
}

void addNote(GEDCOMModel& model, PlaceRecord& record, bool existed, const std::string& comment) {
    if (comment.empty()) return;
    if (existed)
        for (const auto& link : record.structures()) {
            if (link->gtag() != "NOTE") continue;
            auto note = std::dynamic_pointer_cast<NOTERecord>(model.recordWithID(link->contents()));
            if (note && note->notesText() == comment) return;
        }
    auto note = model.createNewRecordOfType("NOTE");
    if (!note) return;
    note->insertNewUserText(comment);
    record.attachRefedLink(note, "NOTE");
}

void addFacts(PlaceRecord& record, const Dictionary& details) {
    const Value* list = details.get("event_dict");
    if (!list || !list->array()) return;
    const auto facts = record.findChildren("_PFACT", false);
    for (const Value& item : *list->array()) {
        const Dictionary* fact = item.dictionary();
        if (!fact || textOr(*fact, "level_of_origin") != "local") continue;
        const std::string type = textOr(*fact, "property_type");
        const std::string* date = textOf(*fact, "DATE");
        const std::string* value = textOf(*fact, "_VALUE");
        if (type.empty() || knownFact(facts, type, date, value) || (!date && !value)) continue;
        std::vector<std::string> pairs{"_PFACT", type};
        if (date) pairs.insert(pairs.end(), {"DATE", *date});
        if (value) pairs.insert(pairs.end(), {"_VALUE", *value});
        if (const std::string note = textOr(*fact, "_PNOTE"); !note.empty()) {
            pairs.insert(pairs.end(), {"_PNOTE", note});
            const std::string dist = asciiLower(textOr(*fact, "_DIST"));
            if (dist == "owner") pairs.insert(pairs.end(), {"_DIST", "Owner"});
            else if (dist == "family") pairs.insert(pairs.end(), {"_DIST", "Family"});
        }
        PlaceImport::makeStructure(pairs, record);
    }
}

void addLinks(PlaceRecord& record, const Dictionary& details) {
    const std::string wikipedia = textOr(details, "wikipedia_URL");
    if (!wikipedia.empty() && !hasChild(record, "_URL", wikipedia))
        PlaceImport::makeStructure({"_URL", wikipedia, "_LABEL", "Wikipedia"}, record);
    const Value* list = details.get("URL_dict");
    if (!list || !list->array()) return;
    for (const Value& item : *list->array()) {
        const Dictionary* link = item.dictionary();
        if (!link) continue;
        const std::string url = textOr(*link, "URL");
        if (url.empty() || hasChild(record, "_URL", url)) continue;
        std::vector<std::string> pairs{"_URL", url};
        if (const std::string type = textOr(*link, "URL_type"); !type.empty())
            pairs.insert(pairs.end(), {"_LABEL", type});
        PlaceImport::makeStructure(pairs, record);
    }
}

// The record's box named boxName with these bounds, added when there is none.
std::shared_ptr<GEDCOMStructure> boxFor(PlaceRecord& record, const std::string& boxName, const std::string& bounds) {
    for (const auto& box : record.structures())
        if (box->gtag() == "_BOX" && box->contents() == boxName && hasChild(*box, "_BNDS", bounds)) return box;
    // The points belong in the box just written, whose bounds are theirs,
    // not in an older box of the same name.
    return PlaceImport::makeStructure({"_BOX", boxName, "_BNDS", bounds}, record);
}

void addPoints(PlaceRecord& record, GEDCOMStructure& box, const PlaceImport::Choice& choice) {
    for (const Value& item : choice.pois) {
        const Dictionary* point = item.dictionary();
        if (!point) continue;
        const std::string* url = textOf(*point, "URL_descriptive");
        const std::string* latitude = textOf(*point, "POI_lat");
        const std::string* longitude = textOf(*point, "POI_lon");
        if (!(url ? choice.includeWithURL : choice.includeWithoutURL) || !latitude || !longitude) continue;
        auto poi = std::make_shared<GEDCOMStructure>(&record, 2, "_POI", textOr(*point, "point_name", "POI Name"));
        auto child = [&](const char* tag, const std::string& contents) {
            poi->addStructure(std::make_shared<GEDCOMStructure>(&record, 3, tag, contents));
        };
        child("_GPS", "(" + PlaceImport::truncateLatLon(*latitude) + ", " + PlaceImport::truncateLatLon(*longitude) +
                          ")");
        if (url) child("_URL", *url);
        if (const std::string* code = textOf(*point, "feature_code")) child("_CODE", *code);
        if (const std::string* comments = textOf(*point, "public_comments")) child("_PNOTE", *comments);
        record.addStructure(poi, &box, box.lastStructure().get(), false);
    }
}

}  // namespace

std::optional<PlaceImport::Download> PlaceImport::collectData(const std::string& requestBase,
                                                              const std::vector<std::string>& levels,
                                                              const std::atomic<bool>& continueThread) {
    Download download;
    const auto detailsRequest = PlaceDataRequests::details(levels);
    const auto mapInfoRequest = PlaceDataRequests::mapInfo(levels);
    const auto poisRequest = PlaceDataRequests::pois(levels);
    PlaceDataError error;
    auto failed = [&] {
        download.error = error;
        return download;
    };
    if (!continueThread) return std::nullopt;
    if (detailsRequest) {
        auto details = fetch(requestBase + *detailsRequest, false, error);
        if (!details) return failed();
        download.details = *details->dictionary();
    }
    if (!continueThread) return std::nullopt;
    if (mapInfoRequest) {
        auto mapInfo = fetch(requestBase + *mapInfoRequest, false, error);
        if (!mapInfo) return failed();
        download.mapInfo = *mapInfo->dictionary();
    }
    if (!continueThread) return std::nullopt;
    if (poisRequest) {
        auto pois = fetch(requestBase + *poisRequest, true, error);
        if (!pois) return failed();
        download.pois = *pois->array();
        for (const Value& point : download.pois) {
            const Dictionary* fields = point.dictionary();
            if (fields && fields->contains("URL_descriptive")) ++download.poisWithURL;
            else ++download.poisWithoutURL;
        }
    }
    if (!continueThread) return std::nullopt;
    return download;
}

std::shared_ptr<PlaceRecord> PlaceImport::copyPlaceNow(GEDCOMModel& model, const Choice& choice) {
    auto record = std::dynamic_pointer_cast<PlaceRecord>(model.placeForName(choice.name));
    const bool existed = record != nullptr;
    if (!record) {
        // Named as it is made, so the place index files it at once.
        record = std::dynamic_pointer_cast<PlaceRecord>(model.createNewRecordOfType("_PLC", Value(choice.name)));
        if (!record) return nullptr;
    }
    addNote(model, *record, existed, textOr(choice.details, "comment"));
    addFacts(*record, choice.details);
    addLinks(*record, choice.details);
    if (const auto corners = PlaceDataRequests::boundingBox(Value(choice.mapInfo))) {
        const std::string bounds = "(" + truncateLatLon((*corners)[0]) + ", " + truncateLatLon((*corners)[1]) +
                                   "), (" + truncateLatLon((*corners)[2]) + ", " + truncateLatLon((*corners)[3]) + ")";
        const std::string boxName = choice.name.substr(0, choice.name.find(','));
        auto box = boxFor(*record, boxName, bounds);
        if ((choice.includeWithURL || choice.includeWithoutURL) && !choice.pois.empty())
            addPoints(*record, *box, choice);
    }
    if (existed) record->setChangeDate();
    return record;
}

std::shared_ptr<GEDCOMStructure> PlaceImport::makeStructure(const std::vector<std::string>& pairs,
                                                            GEDCOMRecord& place) {
    if (pairs.size() < 2) return nullptr;
    auto top = std::make_shared<GEDCOMStructure>(&place, 1, pairs[0], pairs[1]);
    std::shared_ptr<GEDCOMStructure> last;
    for (std::size_t i = 2; i + 1 < pairs.size(); i += 2) {
        if (pairs[i] == "_DIST" && last) {
            last->addStructure(std::make_shared<GEDCOMStructure>(&place, 3, pairs[i], pairs[i + 1]));
            continue;
        }
        last = std::make_shared<GEDCOMStructure>(&place, 2, pairs[i], pairs[i + 1]);
        top->addStructure(last);
    }
    place.addStructure(top, &place, place.lastStructure().get(), false);
    return top;
}

std::string PlaceImport::truncateLatLon(const std::string& number) {
    const std::size_t stop = number.find('.');
    if (stop == std::string::npos || number.size() - stop - 1 <= 6) return number;
    return number.substr(0, stop + 7);
}

}  // namespace kl
