#include "document/PackageFolder.h"

#include <fcntl.h>
#include <signal.h>
#include <unistd.h>

#include <cerrno>
#include <charconv>
#include <vector>

#include "foundation/PropertyList.h"

namespace kl {

namespace fs = std::filesystem;

namespace {

constexpr const char* kLeftoverKinds[] = {"saving", "old"};

bool isRunning(pid_t pid) { return ::kill(pid, 0) == 0 || errno == EPERM; }

// The process ID in "<what>-<pid>-<count>", or 0 when the rest is not of
// that form.
pid_t pidOfLeftover(std::string_view rest) {
    for (const char* kind : kLeftoverKinds) {
        const std::string_view prefix(kind);
        if (!rest.starts_with(prefix) || rest.size() <= prefix.size() || rest[prefix.size()] != '-') continue;
        rest.remove_prefix(prefix.size() + 1);
        pid_t pid = 0;
        const auto [end, error] = std::from_chars(rest.data(), rest.data() + rest.size(), pid);
        if (error != std::errc() || pid <= 0 || end == rest.data() + rest.size() || *end != '-') return 0;
        return pid;
    }
    return 0;
}

}  // namespace

bool PackageFolder::isPlainFileName(const std::string& name) {
    return !name.empty() && name != "." && name != ".." && name.find('/') == std::string::npos &&
           name.find('\0') == std::string::npos;
}

std::string PackageFolder::gedcomFileName(const fs::path& package, const Dictionary* attributes) {
    if (attributes)
        if (const Value* stored = attributes->get("GEDCOM File Name"); stored && stored->string() &&
                                                                       isPlainFileName(*stored->string()))
            return *stored->string();
    return package.stem().string() + ".ged";
}

std::optional<std::string> PackageFolder::refusalToReplace(const fs::path& target) {
    std::error_code error;
    const fs::file_status status = fs::status(target, error);
    if (!fs::exists(status)) return std::nullopt;
    if (!fs::is_directory(status)) return "'" + target.string() + "' is a file that is not a Kinlore II database.";
    if (fs::is_empty(target, error) && !error) return std::nullopt;
    if (fs::is_regular_file(target / "attributes.plist", error)) {
        const auto attributes = PropertyList::readDictionaryFile(target / "attributes.plist");
        if (fs::is_regular_file(target / gedcomFileName(target, attributes ? &*attributes : nullptr), error))
            return std::nullopt;
        // A GEDCOM file renamed by hand still makes the folder a package.
        for (fs::directory_iterator it(target, error), end; !error && it != end; it.increment(error))
            if (it->path().extension() == ".ged" && it->is_regular_file(error)) return std::nullopt;
    }
    return "'" + target.string() + "' is a folder that is not a Kinlore II database.";
}

int PackageFolder::removeLeftovers(const fs::path& package) {
    const fs::path parent = package.parent_path().empty() ? fs::path(".") : package.parent_path();
    const std::string prefix = "." + package.filename().string() + ".";
    std::vector<fs::path> leftovers;
    std::error_code error;
    for (fs::directory_iterator it(parent, error), end; !error && it != end; it.increment(error)) {
        const std::string name = it->path().filename().string();
        if (!name.starts_with(prefix)) continue;
        const pid_t pid = pidOfLeftover(std::string_view(name).substr(prefix.size()));
        if (pid == 0 || pid == ::getpid() || isRunning(pid)) continue;
        if (it->symlink_status(error).type() == fs::file_type::directory) leftovers.push_back(it->path());
    }
    int removed = 0;
    for (const fs::path& leftover : leftovers) {
        std::error_code ignored;
        if (fs::remove_all(leftover, ignored) != static_cast<std::uintmax_t>(-1) && !ignored) ++removed;
    }
    return removed;
}

bool PackageFolder::synchronize(const fs::path& path) {
    const int fd = ::open(path.c_str(), O_RDONLY | O_CLOEXEC);
    if (fd < 0) return false;
    bool ok = ::fsync(fd) == 0;
    ok = ::close(fd) == 0 && ok;
    return ok;
}

}  // namespace kl
