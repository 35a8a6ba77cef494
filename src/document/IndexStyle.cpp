#include "document/IndexStyle.h"

#include <algorithm>

#include "document/KLExpression.h"

namespace kl {

namespace {

bool isPortrait(const std::string& expression) { return KLExpression(expression).portraitExpression(); }

// Dates and life spans sort by their day number, not by their text.
std::string sortableForm(const std::string& expression) {
    return KLExpression(expression).dateSortExpression().expressionString(true);
}

Dictionary columnOf(const char* label, const char* expression, const char* justify, const char* width) {
    return Dictionary{{"Label", label}, {"Expression", expression}, {"Justification", justify},
                      {"Editable", "0"},  {"Width", width}};
}

int64_t integerOf(const Value* v, int64_t fallback) {
    if (!v) return fallback;
    if (const std::string* s = v->string()) return std::strtoll(s->c_str(), nullptr, 10);
    return v->toInteger(fallback);
}

}  // namespace

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

void IndexStyle::addColumn(const Dictionary& d) {
    Column c;
    c.label = d.get("Label") ? d.get("Label")->toString() : "";
    c.expression = d.get("Expression") ? d.get("Expression")->toString() : "";
    if (const Value* alt = d.get("AltExpression"); alt && !isPortrait(alt->toString())) c.altExpression = alt->toString();
    const std::string justify = d.get("Justification") ? d.get("Justification")->toString() : "";
    c.justify = justify == "Center" ? 2 : justify == "Right" ? 1 : 0;
    c.editable = integerOf(d.get("Editable"), 0) != 0;
    c.width = static_cast<int32_t>(std::max<int64_t>(10, integerOf(d.get("Width"), 100)));
    if (isPortrait(c.expression)) portraitColumn_ = static_cast<int>(columns_.size());
    columns_.push_back(std::move(c));
}

Dictionary IndexStyle::styleForColumn(int column) const {
    const Column& c = columns_.at(static_cast<size_t>(column));
    return Dictionary{{"Label", c.label},
                      {"Expression", c.expression},
                      {"Justification", c.justify == 2 ? "Center" : c.justify == 1 ? "Right" : "Left"},
                      {"Editable", c.editable},
                      {"Width", c.width},
                      {"AltExpression", c.altExpression}};
}

Array IndexStyle::styleArray() const {
    Array out;
    for (size_t i = 0; i < columns_.size(); ++i) out.emplace_back(styleForColumn(static_cast<int>(i)));
    return out;
}

std::shared_ptr<KLExpression> IndexStyle::expressionForSort(int column) const {
    if (column < 0 || static_cast<size_t>(column) >= columns_.size()) return nullptr;
    return KLExpression::expressionFromString(sortableForm(columns_[static_cast<size_t>(column)].expression));
}

std::shared_ptr<KLExpression> IndexStyle::altExpressionForSort(int column) const {
    if (column < 0 || static_cast<size_t>(column) >= columns_.size()) return nullptr;
    const std::string& alt = columns_[static_cast<size_t>(column)].altExpression;
    return alt.empty() ? nullptr : KLExpression::expressionFromString(sortableForm(alt));
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
