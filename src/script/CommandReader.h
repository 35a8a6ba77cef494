#pragma once
// CommandReader: the cursor through which a template command's handler
// reads the evaluated arguments of its command, in order. The record
// browser keeps one reader and loads it with each command before calling
// the handler; the command itself stays owned by the caller. A handler
// that reads past the last argument gets the template error naming the
// command, the count it had read and the template being expanded.
//
// Thread: main thread, one build at a time.
#include <cstdint>
#include <functional>
#include <string>

#include "script/CommandCode.h"

namespace kl {

class CommandReader {
public:
    // Index of a command's first argument: the handler name and the code
    // come first.
    static constexpr std::uint32_t firstArgument = 2;

    // templateName answers the name of the template being expanded, for
    // error messages.
    explicit CommandReader(std::function<std::string()> templateName = {})
        : templateName_(std::move(templateName)) {}

    // Takes the command (not owned: it must outlive the handler's reading)
    // and moves the cursor to its first argument.
    void setCommand(const Command* command);
    const Command* nextCmd() const { return nextCmd_; }

    bool more() const;
    std::uint32_t remaining() const;
    std::string getString();
    // The number that starts the argument's text; 0 when none does.
    double getFloat();
    int getInt();
    // Scans the next argument as a number into value; false when none starts
    // it. The cursor moves on either way.
    bool findDouble(double& value);
    // Moves the cursor back, never before the first argument.
    void backup(std::uint32_t count);
    void doneReading();

private:
    const Value& next();
    std::uint32_t size() const;
    [[noreturn]] void tooFewArguments() const;

    const Command* nextCmd_ = nullptr;
    std::uint32_t arg_ = firstArgument;
    std::function<std::string()> templateName_;
};

}  // namespace kl
