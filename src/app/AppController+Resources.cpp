#include <mutex>

#include "app/AppController.h"
#include "foundation/Exception.h"
#include "foundation/PropertyList.h"

namespace kl {

namespace {

std::mutex& folderMutex() {
    static std::mutex m;
    return m;
}

std::filesystem::path& chosenFolder() {
    static std::filesystem::path folder;
    return folder;
}

std::filesystem::path besideProgram() {
    std::error_code error;
    const auto program = std::filesystem::read_symlink("/proc/self/exe", error);
    if (error) return "resources";
    return program.parent_path() / "resources";
}

}  // namespace

std::filesystem::path AppController::resourcesFolder() {
    std::lock_guard lock(folderMutex());
    if (chosenFolder().empty()) chosenFolder() = besideProgram();
    return chosenFolder();
}

void AppController::setResourcesFolder(std::filesystem::path folder) {
    std::lock_guard lock(folderMutex());
    chosenFolder() = std::move(folder);
}

Dictionary AppController::readBundleDictionary(std::string_view name) {
    const auto path = resourcesFolder() / (std::string(name) + ".plist");
    auto dictionary = PropertyList::readDictionaryFile(path);
    if (!dictionary)
        raise("NSInternalInconsistencyException",
              "Could not read library dictionary file named '" + std::string(name) + ".plist'");
    return *dictionary;
}

}  // namespace kl
