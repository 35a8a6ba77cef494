// Plain commands that compute texts into script variables (lines and
// words, search and replace, TeX- and HTML-safe text, names, dates, day
// numbers, map boxes) and that work with files and folders.
#include <algorithm>
#include <cerrno>
#include <cstring>
#include <filesystem>
#include <fstream>
#include <sstream>
#include <system_error>

#include "cells/HTMLTextEditing.h"
#include "foundation/AsciiText.h"
#include "foundation/HTMLText.h"
#include "foundation/Numbers.h"
#include "foundation/TextCase.h"
#include "foundation/TildePath.h"
#include "foundation/Utf8.h"
#include "dates/DateBridge.h"
#include "model/GEDCOMRecord.h"
#include "model/PlaceRecord.h"
#include "model/wex.h"
#include "index/DocumentScripting.h"
#include "index/IndexController.h"
#include "script/ISDictType.h"
#include "script/ISListType.h"
#include "scripting/RunServer.h"
#include "scripting/ScriptApplication.h"
#include "scripting/ScriptNames.h"
#include "scripting/TaskCommand.h"

namespace kl {

namespace fs = std::filesystem;

namespace {

constexpr const char* kGenericVariableError = "First parameter to this command must evaluate to a variable starting in '#'";
constexpr const char* kDefaultDateFormat = "%d %M %y %b";

std::u32string codePoints(std::string_view text) {
    std::u32string points;
    for (std::size_t i = 0; i < text.size();) {
        std::size_t count = 1;
        points.push_back(utf8::decodeAt(text, i, &count));
        i += std::max<std::size_t>(count, 1);
    }
    return points;
}

std::u32string folded(std::string_view text) {
    std::u32string points = codePoints(text);
    for (char32_t& c : points) c = textcase::lowerChar(c);
    return points;
}

bool isValidUtf8(std::string_view text) {
    for (std::size_t i = 0; i < text.size();) {
        std::size_t count = 1;
        const char32_t c = utf8::decodeAt(text, i, &count);
        if (c == utf8::ReplacementCharacter && text.substr(i, 3) != "\xEF\xBF\xBD") return false;
        i += std::max<std::size_t>(count, 1);
    }
    return true;
}

// The words of `words`: at every separator (empty items kept), or at
// blanks with the empty items dropped.
std::vector<std::string> splitWords(const std::string& text, const std::optional<std::string>& separator) {
    std::vector<std::string> items;
    if (separator && !separator->empty()) {
        std::size_t start = 0;
        for (;;) {
            const std::size_t at = text.find(*separator, start);
            items.push_back(text.substr(start, at - start));
            if (at == std::string::npos) return items;
            start = at + separator->size();
        }
    }
    std::size_t start = 0;
    while (start <= text.size()) {
        std::size_t at = text.find(' ', start);
        if (at == std::string::npos) at = text.size();
        if (at > start) items.push_back(text.substr(start, at - start));
        start = at + 1;
    }
    return items;
}

// Replacement pairs of safetex: a character and what it becomes.
struct TexPair {
    char32_t from;
    std::string to;
};

bool isTexCloser(char32_t c) {
    return c == ' ' || c == 0x00A0 || (c < 0x80 && std::strchr(".,;:)]?}!", static_cast<char>(c)) && c != 0);
}

std::string safeTeX(std::string_view text, const std::vector<TexPair>& pairs) {
    const std::u32string points = codePoints(text);
    std::string out;
    out.reserve(text.size() + 16);
    for (std::size_t i = 0; i < points.size(); ++i) {
        const char32_t c = points[i];
        const char32_t next = i + 1 < points.size() ? points[i + 1] : 0;
        if (c < 0x80 && c != 0 && std::strchr("$%&_{}#", static_cast<char>(c))) {
            out += '\\';
            out += static_cast<char>(c);
            // A blank after a control symbol would be eaten: keep it a control space.
            if (next == ' ') out += '\\';
        } else if (c == '~' || c == '^' || c == '\\') {
            out += "\\verb|";
            out += static_cast<char>(c);
            out += '|';
        } else if (c == '<' || c == '|' || c == '>') {
            out += '$';
            out += static_cast<char>(c);
            out += '$';
        } else if (c == '"') {
            bool opening;
            if (i + 1 == points.size())
                opening = false;
            else if (i == 0 || points[i - 1] == ' ')
                opening = true;
            else
                opening = !isTexCloser(next);
            out += opening ? "``" : "''";
        } else {
            const auto pair = std::find_if(pairs.begin(), pairs.end(), [c](const TexPair& p) { return p.from == c; });
            if (pair != pairs.end())
                out += pair->to;
            else
                utf8::append(out, c);
        }
    }
    return out;
}

const std::vector<TexPair>& builtInTexPairs() {
    static const std::vector<TexPair> pairs{
        {0x00A0, "~"}, {0x201C, "``"}, {0x201D, "''"}, {0x2028, "\n"},
        {0x25E6, "\xE2\x80\xA2"}, {0x200E, ""}, {0x200F, ""},
    };
    return pairs;
}

std::string systemDescription(int error) { return std::strerror(error); }

}  // namespace

// ---- Shared steps -------------------------------------------------------------------

std::optional<std::string> RunServer::variableArgument(const std::string& message) {
    auto name = getString();
    if (!name) return std::nullopt;
    if (!Expression::validVarname(*name)) {
        outputError(message, &origCmd_);
        return std::nullopt;
    }
    return name;
}

std::optional<std::string> RunServer::objectNameArgument(const std::string& message) {
    auto name = getString();
    if (!name) return std::nullopt;
    if (!validObjectName(*name)) {
        outputError(message, &origCmd_);
        return std::nullopt;
    }
    return name;
}

void RunServer::storeListVariable(const std::string& base, const std::vector<std::string>& items) {
    for (std::size_t i = 0; i < items.size(); ++i) variables_.insert_or_assign(base + "[" + std::to_string(i + 1) + "]", items[i]);
    variables_.insert_or_assign(base + "[0]", std::to_string(items.size()));
}

// ---- Lines and words ---------------------------------------------------------------

void RunServer::doLines() { linesOrWords(false); }

void RunServer::doWords() { linesOrWords(true); }

void RunServer::linesOrWords(bool words) {
    const std::string kind = words ? "Words" : "Lines";
    if (nextCmd_.size() < 5) {
        outputError(kind + " command needs at least four arguments.", &origCmd_);
        return;
    }
    const std::string base = *getString();
    if (!Expression::validVarbase(base)) {
        outputError("First parameter in " + kind + " command must evaluate to a non-array variable name", &origCmd_);
        return;
    }
    long from = 0;
    long to = 0;
    getIntarg(from);
    getIntarg(to);
    const std::string text = *getString();
    std::optional<std::string> separator;
    if (words && more()) separator = *getString();
    const std::vector<std::string> items = words ? splitWords(text, separator) : wex::linesToArray(text);

    const long count = static_cast<long>(items.size());
    if (from < 1) from = std::max(1L, count + from);
    if (to < 1) to = count + to;
    std::vector<std::string> chosen;
    if (to >= from)
        for (long i = from; i <= std::min(to, count); ++i) chosen.push_back(items[static_cast<std::size_t>(i - 1)]);
    storeListVariable(base, chosen);
}

// ---- Texts, names and dates into one variable ----------------------------------------

void RunServer::doReplace() { genericReturn(7); }
void RunServer::doOffset() { genericReturn(8); }
void RunServer::doFormatname() { genericReturn(0); }
void RunServer::doNameparts() { genericReturn(1); }
void RunServer::doDatenumbers() { genericReturn(2); }
void RunServer::doDateparts() { genericReturn(3); }
void RunServer::doDatestyle() { genericReturn(4); }
void RunServer::doDatetext() { genericReturn(5); }
void RunServer::doSdnrange() { genericReturn(6); }

void RunServer::genericReturn(int code) {
    auto name = variableArgument(kGenericVariableError);
    if (!name) return;
    auto first = getString();
    if (!first) return;
    auto optionalText = [this]() -> std::optional<std::string> {
        if (!more()) return std::nullopt;
        return getString();
    };
    switch (code) {
        case 0:
            variables_.insert_or_assign(*name, ScriptApplication::scriptFormatName(*first, optionalText()));
            return;
        case 1: {
            const auto parts = GEDCOMRecord::splitNameParts(*first);
            storeListVariable(*name, {parts[0], parts[1], parts[2]});
            return;
        }
        case 2: {
            std::vector<std::string> numbers;
            for (int number : extractDateNumbers(*first)) numbers.push_back(std::to_string(number));
            storeListVariable(*name, numbers);
            return;
        }
        case 3:
            storeListVariable(*name, datePartsArray(*first));
            return;
        case 4: {
            const std::string format = optionalText().value_or("");
            variables_.insert_or_assign(*name, formatDateWithFormat(*first, format.empty() ? kDefaultDateFormat : format));
            return;
        }
        case 5: {
            const SDN day = static_cast<SDN>(saturatingInteger(std::trunc(parseDouble(*first).value_or(0))));
            const std::string format = optionalText().value_or("");
            variables_.insert_or_assign(*name, format.empty() ? dateFromSdn(day) : dateFromSdnWithFormat(day, format));
            return;
        }
        case 6: {
            SDN earliest = 0;
            SDN latest = 0;
            if (sdnRangeForDate(*first, earliest, latest)) earliest = latest = 0;
            storeListVariable(*name, {std::to_string(earliest), std::to_string(latest)});
            return;
        }
        case 7: {
            auto replacement = getString();
            if (!replacement) return;
            auto text = getString();
            if (!text) return;
            variables_.insert_or_assign(*name, first->empty() ? *text
                                                              : wex::replaceOccurrencesOfString(*text, *first, *replacement));
            return;
        }
        case 8: {
            auto startText = getString();
            if (!startText) return;
            auto text = getString();
            if (!text) return;
            const auto start = parseInteger(*startText);
            variables_.insert_or_assign(*name, std::to_string(offsetOf(*first, start.value_or(1), *text)));
            return;
        }
        default:
            return;
    }
}

long RunServer::offsetOf(const std::string& search, long long start, const std::string& text) {
    const std::u32string haystack = folded(text);
    const std::u32string needle = folded(search);
    const long long length = static_cast<long long>(haystack.size());
    if (start > length || needle.empty()) return 0;
    std::size_t found = std::u32string::npos;
    if (start >= 1) {
        found = haystack.find(needle, static_cast<std::size_t>(start - 1));
    } else {
        // Backward within the first length + start characters; nothing
        // when that range is empty.
        const long long end = length + start;
        if (end <= 0) return 0;
        const std::u32string range = haystack.substr(0, static_cast<std::size_t>(end));
        found = range.rfind(needle);
    }
    return found == std::u32string::npos ? 0 : static_cast<long>(found) + 1;
}

// ---- TeX and HTML ---------------------------------------------------------------------

void RunServer::doSafetex() {
    auto name = variableArgument("First parameter to SafeTeX must evaluate to a variable name starting in '#'.");
    if (!name) return;
    auto text = getString();
    if (!text) return;
    std::vector<TexPair> pairs;
    if (more()) {
        const std::string listName = *getString();
        auto list = scriptListOf(findExistingObject(listName));
        if (!list) {
            outputError("Optional third parameter to SafeTex must be a list", &origCmd_);
            return;
        }
        auto characters = list->count() == 2 ? scriptListOf(list->objectAtIndex(0)) : nullptr;
        auto replacements = list->count() == 2 ? scriptListOf(list->objectAtIndex(1)) : nullptr;
        if (!characters || !replacements) {
            outputError("Optional third parameter to SafeTex must be list containing exactly two other lists",
                        &origCmd_);
            return;
        }
        if (characters->count() != replacements->count()) {
            outputError(
                "Optional third parameter to SafeTex must be list containing exactly two other lists of the same "
                "length",
                &origCmd_);
            return;
        }
        for (std::size_t i = 0; i < characters->count(); ++i) {
            const Value& from = characters->objectAtIndex(i);
            const Value& to = replacements->objectAtIndex(i);
            // Entries that are no texts, or empty, name no character.
            if (!from.isString() || from.string()->empty() || !(to.isString() || to.isNumber())) continue;
            std::size_t count = 1;
            pairs.push_back({utf8::decodeAt(*from.string(), 0, &count), to.toString()});
        }
    }
    const auto& builtIn = builtInTexPairs();
    pairs.insert(pairs.end(), builtIn.begin(), builtIn.end());
    variables_.insert_or_assign(*name, safeTeX(*text, pairs));
}

void RunServer::doSafehtml() { safeHtml(nullptr); }

void RunServer::safeHtml(const std::shared_ptr<DocumentScripting>& document) {
    auto name = variableArgument("First parameter to SafeHTML must evaluate to a variable name starting in '#'.");
    if (!name) return;
    auto text = getString();
    if (!text) return;
    const std::string option = more() ? asciiLower(*getString()) : std::string();
    std::optional<HTMLTextEditing::LinkFormats> links;
    if (more()) {
        if (!document) {
            outputError("To reformat links, SafeHTML must target a document", &origCmd_);
            return;
        }
        auto formats = findExistingObject(*getString()).objectAs<ISDictType>();
        if (!formats) {
            outputError("Reformat links parameter in SafeHTML is not a dictionary object.", &origCmd_);
            return;
        }
        links.emplace();
        const Dictionary& entries = formats->dictionary();
        for (std::size_t i = 0; i < entries.size(); ++i)
            if (const std::string* format = entries.valueAt(i).string()) (*links)[entries.keyAt(i)] = *format;
    }
    const bool all = option == "all";
    const bool interior = option == "interior";
    bool isHTML = false;
    std::string safe = safeHTMLText(*text, all, all || interior, &isHTML);
    // Record links of an HTML text lead nowhere outside the database: they
    // become the file names the formats give, or their plain text.
    if (isHTML) {
        const HTMLTextEditing::LinkFormats* formats = links ? &*links : nullptr;
        if (!document || !document->onMain([&](IndexController& index) {
                HTMLTextEditing::convertForExport(safe, formats, &index.gedcomModel());
            }))
            HTMLTextEditing::convertForExport(safe, nullptr, nullptr);
    }
    variables_.insert_or_assign(*name, std::move(safe));
}

// ---- Map boxes -----------------------------------------------------------------------------

void RunServer::doLonlatbounds() {
    auto name = objectNameArgument("First parameter in LonLatBounds must be a valid object variable name");
    if (!name) return;
    auto box = getString();
    if (!box) return;
    std::string error;
    const PlaceRecord::Rect rect = PlaceRecord::boundsToRect(*box, &error);
    Array items;
    if (!error.empty()) {
        items.emplace_back(error);
    } else {
        for (double number : {rect.x, rect.y, rect.width, rect.height}) items.emplace_back(formatGeneral(number, 6));
    }
    scriptObjects_.set(*name, Value(ISListType::listWithList(std::make_shared<Array>(std::move(items)))));
}

// ---- Files and folders ---------------------------------------------------------------------

void RunServer::doImport() {
    auto name = variableArgument("First parameter to Import must evaluate to a variable name starting in '#'");
    if (!name) return;
    auto file = getString();
    if (!file) return;
    if (file->empty()) {
        outputError("File name not provided for Import command.", &origCmd_);
        return;
    }
    const std::string path = file->starts_with("/") ? *file : extensionFolder_ + "/" + *file;
    std::ifstream in(path, std::ios::binary);
    if (!in) {
        outputError("Error reading file: " + systemDescription(errno), &origCmd_);
        return;
    }
    std::ostringstream bytes;
    bytes << in.rdbuf();
    if (in.bad()) {
        outputError("Error reading file: " + systemDescription(errno), &origCmd_);
        return;
    }
    std::string text = std::move(bytes).str();
    if (!isValidUtf8(text)) {
        outputError("Error reading file: the file is not UTF-8 text", &origCmd_);
        return;
    }
    variables_.insert_or_assign(*name, std::move(text));
}

void RunServer::doExport() {
    auto text = getString();
    if (!text) return;
    auto file = getString();
    if (!file) return;
    // Written beside the file and moved over it, so a failed write leaves
    // the old file whole.
    const fs::path target(*file);
    fs::path temporary = target;
    temporary += ".kl-export-tmp";
    {
        std::ofstream out(temporary, std::ios::binary | std::ios::trunc);
        if (!out) {
            outputError("Error writing file: " + systemDescription(errno), &origCmd_);
            return;
        }
        out.write(text->data(), static_cast<std::streamsize>(text->size()));
        out.close();
        if (!out) {
            const int failure = errno;
            std::error_code ignored;
            fs::remove(temporary, ignored);
            outputError("Error writing file: " + systemDescription(failure), &origCmd_);
            return;
        }
    }
    std::error_code error;
    fs::rename(temporary, target, error);
    if (error) {
        std::error_code ignored;
        fs::remove(temporary, ignored);
        outputError("Error writing file: " + error.message(), &origCmd_);
    }
}

void RunServer::doDeletefiles() {
    while (more()) {
        const std::string given = *getString();
        if (given.empty()) continue;
        const std::string path = expandTilde(given);
        std::error_code error;
        if (fs::symlink_status(path, error).type() == fs::file_type::not_found) continue;
        fs::remove_all(path, error);
        if (error) {
            outputError("Error deleting file at " + path + ".", &origCmd_);
            return;
        }
    }
}

void RunServer::doMakefolder() {
    auto name = variableArgument("First parameter to MakeFolder must evaluate to a variable starting in '#'");
    if (!name) return;
    auto path = getString();
    if (!path) return;
    variables_.insert_or_assign(*name, ScriptApplication::makeFolder(*path) ? "true" : "false");
}

void RunServer::doUniquefile() {
    auto name = variableArgument("First parameter to UniqueFile must evaluate to a variable name starting in '#'.");
    if (!name) return;
    auto path = getString();
    if (!path) return;
    variables_.insert_or_assign(*name, ScriptApplication::uniqueFileName(*path));
}

void RunServer::doCompress() {
    auto name = variableArgument("First parameter to Compress must evaluate to a variable starting in '#'.");
    if (!name) return;
    auto given = getString();
    if (!given) return;
    if (given->empty()) {
        outputError("Second parameter in Compress must not be empty folder path", &origCmd_);
        return;
    }
    std::string folder = expandTilde(*given);
    // "folder/" must not give "folder/.zip" inside the folder.
    while (folder.size() > 1 && folder.back() == '/') folder.pop_back();
    std::error_code error;
    if (!fs::is_directory(folder, error)) {
        outputError("First parameter in Compress must be an existing folder", &origCmd_);
        return;
    }
    const std::string zipPath = ScriptApplication::uniqueFileName(folder + ".zip");
    TaskCommand zip;
    zip.setArguments({"/usr/bin/zip", "-r", "-q", zipPath, ".", "-i", "*"});
    zip.runAndGetTaskData(fs::path(folder), std::nullopt);
    variables_.insert_or_assign(*name, zipPath);
}

}  // namespace kl
