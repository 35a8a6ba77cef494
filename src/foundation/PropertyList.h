#pragma once
// PropertyList: property lists in and out of Value. Reads XML and binary
// lists, writes XML. Dictionaries keep the key order of the file when read
// and their insertion order when written. Damaged input answers nullopt with
// a message, never a crash. Stateless and safe on any thread: the number
// conversions run under the "C" locale of the calling thread only, so a
// German LC_NUMERIC neither truncates "45.5" nor writes "45,5".
#include <filesystem>
#include <optional>
#include <string>
#include <string_view>

#include "foundation/Value.h"

namespace kl {

class PropertyList {
public:
    // Lists nested deeper than this are refused rather than recursed into.
    static constexpr int maxDepth = 512;

    // XML or binary, told apart by the content.
    static std::optional<Value> read(std::string_view bytes, std::string* error = nullptr);
    static std::optional<Value> read(const Data& bytes, std::string* error = nullptr);
    static std::optional<Value> readFile(const std::filesystem::path& path, std::string* error = nullptr);
    // readFile, answering only a dictionary.
    static std::optional<Dictionary> readDictionaryFile(const std::filesystem::path& path,
                                                        std::string* error = nullptr);

    // XML text. Null and Object values cannot be written and answer nullopt
    // with a message naming where they sit ("albums/2"). Dates must lie
    // within the 32-bit seconds that the format library keeps.
    static std::optional<std::string> writeXML(const Value& value, std::string* error = nullptr);
    // An atomic write goes through a temporary file beside the target, so a
    // failed write leaves the old file whole.
    static bool writeFile(const Value& value, const std::filesystem::path& path,
                          std::string* error = nullptr, bool atomically = true);
    // Any bytes, written atomically the same way.
    static bool writeBytesAtomically(std::string_view bytes, const std::filesystem::path& path,
                                     std::string* error = nullptr);
};

}  // namespace kl
