#include "editor/PropertyTable.h"

#include <algorithm>
#include <charconv>

#include "app/AppController.h"

namespace kl {

namespace {

// The elements after the first of an array value, kept in the row (under a
// key no column has) so that they are written back as they were.
constexpr const char* kTail = "\x01tail";

const std::vector<std::string>& columnsOf(PropertyTable::Kind kind) {
    static const std::vector<std::string> properties{"key", "value"};
    static const std::vector<std::string> variables{"key", "variable", "type", "value", "order"};
    static const std::vector<std::string> fonts{"key", "value", "color", "underline"};
    switch (kind) {
    case PropertyTable::Kind::Variables: return variables;
    case PropertyTable::Kind::Fonts: return fonts;
    default: return properties;
    }
}

std::string lower(std::string text) {
    for (char& c : text)
        if (c >= 'A' && c <= 'Z') c = static_cast<char>(c - 'A' + 'a');
    return text;
}

std::int64_t wholeNumber(const Value& value) {
    if (const std::string* text = value.string()) {
        std::int64_t number = 0;
        const char* begin = text->data();
        while (begin < text->data() + text->size() && *begin == ' ') ++begin;
        std::from_chars(begin, text->data() + text->size(), number);
        return number;
    }
    return value.toInteger();
}

bool isLetter(char c) { return (c >= 'A' && c <= 'Z') || (c >= 'a' && c <= 'z'); }

const Value* cell(const PropertyTable::Row& row, const std::string& column) {
    const auto found = row.find(column);
    return found == row.end() ? nullptr : &found->second;
}

std::string text(const PropertyTable::Row& row, const std::string& column) {
    const Value* value = cell(row, column);
    return value ? value->toString() : std::string();
}

Color colorIn(const Value* value, Color fallback) {
    if (value)
        if (const auto held = value->objectAs<ColorCell>()) return held->color;
    return fallback;
}

Font systemFont() { return Font{"Sans Serif", 12, 0}; }

std::optional<Data> dataOf(const Value* value) {
    if (value && value->data()) return *value->data();
    return std::nullopt;
}

bool sameValue(const Value& a, const Value& b) {
    const auto colorA = a.objectAs<ColorCell>();
    const auto colorB = b.objectAs<ColorCell>();
    if (colorA && colorB) return colorA->color == colorB->color;
    const auto fontA = a.objectAs<FontCell>();
    const auto fontB = b.objectAs<FontCell>();
    if (fontA && fontB) return fontA->font == fontB->font;
    return a == b;
}

}  // namespace

std::string fontDescription(const Font& font) {
    char size[32];
    const auto end = std::to_chars(size, size + sizeof size, font.size, std::chars_format::general, 6).ptr;
    return font.family + ", " + std::string(size, end) + " pt";
}

PropertyTable::PropertyTable(Kind kind, UndoManager& undo, std::function<void()> changed)
    : kind_(kind), undo_(undo), changed_(std::move(changed)) {}

PropertyTable::~PropertyTable() { undo_.removeAllActionsWithTarget(this); }

const std::vector<std::string>& PropertyTable::columns() const { return columnsOf(kind_); }

std::optional<std::size_t> PropertyTable::indexOf(const RowPtr& row) const {
    const auto found = std::find(records_.begin(), records_.end(), row);
    if (found == records_.end()) return std::nullopt;
    return static_cast<std::size_t>(found - records_.begin());
}

void PropertyTable::installDictionary(const Value& content) {
    records_.clear();
    useArrays_ = false;
    switch (kind_) {
    case Kind::Properties:
        if (const Dictionary* dictionary = content.dictionary()) {
            for (std::size_t i = 0; i < dictionary->size(); ++i) {
                auto row = std::make_shared<Row>();
                (*row)["key"] = dictionary->keyAt(i);
                const Value& value = dictionary->valueAt(i);
                if (const Array* array = value.array()) {
                    useArrays_ = true;
                    (*row)["value"] = array->empty() ? Value("") : array->front();
                    if (array->size() > 1) (*row)[kTail] = Array(array->begin() + 1, array->end());
                } else {
                    (*row)["value"] = value;
                }
                records_.push_back(row);
            }
        }
        break;
    case Kind::Variables:
        if (const Array* entries = content.array()) {
            for (const Value& entry : *entries) {
                const Array* fields = entry.array();
                if (!fields || fields->empty()) continue;
                auto row = std::make_shared<Row>();
                auto field = [&](std::size_t i, Value fallback) { return i < fields->size() ? (*fields)[i] : fallback; };
                (*row)["key"] = field(0, "");
                (*row)["variable"] = field(1, "#varName");
                (*row)["type"] = field(2, "Number");
                (*row)["value"] = field(3, "0");
                (*row)["order"] = field(4, nextOrderNumber());
                records_.push_back(row);
            }
        }
        break;
    case Kind::Colors:
        if (const Dictionary* dictionary = content.dictionary()) {
            for (std::size_t i = 0; i < dictionary->size(); ++i) {
                auto row = std::make_shared<Row>();
                (*row)["key"] = dictionary->keyAt(i);
                const Color color = AppController::unarchive(dataOf(&dictionary->valueAt(i)), Color::gray());
                (*row)["value"] = Value(std::make_shared<ColorCell>(color));
                records_.push_back(row);
            }
        }
        break;
    case Kind::Fonts:
        if (const Dictionary* dictionary = content.dictionary()) {
            for (std::size_t i = 0; i < dictionary->size(); ++i) {
                auto row = std::make_shared<Row>();
                (*row)["key"] = dictionary->keyAt(i);
                const Array* parts = dictionary->valueAt(i).array();
                auto part = [&](std::size_t n) -> const Value* { return parts && n < parts->size() ? &(*parts)[n] : nullptr; };
                (*row)["value"] = Value(std::make_shared<FontCell>(AppController::unarchive(dataOf(part(0)), systemFont())));
                (*row)["color"] = Value(std::make_shared<ColorCell>(AppController::unarchive(dataOf(part(1)), Color::black())));
                (*row)["underline"] = part(2) ? *part(2) : Value(0);
                records_.push_back(row);
            }
        }
        break;
    }
    sortKey_.reset();
    sortOrder_ = -1;
    // Loading is not an edit: the renumbering the sort may bring is not
    // undoable, though it marks the item as changed.
    undo_.disableUndoRegistration();
    clickColumn(kind_ == Kind::Variables ? "order" : "key");
    undo_.enableUndoRegistration();
}

Value PropertyTable::makeDictionary() const {
    if (kind_ == Kind::Variables) {
        Array entries;
        for (const RowPtr& row : records_) {
            Array fields;
            for (const std::string& column : columns()) fields.push_back(cell(*row, column) ? *cell(*row, column) : Value(""));
            entries.push_back(std::move(fields));
        }
        return entries;
    }
    Dictionary dictionary;
    for (const RowPtr& row : records_) {
        const std::string key = text(*row, "key");
        switch (kind_) {
        case Kind::Properties: {
            const Value value = cell(*row, "value") ? *cell(*row, "value") : Value("");
            if (useArrays_) {
                Array array{value};
                if (const Value* tail = cell(*row, kTail))
                    if (const Array* rest = tail->array()) array.insert(array.end(), rest->begin(), rest->end());
                dictionary.set(key, std::move(array));
            } else {
                dictionary.set(key, value);
            }
            break;
        }
        case Kind::Colors:
            dictionary.set(key, AppController::archive(colorIn(cell(*row, "value"), Color::black())));
            break;
        case Kind::Fonts: {
            const auto font = cell(*row, "value") ? cell(*row, "value")->objectAs<FontCell>() : nullptr;
            dictionary.set(key, Array{AppController::archive(font ? font->font : systemFont()),
                                      AppController::archive(colorIn(cell(*row, "color"), Color::black())),
                                      cell(*row, "underline") ? *cell(*row, "underline") : Value(0)});
            break;
        }
        default: break;
        }
    }
    return dictionary;
}

std::string PropertyTable::displayText(std::size_t index, const std::string& column) const {
    if (index >= records_.size()) return {};
    const Row& row = *records_[index];
    const Value* value = cell(row, column);
    if (!value) return {};
    if (const auto font = value->objectAs<FontCell>()) return fontDescription(font->font);
    if (value->isObject()) return {};
    return value->toString();
}

bool PropertyTable::canEditInPlace(std::size_t index, const std::string& column) const {
    if (index >= records_.size()) return false;
    const Row& row = *records_[index];
    switch (kind_) {
    case Kind::Variables:
        if (column == "variable") {
            static const char* const kProtected[] = {"#topMargin$", "#bottomMargin$", "#cellWidth$", "#cellHeight$"};
            const std::string variable = text(row, "variable");
            for (const char* name : kProtected)
                if (variable == name) return false;
        }
        return true;
    case Kind::Colors:
    case Kind::Fonts: return column == "key";
    case Kind::Properties: return !(isPlugin_ && templateName_ == "other files" && column == "key");
    }
    return true;
}

std::optional<std::string> PropertyTable::validateVariableName(const std::string& name) {
    if (name.empty()) return "Variables names cannot be empty";
    if (name.back() == '$') return "Besides built-in read only variables, no other variable name can end in '$'";
    if (name.front() != '#') return "Variable names must begin with '#'";
    if (name.size() == 1) return std::nullopt;
    if (!isLetter(name[1])) return "First character after the '#' must be a letter";
    for (std::size_t i = 2; i < name.size(); ++i) {
        const char c = name[i];
        if (!isLetter(c) && !(c >= '0' && c <= '9'))
            return "Variable name cannot contain a '" + std::string(1, c) + "' character";
    }
    return std::nullopt;
}

std::optional<PropertyTable::Refusal> PropertyTable::validateChange(const RowPtr& row, const Value& value,
                                                                    const std::string& column) const {
    const Value* present = cell(*row, column);
    if (present && sameValue(*present, value)) return Refusal{};
    if (column == "key") {
        for (const RowPtr& other : records_)
            if (text(*other, "key") == value.toString())
                return Refusal{"All key names for properties must be different", "The previous setting will be restored"};
        return std::nullopt;
    }
    if (column == "variable" && kind_ == Kind::Variables) {
        const std::string name = value.toString();
        if (text(*row, "type") == "Group") {
            if (name.empty()) return std::nullopt;
            return Refusal{"Editing properties of type 'Group' cannot have a variable name",
                           "The previous setting will be restored"};
        }
        if (const auto why = validateVariableName(name))
            return Refusal{"Invalid variable name was entered; the previous setting will be restored.", *why};
        for (const RowPtr& other : records_)
            if (other != row && text(*other, "variable") == name)
                return Refusal{"The variable name " + name + " is already used by another property",
                               "The previous variable name will be restored"};
    }
    return std::nullopt;
}

std::optional<PropertyTable::Refusal> PropertyTable::setObjectValue(std::size_t index, const std::string& column,
                                                                   Value value) {
    if (index >= records_.size()) return Refusal{};
    if (const std::string* typed = value.string()) {
        std::string blanked = *typed;
        std::replace_if(blanked.begin(), blanked.end(), [](char c) { return c == '\t' || c == '\r' || c == '\n'; }, ' ');
        value = Value(std::move(blanked));
    }
    const RowPtr row = records_[index];
    if (kind_ == Kind::Fonts && column == "underline") {
        changeUnderline(row, value.toBool());
        return std::nullopt;
    }
    if (auto refusal = validateChange(row, value, column)) return refusal;
    change(row, value, column);
    return std::nullopt;
}

void PropertyTable::didChange(const std::string& actionName) {
    // While loading, registration is off: the top group is not ours to name.
    if (undo_.isUndoRegistrationEnabled()) undo_.setActionName(actionName);
    if (changed_) changed_();
}

std::size_t PropertyTable::addProperty(const RowPtr& row) {
    undo_.registerUndo(this, [this, row] { deleteProperty(row); });
    std::size_t at = records_.size();
    if (sortKey_) {
        for (std::size_t i = 0; i < records_.size(); ++i) {
            if (precedes(*row, *records_[i], *sortKey_)) {
                at = i;
                break;
            }
        }
    }
    records_.insert(records_.begin() + static_cast<std::ptrdiff_t>(at), row);
    didChange("Add Property");
    return at;
}

void PropertyTable::deleteProperty(const RowPtr& row) {
    const auto index = indexOf(row);
    if (!index) return;
    undo_.registerUndo(this, [this, row] { addProperty(row); });
    records_.erase(records_.begin() + static_cast<std::ptrdiff_t>(*index));
    didChange("Delete Property");
}

void PropertyTable::change(const RowPtr& row, const Value& value, const std::string& column) {
    const Value old = cell(*row, column) ? *cell(*row, column) : Value("");
    undo_.registerUndo(this, [this, row, old, column] { change(row, old, column); });
    (*row)[column] = value;
    sortRecord(row, column);
    didChange("Change Property");
}

void PropertyTable::changeOrder(const RowPtr& row, const Value& value) {
    const Value old = cell(*row, "order") ? *cell(*row, "order") : Value("");
    undo_.registerUndo(this, [this, row, old] { changeOrder(row, old); });
    (*row)["order"] = value;
    didChange("Change Order Numbering");
}

void PropertyTable::setColor(const RowPtr& row, const Color& color, const std::string& column) {
    const Color old = colorIn(cell(*row, column), Color::black());
    if (old == color) return;
    undo_.registerUndo(this, [this, row, old, column] { setColor(row, old, column); });
    (*row)[column] = Value(std::make_shared<ColorCell>(color));
    didChange("Change Color");
}

void PropertyTable::setFont(const RowPtr& row, const Font& font) {
    const auto held = cell(*row, "value") ? cell(*row, "value")->objectAs<FontCell>() : nullptr;
    const Font old = held ? held->font : systemFont();
    if (old == font) return;
    undo_.registerUndo(this, [this, row, old] { setFont(row, old); });
    (*row)["value"] = Value(std::make_shared<FontCell>(font));
    didChange("Change Font");
}

void PropertyTable::changeUnderline(const RowPtr& row, bool underline) {
    const bool old = cell(*row, "underline") && cell(*row, "underline")->toInteger() != 0;
    undo_.registerUndo(this, [this, row, old] { changeUnderline(row, old); });
    (*row)["underline"] = Value(underline ? 1 : 0);
    didChange("Change Underline");
}

PropertyTable::RowPtr PropertyTable::newProperty() const {
    auto row = std::make_shared<Row>();
    std::string key;
    for (int n = 1;; ++n) {
        key = "New Property " + std::to_string(n);
        const bool used = std::any_of(records_.begin(), records_.end(),
                                      [&](const RowPtr& other) { return text(*other, "key") == key; });
        if (!used) break;
    }
    (*row)["key"] = key;
    switch (kind_) {
    case Kind::Properties: (*row)["value"] = ""; break;
    case Kind::Variables:
        (*row)["variable"] = "#varName";
        (*row)["type"] = "Number";
        (*row)["value"] = "0";
        (*row)["order"] = nextOrderNumber();
        break;
    case Kind::Colors: (*row)["value"] = Value(std::make_shared<ColorCell>(Color::black())); break;
    case Kind::Fonts:
        (*row)["value"] = Value(std::make_shared<FontCell>(Font{"Lucida Grande", 12, 0}));
        (*row)["color"] = Value(std::make_shared<ColorCell>(Color::black()));
        (*row)["underline"] = Value(0);
        break;
    }
    return row;
}

std::optional<std::size_t> PropertyTable::addDeleteRow(bool add, std::optional<std::size_t> selected) {
    if (add) return addProperty(newProperty());
    if (selected && *selected < records_.size()) deleteProperty(records_[*selected]);
    return std::nullopt;
}

bool PropertyTable::precedes(const Row& a, const Row& b, const std::string& column) const {
    if (column == "order") {
        const std::int64_t x = wholeNumber(cell(a, column) ? *cell(a, column) : Value(0));
        const std::int64_t y = wholeNumber(cell(b, column) ? *cell(b, column) : Value(0));
        return sortOrder_ < 0 ? x < y : x > y;
    }
    const std::string x = lower(text(a, column));
    const std::string y = lower(text(b, column));
    return sortOrder_ < 0 ? x < y : x > y;
}

void PropertyTable::sortRecord(const RowPtr& row, const std::string& column) {
    if (!sortKey_ || *sortKey_ != column) return;
    const std::size_t from = *indexOf(row);
    std::size_t target = records_.size();
    for (std::size_t i = 0; i < records_.size(); ++i) {
        if (records_[i] != row && precedes(*row, *records_[i], column)) {
            target = i;
            break;
        }
    }
    if (target == from + 1) return;
    records_.erase(records_.begin() + static_cast<std::ptrdiff_t>(from));
    if (target > from) --target;
    records_.insert(records_.begin() + static_cast<std::ptrdiff_t>(target), row);
}

void PropertyTable::sortBy(const std::string& column) {
    std::stable_sort(records_.begin(), records_.end(),
                     [&](const RowPtr& a, const RowPtr& b) { return precedes(*a, *b, column); });
}

void PropertyTable::renumber() {
    const std::size_t count = records_.size();
    for (std::size_t i = 0; i < count; ++i) {
        const std::string expected = std::to_string(sortOrder_ < 0 ? i + 1 : count - i);
        if (text(*records_[i], "order") != expected) changeOrder(records_[i], Value(expected));
    }
}

bool PropertyTable::clickColumn(const std::string& column) {
    if (kind_ == Kind::Colors && column == "value") return false;
    if (kind_ == Kind::Fonts && column != "key") return false;
    if (sortKey_ && *sortKey_ == column) {
        sortOrder_ = -sortOrder_;
        std::reverse(records_.begin(), records_.end());
    } else {
        sortOrder_ = -1;
        sortKey_ = column;
        sortBy(column);
    }
    if (column == "order") renumber();
    return true;
}

}  // namespace kl
