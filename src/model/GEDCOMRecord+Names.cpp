// GEDCOM personal names ("Given /Surname/ Suffix") and place texts turned
// into the forms that lists, cells, reports and scripts show.
#include "model/GEDCOMRecord.h"
#include "model/GEDCOMStructure.h"
#include "model/Soundex.h"
#include "foundation/TextCase.h"
#include "foundation/Utf8.h"
#include "model/wex.h"

namespace kl {

namespace {

bool isSpaceOrTab(char c) { return c == ' ' || c == '\t'; }

std::string trimSpacesAndTabs(std::string_view text) {
    std::size_t start = 0;
    std::size_t end = text.size();
    while (start < end && isSpaceOrTab(text[start])) ++start;
    while (end > start && isSpaceOrTab(text[end - 1])) --end;
    return std::string(text.substr(start, end - start));
}

// A name cut at its slashes; `slashes` is false for a name without any,
// which is then all surname.
struct NameParts {
    bool slashes = false;
    std::string name;  // trimmed, with a closing "/" added when it lacked one
    std::string given;
    std::string surname;
    std::string suffix;
};

NameParts cutName(std::string_view typed) {
    NameParts parts;
    parts.name = trimSpacesAndTabs(typed);
    const std::size_t first = parts.name.find('/');
    if (first == std::string::npos) {
        parts.surname = parts.name;
        return parts;
    }
    parts.slashes = true;
    std::size_t last = parts.name.rfind('/');
    if (last == first) {
        parts.name.push_back('/');
        last = parts.name.size() - 1;
    }
    parts.given = wex::removeWhiteTail(std::string_view(parts.name).substr(0, first));
    parts.surname = parts.name.substr(first + 1, last - first - 1);
    parts.suffix = parts.name.substr(last + 1);
    return parts;
}

// The last word as surname and the words before it as given part, for the
// styles that read a name without slashes that way.
NameParts lastWordName(NameParts parts) {
    if (parts.slashes) return parts;
    parts.surname = wex::getLastWord(parts.name);
    parts.given = wex::deleteLastWord(parts.name);
    return parts;
}

std::string givenThen(const std::string& given, const std::string& rest) {
    return given.empty() ? rest : given + " " + rest;
}

std::string gedcomForm(std::string_view typed) {
    const NameParts parts = lastWordName(cutName(typed));
    if (parts.slashes) return parts.name;
    return givenThen(parts.given, "/" + parts.surname + "/");
}

bool hasSpaceOrTab(const std::string& text) {
    return text.find_first_of(" \t") != std::string::npos;
}

using StyleHandler = std::string (*)(std::string_view name);

std::string surnameFirst(std::string_view name) {
    const NameParts p = cutName(name);
    const std::string surname = p.surname.empty() ? "-" : p.surname;
    return p.given.empty() ? surname + p.suffix : surname + ", " + p.given + p.suffix;
}

std::string readingOrder(std::string_view name) {
    const NameParts p = cutName(name);
    return givenThen(p.given, p.surname + p.suffix);
}

std::string plainForEditing(std::string_view name) {
    const NameParts p = cutName(name);
    if (p.slashes && !p.surname.empty() && !hasSpaceOrTab(p.surname) && p.suffix.empty())
        return givenThen(p.given, p.surname);
    return p.name;
}

std::string upperGedcom(std::string_view name) { return gedcomForm(textcase::upper(name)); }

std::string upperSurnameWithSlashes(std::string_view name) {
    const NameParts p = lastWordName(cutName(name));
    return givenThen(p.given, "/" + textcase::upper(p.surname) + "/" + p.suffix);
}

std::string titleGedcom(std::string_view name) { return gedcomForm(textcase::capitalized(name)); }

std::string surnameAlone(std::string_view name) { return lastWordName(cutName(name)).surname; }

std::string upperSurnameWithoutSlashes(std::string_view name) {
    const NameParts p = lastWordName(cutName(name));
    return givenThen(p.given, textcase::upper(p.surname) + p.suffix);
}

// Indexed by style; style 2 is not used.
constexpr StyleHandler kStyles[] = {
    surnameFirst, readingOrder, nullptr, plainForEditing, gedcomForm,
    upperGedcom,  upperSurnameWithSlashes, titleGedcom, surnameAlone, upperSurnameWithoutSlashes,
};

std::vector<std::string> wordsOf(const std::string& text) {
    std::vector<std::string> words;
    for (auto& word : wex::notWhiteArgs(text))
        if (!word.empty()) words.push_back(std::move(word));
    return words;
}

Array valuesOf(const std::vector<std::string>& texts) { return Array(texts.begin(), texts.end()); }

std::string firstCharacter(const std::string& word) {
    std::size_t count = 1;
    utf8::decodeAt(word, 0, &count);
    return word.substr(0, count);
}

}  // namespace

std::optional<std::string> GEDCOMRecord::formatName(std::string_view name, int style) {
    if (style < 0 || style >= static_cast<int>(std::size(kStyles)) || !kStyles[style]) return std::nullopt;
    return kStyles[style](name);
}

std::string GEDCOMRecord::formatUserName(std::string_view typed) {
    std::string name = trimSpacesAndTabs(typed);
    const std::size_t slash = name.find('/');
    if (slash != std::string::npos) {
        if (name.find('/', slash + 1) == std::string::npos) name.push_back('/');
        return name;
    }
    const std::size_t comma = name.find(',');
    if (comma == std::string::npos) return gedcomForm(name);
    const std::string surname = trimSpacesAndTabs(std::string_view(name).substr(0, comma));
    const std::string given = trimSpacesAndTabs(std::string_view(name).substr(comma + 1));
    // "Berg," has no given part: no blank before the slashes then.
    return givenThen(given, "/" + surname + "/");
}

std::array<std::string, 3> GEDCOMRecord::splitNameParts(const std::optional<std::string>& name) {
    if (!name) return {};
    const std::size_t first = name->find('/');
    if (first == std::string::npos) return {"", trimSpacesAndTabs(*name), ""};
    std::string text = *name;
    std::size_t last = text.rfind('/');
    if (last == first) {
        text.push_back('/');
        last = text.size() - 1;
    }
    const std::string before = text.substr(0, first);
    const std::string between = text.substr(first + 1, last - first - 1);
    const std::string after = text.substr(last + 1);
    std::string given = trimSpacesAndTabs(before);
    std::string surname = trimSpacesAndTabs(between);
    std::string suffix = trimSpacesAndTabs(after);
    const auto endsWhite = [](const std::string& s) { return !s.empty() && isSpaceOrTab(s.back()); };
    const auto startsWhite = [](const std::string& s) { return !s.empty() && isSpaceOrTab(s.front()); };
    if (!given.empty() && (endsWhite(before) || startsWhite(between))) given.push_back(' ');
    if (!suffix.empty() && (endsWhite(between) || startsWhite(after))) suffix.insert(0, " ");
    return {given, surname, suffix};
}

Dictionary GEDCOMRecord::nameDetails(const std::optional<std::string>& name, bool soundex) {
    const auto parts = splitNameParts(name);
    const std::vector<std::string> given = wordsOf(parts[0]);
    const std::vector<std::string> suffix = wordsOf(parts[2]);
    std::vector<std::string> initials;
    for (const auto& word : given) initials.push_back(firstCharacter(word));
    Dictionary details{{"surname", Value(parts[1])},
                       {"given", Value(valuesOf(given))},
                       {"initials", Value(valuesOf(initials))},
                       {"suffix", Value(valuesOf(suffix))}};
    if (!soundex) return details;
    auto codes = [](const std::vector<std::string>& words) {
        Array list;
        for (const auto& word : words) list.emplace_back(soundexForString(word));
        return list;
    };
    details.set("surname soundex", Value(soundexForString(parts[1])));
    details.set("given soundex", Value(codes(given)));
    details.set("suffix soundex", Value(codes(suffix)));
    return details;
}

std::string GEDCOMRecord::place(GEDCOMObject& event, bool at) {
    const int below = event.glevel() + 1;
    return place(event.findContentsWithTag("PLAC", below), event.findContentsWithTag("ADDR", below), at);
}

std::string GEDCOMRecord::place(const std::string& placeText, const std::string& address, bool at) {
    if (address.empty()) return placeText;
    std::string joined;
    for (const auto& line : wex::linesToArray(address)) {
        const std::string trimmed = trimSpacesAndTabs(line);
        if (trimmed.empty()) continue;
        if (!joined.empty()) joined.append(", ");
        joined.append(trimmed);
    }
    if (joined.empty()) return placeText;
    if (placeText.empty()) return joined;
    return at ? placeText + " at " + joined : placeText + " (Address: " + joined + ")";
}

}  // namespace kl
