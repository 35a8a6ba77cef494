#pragma once
// How the expression language reads numbers out of texts: like a standard
// scanner, leading white space skipped, the longest leading decimal number
// taken and the rest ignored. Only decimal digits count, so "inf", "nan" and
// hexadecimal texts are not numbers. Locale-free and thread-safe.
#include <cstdint>
#include <optional>
#include <string_view>

namespace kl::scan {

// A leading decimal number with optional sign, fraction and exponent.
std::optional<double> scanDouble(std::string_view text);
// A leading integer, saturated to 32 bits.
std::optional<std::int32_t> scanInt(std::string_view text);
// scanInt, with 0 when the text does not start with an integer.
std::int32_t intValue(std::string_view text);

}  // namespace kl::scan
