#include "editor/ItemList.h"

#include <algorithm>
#include <chrono>
#include <cmath>

#include "app/AppController.h"
#include "editor/EditorResources.h"
#include "editor/ImagePort.h"
#include "foundation/AsciiText.h"
#include "foundation/Logger.h"
#include "foundation/PropertyList.h"
#include "model/wex.h"

namespace kl {

namespace {

// NSString-style "%@" arguments, in order; "%%" is a percent sign.
std::string formatWithTexts(const std::string& pattern, std::initializer_list<std::string> args) {
    std::string out;
    auto next = args.begin();
    for (std::size_t i = 0; i < pattern.size(); ++i) {
        if (pattern[i] == '%' && i + 1 < pattern.size()) {
            if (pattern[i + 1] == '@') {
                if (next != args.end()) out += *next++;
                ++i;
                continue;
            }
            if (pattern[i + 1] == '%') {
                out += '%';
                ++i;
                continue;
            }
        }
        out += pattern[i];
    }
    return out;
}

std::string blanksToUnderscores(std::string name) {
    std::replace_if(name.begin(), name.end(), [](char c) { return c == ' ' || c == '\t'; }, '_');
    return name;
}

// The order number of an editing-variables row, a number or its text.
std::int64_t orderOf(const Value& row) {
    const Array* cells = row.array();
    if (!cells || cells->size() < 5) return 0;
    const Value& order = (*cells)[4];
    if (order.isString()) {
        try {
            return static_cast<std::int64_t>(std::stod(*order.string()));
        } catch (const std::exception&) {
            return 0;
        }
    }
    return order.toInteger();
}

std::optional<Data> dataAt(const Array& items, std::size_t i) {
    if (i >= items.size() || !items[i].data()) return std::nullopt;
    return *items[i].data();
}

// The font archive of an old entry, element 0, or the default after the
// fallback log lines.
Data convertedFont(const std::optional<Data>& data) {
    if (data) {
        if (auto font = AppController::readFontArchive(*data)) return AppController::archive(*font);
        AppController::unarchive(data, Font{});  // logs why the archive was not ours
        Logger::log("NSUnarchiver error too!");
    }
    return AppController::archive(Font{});
}

Data convertedColor(const std::optional<Data>& data, const Color& useDefault) {
    if (data) {
        if (auto color = AppController::readColorArchive(*data)) return AppController::archive(*color);
        AppController::unarchive(data, useDefault);
        Logger::log("NSUnarchiver error too!");
    }
    return AppController::archive(useDefault);
}

}  // namespace

ItemList::TemplatePtr ItemList::addTemplate(Value object, std::string name, std::int32_t type) {
    auto item = std::make_shared<Template>(std::move(name), std::move(object), isPlugin_);
    item->setType(type);
    templates_.push_back(item);
    return item;
}

std::string ItemList::fullName(const std::string& name) const {
    if (type_ == RecordEditingType) return name + " Record Editing";
    if (type_ == TagEditingType && !isPlugin_) return name + " Editing";
    return name;
}

std::string ItemList::candidateName(const std::string& name, int n) const {
    const std::string counter = std::to_string(n);
    if (type_ == RecordEditingType) return name + "_" + counter + " Record Editing";
    if (!isPlugin_ && type_ == TagEditingType) return name + "_" + counter + " Editing";
    if (type_ == DocumentationType || (isPlugin_ && (type_ == TagEditingType || type_ == SubroutinesType)))
        return deletingPathExtension(name) + "_" + counter + "." + asciiLower(pathExtension(name));
    return name + "_" + counter;
}

ItemList::TemplatePtr ItemList::createTemplate(const std::optional<Value>& object, const std::string& baseName,
                                               std::string* error) {
    if (auto unsafe = Template::unsafeName(baseName)) {
        if (error) *error = *unsafe;
        return nullptr;
    }
    const bool documentation = type_ == DocumentationType;
    std::string name = baseName;
    if (name.empty()) {
        name = documentation ? "New.html" : "New";
    } else if (documentation) {
        if (!hasExtensionAmong(name, {"html", "htm", "css"})) name += ".html";
    } else if (!isPlugin_ && type_ != WorkspaceScriptType) {
        name = blanksToUnderscores(name);
    }
    if (isPlugin_ && type_ == SubroutinesType && !hasExtensionAmong(name, {"py", "klscpt"})) name += ".py";
    if (isPlugin_ && type_ == TagEditingType && !hasExtensionAmong(name, {"txt", "tex"})) name += ".txt";

    std::string full = fullName(name);
    if (type_ != WorkspaceScriptType)
        for (int n = 1; !uniqueName(full); ++n) full = candidateName(name, n);
    Value content = object ? *object : defaultTemplate(full);
    return addTemplate(std::move(content), full);
}

Value ItemList::defaultTemplate(const std::string& fullName) const {
    if (type_ == SubroutinesType && !isPlugin_) return Value("sub " + fullName + "\n\nendSub");
    if (type_ == DocumentationType) return Value(EditorResources::readMacRoman("blank", "html").value_or(""));
    if ((type_ == SubroutinesType && isPlugin_) || type_ == WorkspaceScriptType) {
        const std::string ext = asciiLower(pathExtension(fullName));
        const char* resource = ext == "py" ? "PythonTemplate" : ext == "klscpt" ? "InternalScript" : nullptr;
        if (!resource) return Value("");
        auto pattern = EditorResources::readMacRoman(resource, "txt");
        if (!pattern) return Value("");
        const std::string bare = deletingPathExtension(fullName);
        const std::string now = wex::formatEnglishDate(std::chrono::system_clock::now(), "d MMM yyyy HH:mm:ss");
        return Value(formatWithTexts(*pattern, {bare, now, bare}));
    }
    return Value("");
}

std::string ItemList::promptForType(std::int32_t type, bool plugin) {
    switch (type) {
    case RecordEditingType: return "Enter tag for Record Editing template";
    case TagEditingType: return plugin ? "Enter text file name (.txt file)" : "Enter tag for Tag Editing template";
    case SubroutinesType: return plugin ? "Enter script name (.py or .klscpt file)" : "Enter one-word Subroutine name";
    case DocumentationType: return "Enter documentation file name (.html, .htm, or .css file)";
    case PropertyListType: return "Enter one-word Language name";
    default: return "Unknown new template option";
    }
}

bool ItemList::uniqueName(const std::string& name) const { return objectNamed(name) == nullptr; }

void ItemList::sortTemplate(const TemplatePtr& item) {
    const auto present = std::find(templates_.begin(), templates_.end(), item);
    if (present == templates_.end()) return;
    const std::size_t from = static_cast<std::size_t>(present - templates_.begin());
    std::size_t target = 0;
    for (std::size_t i = templates_.size(); i-- > 0;) {
        if (templates_[i] != item && templates_[i]->compare(*item) < 0) {
            target = i + 1;
            break;
        }
    }
    if (target == from) return;
    templates_.erase(present);
    if (from < target) --target;
    templates_.insert(templates_.begin() + static_cast<std::ptrdiff_t>(target), item);
}

void ItemList::sortTemplates() {
    std::stable_sort(templates_.begin(), templates_.end(),
                     [](const TemplatePtr& a, const TemplatePtr& b) { return a->compare(*b) < 0; });
}

void ItemList::deleteTemplate(const TemplatePtr& item) {
    const auto found = std::find(templates_.begin(), templates_.end(), item);
    if (found != templates_.end()) templates_.erase(found);
}

bool ItemList::searchFor(const std::string& text, bool option, ItemList& saveIn) const {
    bool found = false;
    const std::string wanted = option ? text : asciiLower(text);
    for (const TemplatePtr& item : templates_) {
        if (!item->templateObject().isString()) continue;
        const std::string content = option ? item->text() : asciiLower(item->text());
        if (content.find(wanted) == std::string::npos) continue;
        saveIn.addTemplate(item);
        found = true;
    }
    return found;
}

ItemList::TemplatePtr ItemList::objectAtIndex(std::size_t index) const {
    return index < templates_.size() ? templates_[index] : nullptr;
}

ItemList::TemplatePtr ItemList::objectNamed(const std::string& name) const {
    for (const TemplatePtr& item : templates_)
        if (item->name() == name) return item;
    return nullptr;
}

ItemList::TemplatePtr ItemList::templateAtPath(const std::string& path) const {
    for (const TemplatePtr& item : templates_)
        if (item->scriptPath() == path) return item;
    return nullptr;
}

const Value* ItemList::templateAtIndex(std::size_t index) const {
    return index < templates_.size() ? &templates_[index]->templateObject() : nullptr;
}

const Value* ItemList::templateNamed(const std::string& name) const {
    const TemplatePtr item = objectNamed(name);
    return item ? &item->templateObject() : nullptr;
}

std::string ItemList::nameAtIndex(std::size_t index) const {
    return index < templates_.size() ? templates_[index]->name() : std::string();
}

bool ItemList::allScriptsSaved() const {
    return std::all_of(templates_.begin(), templates_.end(), [](const TemplatePtr& item) { return item->scriptSaved(); });
}

Array ItemList::scriptWorkSpace() const {
    Array out;
    for (const TemplatePtr& item : templates_)
        out.push_back(Value(Dictionary{{"scriptPath", item->scriptPath()},
                                       {"location", static_cast<long long>(item->selectedRange().location)},
                                       {"length", static_cast<long long>(item->selectedRange().length)}}));
    return out;
}

// ---- writing

bool ItemList::writeToFile(const std::string& folder, const ImagePort* images) const {
    if (type_ == SearchResultsType) return true;
    for (const TemplatePtr& item : templates_) {
        const std::int32_t type = item->type();
        if (type == EditingColorsType || type == EditingFontsType || type == EditingPropertiesType) continue;
        const std::string& name = item->name();
        if (type == PropertyListType && isPlugin_ &&
            (name == "main choices" || name == "main choices SD" || name == "manifest"))
            continue;
        if (!item->writeToFile(folder, images)) return false;
    }
    if (type_ != PropertyListType) return true;
    return isPlugin_ ? writeManifest(folder) : writeEditingList(folder);
}

bool ItemList::writeEditingList(const std::string& folder) const {
    Dictionary editing;
    if (const TemplatePtr variables = objectNamed("Editing Properties"); variables && variables->templateObject().array()) {
        Array rows = *variables->templateObject().array();
        std::stable_sort(rows.begin(), rows.end(), [](const Value& a, const Value& b) { return orderOf(a) < orderOf(b); });
        // An empty table is no table: the key is left out as for a
        // format that never had one.
        if (!rows.empty()) editing.set("Variables", Value(std::move(rows)));
    }
    for (const char* key : {"Colors", "Fonts"}) {
        const TemplatePtr item = objectNamed(std::string("Editing ") + key);
        if (item && !item->templateObject().isNull()) editing.set(key, item->templateObject());
    }
    return PropertyList::writeFile(Value(std::move(editing)), folder + "Editing.plist", nullptr, false);
}

bool ItemList::writeManifest(const std::string& folder) const {
    Dictionary manifest;
    if (const Value* main = templateNamed("manifest"); main && main->dictionary()) manifest = *main->dictionary();
    if (const Value* main = templateNamed("main choices")) manifest.set("main", *main);
    if (const Value* mainSD = templateNamed("main choices SD")) manifest.set("main SD", *mainSD);
    return PropertyList::writeFile(Value(std::move(manifest)), folder + "manifest.plist", nullptr, false);
}

void ItemList::updateArchivedDictionaries() {
    for (const TemplatePtr& item : templates_) {
        const Dictionary* entries = item->templateObject().dictionary();
        if (!entries) continue;
        if (item->type() == EditingFontsType) {
            Dictionary converted;
            for (std::size_t i = 0; i < entries->size(); ++i) {
                const Array* old = entries->valueAt(i).array();
                const Array none;
                const Array& parts = old ? *old : none;
                Array entry{Value(convertedFont(dataAt(parts, 0))),
                            Value(convertedColor(dataAt(parts, 1), Color::black()))};
                if (parts.size() > 2) entry.push_back(parts[2]);
                converted.set(entries->keyAt(i), Value(std::move(entry)));
            }
            item->setTemplateObject(Value(std::move(converted)));
            Logger::log("updated fonts to keyed archive");
        } else if (item->type() == EditingColorsType) {
            Dictionary converted;
            for (std::size_t i = 0; i < entries->size(); ++i) {
                const Value& old = entries->valueAt(i);
                const std::optional<Data> data = old.data() ? std::optional<Data>(*old.data()) : std::nullopt;
                converted.set(entries->keyAt(i), Value(convertedColor(data, Color::gray())));
            }
            item->setTemplateObject(Value(std::move(converted)));
            Logger::log("updated colors to keyed archiving");
        }
    }
}

}  // namespace kl
