#pragma once
// Shared by the editor's tests: a scratch folder per test, the shipped
// resources as the resource folder, small package writers and a reader of
// a whole folder for byte-for-byte comparisons.
#include <gtest/gtest.h>
#include <unistd.h>

#include <atomic>
#include <filesystem>
#include <fstream>
#include <map>
#include <sstream>
#include <string>

#include "foundation/PropertyList.h"
#include "foundation/ResourceFolder.h"

namespace kl::test {

namespace fs = std::filesystem;

inline fs::path shippedResources() { return fs::path(KL_SOURCE_DIR) / "resources"; }
inline fs::path shippedDefaultFormat() {
    return shippedResources() / "KinloreIIAppSupport/Formats/Default Format.kfrmt";
}

inline void writeFile(const fs::path& file, std::string_view bytes) {
    fs::create_directories(file.parent_path());
    std::ofstream(file, std::ios::binary) << bytes;
}

inline std::string readFile(const fs::path& file) {
    std::ifstream in(file, std::ios::binary);
    std::ostringstream bytes;
    bytes << in.rdbuf();
    return bytes.str();
}

inline void writeList(const fs::path& file, const Value& value) {
    fs::create_directories(file.parent_path());
    ASSERT_TRUE(PropertyList::writeFile(value, file));
}

inline Dictionary readList(const fs::path& file) {
    auto list = PropertyList::readDictionaryFile(file);
    EXPECT_TRUE(list) << file;
    return list ? *list : Dictionary{};
}

// Every file below the folder, by relative path, with its bytes.
inline std::map<std::string, std::string> folderContents(const fs::path& folder) {
    std::map<std::string, std::string> files;
    for (const auto& entry : fs::recursive_directory_iterator(folder)) {
        const std::string name = fs::relative(entry.path(), folder).string();
        files[name] = entry.is_regular_file() ? readFile(entry.path()) : std::string("<folder>");
    }
    return files;
}

// The names of the folder's top-level entries, sorted.
inline std::vector<std::string> entryNames(const fs::path& folder) {
    std::vector<std::string> names;
    for (const auto& entry : fs::directory_iterator(folder)) names.push_back(entry.path().filename().string());
    std::sort(names.begin(), names.end());
    return names;
}

class EditorTest : public ::testing::Test {
protected:
    void SetUp() override {
        static std::atomic<int> serial{0};
        scratch_ = fs::temp_directory_path() /
                   ("kl-editor-" + std::to_string(::getpid()) + "-" + std::to_string(++serial));
        fs::create_directories(scratch_);
        savedResources_ = ResourceFolder::folder();
        ResourceFolder::setFolder(shippedResources());
    }
    void TearDown() override {
        ResourceFolder::setFolder(savedResources_);
        fs::remove_all(scratch_);
    }
    fs::path scratch(const std::string& name) const { return scratch_ / name; }

    fs::path scratch_;
    fs::path savedResources_;
};

}  // namespace kl::test
