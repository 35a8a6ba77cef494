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

}  // namespace kl
