#pragma once
// Small text pieces shared by the records' report descriptions: filling the
// sentence patterns, record links and places made safe for HTML output.
// Pure functions; reports call them on their worker threads.
#include <cstdint>
#include <initializer_list>
#include <string>
#include <string_view>
#include <vector>

#include "foundation/Value.h"

namespace kl::report {

// The pattern with each "%@" or "%d" replaced by the next argument, in
// order; placeholders beyond the arguments become empty.
std::string fill(std::string_view pattern, std::initializer_list<std::string_view> arguments);
std::string fill(std::string_view pattern, const std::vector<std::string>& arguments);

// "<a href='//ID'>name</a>": report pages and HTML panes resolve the
// two-slash address to the record.
std::string link(std::string_view recordID, std::string_view name);

// A place as the description shows it: escaped for HTML when the options
// make the output HTML and the place is not empty, else unchanged.
std::string place(std::string placeText, std::uint32_t options);

// Names joined for prose: "A", "A and B", "A, B and C".
std::string joinNames(const std::vector<std::string>& names);

// A description in the making: one growing text, or (list form) one entry
// a line.
struct Prose {
    bool list;
    Array lines;
    std::string text;
    void add(std::string line) {
        if (list)
            lines.emplace_back(std::move(line));
        else
            text += line;
    }
    Value value() const { return list ? Value(lines) : Value(text); }
};

}  // namespace kl::report
