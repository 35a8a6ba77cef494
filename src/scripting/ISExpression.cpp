#include "scripting/ISExpression.h"

#include <string_view>
#include <unordered_map>

#include "dates/DateBridge.h"
#include "foundation/Numbers.h"
#include "model/Soundex.h"
#include "script/CommandParcer.h"
#include "scripting/RunServer.h"

namespace kl {

namespace {

using Builtin = std::string (*)(RunServer*);

const std::unordered_map<std::string_view, Builtin>& builtins() {
    static const std::unordered_map<std::string_view, Builtin> table = {
        {"#macOS$", [](RunServer*) { return std::to_string(RunServer::macSystem); }},
        {"#today$", [](RunServer*) { return userDisplayDate(todayDateString()); }},
        {"#appName$", [](RunServer*) { return std::string(ISExpression::appName); }},
        {"#returnValue$",
         [](RunServer* s) { return (s ? s->subReturnValue() : std::nullopt).value_or("????"); }},
    };
    return table;
}

using ScriptFunction = std::string (*)(RunServer*, const std::string&);

struct FunctionRow {
    ScriptFunction run;
    bool argumentOptional;  // exectime: none or one, ignored
};

const std::unordered_map<std::string_view, FunctionRow>& functions() {
    static const std::unordered_map<std::string_view, FunctionRow> table = {
        {"local", {[](RunServer* s, const std::string& a) { return (s ? s->localString(a) : std::nullopt).value_or(a); }, false}},
        {"string", {[](RunServer* s, const std::string& a) { return (s ? s->localString(a) : std::nullopt).value_or(""); }, false}},
        {"soundex", {[](RunServer*, const std::string& a) { return soundexForString(a); }, false}},
        {"dateformat", {[](RunServer*, const std::string& a) { return userDisplayDate(a); }, false}},
        {"dateyear", {[](RunServer*, const std::string& a) { return yearFromDate(a); }, false}},
        {"exectime", {[](RunServer*, const std::string&) { return formatGeneral(CommandParcer::secondsSinceReference(), 6); }, true}},
    };
    return table;
}

}  // namespace

ISExpression::ISExpression(std::string text, RunServer* server) : Expression(std::move(text)), server_(server) {
    setAtDelegate(server);
}

std::unique_ptr<Expression> ISExpression::copy() const {
    return std::unique_ptr<Expression>(new ISExpression(*this));
}

std::optional<std::string> ISExpression::getCustomVariable(const std::string& name) {
    auto it = builtins().find(name);
    if (it == builtins().end()) return std::nullopt;
    return it->second(server_);
}

std::optional<std::string> ISExpression::doCustomFunction(const std::string& name, const std::vector<std::string>& args,
                                                          const std::vector<std::optional<double>>& numbers,
                                                          const Variables& variables) {
    auto it = functions().find(name);
    if (it == functions().end()) return Expression::doCustomFunction(name, args, numbers, variables);
    const FunctionRow& row = it->second;
    const bool countFits = row.argumentOptional ? args.size() <= 1 : args.size() == 1;
    if (!countFits) return std::nullopt;
    return row.run(server_, args.empty() ? std::string() : args[0]);
}

}  // namespace kl
