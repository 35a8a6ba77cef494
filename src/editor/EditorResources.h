#pragma once
// EditorResources: the files Kinlore Editor ships beside the programs, in
// the "KinloreEditor" folder of the resource folder: the empty packages,
// the default texts of new items and the help style sheets. Any thread.
#include <filesystem>
#include <optional>
#include <string>

namespace kl {

class EditorResources {
public:
    static std::filesystem::path folder();
    // "name.type" of the folder, read as Mac OS Roman; nullopt when missing.
    static std::optional<std::string> readMacRoman(const std::string& name, const std::string& type);
    // "name.type" as UTF-8 text; nullopt when missing or not UTF-8.
    static std::optional<std::string> readUTF8(const std::string& name, const std::string& type);
};

// The whole file as bytes; nullopt when it cannot be read.
std::optional<std::string> readFileBytes(const std::filesystem::path& file);

}  // namespace kl
