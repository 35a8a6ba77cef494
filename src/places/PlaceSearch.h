#pragma once
// PlaceSearch: looking up place names of the place-data service that match
// a typed text, in the country of the shown place or inside its bounding
// box. The service matches whole levels only case-sensitively or
// case-insensitively across a country, and only case-insensitive
// substrings inside a box; findPlaces picks the call and then filters the
// answers for the rule the service could not apply.
//
// Thread: findPlaces on a worker thread (it reads only its arguments and
// the cancel flag); the rest anywhere.
#include <atomic>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "places/MyHTTPRequest.h"

namespace kl {

class PlaceSearch {
public:
    static constexpr double kTimeout = 60;

    struct Settings {
        std::string text;
        bool wholeLevels = true;
        bool caseSensitive = true;
        bool inBoundingBox = false;
    };
    struct Result {
        enum Kind { Found, NotFound, Failed } kind = NotFound;
        std::vector<std::string> names;
        PlaceDataError error;
    };
    // The search for the place given by its levels (country code first)
    // under the request base; nullopt when continueThread was cleared
    // (nothing is to be reported).
    static std::optional<Result> findPlaces(const std::string& requestBase, const std::vector<std::string>& levels,
                                            const Settings& settings, const std::atomic<bool>& continueThread);

    // Whether the text is one whole level of the comma-separated name,
    // ignoring diacritics and, unless caseSensitive, case.
    static bool wholeLevelMatch(std::string_view name, std::string_view text, bool caseSensitive);
    // Whether the name contains the text with the same case, ignoring
    // diacritics.
    static bool containsWithCase(std::string_view name, std::string_view text);

    // The heading of the results: what was searched and how many matched.
    static std::string queryText(const Settings& settings, const std::string& country, const std::string& placeName,
                                 std::size_t found);
};

}  // namespace kl
