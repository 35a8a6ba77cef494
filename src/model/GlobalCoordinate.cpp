#include "model/GlobalCoordinate.h"

#include <atomic>
#include <cmath>
#include <cstdio>

#include "foundation/Numbers.h"
#include "foundation/Utf8.h"

namespace kl {

namespace {

std::atomic<char32_t> gDegreeMark{U'\u02DA'};
std::atomic<char32_t> gMinuteMark{U'\''};
std::atomic<char32_t> gSecondMark{U'"'};

// The whole value of a digit run; runs too long for an integer still give
// their magnitude.
double digitValue(const std::string& digits) {
    double value = 0;
    for (char c : digits) value = value * 10 + (c - '0');
    return value;
}

bool isApostrophe(char32_t c) { return c == U'\'' || c == U'\u2032'; }

}  // namespace

std::optional<GlobalCoordinate> GlobalCoordinate::coordinateFromString(std::string_view text, std::string* error) {
    GlobalCoordinate value;
    if (auto message = value.setFromString(text, Either)) {
        if (error) *error = *message;
        return std::nullopt;
    }
    return value;
}

std::optional<std::string> GlobalCoordinate::setFromString(std::string_view text, int expecting) {
    enum Sign { NoSign, Plus, Minus };
    Sign sign = NoSign;
    int field = -1;
    std::string digits[4];  // degrees, minutes (or decimals), seconds, fraction of seconds
    bool symbols = false;
    double factor = 1.0;
    direction_ = expecting == Either ? Longitude : expecting;
    if (text.empty()) return "The coordinate has no number";

    std::u32string chars;
    for (std::size_t i = 0; i < text.size();) {
        std::size_t count = 1;
        chars.push_back(utf8::decodeAt(text, i, &count));
        i += count == 0 ? 1 : count;
    }
    bool stop = false;
    for (std::size_t i = 0; i < chars.size() && !stop; ++i) {
        const char32_t c = chars[i];
        const bool nextIsApostrophe = i + 1 < chars.size() && chars[i + 1] == U'\'';
        if (c == U'-' || c == U'+') {
            if (sign != NoSign || field >= 0)
                return c == U'-' ? "Invalid or extra minus sign" : "Invalid or extra plus sign";
            sign = c == U'-' ? Minus : Plus;
        } else if (c >= U'0' && c <= U'9') {
            if (field == 4) return "Coordinate has more than three numbers (degrees, minutes, and seconds)";
            if (field == -1) field = 0;
            digits[field].push_back(static_cast<char>(c));
        } else if (c == U'.') {
            if (field == 4) return "Too many delimiters for degrees, minutes, and seconds";
            field = field == -1 ? 1 : field + 1;
        } else if (c == U'\u00B0' || c == U'\u02DA') {
            if (field == -1) return "Degrees symbol must be after a number";
            if (field != 0) return "Degrees symbol can only be after the first number";
            field = 1;
            symbols = true;
        } else if (isApostrophe(c) && !nextIsApostrophe) {
            if (field == -1) return "Minutes and seconds symbols must be after a number";
            if (field == 1) {
                field = 2;
            } else if (field == 0) {
                digits[1] += digits[0];
                digits[0].clear();
                field = 2;
            } else {
                return "Minutes symbol in an invalid location";
            }
            symbols = true;
        } else if (c == U'"' || c == U'\u2033' || isApostrophe(c)) {
            if (field == -1) return "Minutes and seconds symbols must be after a number";
            if (isApostrophe(c)) ++i;  // the second apostrophe of the pair
            if (field == 1) {
                digits[2] += digits[1];
                digits[1].clear();
            } else if (field == 0) {
                digits[2] += digits[0];
                digits[0].clear();
                digits[1].clear();
            } else if (field == 4) {
                return "Seconds symbol in an invalid location";
            }
            field = 4;
            symbols = true;
        } else if (c == U'N' || c == U'n' || c == U'E' || c == U'e' || c == U'S' || c == U's' || c == U'W' ||
                   c == U'w') {
            const bool latitude = c == U'N' || c == U'n' || c == U'S' || c == U's';
            const int found = latitude ? Latitude : Longitude;
            if (expecting != Either && expecting != found) return "Invalid compass direction for expected coordinate";
            direction_ = found;
            sign = (c == U'S' || c == U's' || c == U'W' || c == U'w') ? Minus : Plus;
            if (field >= 0) stop = true;
        } else if (c == U'\t' || c == U'\n' || c == U'\r' || c == U' ' || c == U'\u00A0') {
            continue;
        } else if (c == U'K' || c == U'k' || c == U'M' || c == U'm') {
            if (field < 0) return "The distance has no number";
            if (symbols || field >= 2)
                return "Distances in miles or kilometers cannot be in degrees, minutes, and seconds.";
            if (c == U'M' || c == U'm') factor = 1.609344;
            direction_ = Distance;
            if (expecting != Distance && expecting != Either)
                return "Invalid distance found when expected a compass direction";
            stop = true;
        } else {
            char buffer[96];
            std::snprintf(buffer, sizeof buffer, "Invalid character ('%s' with code %u) in the coordinate",
                          utf8::encode(c).c_str(), static_cast<unsigned>(c));
            return std::string(buffer);
        }
    }

    if (field == -1) return "The coordinate has no number";
    const double degrees = digitValue(digits[0]);
    double value = 0;
    if (!symbols && field <= 1) {
        const std::string& decimals = digits[1];
        double fraction = 0;
        if (!decimals.empty()) {
            const std::string kept = decimals.size() < 8 ? decimals : decimals.substr(0, 7);
            fraction = digitValue(kept) / std::pow(10.0, static_cast<double>(kept.size()));
        }
        value = factor * (degrees + fraction);
    } else {
        if (digits[1].size() > 2) return "Minutes can only be two digits";
        if (digits[2].size() > 2) return "Seconds can only be two digits before decimal";
        const double minutes = digitValue(digits[1]);
        const double seconds = digitValue(digits[2]) +
                               (digits[3].empty() ? 0.0
                                                  : digitValue(digits[3]) /
                                                        std::pow(10.0, static_cast<double>(digits[3].size())));
        if (minutes >= 60 || seconds >= 60) return "Minutes or seconds must be less than 60";
        value = degrees + minutes / 60 + seconds / 3600;
    }
    if (sign == Minus) value = -value;
    coordinate_ = value;
    if (direction_ == Latitude && std::fabs(value) > 90) return "Latitudes must be between -90 and 90";
    if (direction_ == Longitude && std::fabs(value) > 180) return "Longitudes must be between -180 and 180";
    return std::nullopt;
}

std::string GlobalCoordinate::signedNumber() const { return formatGeneral(coordinate_, 9); }

std::string GlobalCoordinate::compassNumber() const {
    if (isDistance()) return signedNumber();
    const char* letter = isLatitude() ? (coordinate_ < 0 ? "S" : "N") : (coordinate_ < 0 ? "W" : "E");
    return formatGeneral(std::fabs(coordinate_), 9) + letter;
}

std::string GlobalCoordinate::dmsNumber(bool isSigned) const {
    if (isDistance()) return signedNumber();
    const double a = std::fabs(coordinate_);
    const int d = static_cast<int>(a);
    const int m = static_cast<int>((a - d) * 60);
    const double s = ((a - d) * 60 - m) * 60;
    const char32_t secondMark = gSecondMark.load();
    std::string text = isSigned && coordinate_ < 0 ? "-" : "";
    text += std::to_string(d) + utf8::encode(gDegreeMark.load()) + std::to_string(m) +
            utf8::encode(gMinuteMark.load()) + formatGeneral(s, 5);
    if (secondMark != U'.') text += utf8::encode(secondMark);
    if (!isSigned) text += isLatitude() ? (coordinate_ < 0 ? "S" : "N") : (coordinate_ < 0 ? "W" : "E");
    return text;
}

void GlobalCoordinate::useDMSMarks(bool on) {
    gDegreeMark = on ? U'\u02DA' : U'.';
    gMinuteMark = on ? U'\'' : U'.';
    gSecondMark = on ? U'"' : U'.';
}

double GlobalCoordinate::kmPerLongitudeDegree(double latitude) {
    const double c = std::cos(latitude * 0.0174533);
    const double v = c * c * 7.61524e-5;
    return 2 * std::atan(std::sqrt(v / (1 - v))) * 6371.0;
}

}  // namespace kl
