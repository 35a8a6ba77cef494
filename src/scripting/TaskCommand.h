#pragma once
// TaskCommand: the command line of a child process for the script
// machinery, and its synchronous run. Element 0 of the arguments is the
// launch path, the rest the program's arguments. setShellArguments builds
// a /bin/sh command from words; with handleSpaces every word that holds a
// character outside [A-Za-z0-9_@%+=:,./-] is single-quoted, so quotes,
// dollars, semicolons, backquotes and pipes reach the program unchanged
// instead of being run by the shell.
//
// runAndGetTaskData waits for the program on the calling thread (a
// script's own thread) and returns everything it wrote to standard output
// and standard error, which share one pipe; every failure comes back
// inside the text, beginning with "ERROR\n".
//
// Ownership: a value. Thread: the thread that uses it.
#include <filesystem>
#include <map>
#include <optional>
#include <string>
#include <vector>

namespace kl {

class TaskCommand {
public:
    using Environment = std::map<std::string, std::string>;
    static constexpr const char* shell = "/bin/sh";

    void setArguments(std::vector<std::string> arguments) { arguments_ = std::move(arguments); }
    // The words joined with single spaces (quoted with handleSpaces), " &"
    // appended with background; run as /bin/sh -c <text>.
    void setShellArguments(const std::vector<std::string>& words, bool background, bool handleSpaces);
    const std::vector<std::string>& arguments() const { return arguments_; }
    // The command was put in the background: its pipes are not drained.
    bool submitTaskAndExit() const { return submitTaskAndExit_; }

    // One shell word, quoted when it needs to be.
    static std::string shellWord(const std::string& word);

    // A given folder becomes the child's current folder; a given
    // environment replaces the whole environment.
    std::string runAndGetTaskData(const std::optional<std::filesystem::path>& folder,
                                  const std::optional<Environment>& environment) const;

private:
    std::vector<std::string> arguments_;
    bool submitTaskAndExit_ = false;
};

}  // namespace kl
