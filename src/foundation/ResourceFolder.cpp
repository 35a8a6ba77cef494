#include "foundation/ResourceFolder.h"

#include <fstream>
#include <mutex>
#include <sstream>
#include <system_error>

namespace kl {

namespace {

std::mutex& folderMutex() {
    static std::mutex mutex;
    return mutex;
}

std::filesystem::path& chosenFolder() {
    static std::filesystem::path folder;
    return folder;
}

std::filesystem::path defaultFolder() {
    std::error_code error;
    const auto exe = std::filesystem::read_symlink("/proc/self/exe", error);
    if (error) return "resources";
    const auto beside = exe.parent_path() / "resources";
    if (std::filesystem::is_directory(beside, error)) return beside;
    return exe.parent_path().parent_path() / "share" / "kinlore" / "resources";
}

}  // namespace

std::filesystem::path ResourceFolder::folder() {
    std::lock_guard lock(folderMutex());
    if (chosenFolder().empty()) chosenFolder() = defaultFolder();
    return chosenFolder();
}

void ResourceFolder::setFolder(std::filesystem::path folder) {
    std::lock_guard lock(folderMutex());
    chosenFolder() = std::move(folder);
}

std::optional<std::filesystem::path> ResourceFolder::pathForResource(const std::string& name,
                                                                     const std::string& type) {
    // A name must not walk out of the folder.
    if (name.empty() || name.find('/') != std::string::npos || name == "." || name == "..") return std::nullopt;
    const auto path = folder() / (type.empty() ? name : name + "." + type);
    std::error_code error;
    if (!std::filesystem::is_regular_file(path, error)) return std::nullopt;
    return path;
}

std::optional<std::string> ResourceFolder::readResource(const std::string& name, const std::string& type) {
    const auto path = pathForResource(name, type);
    if (!path) return std::nullopt;
    std::ifstream in(*path, std::ios::binary);
    if (!in) return std::nullopt;
    std::ostringstream text;
    text << in.rdbuf();
    if (in.bad()) return std::nullopt;
    return text.str();
}

}  // namespace kl
