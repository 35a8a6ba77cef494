#include "document/IndexStyle.h"

#include <algorithm>
#include <cstdlib>
#include <functional>
#include <limits>
#include <map>

#include "document/KLExpression.h"
#include "model/GEDCOMRecord.h"

namespace kl {

namespace {

// Dates and life spans sort by their day number, not by their text.
std::string sortableForm(const std::string& expression) {
    return KLExpression(expression).dateSortExpression().expressionString(true);
}

Dictionary columnOf(const char* label, const char* expression, const char* justify, const char* width) {
    return Dictionary{{"Label", label}, {"Expression", expression}, {"Justification", justify},
                      {"Editable", "0"},  {"Width", width}};
}

// Stored numbers may come as numbers or as their texts ("0", "150").
int64_t integerOf(const Value& v, int64_t fallback) {
    if (const std::string* s = v.string()) return std::strtoll(s->c_str(), nullptr, 10);
    return v.toInteger(fallback);
}

int32_t storedWidth(int64_t width) {
    return static_cast<int32_t>(std::clamp<int64_t>(width, IndexStyle::kMinimumStoredWidth,
                                                    std::numeric_limits<int32_t>::max()));
}

int32_t justifyOf(const std::string& word) { return word == "Center" ? 2 : word == "Right" ? 1 : 0; }

// Cells show one line: the lines of a longer value are joined by "\\".
std::string oneLine(const std::string& text) {
    if (text.find_first_of("\r\n") == std::string::npos) return text;
    std::string out;
    out.reserve(text.size() + 8);
    for (std::size_t i = 0; i < text.size(); ++i) {
        const char c = text[i];
        if (c != '\r' && c != '\n') {
            out += c;
            continue;
        }
        if (c == '\r' && i + 1 < text.size() && text[i + 1] == '\n') ++i;
        out += "\\\\";
    }
    return out;
}

}  // namespace

bool IndexStyle::isPortraitExpression(const std::string& expression) {
    return KLExpression(expression).portraitExpression();
}

std::string IndexStyle::justificationWord(int32_t justify) {
    return justify == 2 ? "Center" : justify == 1 ? "Right" : "Left";
}

std::shared_ptr<IndexStyle> IndexStyle::indexStyleWith(const Array& stored, const std::string& type) {
    auto style = std::make_shared<IndexStyle>(type);
    for (const Value& v : stored)
        if (const Dictionary* column = v.dictionary()) style->addColumn(*column);
    return style;
}

std::shared_ptr<IndexStyle> IndexStyle::defaultStyleForType(const std::string& type) {
    return indexStyleWith({columnOf("Record Name", "view", "Left", "150")}, type);
}

std::shared_ptr<IndexStyle> IndexStyle::defaultStyleForUserAlbum(const std::string& albumType) {
    return indexStyleWith({columnOf("Record Type", "rec", "Left", "90"), columnOf("Record Name", "view", "Left", "300")},
                          albumType);
}

bool IndexStyle::thisSort(const std::vector<std::string>& a, const std::vector<std::string>& b) { return a == b; }

std::shared_ptr<IndexStyle> IndexStyle::makeCopy() const { return indexStyleWith(styleArray(), recordType_); }

void IndexStyle::applyProperty(Column& c, const std::string& key, const Value& value) {
    using Apply = std::function<void(Column&, const Value&)>;
    static const std::map<std::string, Apply> handlers{
        {"Label", [](Column& col, const Value& v) { col.label = v.toString(); }},
        {"Expression", [](Column& col, const Value& v) { col.expression = v.toString(); }},
        {"AltExpression",
         [](Column& col, const Value& v) {
             const std::string alt = v.toString();
             col.altExpression = isPortraitExpression(alt) ? std::string() : alt;
         }},
        {"Justification", [](Column& col, const Value& v) { col.justify = justifyOf(v.toString()); }},
        {"Editable", [](Column& col, const Value& v) { col.editable = integerOf(v, 0) != 0; }},
        {"Width", [](Column& col, const Value& v) { col.width = storedWidth(integerOf(v, 100)); }},
    };
    if (auto h = handlers.find(key); h != handlers.end()) h->second(c, value);
}

void IndexStyle::addColumn(const Dictionary& d) {
    // A dictionary without a title or expression still makes a whole
    // column, so the titles and expressions never fall out of step.
    Column c;
    for (std::size_t i = 0; i < d.size(); ++i) applyProperty(c, d.keyAt(i), d.valueAt(i));
    if (isPortraitExpression(c.expression)) portraitColumn_ = static_cast<int>(columns_.size());
    columns_.push_back(std::move(c));
}

void IndexStyle::setProperties(const Dictionary& d, int column) {
    if (!valid(column)) return;
    for (std::size_t i = 0; i < d.size(); ++i) applyProperty(columns_[static_cast<size_t>(column)], d.keyAt(i), d.valueAt(i));
}

void IndexStyle::deleteColumn(int column) {
    if (!valid(column)) return;
    columns_.erase(columns_.begin() + column);
    // The mark follows its column, so a later sort never lands on the image.
    if (column == portraitColumn_) portraitColumn_ = -1;
    else if (column < portraitColumn_) --portraitColumn_;
}

void IndexStyle::addRemovePortraitCol(int index) {
    if (hasPortraitColumn()) {
        deleteColumn(portraitColumn_);
        return;
    }
    const bool media = recordType_ == "OBJE";
    addColumn(Dictionary{{"Label", media ? "Image" : "Portrait"},
                         {"Expression", "portrait"},
                         {"Justification", "Center"},
                         {"Width", media ? 72 : 50}});
    const int last = static_cast<int>(columns_.size()) - 1;
    if (index >= 0 && index < last) moveColumn(last, index);
}

void IndexStyle::moveColumn(int from, int toColumn) {
    if (!valid(from) || toColumn < 0 || from == toColumn) return;
    const int to = std::min(toColumn, static_cast<int>(columns_.size()) - 1);
    auto first = columns_.begin();
    if (from < to) std::rotate(first + from, first + from + 1, first + to + 1);
    else std::rotate(first + to, first + from, first + from + 1);
    if (hasPortraitColumn()) findPortraitColumn();
}

void IndexStyle::findPortraitColumn() {
    portraitColumn_ = -1;
    for (std::size_t i = 0; i < columns_.size(); ++i)
        if (isPortraitExpression(columns_[i].expression)) {
            portraitColumn_ = static_cast<int>(i);
            return;
        }
}

bool IndexStyle::setWidth(double width, int column) {
    if (!valid(column)) return false;
    const double clamped = std::clamp(width, 0.0, double(std::numeric_limits<int32_t>::max()));
    const auto w = static_cast<int32_t>(clamped);
    if (w == columns_[static_cast<size_t>(column)].width) return false;
    columns_[static_cast<size_t>(column)].width = w;
    return true;
}

Dictionary IndexStyle::styleForColumn(int column) const {
    if (!valid(column)) return {};
    const Column& c = columns_[static_cast<size_t>(column)];
    return Dictionary{{"Label", c.label},
                      {"Expression", c.expression},
                      {"Justification", justificationWord(c.justify)},
                      {"Editable", c.editable},
                      {"Width", c.width},
                      {"AltExpression", c.altExpression}};
}

Array IndexStyle::styleArray() const {
    Array out;
    for (size_t i = 0; i < columns_.size(); ++i) out.emplace_back(styleForColumn(static_cast<int>(i)));
    return out;
}

std::string IndexStyle::description() const {
    std::string out = "Columns for " + recordType_ + " records index\n";
    for (const Column& c : columns_)
        out += "   {label:" + c.label + ", expression:" + c.expression + ", justify:" + std::to_string(c.justify) +
               ", width:" + std::to_string(c.width) + ", editable:" + std::to_string(c.editable ? 1 : 0) + "}\n";
    return out;
}

int32_t IndexStyle::widthForColumn(int column) const {
    return valid(column) ? columns_[static_cast<size_t>(column)].width : 0;
}

int32_t IndexStyle::justifyForColumn(int column) const {
    return valid(column) ? columns_[static_cast<size_t>(column)].justify : 0;
}

std::shared_ptr<KLExpression> IndexStyle::expressionForSort(int column) const {
    if (!valid(column)) return nullptr;
    return KLExpression::expressionFromString(sortableForm(columns_[static_cast<size_t>(column)].expression));
}

std::shared_ptr<KLExpression> IndexStyle::altExpressionForSort(int column) const {
    if (!valid(column)) return nullptr;
    const std::string& alt = columns_[static_cast<size_t>(column)].altExpression;
    if (KLExpression(alt).countOfTags() == 0) return nullptr;
    return KLExpression::expressionFromString(sortableForm(alt));
}

std::vector<std::string> IndexStyle::sortArrayForIndex(int column) const {
    if (!valid(column)) return {};
    std::vector<std::string> key{sortableForm(columns_[static_cast<size_t>(column)].expression)};
    if (auto alt = altExpressionForSort(column)) key.push_back(alt->expressionString(true));
    return key;
}

int IndexStyle::firstSortColumn() const {
    if (columns_.empty()) return -1;
    if (portraitColumn_ != 0) return 0;
    return columns_.size() >= 2 ? 1 : -1;
}

std::string IndexStyle::dataForRecord(const GEDCOMRecord& record, int column, GEDCOMModel* model) const {
    if (!valid(column)) return {};
    const KLExpression expression(columns_[static_cast<size_t>(column)].expression);
    return oneLine(expression.valueInRecord(record, record, model));
}

int IndexStyle::expressionColumn(const std::string& expression) const {
    for (size_t i = 0; i < columns_.size(); ++i)
        if (columns_[i].expression == expression) return static_cast<int>(i);
    return -1;
}

std::vector<std::string> IndexStyle::label() const {
    std::vector<std::string> out;
    for (const auto& c : columns_) out.push_back(c.label);
    return out;
}

}  // namespace kl
