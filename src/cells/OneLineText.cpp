#include "cells/OneLineText.h"

#include <algorithm>

namespace kl {

std::optional<std::string> removeNewLines(const std::string& text) {
    if (!holdsLineBreak(text)) return std::nullopt;
    std::string line = text;
    std::replace(line.begin(), line.end(), '\n', ' ');
    std::replace(line.begin(), line.end(), '\r', ' ');
    return line;
}

}  // namespace kl
