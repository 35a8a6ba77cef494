#pragma once
// The template compiler as the command parser sees it while compiling: it
// decides what each command becomes and reports compile errors by raising.
#include <string>
#include <vector>

#include "script/CommandCode.h"

namespace kl {

class CommandParcer;

class CommandCompiler {
public:
    virtual ~CommandCompiler() = default;
    // May rewrite the command and append commands of its own to compiled;
    // answers whether the command itself is appended.
    virtual bool shouldAddCommand(Command& command, std::vector<Command>& compiled,
                                  CommandParcer& parce) = 0;
    // Reports the error and raises; compiling stops there.
    virtual void parceCompileError(const std::string& message, const Command& command) = 0;
};

}  // namespace kl
