#pragma once
// The title of a link from a template's title format: the value takes the
// place of the first "%@" as plain text, and every other character of the
// format is copied as typed. A format is template text, never a printf
// format, so "%d", "%n" or a second "%@" show as they are written and no
// value can be read from or written to where it does not belong.
#include <string>
#include <string_view>

namespace kl {

std::string titleWithFormat(std::string_view format, std::string_view value);
// The lines of a value on one line, joined by ", ".
std::string joinedLines(std::string_view value);

// A template's format for a shown value: "%!" in place of "%@" asks for a
// value of several lines on one line.
struct ValueFormat {
    std::string format = "%@";
    bool compact = false;

    void set(std::string_view text);
    std::string apply(std::string_view value) const {
        return titleWithFormat(format, compact ? joinedLines(value) : std::string(value));
    }
};

}  // namespace kl
