// Finding templates and compiling them against the template command set.
#include <algorithm>
#include <array>

#include "foundation/AsciiText.h"
#include "foundation/Exception.h"
#include "script/CustomExpression.h"
#include "script/TemplateCommandSet.h"
#include "script/Templates.h"

namespace kl {

namespace {

// Operators and connectors of a condition stay plain text in the compiled
// command: the conditional handlers read them as words.
bool isConditionWord(const std::string& text) {
    static constexpr std::array<std::string_view, 12> words{"=", "==", "!=", "<>", "<", ">", "<=",
                                                            ">=", " is ", "&&", "||", "is"};
    return std::find(words.begin(), words.end(), text) != words.end();
}

bool isConditionCode(int code) {
    return code == CommandCodeIf || code == CommandCodeOneLineIf || code == CommandCodeElseIf;
}

std::string itemText(const Value& item) {
    if (auto expression = item.objectAs<CustomExpression>()) return expression->string();
    return item.toString();
}

}  // namespace

std::optional<std::string> Templates::templateFileName(const std::string& name, int type,
                                                       const std::optional<std::string>& paneID) {
    if (type == TagTemplate) return name + " Editing.txt";
    if (type != RecordTemplate) return std::nullopt;
    if (paneID) return name + "_" + *paneID + " Record Editing.txt";
    return name + " Record Editing.txt";
}

std::shared_ptr<const CompiledCommands> Templates::getTemplate(const std::string& name, int type,
                                                               const std::optional<std::string>& paneID,
                                                               bool withContents, const std::string& originalTag) {
    auto fileName = templateFileName(name, type, paneID);
    if (!fileName) return nullptr;
    if (templateStack_.size() >= maxTemplateNesting)
        parceCompileError("Templates nested too deeply (a template that uses itself?)",
                          Command{Value(*fileName)});
    templateStack_.push_back(*fileName);
    if (withContents) tagStack_.push_back(originalTag);

    if (auto cached = compiledTemplatesByName_.find(*fileName); cached != compiledTemplatesByName_.end())
        return cached->second;
    const Value* source = templatesByName_.get(*fileName);
    if (!source) {
        if (type != RecordTemplate || !paneID) return nullptr;
        fileName = templateFileName(name, type, std::nullopt);
        templateStack_.back() = *fileName;
        if (auto cached = compiledTemplatesByName_.find(*fileName); cached != compiledTemplatesByName_.end())
            return cached->second;
        source = templatesByName_.get(*fileName);
        if (!source) return nullptr;
    }
    auto compiled = compileTemplate(*fileName, source->toString());
    compiledTemplatesByName_[*fileName] = compiled;
    return compiled;
}

std::shared_ptr<const CompiledCommands> Templates::compileTemplate(const std::string& fileName,
                                                                   const std::string& source) {
    const bool pushed = templateStack_.empty() || templateStack_.back() != fileName;
    if (pushed) templateStack_.push_back(fileName);
    struct Pop {
        std::vector<std::string>& stack;
        bool pushed;
        ~Pop() {
            if (pushed && !stack.empty()) stack.pop_back();
        }
    } pop{templateStack_, pushed};

    CommandParcer parser(source);
    if (auto error = parser.loadPreambles(Value(templatesByName_), std::string(".txt")))
        raise(exception_names::CustomEditError,
              "Could not load preamble data in template '" + fileName + "': " + *error);
    return parser.tokenizeCommands(*this);
}

std::vector<std::pair<std::string, std::string>> Templates::compileAllTemplates() {
    std::vector<std::pair<std::string, std::string>> failures;
    const std::vector<std::string> names = templatesByName_.keys();
    for (const std::string& name : names) {
        if (compiledTemplatesByName_.contains(name)) continue;
        const std::vector<std::string> savedStack = templateStack_;
        templateStack_.clear();
        try {
            compiledTemplatesByName_[name] = compileTemplate(name, templatesByName_.get(name)->toString());
        } catch (const NamedException& e) {
            failures.emplace_back(name, e.message());
        }
        templateStack_ = savedStack;
    }
    return failures;
}

bool Templates::shouldAddCommand(Command& command, std::vector<Command>& compiled, CommandParcer& parce) {
    const int code = commandCodeOf(command).value_or(CommandCodeCommand);
    if (command.empty()) parceCompileError("Unrecognized command", command);
    const Command shown = command;
    if (code == CommandCodeAssignment) {
        for (std::size_t i = 3; i < command.size(); ++i) command[i] = compiledExpression(command[i], shown);
        return true;
    }
    const std::string word = command[0].toString();
    if (code == CommandCodeCommand && asciiLower(word) == "set") {
        compileSet(command, compiled);
        return false;
    }
    const std::string handler = TemplateCommandSet::handlerName(word);
    if (TemplateCommandSet::hasHandler(handler)) {
        command[0] = Value(handler);
    } else if (code == CommandCodeCommand && parce.checkForGosub(command)) {
        command[0] = Value("doGosub:");
    } else if (parce.hasDefinedSub(word)) {
        command.insert(command.begin() + 2, Value(word));
        command[0] = Value("doGosub:");
    } else {
        parceCompileError("Unrecognized command", shown);
    }
    const bool condition = isConditionCode(code);
    for (std::size_t i = 2; i < command.size(); ++i) {
        if (condition && command[i].isString() && isConditionWord(*command[i].string())) continue;
        command[i] = compiledExpression(command[i], shown);
    }
    return true;
}

// "set Font Helvetica FontSize 12" runs as "Font Helvetica" and "FontSize 12".
void Templates::compileSet(const Command& command, std::vector<Command>& compiled) {
    if (command.size() < 4) return;
    for (std::size_t i = 2; i + 1 < command.size(); i += 2) {
        const std::string handler = TemplateCommandSet::handlerName(command[i].toString());
        if (!TemplateCommandSet::hasHandler(handler))
            parceCompileError("Unrecognized property option in set command", command);
        compiled.push_back(Command{Value(handler), Value(static_cast<int>(CommandCodeCommand)),
                                   compiledExpression(command[i + 1], command)});
    }
}

Value Templates::compiledExpression(const Value& item, const Command& shown) {
    auto expression = std::make_shared<CustomExpression>(itemText(item));
    if (auto error = expression->tokenizeExpr()) parceCompileError(*error, shown);
    return Value(std::move(expression));
}

void Templates::parceCompileError(const std::string& message, const Command& command) {
    std::string items;
    for (std::size_t i = 0; i < command.size(); ++i) {
        if (i == 1 && command[i].isInteger()) continue;
        if (!items.empty()) items += ' ';
        items += itemText(command[i]);
    }
    raise(exception_names::CustomEditError, message + " (command '" + items + "' in template '" +
                                                currentTemplate().value_or(std::string()) + "')");
}

}  // namespace kl
