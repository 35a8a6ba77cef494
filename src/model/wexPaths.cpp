// Old colon paths and link resolution. Alias files and bookmarks of other
// systems are symbolic links here, so both resolvers follow links.
#include <cstdlib>
#include <filesystem>
#include <system_error>

#include "model/wex.h"

namespace fs = std::filesystem;

namespace kl::wex {

namespace {

// Longer chains are taken as a cycle (the kernel's own limit is 40).
constexpr int MaxLinkSteps = 40;

fs::file_status linkStatus(const fs::path& path) {
    std::error_code ec;
    return fs::symlink_status(path, ec);
}

}  // namespace

std::string macPathToUnix(std::string_view path) {
    if (path.find(':') == std::string_view::npos) return std::string(path);
    std::string result;
    if (path.front() == ':')
        path.remove_prefix(1);
    else
        result = "/Volumes/";
    for (char c : path) result.push_back(c == ':' ? '/' : c);
    return result;
}

std::string standardizePath(std::string_view path) {
    std::string expanded(path);
    if (path == "~" || path.starts_with("~/")) {
        const char* home = std::getenv("HOME");
        expanded = std::string(home ? home : "") + std::string(path.substr(1));
    }
    if (expanded.empty()) return expanded;
    std::string normal = fs::path(expanded).lexically_normal().string();
    while (normal.size() > 1 && normal.back() == '/') normal.pop_back();
    return normal.empty() ? "." : normal;
}

std::optional<std::string> stringByConditionallyResolvingSymlink(std::string_view path) {
    if (!fs::is_symlink(linkStatus(path))) return std::nullopt;
    std::error_code ec;
    fs::path target = fs::read_symlink(path, ec);
    if (ec) return std::nullopt;
    if (target.is_absolute()) return target.string();
    return standardizePath((fs::path(path).parent_path() / target).string());
}

std::optional<std::string> stringByIterativelyResolvingSymlinkOrAlias(std::string_view path) {
    std::string current(path);
    for (int step = 0; step <= MaxLinkSteps; ++step) {
        fs::file_status status = linkStatus(current);
        if (!fs::exists(status)) return std::nullopt;
        if (!fs::is_symlink(status)) return current;
        auto target = stringByConditionallyResolvingSymlink(current);
        if (!target) return std::nullopt;
        current = *target;
    }
    return std::nullopt;
}

std::optional<std::string> stringByConditionallyResolvingAlias(std::string_view path) {
    // A bookmark is only answered when it still leads somewhere; a stale one
    // (a dangling link) gives nothing.
    if (!fs::is_symlink(linkStatus(path))) return std::nullopt;
    std::string absolute = fs::absolute(fs::path(path)).string();
    return stringByResolvingSymlinksAndAliases(absolute);
}

std::string stringByResolvingSymlink(std::string_view path) {
    return stringByConditionallyResolvingSymlink(path).value_or(std::string(path));
}

std::string stringByResolvingAlias(std::string_view path) {
    return stringByConditionallyResolvingAlias(path).value_or(std::string(path));
}

std::optional<std::string> stringByResolvingSymlinksAndAliases(std::string_view path) {
    std::string standard = standardizePath(path);
    if (!standard.starts_with('/')) return std::nullopt;
    // Components still to walk, last first; a link's target is pushed in
    // front of what follows it, so links inside a target are resolved too and
    // ".." after a link climbs from where the link really leads.
    std::vector<std::string> pending;
    for (const auto& part : fs::path(standard).relative_path()) pending.insert(pending.begin(), part.string());
    fs::path resolved = "/";
    int steps = 0;
    while (!pending.empty()) {
        std::string part = std::move(pending.back());
        pending.pop_back();
        if (part.empty() || part == ".") continue;
        if (part == "..") {
            resolved = resolved.parent_path();
            continue;
        }
        fs::path candidate = resolved / part;
        fs::file_status status = linkStatus(candidate);
        if (!fs::exists(status)) return std::nullopt;
        if (!fs::is_symlink(status)) {
            resolved = candidate;
            continue;
        }
        std::error_code ec;
        fs::path target = fs::read_symlink(candidate, ec);
        if (ec || ++steps > MaxLinkSteps) return std::nullopt;
        if (target.is_absolute()) resolved = "/";
        std::vector<std::string> targetParts;
        for (const auto& t : target.relative_path()) targetParts.push_back(t.string());
        pending.insert(pending.end(), targetParts.rbegin(), targetParts.rend());
    }
    return resolved.string();
}

}  // namespace kl::wex
