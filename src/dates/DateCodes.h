#pragma once

namespace kl {

// Keyword codes shared by FullDate and TimeSpan, and the token codes the
// date reader gives to the other words of a date text. Numbers are tokens of 0
// or more; a number 1..99 written with three or more digits carries
// kLiteralYearMark so that no century is added to it.
namespace date_codes {

inline constexpr int kFROM = -1000;
inline constexpr int kTO = -999;
inline constexpr int kBEF = -998;
inline constexpr int kABT = -997;
inline constexpr int kAFT = -996;
inline constexpr int kEST = -995;
inline constexpr int kBET = -994;
inline constexpr int kCAL = -993;
inline constexpr int kINT = -992;
inline constexpr int kAND = -991;

inline constexpr int kEra = -990;        // AD
inline constexpr int kBeforeEra = -989;  // BC

inline constexpr int kEscapeGregorian = -1100;
inline constexpr int kEscapeJulian = -1099;
inline constexpr int kEscapeHebrew = -1098;
inline constexpr int kEscapeFrench = -1097;
inline constexpr int kEscapeUnknown = -1096;

// Month name tokens: month = code - base, for months 1..12 or 1..13.
inline constexpr int kWesternMonthBase = -21;  // -20 .. -9
inline constexpr int kHebrewMonthBase = -41;   // -40 .. -28
inline constexpr int kFrenchMonthBase = -61;   // -60 .. -48

inline constexpr int kLiteralYearMark = 100000;
inline constexpr int kMaxTokens = 15;

constexpr bool isKeyword(int token) { return token >= kFROM && token <= kAND; }
constexpr bool isEscape(int token) { return token >= kEscapeGregorian && token <= kEscapeUnknown; }
constexpr bool isEraMarker(int token) { return token == kEra || token == kBeforeEra; }
constexpr bool isWesternMonth(int token) { return token >= kWesternMonthBase + 1 && token <= kWesternMonthBase + 12; }
constexpr bool isHebrewMonth(int token) { return token >= kHebrewMonthBase + 1 && token <= kHebrewMonthBase + 13; }
constexpr bool isFrenchMonth(int token) { return token >= kFrenchMonthBase + 1 && token <= kFrenchMonthBase + 13; }
constexpr bool isMonthName(int token) { return isWesternMonth(token) || isHebrewMonth(token) || isFrenchMonth(token); }

} // namespace date_codes
} // namespace kl
