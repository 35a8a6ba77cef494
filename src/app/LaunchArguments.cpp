#include "app/LaunchArguments.h"

#include <algorithm>

namespace kl {

namespace fs = std::filesystem;

LaunchArguments::LaunchArguments(const std::vector<std::string>& arguments, const fs::path& workingFolder) {
    bool optionsEnded = false;
    for (const std::string& argument : arguments) {
        if (argument.empty()) continue;
        if (!optionsEnded && argument == "--") {
            optionsEnded = true;
        } else if (!optionsEnded && argument == separateInstanceOption) {
            separateInstance_ = true;
        } else if (!optionsEnded && argument.front() == '-') {
            unknownOptions_.push_back(argument);
        } else {
            addFile(argument, workingFolder);
        }
    }
}

// A package is a folder: "Tree.gedpkg/" and "Tree.gedpkg" are one document.
void LaunchArguments::addFile(const std::string& argument, const fs::path& workingFolder) {
    fs::path path = fs::path(argument).is_absolute() ? fs::path(argument) : workingFolder / argument;
    path = path.lexically_normal();
    if (!path.has_filename() && path.has_parent_path() && path != path.root_path()) path = path.parent_path();
    if (std::find(files_.begin(), files_.end(), path) == files_.end()) files_.push_back(path);
}

}  // namespace kl
