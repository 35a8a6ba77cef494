#pragma once
// LanguageStrings: the texts of a format's languages kept in step with the
// keys its templates ask for. Keys are found in the calls of "local(" and
// "string(" in the templates' texts, in the event lists and in the names of
// the editing colours and fonts; synchronising adds the missing keys to
// every language and reports what did not fit. The languages travel to
// translators as one tab-separated table (key, then a column per language).
//
// Pure functions over texts and dictionaries, so the window only asks the
// questions and registers the undo. Any thread.
#include <cstdint>
#include <optional>
#include <string>
#include <string_view>
#include <unordered_set>
#include <utility>
#include <variant>
#include <vector>

#include "foundation/Value.h"

namespace kl {

class ItemList;

// Keys in the order first seen, each once.
class KeyCollection {
public:
    void add(const std::string& key) {
        if (seen_.insert(key).second) order_.push_back(key);
    }
    bool contains(const std::string& key) const { return seen_.count(key) != 0; }
    const std::vector<std::string>& keys() const { return order_; }
    bool empty() const { return order_.empty(); }

private:
    std::vector<std::string> order_;
    std::unordered_set<std::string> seen_;
};

// The calls of `opening` ("local(") in the text: plain arguments into keys,
// variable ones ("@x", "#x" without "&") into ignored.
void findStrings(std::string_view opening, std::string_view text, KeyCollection& keys, KeyCollection& ignored);

// Every key the format uses: its template lists' calls, the event lists'
// first elements, the colour and font names (not those ending in "Dark").
struct CollectedKeys {
    KeyCollection keys;
    KeyCollection ignored;
};
CollectedKeys collectFormatKeys(const ItemList* recordEditing, const ItemList* tagEditing, const ItemList* subroutines,
                                const ItemList* properties);

// The language items of the "Properties" list, in list order.
std::vector<std::shared_ptr<class Template>> languagesOf(const ItemList& properties);

struct Language {
    std::string name;
    Dictionary strings;
};

struct SynchronizeResult {
    // Per language (same order), the new dictionary when it changed.
    std::vector<std::optional<Dictionary>> changed;
    // Empty when there is nothing to report.
    std::string report;
};
// gedcomTags: keys that are GEDCOM tags, never reported as not found.
SynchronizeResult synchronizeLanguages(const std::vector<Language>& languages, const CollectedKeys& collected,
                                       const std::unordered_set<std::string>& gedcomTags);

// The exported table in UTF-8.
std::string exportLanguageTable(const std::vector<Language>& languages);

// A table read for import.
struct LanguageTable {
    std::vector<std::vector<std::string>> lines;  // all lines, header first
    // The header's language columns: index and title (trimmed), "Context" left out.
    std::vector<std::pair<std::size_t, std::string>> languageColumns;
    std::size_t stringCount() const { return lines.empty() ? 0 : lines.size() - 1; }
};
// The table in the file's bytes, or the refusal text.
std::variant<LanguageTable, std::string> readLanguageTable(std::string_view bytes);
// The text of the import panel.
std::string describeLanguageTable(const LanguageTable& table);

enum class ImportStyle : std::int64_t { Replace = 0, Merge = 1, Add = 2 };
// The language's new dictionary after importing one column; nullopt when
// nothing changed.
std::optional<Dictionary> importLanguageColumn(const Dictionary& language, const LanguageTable& table,
                                               std::size_t column, ImportStyle style);

// The file's bytes as text: UTF-8, else Mac OS Roman, else Latin-1.
std::string decodeImportedText(std::string_view bytes);

}  // namespace kl
