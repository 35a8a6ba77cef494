#include "script/CommandReader.h"

#include <algorithm>
#include <limits>

#include "foundation/Exception.h"
#include "foundation/Numbers.h"
#include "script/ScriptValueText.h"

namespace kl {

void CommandReader::setCommand(const Command* command) {
    nextCmd_ = command;
    arg_ = firstArgument;
}

std::uint32_t CommandReader::size() const {
    if (!nextCmd_) return firstArgument;
    return std::uint32_t(std::min<std::size_t>(nextCmd_->size(), std::numeric_limits<std::uint32_t>::max()));
}

bool CommandReader::more() const { return arg_ < size(); }

std::uint32_t CommandReader::remaining() const { return more() ? size() - arg_ : 0; }

void CommandReader::tooFewArguments() const {
    std::string text;
    if (nextCmd_)
        for (std::size_t i = 0; i < nextCmd_->size(); ++i) text += (i ? " " : "") + commandItemText((*nextCmd_)[i]);
    const std::uint32_t read = arg_ > firstArgument ? arg_ - firstArgument : 0;
    raise(exception_names::CustomEditError, "'" + text + "' command needs more than " + std::to_string(read) +
                                                " arguments in template '" +
                                                (templateName_ ? templateName_() : std::string()) + "'");
}

const Value& CommandReader::next() {
    if (!more()) tooFewArguments();
    return (*nextCmd_)[arg_++];
}

std::string CommandReader::getString() { return commandItemText(next()); }

double CommandReader::getFloat() {
    const Value& v = next();
    if (v.isNumber()) return v.toReal();
    return parseDouble(commandItemText(v)).value_or(0);
}

int CommandReader::getInt() {
    const Value& v = next();
    if (v.isNumber()) return saturatingInt32(v.toReal());
    return saturatingInt32(double(parseInteger(commandItemText(v)).value_or(0)));
}

bool CommandReader::findDouble(double& value) {
    const Value& v = next();
    if (v.isNumber()) {
        value = v.toReal();
        return true;
    }
    auto number = parseDouble(commandItemText(v));
    if (number) value = *number;
    return number.has_value();
}

void CommandReader::backup(std::uint32_t count) {
    arg_ = arg_ - firstArgument > count ? arg_ - count : firstArgument;
}

void CommandReader::doneReading() { arg_ = std::max(arg_, size()); }

}  // namespace kl
