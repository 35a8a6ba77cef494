// Module loading in front of a script or template, and the position of a
// failing command in the file as it was written.
#include <cctype>
#include <fstream>
#include <iterator>
#include <sstream>

#include "model/wex.h"
#include "model/TextEncoding.h"
#include "script/CommandParcer.h"

namespace kl {

namespace {

std::size_t countCharacters(std::string_view text) {
    std::size_t n = 0;
    for (char c : text)
        if ((static_cast<unsigned char>(c) & 0xC0) != 0x80) ++n;
    return n;
}

bool isLoadWord(const Command& command) {
    if (command.empty() || !command[0].isString()) return false;
    std::string word = *command[0].string();
    for (char& c : word) c = static_cast<char>(std::tolower(static_cast<unsigned char>(c)));
    return word == "load";
}

}  // namespace

std::optional<std::string> CommandParcer::readTextFile(const std::string& path) {
    std::ifstream in(path, std::ios::binary);
    if (!in) return std::nullopt;
    std::string text((std::istreambuf_iterator<char>(in)), std::istreambuf_iterator<char>());
    if (in.bad() || !isValidUTF8(text)) return std::nullopt;
    return text;
}

std::optional<std::string> CommandParcer::loadOneCommand(const Command& command, const Value& modules,
                                                         const std::optional<std::string>& append,
                                                         std::string& inserted) {
    if (command.size() < 2) return std::string("Name to be loaded is missing.");
    for (std::size_t i = 1; i < command.size(); ++i) {
        const std::string raw = command[i].toString();
        const std::string name = unquote(raw);
        if (raw.empty() || name.empty()) return std::string("Load name is blank.");
        std::optional<std::string> text;
        if (append) {
            const Dictionary* templates = modules.dictionary();
            const Value* found = templates ? templates->get(name + *append) : nullptr;
            if (found && found->isString()) text = *found->string();
        } else if (const Array* places = modules.array(); places && !places->empty()) {
            const std::string extension = (*places)[0].toString();
            for (std::size_t f = 1; f < places->size() && !text; ++f)
                text = readTextFile((*places)[f].toString() + "/" + name + extension);
        }
        if (!text) return "Load subroutines in '" + name + "' not found";
        inserted += *text + "\n";
    }
    return std::nullopt;
}

std::optional<std::string> CommandParcer::loadPreambles(const Value& modules,
                                                        const std::optional<std::string>& append) {
    const std::string original = commands_;
    std::ptrdiff_t shift = 0;  // grown length of the text so far
    std::optional<std::size_t> firstOriginal;
    std::size_t lastOriginalEnd = 0;
    commandLoc_ = 0;
    for (;;) {
        Command command = readSkippedCommand();
        if (!isLoadWord(command)) break;
        const std::size_t end = commandLoc_;
        std::size_t contentEnd = end;
        if (contentEnd > 0 && (commands_[contentEnd - 1] == '\n' || commands_[contentEnd - 1] == '\r'))
            --contentEnd;
        const auto lineBreak = contentEnd == 0 ? std::string::npos : commands_.find_last_of("\n\r", contentEnd - 1);
        const std::size_t lineStart = lineBreak == std::string::npos ? 0 : lineBreak + 1;

        std::string inserted;
        if (auto error = loadOneCommand(command, modules, append, inserted)) return error;
        if (!append) {
            if (!firstOriginal) {
                firstOriginal = lineStart - shift;
                preambleStart_ = static_cast<std::int64_t>(lineStart);
            }
            lastOriginalEnd = end - shift;
        }
        commands_.replace(lineStart, end - lineStart, inserted);
        commandLoc_ = lineStart + inserted.size();
        shift += static_cast<std::ptrdiff_t>(inserted.size()) - static_cast<std::ptrdiff_t>(end - lineStart);
        if (!append) preambleEnd_ = static_cast<std::int64_t>(commandLoc_);
    }
    if (firstOriginal) removedCommands_ = original.substr(*firstOriginal, lastOriginalEnd - *firstOriginal);
    commandLoc_ = 0;
    return std::nullopt;
}

CommandParcer::CommandPosition CommandParcer::commandLine() {
    CommandPosition position;
    std::size_t loc = std::min(commandLoc_, commands_.size());
    std::string text;
    const auto start = static_cast<std::size_t>(preambleStart_);
    const auto end = static_cast<std::size_t>(preambleEnd_);
    if (removedCommands_ && loc >= start && loc < end) {
        text = commands_.substr(0, start) + removedCommands_->substr(0, 1);
        for (std::size_t i = subStack_.size(); i-- > 1;) position.stackTrace += "\n     " + subStack_[i]->subName();
    } else if (removedCommands_ && loc >= end) {
        text = commands_.substr(0, start) + *removedCommands_ + commands_.substr(end, loc - end);
    } else {
        text = commands_.substr(0, loc);
    }
    commandLoc_ = text.size();
    const auto lines = wex::linesToArray(text);
    position.line = lines.size();
    position.column = lines.size() >= 2 ? countCharacters(lines.back()) + 1 : countCharacters(text);
    return position;
}

}  // namespace kl
