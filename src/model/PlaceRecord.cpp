#include "model/PlaceRecord.h"

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

}  // namespace kl
