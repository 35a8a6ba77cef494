// The per-process scratch folder. Each process has its own folder under the
// cache folder, named by its process id, so an instance that quits never
// removes the page and chart files of another one still running; it is
// made and removed through std::filesystem only, never through a shell.
#include <unistd.h>

#include <cstdlib>
#include <mutex>
#include <system_error>

#include "app/AppController.h"
#include "foundation/Logger.h"
#include "foundation/UUID.h"

namespace kl {

namespace fs = std::filesystem;

namespace {

constexpr const char* kCacheFolderName = "Kinlore II";

std::mutex& folderMutex() {
    static std::mutex m;
    return m;
}

std::optional<std::string>& folderPath() {
    static std::optional<std::string> path;
    return path;
}

bool makeOwnFolder(const fs::path& folder) {
    std::error_code error;
    if (fs::exists(folder, error)) fs::remove_all(folder, error);  // left by a dead process with our id
    fs::create_directories(folder, error);
    if (error || !fs::is_directory(folder, error)) return false;
    fs::permissions(folder, fs::perms::owner_all, fs::perm_options::replace, error);
    return true;
}

std::string withSlash(const fs::path& folder) {
    std::string text = folder.string();
    if (text.empty() || text.back() != '/') text += '/';
    return text;
}

}  // namespace

std::optional<std::string> AppController::workingDirectory() {
    std::lock_guard lock(folderMutex());
    return folderPath();
}

void AppController::createWorkingDirectory() {
    std::lock_guard lock(folderMutex());
    folderPath().reset();
    const std::string process = std::to_string(::getpid());
    if (const fs::path cache = AppController::cachesFolder(); !cache.empty()) {
        const fs::path folder = cache / kCacheFolderName / process;
        if (makeOwnFolder(folder)) {
            folderPath() = withSlash(folder);
            return;
        }
    }
    std::error_code error;
    const fs::path temporary = fs::temp_directory_path(error);
    if (error) return;
    const fs::path folder = temporary / ("Kinlore II-" + process + "-" + newUUIDString());
    if (makeOwnFolder(folder))
        folderPath() = withSlash(folder);
    else
        Logger::log("Could not make a working folder under {}", temporary.string());
}

void AppController::destroyWorkingDirectory() {
    std::lock_guard lock(folderMutex());
    const std::optional<std::string> path = folderPath();
    folderPath().reset();
    if (!path || path->size() < 4) return;
    const fs::path folder = fs::path(*path).parent_path();  // drops the trailing "/"
    std::error_code error;
    fs::remove_all(folder, error);
    // The shared parent goes only when empty: remove() refuses a folder
    // that still holds another process's working folder.
    if (folder.parent_path().filename() == kCacheFolderName) fs::remove(folder.parent_path(), error);
}

fs::path AppController::cachesFolder() {
    if (const char* xdg = std::getenv("XDG_CACHE_HOME"); xdg && *xdg == '/') return fs::path(xdg);
    if (const char* home = std::getenv("HOME"); home && *home == '/') return fs::path(home) / ".cache";
    return {};
}

}  // namespace kl
