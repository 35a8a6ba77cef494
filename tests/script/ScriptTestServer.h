#pragma once
// A small expression server for the parser tests: runs a parser's commands
// the way the script interpreter and the pane builder do (assignments, if
// conditions, repeat loops, gosub) and records every other command it is
// handed, with its arguments evaluated, and the first error with its line.
#include <optional>
#include <string>
#include <vector>

#include "script/CommandParcer.h"
#include "script/ExpressionEvaulator.h"
#include "script/Variables.h"

namespace kl::test {

class ScriptTestServer : public ExpressionEvaulator {
public:
    explicit ScriptTestServer(CommandParcer& parser) : parser_(parser) { parser.setExpressionServer(this); }

    // Source mode: findSubroutines, then nextCommand to the end.
    void runSource();
    // Token mode: findSubroutinesByTokens, then nextTokenCommand to the end.
    void runTokens();

    std::optional<std::string> evaulateCommandExpression(const std::string& expression) override;
    std::optional<std::string> subReturnValue() const override { return subReturn_; }
    void setSubReturnValue(std::optional<std::string> value) override { subReturn_ = std::move(value); }

    Variables variables;
    std::vector<std::string> handed;  // "word arg arg" of each plain command
    std::optional<std::string> error;
    std::size_t errorLine = 0;
    std::string errorTrace;

private:
    bool run(Command command);  // false stops the run
    bool fail(const std::string& message);
    std::string eval(const Value& item);
    bool condition(const Command& args);
    bool doRepeat(const Command& args);
    bool doGosub(const Command& command);
    bool doRepeatList(const Command& args);

    CommandParcer& parser_;
    std::optional<std::string> subReturn_;
    bool tokens_ = false;
};

}  // namespace kl::test
