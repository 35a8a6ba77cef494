#pragma once
// ResourceFolder: where the files shipped beside the programs live
// ("NewHeader.txt", grammars, formats). By default the "resources" folder
// beside the running executable, else "../share/kinlore/resources" from it;
// tests and installs may point it elsewhere.
//
// Thread: the folder is set on the main thread at start; lookups may run on
// any thread (the path is guarded by a mutex).
#include <filesystem>
#include <optional>
#include <string>

namespace kl {

class ResourceFolder {
public:
    static std::filesystem::path folder();
    // An empty path goes back to the default next to the executable.
    static void setFolder(std::filesystem::path folder);
    // The file "name.type" (or "name" for an empty type) when it exists.
    static std::optional<std::filesystem::path> pathForResource(const std::string& name, const std::string& type);
    // Its whole text, nullopt when missing or unreadable.
    static std::optional<std::string> readResource(const std::string& name, const std::string& type);
};

}  // namespace kl
