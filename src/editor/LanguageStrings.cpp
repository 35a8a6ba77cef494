#include "editor/LanguageStrings.h"

#include <algorithm>
#include <unordered_map>

#include "editor/ItemList.h"
#include "editor/Template.h"
#include "model/SingleByteCodec.h"
#include "model/TextEncoding.h"

namespace kl {

namespace {

const std::string kHyphens(83, '-');

std::string trimmed(std::string_view text) {
    auto blank = [](char c) { return c == ' ' || c == '\t'; };
    while (!text.empty() && blank(text.front())) text.remove_prefix(1);
    while (!text.empty() && blank(text.back())) text.remove_suffix(1);
    return std::string(text);
}

std::vector<std::string> splitLines(std::string_view text) {
    std::vector<std::string> lines;
    std::size_t start = 0;
    for (std::size_t i = 0; i < text.size(); ++i) {
        if (text[i] != '\n' && text[i] != '\r') continue;
        lines.emplace_back(text.substr(start, i - start));
        if (text[i] == '\r' && i + 1 < text.size() && text[i + 1] == '\n') ++i;
        start = i + 1;
    }
    if (start < text.size()) lines.emplace_back(text.substr(start));
    return lines;
}

std::vector<std::string> splitTabs(const std::string& line) {
    std::vector<std::string> fields;
    std::size_t start = 0;
    for (std::size_t tab; (tab = line.find('\t', start)) != std::string::npos; start = tab + 1)
        fields.push_back(line.substr(start, tab - start));
    fields.push_back(line.substr(start));
    return fields;
}

std::string lastWord(const std::string& text) {
    const std::size_t end = text.find_last_not_of(' ');
    if (end == std::string::npos) return {};
    const std::size_t space = text.find_last_of(' ', end);
    return text.substr(space == std::string::npos ? 0 : space + 1, end - (space == std::string::npos ? 0 : space + 1) + 1);
}

void section(std::string& report, const char* title) {
    if (!report.empty()) report += "\n\n";
    report += kHyphens + title + kHyphens;
}

}  // namespace

void findStrings(std::string_view opening, std::string_view text, KeyCollection& keys, KeyCollection& ignored) {
    std::size_t from = 0;
    while (true) {
        const std::size_t found = text.find(opening, from);
        if (found == std::string_view::npos) return;
        const std::size_t start = found + opening.size();
        int quotes = 0;
        bool ampersand = false;
        std::size_t close = std::string_view::npos;
        for (std::size_t i = start; i < text.size(); ++i) {
            const char c = text[i];
            if (c == '"') ++quotes;
            else if (c == '&' && quotes % 2 == 0) ampersand = true;
            else if (c == ')' && quotes % 2 == 0) {
                close = i;
                break;
            }
        }
        if (close == std::string_view::npos) return;
        std::string argument(text.substr(start, close - start));
        if (quotes == 2 && argument.size() >= 2 && argument.front() == '"' && argument.back() == '"')
            argument = argument.substr(1, argument.size() - 2);
        if (!argument.empty() && (argument.front() == '@' || argument.front() == '#') && !ampersand)
            ignored.add(argument);
        else
            keys.add(argument);
        from = close + 1;
    }
}

std::vector<std::shared_ptr<Template>> languagesOf(const ItemList& properties) {
    std::vector<std::shared_ptr<Template>> languages;
    for (const auto& item : properties.templates())
        if (item->type() == PropertyListType && item->name() != "INDIEvents" && item->name() != "FAMEvents")
            languages.push_back(item);
    return languages;
}

CollectedKeys collectFormatKeys(const ItemList* recordEditing, const ItemList* tagEditing, const ItemList* subroutines,
                                const ItemList* properties) {
    CollectedKeys collected;
    for (const ItemList* list : {recordEditing, tagEditing, subroutines}) {
        if (!list) continue;
        for (const char* opening : {"local(", "string("})
            for (const auto& item : list->templates())
                if (const std::string* text = item->templateObject().string())
                    findStrings(opening, *text, collected.keys, collected.ignored);
    }
    if (!properties) return collected;
    for (const auto& item : properties->templates()) {
        const Value& content = item->templateObject();
        if (item->type() == EditingColorsType || item->type() == EditingFontsType) {
            if (const Dictionary* names = content.dictionary())
                for (const std::string& key : names->keys())
                    if (lastWord(key) != "Dark") collected.keys.add(key);
        } else if (item->name() == "INDIEvents" || item->name() == "FAMEvents") {
            if (const Dictionary* events = content.dictionary())
                for (const Value& entry : events->values())
                    if (const Array* fields = entry.array(); fields && !fields->empty())
                        collected.keys.add(fields->front().toString());
        }
    }
    return collected;
}

SynchronizeResult synchronizeLanguages(const std::vector<Language>& languages, const CollectedKeys& collected,
                                       const std::unordered_set<std::string>& gedcomTags) {
    SynchronizeResult result;
    std::vector<std::string> added;
    std::string notFound;
    bool anyNotFound = false;
    for (const Language& language : languages) {
        Dictionary strings = language.strings;
        bool changed = false;
        for (const std::string& key : collected.keys.keys()) {
            if (strings.contains(key)) continue;
            strings.set(key, Value(key));
            added.push_back("Added '" + key + "' to '" + language.name + "'");
            changed = true;
        }
        if (!strings.contains("<LANG>")) {
            strings.set("<LANG>", Value(language.name));
            changed = true;
        }
        result.changed.push_back(changed ? std::optional<Dictionary>(strings) : std::nullopt);
        bool headed = false;
        for (const std::string& key : strings.keys()) {
            // The language's own name is no template's key; GEDCOM tags are
            // keys Kinlore II asks for by itself. Neither is worth a report.
            if (collected.keys.contains(key) || key == "<LANG>" || gedcomTags.count(key)) continue;
            anyNotFound = true;
            if (!headed) {
                notFound += "\n\n***** " + language.name + " Language *****";
                headed = true;
            }
            notFound += "\n" + key;
        }
    }
    if (collected.ignored.empty() && !anyNotFound && added.empty()) return result;
    std::string& report = result.report;
    if (!collected.ignored.empty()) {
        section(report, "\nThe following language keys were ignored when synchronizing the strings\n");
        report += "\n";
        for (const std::string& key : collected.ignored.keys()) report += "\n" + key;
    }
    if (anyNotFound) {
        section(report, "\nThe following existing keys were not found in any template and are not GEDCOM tags\n");
        report += notFound;
    }
    if (!added.empty()) {
        section(report, "\nThe following keys were added to languages\n");
        for (const std::string& note : added) report += "\n" + note;
    }
    return result;
}

std::string exportLanguageTable(const std::vector<Language>& languages) {
    std::vector<std::string> header{"Key"};
    std::vector<std::vector<std::string>> rows;
    std::unordered_map<std::string, std::size_t> rowOf;
    for (std::size_t column = 0; column < languages.size(); ++column) {
        header.push_back(languages[column].name);
        const Dictionary& strings = languages[column].strings;
        for (std::size_t i = 0; i < strings.size(); ++i) {
            const std::string& key = strings.keyAt(i);
            auto [at, fresh] = rowOf.emplace(key, rows.size());
            if (fresh) rows.push_back({key});
            std::vector<std::string>& row = rows[at->second];
            while (row.size() < column + 1) row.emplace_back();
            row.push_back(strings.valueAt(i).toString());
        }
    }
    auto join = [](const std::vector<std::string>& fields) {
        std::string line;
        for (std::size_t i = 0; i < fields.size(); ++i) line += (i ? "\t" : "") + fields[i];
        return line + "\n";
    };
    std::string text = join(header);
    for (const auto& row : rows) text += join(row);
    return text;
}

std::string decodeImportedText(std::string_view bytes) {
    if (isValidUTF8(bytes)) return std::string(bytes);
    const DecodeResult roman = SingleByteCodec::forEncoding(TextEncoding::MacOSRoman)->decode(bytes);
    if (roman.invalidCount == 0) return roman.text;
    return SingleByteCodec::forEncoding(TextEncoding::ISOLatin1)->decode(bytes).text;
}

std::variant<LanguageTable, std::string> readLanguageTable(std::string_view bytes) {
    const std::vector<std::string> lines = splitLines(decodeImportedText(bytes));
    if (lines.size() < 2) return std::string("The selected file does not have any content.");
    LanguageTable table;
    for (const std::string& line : lines) table.lines.push_back(splitTabs(line));
    const std::vector<std::string>& header = table.lines.front();
    if (header.size() < 2) return std::string("The selected file does not have enough columns for strings.");
    std::string first = trimmed(header.front());
    std::transform(first.begin(), first.end(), first.begin(), [](unsigned char c) { return std::tolower(c); });
    if (first != "key") return std::string("The file may not have strings because the first column is not labeled 'Key'.");
    for (std::size_t i = 1; i < header.size(); ++i) {
        const std::string title = trimmed(header[i]);
        if (title != "Context") table.languageColumns.emplace_back(i, title);
    }
    return table;
}

std::string describeLanguageTable(const LanguageTable& table) {
    std::string names;
    for (const auto& [index, title] : table.languageColumns) names += (names.empty() ? "<" : ", <") + title + ">";
    return "The selected file has " + std::to_string(table.stringCount()) +
           " strings to import for the following languages: " + names;
}

std::optional<Dictionary> importLanguageColumn(const Dictionary& language, const LanguageTable& table,
                                               std::size_t column, ImportStyle style) {
    Dictionary strings = style == ImportStyle::Replace ? Dictionary{} : language;
    bool changed = style == ImportStyle::Replace;
    for (std::size_t n = 1; n < table.lines.size(); ++n) {
        const std::vector<std::string>& fields = table.lines[n];
        if (column >= fields.size()) continue;
        const std::string key = trimmed(fields.front());
        if (style == ImportStyle::Add && strings.contains(key)) continue;
        const std::string text = trimmed(fields[column]);
        if (text.empty()) continue;
        strings.set(key, Value(text));
        changed = true;
    }
    if (!changed) return std::nullopt;
    return strings;
}

}  // namespace kl
