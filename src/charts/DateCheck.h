#pragma once
// DateCheck: the findings of the date check report for one individual,
// from the date texts of the individual, the birth family's parents, the
// marriages and the other dated lines. Each date is a range of serial days
// (earliest, latest; known when the earliest is above 0). Errors are
// impossible dates, warnings implausible ones against the limits.
//
// The messages are HTML: the error marker is markup, every date text,
// parser message and event name is made safe for the page.
//
// Thread: pure functions over values; datesOfIndividual reads a record and
// its relatives without changing them.
#include <cstdint>
#include <functional>
#include <string>
#include <vector>

namespace kl {

class INDIRecord;

struct DateLimits {
    int32_t maxPersonAge = 105;
    int32_t minParentAge = 12;
    int32_t maxMotherAge = 50;
    int32_t maxFatherAge = 80;
    int32_t minSpouseAge = 12;
};

struct PersonDates {
    struct Parent {
        bool male = false;
        std::string birth;
        std::string death;
    };
    struct Event {
        std::string name;
        std::string date;
    };
    bool male = false;
    std::string birth;
    std::string death;
    std::vector<Parent> parents;         // husband, then wife of the first birth family
    std::vector<std::string> marriages;  // MARR.DATE of each spouse family, in order
    std::vector<Event> events;           // every other dated line, depth-first
};

struct DateFindings {
    std::vector<std::string> messages;
    int errors = 0;
    int warnings = 0;
};

DateFindings checkPersonDates(const PersonDates& person, const DateLimits& limits);

// The dates the check reads from an individual; `eventName` names a tag.
PersonDates datesOfIndividual(const INDIRecord& person,
                              const std::function<std::string(const std::string&)>& eventName);

}  // namespace kl
