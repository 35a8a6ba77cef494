#include "cells/TitleFormat.h"

namespace kl {

std::string titleWithFormat(std::string_view format, std::string_view value) {
    const std::size_t at = format.find("%@");
    if (at == std::string_view::npos) return std::string(format);
    std::string title;
    title.reserve(format.size() + value.size());
    title.append(format.substr(0, at));
    title.append(value);
    title.append(format.substr(at + 2));
    return title;
}

std::string joinedLines(std::string_view value) {
    std::string joined;
    std::size_t start = 0;
    while (true) {
        const std::size_t end = value.find('\n', start);
        joined += value.substr(start, end == std::string_view::npos ? std::string_view::npos : end - start);
        if (end == std::string_view::npos) break;
        joined += ", ";
        start = end + 1;
    }
    return joined;
}

void ValueFormat::set(std::string_view text) {
    format = std::string(text);
    compact = format.find("%!") != std::string::npos;
    if (!compact) return;
    for (std::size_t at = format.find("%!"); at != std::string::npos; at = format.find("%!", at + 2))
        format.replace(at, 2, "%@");
}

}  // namespace kl
