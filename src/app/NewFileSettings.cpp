#include "app/NewFileSettings.h"

#include "dates/DateBridge.h"

namespace kl {

namespace {

constexpr std::size_t kFieldsPerPerson = 4;

void appendPerson(Array& settings, const NewFilePerson& person) {
    settings.emplace_back(person.name);
    settings.emplace_back(person.sex);
    settings.emplace_back(person.born);
    settings.emplace_back(person.died);
}

std::optional<NewFilePerson> readPerson(const Array& settings, std::size_t at) {
    const auto* name = settings[at].string();
    const auto* born = settings[at + 2].string();
    const auto* died = settings[at + 3].string();
    if (!name || !settings[at + 1].isInteger() || !born || !died) return std::nullopt;
    const std::int64_t sex = settings[at + 1].toInteger();
    if (sex != NewFileSettings::Male && sex != NewFileSettings::Female) return std::nullopt;
    return NewFilePerson{*name, static_cast<int>(sex), *born, *died};
}

bool blank(const std::string& text) { return text.find_first_not_of(" \t") == std::string::npos; }

}  // namespace

std::optional<UnreadableDate> NewFileSettings::unreadableDate() const {
    const NewFilePerson* people[] = {&person1, &person2};
    for (int person = 0; person < 2; ++person) {
        for (bool death : {false, true}) {
            const std::string& typed = death ? people[person]->died : people[person]->born;
            if (blank(typed)) continue;
            bool valid = false;
            std::string reason = validateDateString(typed, valid);
            if (!valid) return UnreadableDate{person + 1, death, std::move(reason)};
        }
    }
    return std::nullopt;
}

Array NewFileSettings::fileSettings() const {
    Array settings;
    appendPerson(settings, person1);
    appendPerson(settings, person2);
    if (linkAsFamily) settings.emplace_back(familyMarker);
    return settings;
}

std::optional<NewFileSettings> NewFileSettings::fromArray(const Array& settings) {
    if (settings.size() < 2 * kFieldsPerPerson || settings.size() > 2 * kFieldsPerPerson + 1) return std::nullopt;
    auto first = readPerson(settings, 0);
    auto second = readPerson(settings, kFieldsPerPerson);
    if (!first || !second) return std::nullopt;
    NewFileSettings answer;
    answer.person1 = std::move(*first);
    answer.person2 = std::move(*second);
    answer.linkAsFamily = false;
    if (settings.size() > 2 * kFieldsPerPerson) {
        const auto* marker = settings.back().string();
        if (!marker || *marker != familyMarker) return std::nullopt;
        answer.linkAsFamily = true;
    }
    return answer;
}

}  // namespace kl
