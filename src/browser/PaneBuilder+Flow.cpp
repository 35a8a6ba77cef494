// The flow and variable commands: conditions, loops, subroutine calls,
// the pane's variables, splitting texts into arrays, files and logging.
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <sstream>

#include "browser/PaneBuilder.h"
#include "document/GEDCOMModel.h"
#include "foundation/AsciiText.h"
#include "foundation/HTMLText.h"
#include "foundation/Logger.h"
#include "foundation/Numbers.h"
#include "foundation/TextCompare.h"
#include "model/GEDCOMStructure.h"
#include "model/wex.h"
#include "script/Expression.h"
#include "script/Templates.h"

namespace kl {

namespace {

bool compareNumbers(double left, const std::string& op, double right) {
    if (op == "!=") return left != right;
    if (op == ">") return left > right;
    if (op == ">=") return left >= right;
    if (op == "<") return left < right;
    if (op == "<=") return left <= right;
    return left == right;
}

// Order of two texts ignoring case (ASCII).
int compareIgnoringCase(const std::string& a, const std::string& b) {
    const std::string x = asciiLower(a), y = asciiLower(b);
    return x < y ? -1 : x > y ? 1 : 0;
}

bool isConnector(const std::string& word) { return word == "&&" || word == "||"; }

bool isOperatorIs(const std::string& op) { return op == " is " || asciiLower(op) == "is"; }

}  // namespace

void PaneBuilder::conditional(bool truth) {
    if (!truth && (!parce_ || !parce_->skipIfBlock(false))) causeError("End of conditional block not found.");
}

bool PaneBuilder::textComparison(const std::string& left, const std::string& op, const std::string& right,
                                 GEDCOMTemporary& frame, bool) {
    if (op == "=") return compareIgnoringCase(left, right) == 0;
    if (op == "==") return left == right;
    if (op == "!=") return compareIgnoringCase(left, right) != 0;
    if (op == ">") return compareIgnoringCase(left, right) > 0;
    if (op == ">=") return compareIgnoringCase(left, right) >= 0;
    if (op == "<") return compareIgnoringCase(left, right) < 0;
    if (op == "<=") return compareIgnoringCase(left, right) <= 0;
    if (!isOperatorIs(op)) return false;
    const std::string keyword = asciiLower(right);
    if (keyword == "validlink" || keyword == "notvalidlink") {
        const bool valid = env_.model && env_.model->recordWithID(left) != nullptr;
        return keyword == "validlink" ? valid : !valid;
    }
    if (keyword == "here" || keyword == "nothere") {
        bool here = false;
        std::stringstream tags(left);
        for (std::string tag; std::getline(tags, tag, '|');)
            if (!tag.empty() && frame.findChild(tag, false)) here = true;
        return keyword == "here" ? here : !here;
    }
    if (keyword == "htmldiv") return isHTMLText(left) > 0;
    if (compareIgnoringCase(left, right) == 0) return true;
    if (keyword != "true" && keyword != "false") return false;
    const std::string word = asciiLower(left);
    bool fact;
    if (word == "tagexists") fact = frame.structure() != nullptr;
    else if (word == "more") fact = !frame.structures().empty();
    else if (word == "printing") fact = env_.printing;
    else if (word == "ingroupbox") fact = background_.groupBox() != nullptr;
    else return false;
    return keyword == "true" ? fact : !fact;
}

bool PaneBuilder::ifCondition(GEDCOMTemporary& frame) {
    if (!read_.more()) return false;
    auto textCompare = [&] {
        const std::string left = read_.getString();
        if (!read_.more()) return textComparison(left, " is ", "true", frame, true);
        const std::string op = read_.getString();
        if (isConnector(op)) {
            read_.backup(1);
            return textComparison(left, " is ", "true", frame, true);
        }
        return textComparison(left, op, read_.getString(), frame, true);
    };
    auto comparison = [&] {
        double left = 0;
        if (!read_.findDouble(left)) {
            read_.backup(1);
            return textCompare();
        }
        if (!read_.more()) return left != 0;
        const std::string op = read_.getString();
        if (isConnector(op)) {
            read_.backup(1);
            return left != 0;
        }
        double right = 0;
        if (read_.findDouble(right)) return compareNumbers(left, op, right);
        read_.backup(3);
        return textCompare();
    };
    bool result = comparison();
    while (read_.more()) {
        const std::string connector = read_.getString();
        if (connector == "&&") {
            const bool next = comparison();
            result = result && next;
        } else if (connector == "||") {
            if (result) {
                read_.doneReading();
                return true;
            }
            result = comparison();
        } else {
            causeError("Invalid conditional encountered.");
        }
    }
    return result;
}

void PaneBuilder::doIf(GEDCOMTemporary& frame) { conditional(ifCondition(frame)); }

void PaneBuilder::doIfstr(GEDCOMTemporary& frame) {
    const std::string left = read_.getString();
    if (!read_.more()) {
        conditional(textComparison(left, " is ", "true", frame, false));
        return;
    }
    const std::string op = read_.getString();
    conditional(textComparison(left, op, read_.getString(), frame, false));
}

void PaneBuilder::doIfdef(GEDCOMTemporary&) { conditional(variables_.contains(read_.getString())); }
void PaneBuilder::doIfndef(GEDCOMTemporary&) { conditional(!variables_.contains(read_.getString())); }

void PaneBuilder::doIfnum(GEDCOMTemporary&) {
    bool number = false;
    if (read_.more()) {
        const std::string text = read_.getString();
        const char* start = text.c_str();
        while (*start == ' ' || *start == '\t') ++start;
        char* end = nullptr;
        std::strtod(start, &end);
        number = end != start;
    }
    conditional(number);
}

void PaneBuilder::doRepeat(GEDCOMTemporary&) {
    if (!parce_) return;
    if (!read_.more()) {
        parce_->repeatCmd(std::nullopt, 0, 0, 0, variables_);
        return;
    }
    const std::string variable = read_.getString();
    if (!Expression::validVarname(variable))
        causeError("First parameter to 'Repeat' must evaulate to variable name starting in '#'.");
    double from = 0, to = 0, step = 1;
    if (!read_.findDouble(from)) causeError("Initial value in 'Repeat' command not a valid number.");
    if (!read_.findDouble(to)) causeError("Final value in 'Repeat' command not a valid number.");
    if (read_.more() && !read_.findDouble(step)) causeError("Step value in 'Repeat' command not a valid number.");
    if (step == 0) causeError("Step value in 'Repeat' command can not be zero.");
    parce_->repeatCmd(variable, from, to, step, variables_);
    if ((from > to && step >= 0) || (to > from && step <= 0))
        if (!parce_->breakCmd(false)) causeError("Matching 'EndRepeat' command could not be found.");
}

void PaneBuilder::doEndrepeat(GEDCOMTemporary&) {
    if (!parce_ || !parce_->continueCmd(variables_, nullptr, true)) causeError("''EndRepeat' command not in a loop.");
}

void PaneBuilder::doContinue(GEDCOMTemporary&) {
    if (!parce_ || !parce_->continueCmd(variables_, nullptr, false)) causeError("continue command not in a loop.");
}

void PaneBuilder::doExit(GEDCOMTemporary&) {
    if (parce_) parce_->setCommandLoc(parce_->maxCommandLoc(true));
}

void PaneBuilder::doGosub(GEDCOMTemporary&) {
    const Command* command = read_.nextCmd();
    read_.doneReading();
    if (!parce_ || !command) return;
    if (auto error = parce_->callSubroutine(*command, variables_)) causeError(*error, command);
}

void PaneBuilder::doLocal(GEDCOMTemporary&) {
    read_.doneReading();
    if (!parce_ || parce_->subStack().empty()) causeError("Local command only allowed within subroutines");
}

void PaneBuilder::doPushvariables(GEDCOMTemporary&) { variablesStack_.push_back(variables_); }

void PaneBuilder::doPopvariables(GEDCOMTemporary&) {
    if (variablesStack_.empty()) causeError("The variables stack is empty");
    variables_ = std::move(variablesStack_.back());
    variablesStack_.pop_back();
}

void PaneBuilder::doUnset(GEDCOMTemporary&) {
    while (read_.more()) variables_.erase(read_.getString());
}

void PaneBuilder::doSet(GEDCOMTemporary& frame) {
    while (read_.more()) {
        const std::string word = asciiLower(read_.getString());
        std::string handler = "do" + word + ":";
        if (word.size() > 0) handler[2] = static_cast<char>(std::toupper(static_cast<unsigned char>(word[0])));
        auto found = handlers().find(handler);
        if (found == handlers().end()) causeError("Unknown property in Set command: " + word);
        (this->*(found->second))(frame);
    }
}

void PaneBuilder::splitIntoArray(const std::string& name, int first, int last, std::vector<std::string> pieces) {
    const int count = static_cast<int>(pieces.size());
    if (first < 1) first = std::max(1, first + count);
    if (last < 1) last = last + count;
    int stored = 0;
    if (last >= first)
        for (int i = first; i <= last && i <= count; ++i)
            variables_[name + "[" + std::to_string(++stored) + "]"] = pieces[std::size_t(i - 1)];
    variables_[name + "[0]"] = std::to_string(stored);
}

void PaneBuilder::doWords(GEDCOMTemporary&) {
    const std::string name = read_.getString();
    if (name.empty()) causeError("First parameter in Words command is empty string.");
    if (!Expression::validVarbase(name))
        causeError("First parameter in Words command must evaluate to a non-array variable name.");
    const int first = read_.getInt();
    const int last = read_.getInt();
    const std::string text = read_.getString();
    std::vector<std::string> pieces;
    if (read_.more()) {
        const std::string separator = read_.getString();
        std::size_t at = 0;
        while (true) {
            const std::size_t next = separator.empty() ? std::string::npos : text.find(separator, at);
            pieces.push_back(text.substr(at, next == std::string::npos ? std::string::npos : next - at));
            if (next == std::string::npos) break;
            at = next + separator.size();
        }
    } else {
        std::stringstream words(text);
        for (std::string word; std::getline(words, word, ' ');)
            if (!word.empty()) pieces.push_back(word);
    }
    splitIntoArray(name, first, last, std::move(pieces));
}

void PaneBuilder::doLines(GEDCOMTemporary&) {
    const std::string name = read_.getString();
    if (name.empty()) causeError("First parameter in Lines command in empty.");
    if (!Expression::validVarbase(name)) causeError("First parameter in Lines must evaluate to a non-array variable name.");
    const int first = read_.getInt();
    const int last = read_.getInt();
    splitIntoArray(name, first, last, wex::linesToArray(read_.getString()));
}

void PaneBuilder::doImport(GEDCOMTemporary&) {
    const std::string name = read_.getString();
    if (!Expression::validVarname(name))
        causeError("First parameter in Import must evaluate to variable name starting in '#'.");
    const std::string path = read_.getString();
    if (path.empty()) causeError("File name for import comand is empty");
    std::filesystem::path file = path;
    if (path[0] != '/' && env_.templates) file = env_.templates->templateFilePath(path);
    std::ifstream in(file, std::ios::binary);
    if (!in) causeError("Error reading file: The file \"" + file.filename().string() + "\" couldn't be opened.");
    variables_[name] = std::string(std::istreambuf_iterator<char>(in), {});
}

void PaneBuilder::doExport(GEDCOMTemporary&) {
    const std::string text = read_.getString();
    const std::filesystem::path path = read_.getString();
    const std::filesystem::path temporary = path.string() + ".kl-export";
    {
        std::ofstream out(temporary, std::ios::binary | std::ios::trunc);
        out << text;
        if (!out.flush()) {
            std::error_code ignored;
            std::filesystem::remove(temporary, ignored);
            causeError("Error writing file: The file \"" + path.filename().string() + "\" couldn't be saved.");
        }
    }
    std::error_code error;
    std::filesystem::rename(temporary, path, error);
    if (error) causeError("Error writing file: " + error.message());
}

void PaneBuilder::doLog(GEDCOMTemporary&) {
    if (!read_.more()) return;
    const std::string first = read_.getString();
    const std::string word = asciiLower(first);
    if (word == "none") layout_.layoutLogFlags = 0;
    else if (word == "parsed") layout_.layoutLogFlags = 1;
    else if (word == "evaluated") layout_.layoutLogFlags = 2;
    else if (word == "both") layout_.layoutLogFlags = 3;
    else {
        std::string line = first;
        while (read_.more()) line += "," + read_.getString();
        Logger::log("{}", line);
    }
}

}  // namespace kl
