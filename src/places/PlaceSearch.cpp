#include "places/PlaceSearch.h"

#include "foundation/Logger.h"
#include "foundation/TextCase.h"
#include "foundation/Utf8.h"
#include "model/UnicodeFolding.h"
#include "places/PlaceDataRequests.h"

namespace kl {

namespace {

// The text's characters without their accents and, unless keepCase, in
// small letters; one folded character per character, marks dropped.
std::u32string folded(std::string_view text, bool keepCase) {
    std::u32string out;
    for (std::size_t i = 0; i < text.size();) {
        std::size_t count = 0;
        char32_t c = utf8::decodeAt(text, i, &count);
        i += count ? count : 1;
        if (unicode::isCombiningMark(c)) continue;
        char32_t base = 0;
        std::u32string marks;
        if (unicode::decompose(c, &base, &marks)) c = base;
        out += keepCase ? c : textcase::lowerChar(c);
    }
    return out;
}

// A level starts the name or follows a comma (and the spaces after it);
// it ends the name or is followed by a comma (after spaces).
bool startsLevel(const std::u32string& name, std::size_t at) {
    while (at > 0 && name[at - 1] == U' ') --at;
    return at == 0 || name[at - 1] == U',';
}

bool endsLevel(const std::u32string& name, std::size_t at) {
    while (at < name.size() && name[at] == U' ') ++at;
    return at == name.size() || name[at] == U',';
}

PlaceSearch::Result failure(PlaceDataError error) { return {PlaceSearch::Result::Failed, {}, std::move(error)}; }

}  // namespace

bool PlaceSearch::wholeLevelMatch(std::string_view name, std::string_view text, bool caseSensitive) {
    const std::u32string haystack = folded(name, caseSensitive);
    const std::u32string needle = folded(text, caseSensitive);
    if (needle.empty()) return false;
    for (std::size_t at = haystack.find(needle); at != std::u32string::npos;
         at = haystack.find(needle, at + needle.size()))
        if (startsLevel(haystack, at) && endsLevel(haystack, at + needle.size())) return true;
    return false;
}

bool PlaceSearch::containsWithCase(std::string_view name, std::string_view text) {
    return folded(name, true).find(folded(text, true)) != std::u32string::npos;
}

std::optional<PlaceSearch::Result> PlaceSearch::findPlaces(const std::string& requestBase,
                                                           const std::vector<std::string>& levels,
                                                           const Settings& settings,
                                                           const std::atomic<bool>& continueThread) {
    if (levels.empty()) return failure({MyHTTPRequest::kErrorDomain, 1, "No place to search in"});
    PlaceDataError error;
    std::array<std::string, 4> box;
    if (settings.inBoundingBox) {
        const auto request = PlaceDataRequests::mapInfo(levels);
        if (!request) return failure({MyHTTPRequest::kErrorDomain, 1, "No place to search in"});
        const auto mapInfo = MyHTTPRequest(requestBase + *request, kTimeout).getJSONDictionaryOrError(&error, false);
        if (!mapInfo) return failure(error);
        const auto corners = PlaceDataRequests::boundingBox(*mapInfo);
        if (!corners)
            return failure({MyHTTPRequest::kErrorDomain, 1,
                            "The data available for the current place does not have a bounding box (open Console "
                            "to see the response)"});
        box = *corners;
    }
    if (!continueThread) return std::nullopt;

    using Kind = PlaceDataRequests::NameSearch;
    enum class Filter { None, ContainsWithCase, WholeLevel } filter = Filter::None;
    Kind kind = Kind::SubstringInBox;
    if (!settings.inBoundingBox && settings.wholeLevels)
        kind = settings.caseSensitive ? Kind::Matching : Kind::CaseInsensitiveMatching;
    else if (!settings.inBoundingBox)
        kind = Kind::SubstringCaseInsensitive;
    if (settings.inBoundingBox && settings.wholeLevels) filter = Filter::WholeLevel;
    else if (!settings.wholeLevels && settings.caseSensitive) filter = Filter::ContainsWithCase;

    const std::string request = requestBase + PlaceDataRequests::nameSearch(kind, settings.text, levels[0], box);
    MyHTTPRequest http(request, kTimeout);
    const auto answers = http.getJSONDictionaryOrError(&error, true);
    if (!answers) return failure(error);

    Result result{Result::Found, {}, {}};
    for (const Value& item : *answers->array()) {
        if (!continueThread) return std::nullopt;
        const Dictionary* fields = item.dictionary();
        const std::string* name = fields && !fields->empty() ? fields->valueAt(0).string() : nullptr;
        if (fields && fields->empty()) continue;
        if (!name) {
            Logger::log("PA-Request URL: {}", http.url());
            Logger::log("PA-Returned {}:, {}", fields ? "Dictionary" : "Text", item.toString());
            return failure({MyHTTPRequest::kErrorDomain, 1,
                            "Unexpected error decoding response from server. Check Console app for details."});
        }
        const bool keep = filter == Filter::None ||
                          (filter == Filter::ContainsWithCase && containsWithCase(*name, settings.text)) ||
                          (filter == Filter::WholeLevel && wholeLevelMatch(*name, settings.text, settings.caseSensitive));
        if (keep) result.names.push_back(*name);
    }
    if (!continueThread) return std::nullopt;
    if (result.names.empty()) result.kind = Result::NotFound;
    return result;
}

std::string PlaceSearch::queryText(const Settings& settings, const std::string& country, const std::string& placeName,
                                   std::size_t found) {
    std::string text = "Search for '" + settings.text + "' in country '" + country + "' (";
    text += settings.wholeLevels ? "matching whole place levels" : "contained in place name";
    text += settings.caseSensitive ? ", case sensitive" : ", case insensitive";
    if (settings.inBoundingBox) text += ", in bounding box for '" + placeName + "'";
    text += ")\n";
    text += found == 1 ? std::string("Found one match.") : "Found " + std::to_string(found) + " matches.";
    return text + "\n";
}

}  // namespace kl
