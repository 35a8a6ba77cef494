#include "foundation/Numbers.h"

#include <charconv>
#include <cmath>
#include <limits>

namespace kl {

std::string formatNumber(double value) {
    char buf[64];
    auto r = std::to_chars(buf, buf + sizeof buf, value);
    return std::string(buf, r.ptr);
}

std::string formatGeneral(double value, int precision) {
    char buf[512];
    auto r = std::to_chars(buf, buf + sizeof buf, value, std::chars_format::general,
                           precision < 1 ? 1 : (precision > 100 ? 100 : precision));
    return std::string(buf, r.ptr);
}

std::string formatFixed(double value, int decimals) {
    if (!std::isfinite(value) || std::fabs(value) > 1e300) return formatNumber(value);
    char buf[512];
    auto r = std::to_chars(buf, buf + sizeof buf, value, std::chars_format::fixed,
                           decimals < 0 ? 0 : (decimals > 100 ? 100 : decimals));
    if (r.ec != std::errc()) return formatNumber(value);
    return std::string(buf, r.ptr);
}

std::optional<double> parseDouble(std::string_view text) {
    std::size_t i = 0;
    while (i < text.size() && (text[i] == ' ' || text[i] == '\t' || text[i] == '\n' || text[i] == '\r')) ++i;
    if (i < text.size() && text[i] == '+') ++i;
    double v = 0;
    auto r = std::from_chars(text.data() + i, text.data() + text.size(), v);
    if (r.ec == std::errc::invalid_argument) return std::nullopt;
    if (r.ec == std::errc::result_out_of_range) {
        // from_chars leaves v untouched: decide by the sign and exponent.
        bool neg = i < text.size() && text[i] == '-';
        auto e = text.find_first_of("eE", i);
        bool tiny = e != std::string_view::npos && e + 1 < text.size() && text[e + 1] == '-';
        if (tiny) return neg ? -0.0 : 0.0;
        return neg ? -std::numeric_limits<double>::infinity() : std::numeric_limits<double>::infinity();
    }
    return v;
}

std::optional<std::int64_t> parseInteger(std::string_view text) {
    std::size_t i = 0;
    while (i < text.size() && (text[i] == ' ' || text[i] == '\t')) ++i;
    if (i < text.size() && text[i] == '+') ++i;
    std::int64_t v = 0;
    auto r = std::from_chars(text.data() + i, text.data() + text.size(), v);
    if (r.ec == std::errc::invalid_argument) return std::nullopt;
    if (r.ec == std::errc::result_out_of_range)
        return (i < text.size() && text[i] == '-') ? std::numeric_limits<std::int64_t>::min()
                                                   : std::numeric_limits<std::int64_t>::max();
    return v;
}

std::int64_t saturatingInteger(double value) {
    if (std::isnan(value)) return 0;
    if (value >= 9.2233720368547758e18) return std::numeric_limits<std::int64_t>::max();
    if (value <= -9.2233720368547758e18) return std::numeric_limits<std::int64_t>::min();
    return static_cast<std::int64_t>(value);
}

std::int32_t saturatingInt32(double value) {
    if (std::isnan(value)) return 0;
    if (value >= 2147483647.0) return std::numeric_limits<std::int32_t>::max();
    if (value <= -2147483648.0) return std::numeric_limits<std::int32_t>::min();
    return static_cast<std::int32_t>(value);
}

}  // namespace kl
