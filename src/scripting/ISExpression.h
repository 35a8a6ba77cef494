#pragma once
// ISExpression: the expression of internal scripts. Besides the language's
// own variables and functions it knows the run's built-in variables
// ("#macOS$", "#today$", "#appName$", "#returnValue$") and the functions
// local, string, soundex, dateformat, dateyear and exectime.
//
// The at-delegate is the running interpreter, which also answers the
// return value and the language strings. Script thread.
#include <memory>
#include <optional>
#include <string>
#include <vector>

#include "script/Expression.h"

namespace kl {

class RunServer;

class ISExpression : public Expression {
public:
    static constexpr const char* appName = "Kinlore II";

    explicit ISExpression(std::string text = {}, RunServer* server = nullptr);

    std::unique_ptr<Expression> copy() const override;

    std::optional<std::string> getCustomVariable(const std::string& name) override;
    std::optional<std::string> doCustomFunction(const std::string& name, const std::vector<std::string>& args,
                                                const std::vector<std::optional<double>>& numbers,
                                                const Variables& variables) override;

protected:
    ISExpression(const ISExpression& other) = default;

private:
    RunServer* server_ = nullptr;
};

}  // namespace kl
