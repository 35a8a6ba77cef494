#pragma once
// LaunchArguments: what the command line of Kinlore II asks for, once Qt has
// taken its own options: the files and packages to open, made absolute
// against the folder the program was started in (a second instance hands
// them to the running one, whose folder may differ), and whether to run as
// a separate instance.
//
// Thread: main thread, at start.
#include <filesystem>
#include <string>
#include <vector>

namespace kl {

class LaunchArguments {
public:
    static constexpr const char* separateInstanceOption = "--separate-instance";

    // arguments: without the program name.
    LaunchArguments(const std::vector<std::string>& arguments, const std::filesystem::path& workingFolder);

    const std::vector<std::filesystem::path>& files() const { return files_; }
    bool separateInstance() const { return separateInstance_; }
    // Options this program does not know, for a warning.
    const std::vector<std::string>& unknownOptions() const { return unknownOptions_; }

private:
    void addFile(const std::string& argument, const std::filesystem::path& workingFolder);

    std::vector<std::filesystem::path> files_;
    std::vector<std::string> unknownOptions_;
    bool separateInstance_ = false;
};

}  // namespace kl
