#include "editor/EditorResources.h"

#include <fstream>
#include <sstream>

#include "foundation/ResourceFolder.h"
#include "model/SingleByteCodec.h"

namespace kl {

namespace fs = std::filesystem;

std::optional<std::string> readFileBytes(const fs::path& file) {
    std::error_code error;
    if (!fs::is_regular_file(file, error)) return std::nullopt;
    std::ifstream in(file, std::ios::binary);
    if (!in) return std::nullopt;
    std::ostringstream bytes;
    bytes << in.rdbuf();
    if (in.bad()) return std::nullopt;
    return std::move(bytes).str();
}

fs::path EditorResources::folder() { return ResourceFolder::folder() / "KinloreEditor"; }

std::optional<std::string> EditorResources::readMacRoman(const std::string& name, const std::string& type) {
    auto bytes = readFileBytes(folder() / (name + "." + type));
    if (!bytes) return std::nullopt;
    return SingleByteCodec::forEncoding(TextEncoding::MacOSRoman)->decode(*bytes).text;
}

std::optional<std::string> EditorResources::readUTF8(const std::string& name, const std::string& type) {
    auto bytes = readFileBytes(folder() / (name + "." + type));
    if (!bytes || !isValidUTF8(*bytes)) return std::nullopt;
    return bytes;
}

}  // namespace kl
