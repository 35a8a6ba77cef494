#include "scripting/TaskCommand.h"

#include <fcntl.h>
#include <spawn.h>
#include <sys/wait.h>
#include <unistd.h>

#include <cerrno>
#include <cstring>

#include "scripting/OutputDecoder.h"

extern char** environ;

namespace kl {

namespace {

bool isPlainShellCharacter(char c) {
    if ((c >= 'A' && c <= 'Z') || (c >= 'a' && c <= 'z') || (c >= '0' && c <= '9')) return true;
    return std::strchr("_@%+=:,./-", c) != nullptr && c != '\0';
}

// The argv/envp arrays of posix_spawn over strings that outlive the call.
std::vector<char*> pointers(std::vector<std::string>& texts) {
    std::vector<char*> list;
    list.reserve(texts.size() + 1);
    for (std::string& text : texts) list.push_back(text.data());
    list.push_back(nullptr);
    return list;
}

}  // namespace

std::string TaskCommand::shellWord(const std::string& word) {
    bool plain = !word.empty();
    for (char c : word) plain = plain && isPlainShellCharacter(c);
    if (plain) return word;
    std::string quoted = "'";
    for (char c : word) {
        if (c == '\'')
            quoted += "'\\''";
        else
            quoted += c;
    }
    return quoted + "'";
}

void TaskCommand::setShellArguments(const std::vector<std::string>& words, bool background, bool handleSpaces) {
    std::string command;
    for (const std::string& word : words) {
        if (!command.empty()) command += ' ';
        command += handleSpaces ? shellWord(word) : word;
    }
    if (background) command += " &";
    arguments_ = {shell, "-c", command};
    submitTaskAndExit_ = background;
}

std::string TaskCommand::runAndGetTaskData(const std::optional<std::filesystem::path>& folder,
                                           const std::optional<Environment>& environment) const {
    if (arguments_.empty()) return "ERROR\nSubProess: No arguments provided for the subprocess";
    int pipeEnds[2];
    if (::pipe2(pipeEnds, O_CLOEXEC) != 0) return "ERROR\n" + std::string(std::strerror(errno));

    posix_spawn_file_actions_t actions;
    posix_spawn_file_actions_init(&actions);
    posix_spawn_file_actions_adddup2(&actions, pipeEnds[1], STDOUT_FILENO);
    posix_spawn_file_actions_adddup2(&actions, pipeEnds[1], STDERR_FILENO);
    posix_spawn_file_actions_addopen(&actions, STDIN_FILENO, "/dev/null", O_RDONLY, 0);
    std::string folderText = folder ? folder->string() : std::string();
    if (folder) posix_spawn_file_actions_addchdir_np(&actions, folderText.c_str());

    std::vector<std::string> argumentTexts = arguments_;
    std::vector<char*> argv = pointers(argumentTexts);
    std::vector<std::string> environmentTexts;
    if (environment)
        for (const auto& [name, value] : *environment) environmentTexts.push_back(name + "=" + value);
    std::vector<char*> envp = pointers(environmentTexts);

    pid_t child = 0;
    const int failed = ::posix_spawn(&child, argumentTexts[0].c_str(), &actions, nullptr, argv.data(),
                                     environment ? envp.data() : environ);
    posix_spawn_file_actions_destroy(&actions);
    ::close(pipeEnds[1]);
    if (failed != 0) {
        ::close(pipeEnds[0]);
        return "ERROR\n" + arguments_[0] + ": " + std::strerror(failed);
    }

    std::string bytes;
    char buffer[65536];
    for (;;) {
        const ssize_t got = ::read(pipeEnds[0], buffer, sizeof buffer);
        if (got > 0) {
            bytes.append(buffer, static_cast<std::size_t>(got));
        } else if (got == 0 || errno != EINTR) {
            break;
        }
    }
    ::close(pipeEnds[0]);
    int status = 0;
    while (::waitpid(child, &status, 0) < 0 && errno == EINTR) {
    }
    std::string text = OutputDecoder::decodeAll(bytes);
    const bool sound = WIFEXITED(status) && WEXITSTATUS(status) == 0;
    return sound ? text : "ERROR\n" + text;
}

}  // namespace kl
