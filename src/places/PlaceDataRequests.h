#pragma once
// PlaceDataRequests: the script calls of the place-data service for a place
// given by its levels (the country code, then its subdivisions from the
// largest down), and the bounding box its map information answers.
//
// Values only. Thread: any.
#include <array>
#include <optional>
#include <string>
#include <vector>

#include "foundation/Value.h"

namespace kl {

class PlaceDataRequests {
public:
    // Details, map information and points of interest of the place; nullopt
    // where the service has no such call (points of a country, more than
    // five subdivisions, no levels).
    static std::optional<std::string> details(const std::vector<std::string>& levels);
    static std::optional<std::string> mapInfo(const std::vector<std::string>& levels);
    static std::optional<std::string> pois(const std::vector<std::string>& levels);

    enum class NameSearch { Matching, CaseInsensitiveMatching, SubstringCaseInsensitive, SubstringInBox };
    // The name search for the text in the country; the box's corners
    // (south-west latitude and longitude, north-east latitude and
    // longitude) only for SubstringInBox.
    static std::string nameSearch(NameSearch kind, const std::string& text, const std::string& country,
                                  const std::array<std::string, 4>& box = {});

    // The corners of the first key of at least five characters that is
    // "country" or begins with "level"; nullopt when there is none or a
    // corner is missing.
    static std::optional<std::array<std::string, 4>> boundingBox(const Value& mapInfo);
};

}  // namespace kl
