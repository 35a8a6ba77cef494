#include "places/PlaceDataRequests.h"

#include "places/MyHTTPRequest.h"

namespace kl {

namespace {

// "fetch<Level><what>.py?country=%@&level1=%@..." for the place's levels,
// with the tail after the level keys.
std::optional<std::string> levelRequest(const std::vector<std::string>& levels, const std::string& what,
                                        const std::string& tail, bool country) {
    const std::size_t n = levels.size();
    if (n == 0 || n > 6 || (n == 1 && !country)) return std::nullopt;
    std::string format = n == 1 ? "fetchCountry" : "fetchLevel" + std::to_string(n - 1);
    format += what + ".py?country=%@";
    for (std::size_t level = 1; level < n; ++level) format += "&level" + std::to_string(level) + "=%@";
    return MyHTTPRequest::fillRequest(format + tail, levels);
}

}  // namespace

std::optional<std::string> PlaceDataRequests::details(const std::vector<std::string>& levels) {
    return levelRequest(levels, "Details", "", true);
}

std::optional<std::string> PlaceDataRequests::mapInfo(const std::vector<std::string>& levels) {
    return levelRequest(levels, "MapInfo", "", true);
}

std::optional<std::string> PlaceDataRequests::pois(const std::vector<std::string>& levels) {
    return levelRequest(levels, "POIs", "&bb_factor=0.0", false);
}

std::string PlaceDataRequests::nameSearch(NameSearch kind, const std::string& text, const std::string& country,
                                          const std::array<std::string, 4>& box) {
    switch (kind) {
    case NameSearch::Matching:
        return MyHTTPRequest::fillRequest("fetchMatchingNames.py?placeName=%@&country=%@", {text, country});
    case NameSearch::CaseInsensitiveMatching:
        return MyHTTPRequest::fillRequest("fetchCaseInsensitiveMatchingNames.py?placeName=%@&country=%@",
                                          {text, country});
    case NameSearch::SubstringCaseInsensitive:
        return MyHTTPRequest::fillRequest("fetchSubstringCaseInsensitiveMatchingNames.py?placeName=%@&country=%@",
                                          {text, country});
    case NameSearch::SubstringInBox: break;
    }
    return MyHTTPRequest::fillRequest("fetchSubstringCaseInsensitiveMatchingNamesInBox.py?placeName=%@&country=%@"
                                      "&sw_bb_lat=%@&sw_bb_lon=%@&ne_bb_lat=%@&ne_bb_lon=%@",
                                      {text, country, box[0], box[1], box[2], box[3]});
}

std::optional<std::array<std::string, 4>> PlaceDataRequests::boundingBox(const Value& mapInfo) {
    const Dictionary* info = mapInfo.dictionary();
    if (!info) return std::nullopt;
    for (std::size_t i = 0; i < info->size(); ++i) {
        const std::string& key = info->keyAt(i);
        if (key.size() < 5 || (key != "country" && key.rfind("level", 0) != 0)) continue;
        const Dictionary* box = info->valueAt(i).dictionary();
        if (!box) return std::nullopt;
        std::array<std::string, 4> corners;
        const char* names[] = {"sw_bb_lat", "sw_bb_lon", "ne_bb_lat", "ne_bb_lon"};
        for (std::size_t c = 0; c < 4; ++c) {
            const Value* value = box->get(names[c]);
            if (!value || !value->string()) return std::nullopt;
            corners[c] = *value->string();
        }
        return corners;
    }
    return std::nullopt;
}

}  // namespace kl
