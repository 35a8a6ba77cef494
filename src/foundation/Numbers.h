#pragma once
// Locale-independent number text. The C library's printf and strtod follow
// LC_NUMERIC, which would turn "45.5" into "45,5" under a German locale and
// corrupt stored files; everything here goes through <charconv>.
#include <cstdint>
#include <optional>
#include <string>
#include <string_view>

namespace kl {

// Shortest text that reads back as the same double ("45.5", "1e+20").
std::string formatNumber(double value);
// printf-style "%.<precision>g" without the locale.
std::string formatGeneral(double value, int precision);
// printf-style "%.<decimals>f" without the locale.
std::string formatFixed(double value, int decimals);
// Reads a decimal number ("45.5", "-3", "1e5", leading blanks skipped);
// nullopt when the text does not start with one.
std::optional<double> parseDouble(std::string_view text);
// Reads an integer prefix; nullopt when none.
std::optional<std::int64_t> parseInteger(std::string_view text);
// Converts to an integer, saturating at the 64-bit bounds; NaN gives 0.
std::int64_t saturatingInteger(double value);
// The same for 32 bits.
std::int32_t saturatingInt32(double value);

}  // namespace kl
