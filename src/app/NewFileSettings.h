#pragma once
// NewFileSettings: the answer of the new-file and new-family dialog, the
// first couple of a new database or the two partners of a new family. The
// dialog only collects it; the caller makes the records. Its array form is
// [name 1, sex 1, born 1, died 1, name 2, sex 2, born 2, died 2] followed by
// "family" when the two are to be linked as a family; texts as typed.
//
// Plain data: any thread.
#include <optional>
#include <string>

#include "foundation/Value.h"

namespace kl {

struct NewFilePerson {
    std::string name;
    int sex = 1;  // 1 male (attached as husband), 2 female (as wife)
    std::string born;
    std::string died;
};

// A typed birth or death date the date engine cannot read.
struct UnreadableDate {
    int person = 1;  // 1 or 2
    bool death = false;
    std::string message;  // the date engine's reason
};

class NewFileSettings {
public:
    enum Mode { NewFile = 0, TreeChartFamily = 1, NewFamily = 2 };
    enum Sex { Male = 1, Female = 2 };
    static constexpr const char* familyMarker = "family";

    NewFilePerson person1{"", Male, "", ""};
    NewFilePerson person2{"", Female, "", ""};
    bool linkAsFamily = true;

    Array fileSettings() const;
    // Reads an answer back; nullopt when the array is not one (too short, a
    // sex that is not 1 or 2, texts that are not texts).
    static std::optional<NewFileSettings> fromArray(const Array& settings);
    // The first birth or death date (person 1 first, birth before death)
    // that does not read as a date; nullopt when each is empty or reads.
    std::optional<UnreadableDate> unreadableDate() const;
    // Modes 1 and 2 are family modes; any other non-zero mode counts as 2.
    static bool isFamilyMode(int mode) { return mode != NewFile; }
    static int familyTitleMode(int mode) { return mode == TreeChartFamily ? TreeChartFamily : NewFamily; }
};

}  // namespace kl
