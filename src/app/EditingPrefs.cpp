#include "app/EditingPrefs.h"

#include <algorithm>
#include <array>

#include "foundation/Numbers.h"
#include "foundation/NotificationCenter.h"
#include "model/LibraryServices.h"

namespace kl {

namespace {

enum Group : std::size_t { MarginGroup = 0, DefaultGroup = 1 };

struct SpacingVariable {
    const char* label;
    const char* name;
    double value;
    bool inTable;  // part of every pane's starting variables
    Group group;
};

// In the order, and at the indexes, in which missing ones are inserted.
const std::array<SpacingVariable, 8>& spacingVariables() {
    static const std::array<SpacingVariable, 8> table = {{
        {"Left Margin", "#leftSkip", 10, true, MarginGroup},
        {"Right Margin", "#rightSkip", 10, true, MarginGroup},
        {"Top Margin", "#topMargin$", 10, false, MarginGroup},
        {"Bottom Margin", "#bottomMargin$", 10, false, MarginGroup},
        {"Line Spacing", "#lineSkip", 5, true, DefaultGroup},
        {"Cell Spacing", "#cellSkip", 5, true, DefaultGroup},
        {"Default Cell Width", "#cellWidth$", 72, false, DefaultGroup},
        {"Default Cell Height", "#cellHeight$", 22, false, DefaultGroup},
    }};
    return table;
}

const SpacingVariable* spacingNamed(std::string_view name) {
    for (const auto& v : spacingVariables())
        if (name == v.name) return &v;
    return nullptr;
}

std::string localString(std::string_view key) { return LibraryServices::current()->localString(key); }

std::string textOf(const Value& v) {
    if (v.isReal()) return formatNumber(v.toReal());
    return v.toString();
}

double numberOf(const Value& v) {
    if (v.isNumber()) return v.toReal();
    if (const std::string* s = v.string()) return parseDouble(*s).value_or(0);
    return 0;
}

const std::string* fieldText(const Array& entry, std::size_t i) {
    return i < entry.size() ? entry[i].string() : nullptr;
}

}  // namespace

double* EditingPrefs::spacingField(std::string_view name) {
    static const std::pair<const char*, double EditingPrefs::*> fields[] = {
        {"#leftSkip", &EditingPrefs::leftSkip_},       {"#rightSkip", &EditingPrefs::rightSkip_},
        {"#topMargin$", &EditingPrefs::topMargin_},    {"#bottomMargin$", &EditingPrefs::bottomMargin_},
        {"#lineSkip", &EditingPrefs::lineSkip_},       {"#cellSkip", &EditingPrefs::cellSkip_},
        {"#cellWidth$", &EditingPrefs::defaultWidth_}, {"#cellHeight$", &EditingPrefs::defaultHeight_},
    };
    for (const auto& [n, f] : fields)
        if (name == n) return &(this->*f);
    return nullptr;
}

const std::vector<std::string>& EditingPrefs::requiredFonts() {
    static const std::vector<std::string> names = {"Editing Text", "Popup Menu Text", "Check Box Text",
                                                   "Button Text",  "Label Text",      "Static Text"};
    return names;
}

void EditingPrefs::installVariable(const std::string& label, const std::string& varName, double value,
                                   std::size_t atIndex, Array& ofArray) {
    Array entry{Value(label), Value(varName), Value("Number"), Value(value),
                Value(static_cast<long long>(atIndex + 1))};
    ofArray.insert(ofArray.begin() + std::ptrdiff_t(std::min(atIndex, ofArray.size())), Value(std::move(entry)));
}

void EditingPrefs::readVariables(Array entries, std::string_view format) {
    initVariables_ = Variables(entries.size());
    std::vector<std::string> seen;
    for (const Value& v : entries) {
        const Array* entry = v.array();
        if (!entry || entry->size() < 2) continue;
        if (const std::string* name = fieldText(*entry, 1); name && spacingNamed(*name)) seen.push_back(*name);
    }
    std::size_t index = 0;
    for (const auto& v : spacingVariables()) {
        if (std::find(seen.begin(), seen.end(), v.name) == seen.end())
            installVariable(localString(v.label), v.name, v.value, index, entries);
        ++index;
    }
    formatVariables_ = {VariablesList::listNamed(localString("Margin Settings")),
                        VariablesList::listNamed(localString("Default Settings")),
                        VariablesList::listNamed(std::string(format) + " Settings")};
    for (const Value& v : entries) {
        const Array* entry = v.array();
        if (!entry || entry->size() < 4) continue;
        const std::string* type = fieldText(*entry, 2);
        if (type && *type == "Group") {
            std::string name = textOf((*entry)[0]);
            if (formatVariables_.back()->count() == 0)
                formatVariables_.back()->setListName(std::move(name));
            else
                formatVariables_.push_back(VariablesList::listNamed(std::move(name)));
            continue;
        }
        readOneVariable(*entry);
    }
    if (formatVariables_.back()->count() == 0) formatVariables_.pop_back();
}

void EditingPrefs::readOneVariable(const Array& entry) {
    if (entry.size() < 4 || formatVariables_.empty()) return;
    const std::string name = textOf(entry[1]);
    const SpacingVariable* spacing = spacingNamed(name);
    if (spacing) *spacingField(name) = numberOf(entry[3]);
    if (!spacing || spacing->inTable) initVariables_[name] = textOf(entry[3]);
    auto& group = spacing ? formatVariables_[std::min<std::size_t>(spacing->group, formatVariables_.size() - 1)]
                          : formatVariables_.back();
    group->addVariable(entry);
}

Variables EditingPrefs::storeSystemVariables(const Variables& variables) {
    Variables saved;
    for (const char* name : {"#cellSkip", "#lineSkip", "#leftSkip", "#rightSkip"})
        if (auto it = variables.find(name); it != variables.end()) saved.emplace(it->first, it->second);
    return saved;
}

void EditingPrefs::restoreSystemVariables(const Variables& saved, Variables& inVariables) {
    for (const char* name : {"#cellSkip", "#lineSkip", "#leftSkip", "#rightSkip"}) {
        if (auto it = saved.find(name); it != saved.end())
            inVariables[name] = it->second;
        else
            inVariables.erase(name);
    }
}

std::string EditingPrefs::variableText(const Value& value) { return textOf(value); }

bool EditingPrefs::editVariable(std::size_t groupIndex, std::size_t entryIndex, const std::string& text) {
    if (groupIndex >= formatVariables_.size()) return false;
    Array* entry = formatVariables_[groupIndex]->variableAtIndex(entryIndex);
    if (!entry || entry->size() < 4 || textOf((*entry)[3]) == text) return false;
    (*entry)[3] = Value(text);
    const std::string name = textOf((*entry)[1]);
    const SpacingVariable* spacing = spacingNamed(name);
    if (spacing) *spacingField(name) = parseDouble(text).value_or(0);
    if (!spacing || spacing->inTable) initVariables_[name] = text;
    markChanged();
    return true;
}

void EditingPrefs::markChanged() {
    changed_ = true;
    NotificationCenter::defaultCenter().post(fontChangedNotification, nullptr);
}

}  // namespace kl
