#include "foundation/TildePath.h"

#include <cstdlib>

namespace kl {

namespace {

std::string home() {
    const char* value = std::getenv("HOME");
    std::string text = value ? value : "";
    while (text.size() > 1 && text.back() == '/') text.pop_back();
    return text;
}

}  // namespace

std::string expandTilde(std::string_view path) {
    if (path != "~" && !path.starts_with("~/")) return std::string(path);
    const std::string folder = home();
    if (folder.empty()) return std::string(path);
    return folder + std::string(path.substr(1));
}

std::string abbreviateWithTilde(std::string_view path) {
    const std::string folder = home();
    if (folder.empty() || folder == "/" || !path.starts_with(folder)) return std::string(path);
    if (path.size() == folder.size()) return "~";
    if (path[folder.size()] != '/') return std::string(path);
    return "~" + std::string(path.substr(folder.size()));
}

}  // namespace kl
