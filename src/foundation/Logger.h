#pragma once
// Logger: one timestamped line per call on stderr, or into a sink that tests
// install. Any thread may log; a sink runs on the logging thread, outside the
// logger's lock, so a sink may itself log without deadlocking.
//
// Formatting is "{}" substitution over locale-free conversions, so a logged
// number reads the same under every LC_NUMERIC.
#include <concepts>
#include <filesystem>
#include <functional>
#include <string>
#include <string_view>
#include <type_traits>

#include "foundation/Numbers.h"

namespace kl {

class Logger {
public:
    // Receives the message text alone (no timestamp, no newline).
    using Sink = std::function<void(const std::string& message)>;

    static void log(std::string_view text);
    template <class... Args>
    static void log(std::string_view pattern, const Args&... args) {
        const std::string text = format(pattern, args...);
        log(std::string_view(text));
    }

    // Installs a sink; an empty one sends lines to stderr again. Answers the
    // sink that was installed before.
    static Sink setSink(Sink sink);

    // Replaces each "{}" of the pattern, in order, with the text of the next
    // argument; surplus "{}" stay as written, surplus arguments are dropped.
    template <class... Args>
    static std::string format(std::string_view pattern, const Args&... args) {
        const std::string texts[] = {std::string(), text(args)...};
        return substitute(pattern, texts + 1, sizeof...(Args));
    }

    // Local time as "2026-12-10 13:36:21.123".
    static std::string timestamp();

    template <class T>
    static std::string text(const T& value) {
        if constexpr (std::is_same_v<T, bool>) {
            return value ? "YES" : "NO";
        } else if constexpr (std::is_integral_v<T>) {
            return std::to_string(value);
        } else if constexpr (std::is_floating_point_v<T>) {
            return formatNumber(static_cast<double>(value));
        } else if constexpr (std::is_same_v<T, std::filesystem::path>) {
            return value.string();
        } else if constexpr (std::is_pointer_v<T> && !std::is_convertible_v<T, const char*>) {
            return pointerText(static_cast<const void*>(value));
        } else {
            return std::string(std::string_view(value));
        }
    }

private:
    static std::string substitute(std::string_view pattern, const std::string* texts, std::size_t count);
    static std::string pointerText(const void* p);
};

}  // namespace kl
