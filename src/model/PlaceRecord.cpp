#include "model/PlaceRecord.h"

#include <cmath>
#include <cstdio>

#include "foundation/Numbers.h"
#include "model/GEDCOMStructure.h"
#include "model/GlobalCoordinate.h"
#include "model/INDIRecord.h"

namespace kl {

namespace {

std::string trimmed(const std::string& text) {
    const auto first = text.find_first_not_of(" \t\r\n");
    if (first == std::string::npos) return {};
    return text.substr(first, text.find_last_not_of(" \t\r\n") - first + 1);
}

}  // namespace

std::string PlaceRecord::viewName() const {
    std::string name = dataWithTag("_PLACE");
    return name.empty() ? "Place ID " + grecordID() : name;
}

std::string PlaceRecord::altViewName() const {
    const std::string name = viewName();
    std::vector<std::string> parts;
    for (std::size_t start = 0;;) {
        const std::size_t comma = name.find(',', start);
        parts.push_back(trimmed(name.substr(start, comma == std::string::npos ? std::string::npos : comma - start)));
        if (comma == std::string::npos) break;
        start = comma + 1;
    }
    if (parts.size() < 2) return name;
    std::string reversed;
    for (auto part = parts.rbegin(); part != parts.rend(); ++part) {
        if (!reversed.empty()) reversed += ", ";
        reversed += *part;
    }
    return reversed;
}

// ---- names

std::string PlaceRecord::placeNameWithCONC() const {
    std::shared_ptr<GEDCOMStructure> place = findStructureWithTag("_PLACE");
    if (!place) return viewName();
    std::string name = place->contents();
    for (const auto& line : place->structures()) {
        if (line->gtag() == "CONT")
            name.append("\n").append(line->contents());
        else if (line->gtag() == "CONC")
            name.append(line->contents());
        else
            break;
    }
    return name;
}

void PlaceRecord::setPlaceName(const std::string& name) {
    if (deferUntilInstalled([this, name] { setPlaceName(name); })) return;
    const std::string oneLine = removeReturns(name);
    if (auto line = firstChildWithTag("_PLACE")) {
        line->setContents(oneLine);
    } else {
        const GEDCOMObject* last = structures().empty() ? nullptr : structures().back().get();
        addStructure(std::make_shared<GEDCOMStructure>(this, 1, "_PLACE", oneLine), this, last, false);
    }
    setChangeDate();
}

// ---- boxes

std::vector<std::string> PlaceRecord::decodeBoundingBox(std::string_view text) {
    std::vector<std::string> numbers;
    std::size_t start = 0;
    for (std::size_t i = 0; i <= text.size(); ++i) {
        if (i < text.size() && std::string_view("():,;[]{}").find(text[i]) == std::string_view::npos) continue;
        std::string piece = trimmed(std::string(text.substr(start, i - start)));
        if (!piece.empty()) numbers.push_back(std::move(piece));
        start = i + 1;
    }
    return numbers;
}

double PlaceRecord::decode(std::string_view text, int expecting, std::string* error) {
    GlobalCoordinate value;
    if (auto message = value.setFromString(text, expecting)) {
        if (error) *error = *message;
        return 0;
    }
    if (value.isDistance()) return value.coordinate() / GlobalCoordinate::kmPerLatitudeDegree();
    return value.coordinate();
}

PlaceRecord::Rect PlaceRecord::boundsToRect(std::string_view text, std::string* error) {
    const std::vector<std::string> numbers = decodeBoundingBox(text);
    auto failed = [error](std::string message) {
        if (error) *error = std::move(message);
        return Rect{};
    };
    if (numbers.size() < 2) return failed("Invalid latitude and longitude in the bounds");
    std::string message;
    const double lat1 = decode(numbers[0], GlobalCoordinate::Latitude, &message);
    if (!message.empty()) return failed("Error in first latitude: " + message);
    const double lon1 = decode(numbers[1], GlobalCoordinate::Longitude, &message);
    if (!message.empty()) return failed("Error in first longitude: " + message);
    Rect rect;
    if (numbers.size() >= 4) {
        const double lat2 = decode(numbers[2], GlobalCoordinate::Latitude, &message);
        if (!message.empty()) return failed("Error in second latitude: " + message);
        const double lon2 = decode(numbers[3], GlobalCoordinate::Longitude, &message);
        if (!message.empty()) return failed("Error in second longitude: " + message);
        rect.y = lat1;
        rect.x = lon1;
        // A box whose second corner lies south of the first passes over a
        // pole; one whose east edge lies west of its west edge crosses 180°.
        if (lat2 > lat1)
            rect.height = lat2 - lat1;
        else
            rect.height = lat1 > 0 ? 180 - lat2 - lat1 : 180 + lat2 + lat1;
        rect.width = lon1 < lon2 ? lon2 - lon1 : lon2 + 360 - lon1;
        return rect;
    }
    double span = 0.05;
    if (numbers.size() == 3) {
        span = decode(numbers[2], GlobalCoordinate::Either, &message);
        if (!message.empty()) return failed("Error in span (3rd coordinate): " + message);
    }
    rect.width = span * GlobalCoordinate::kmPerLatitudeDegree() / GlobalCoordinate::kmPerLongitudeDegree(lat1);
    rect.x = lon1 - rect.width / 2;
    if (rect.x < -180) rect.x += 360;
    rect.y = lat1 - span / 2;
    rect.height = span;
    if (rect.y < -90) {
        rect.y = lat1 + span / 2;
        rect.height = -span;
    }
    return rect;
}

std::optional<PlaceRecord::Rect> PlaceRecord::firstBox() const {
    for (const auto& box : structures()) {
        if (box->gtag() != "_BOX") continue;
        auto bounds = box->firstChildWithTag("_BNDS");
        if (!bounds || bounds->contents().empty()) continue;
        std::string error;
        const Rect rect = boundsToRect(bounds->contents(), &error);
        if (error.empty()) return rect;
    }
    return std::nullopt;
}

// ---- standard GEDCOM

namespace {

// One line (with its CONT/CONC continuations) after a line ending, so a
// text holding line breaks cannot break the file's lines.
void appendLine(std::string& out, int level, const std::string& tag, const std::string& contents,
                std::string_view ending) {
    std::string own;
    GEDCOMStructure(nullptr, level, tag, contents).appendStructureLine(own);
    if (own.size() >= ending.size() && own.compare(own.size() - ending.size(), ending.size(), ending) == 0)
        own.resize(own.size() - ending.size());
    out.append(ending).append(own);
}

// A citation's lines, `shift` levels deeper.
void appendShifted(std::string& out, const GEDCOMStructure& line, int shift, std::string_view ending) {
    appendLine(out, line.glevel() + shift, line.gtag(), line.contents(), ending);
    for (const auto& child : line.structures()) appendShifted(out, *child, shift, ending);
}

}  // namespace

std::optional<std::string> PlaceRecord::embedGedcom(std::uint32_t exportFlags) const {
    const std::string ending(lineEnding());
    const bool reduced = (exportFlags & 8) != 0;
    std::string text;
    if (auto place = firstChildWithTag("_PLACE")) {
        if (auto form = place->findStructureWithTag("FORM")) appendLine(text, 3, "FORM", form->contents(), ending);
        if (auto lang = place->findStructureWithTag("LANG")) appendLine(text, 3, "_LANG", lang->contents(), ending);
        if (!reduced)
            for (const auto& tran : place->structures()) {
                if (tran->gtag() != "TRAN") continue;
                auto lang = tran->firstChildWithTag("LANG");
                auto tlit = tran->firstChildWithTag("_TLIT");
                bool phonetic = false;
                const std::string type = INDIRecord::convertTRAN(phonetic, lang ? lang->contents() : std::string(),
                                                                 tlit ? tlit->contents() : std::string());
                appendLine(text, 3, phonetic ? "FONE" : "ROMN", tran->contents(), ending);
                if (!type.empty()) appendLine(text, 4, "TYPE", type, ending);
            }
    }
    if (auto box = firstBox()) {
        const double longitude = box->x + box->width / 2;
        const double latitude = box->y + box->height / 2;
        if (reduced) {
            text += ending + "3 _GPS " + formatFixed(latitude, 6) + "," + formatFixed(longitude, 6);
        } else {
            text += ending + "3 MAP" + ending + "4 LONG " + (longitude < 0 ? "W" : "E") +
                    formatFixed(std::abs(longitude), 6) + ending + "4 LATI " + (latitude < 0 ? "S" : "N") +
                    formatFixed(std::abs(latitude), 6);
        }
    }
    for (const auto& note : structures())
        if (note->gtag() == "NOTE") appendLine(text, 3, "NOTE", note->contents(), ending);
    for (const auto& citation : structures())
        if (citation->gtag() == "SOUR") appendShifted(text, *citation, 3 - citation->glevel(), ending);
    if (text.empty()) return std::nullopt;
    return text;
}

}  // namespace kl
