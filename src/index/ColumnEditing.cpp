#include "index/ColumnEditing.h"

#include <cctype>
#include <limits>

#include "document/IndexStyle.h"
#include "foundation/NotificationCenter.h"
#include "index/IndexController.h"
#include "model/LibraryServices.h"

namespace kl {

namespace {

// Chart-label prefixes by option; "±" is two bytes in UTF-8.
constexpr const char* kChartLabels[] = {"", "+", "-", "\xC2\xB1"};

std::string localized(const std::string& key) { return LibraryServices::current()->localString(key); }

}  // namespace

ColumnEditing::ColumnEditing(std::shared_ptr<IndexStyle> style, int column, int32_t tableType,
                             const Dictionary* definedColumns)
    : style_(std::move(style)), column_(column), tableType_(tableType == IndexTable ? IndexTable : TreeTable) {
    if (column_ >= 0) styleDict_ = style_->styleForColumn(column_);
    samples_ = AddColumnMenu::updateAddColumnMenu(definedColumns, *style_, false);
    for (auto& sample : samples_) sample.title = localized(sample.title);
}

std::optional<ColumnEditing> ColumnEditing::startSheet(int tag, std::shared_ptr<IndexStyle> style,
                                                       int highlightedColumn, int32_t tableType,
                                                       const Dictionary* definedColumns) {
    if (!style) return std::nullopt;
    int column = -1;
    if (tag == kEditColumnTag) {
        if (highlightedColumn < 0 || static_cast<std::size_t>(highlightedColumn) >= style->numberOfColumns())
            return std::nullopt;
        column = highlightedColumn;
    }
    return ColumnEditing(std::move(style), column, tableType, definedColumns);
}

ColumnSheetFields ColumnEditing::fields() const {
    ColumnSheetFields f;
    if (styleDict_) {
        const Dictionary& d = *styleDict_;
        auto text = [&d](const char* key) {
            const Value* v = d.get(key);
            return v ? v->toString() : std::string();
        };
        f.sheetTitle = kEditTitle;
        if (isTreeMode()) {
            auto [option, name] = chartLabelOption(text("Label"));
            f.chartLabel = option;
            f.name = std::move(name);
            f.altExpression = text("Expression");
        } else {
            f.name = text("Label");
            f.expression = text("Expression");
            f.altExpression = text("AltExpression");
        }
        const Value* width = d.get("Width");
        f.width = std::to_string(width ? width->toInteger(kNewColumnWidth) : kNewColumnWidth);
        const std::string justify = text("Justification");
        f.justification = justify == "Center" ? 1 : justify == "Right" ? 2 : 0;
    } else {
        f.sheetTitle = kCreateTitle;
        f.name = localized("Column Title");
        f.width = std::to_string(kNewColumnWidth);
    }
    f.sample = selectExpressionInMenu(f);
    return f;
}

int ColumnEditing::selectExpressionInMenu(const ColumnSheetFields& fields) const {
    const std::string& typed = isTreeMode() ? fields.altExpression : fields.expression;
    for (std::size_t i = 0; i < samples_.size(); ++i)
        if (samples_[i].expression == typed) return static_cast<int>(i);
    return static_cast<int>(samples_.size()) - 1;
}

void ColumnEditing::selectSampleExpression(ColumnSheetFields& fields, int sample, bool optionHeld) const {
    if (sample < 0 || static_cast<std::size_t>(sample) >= samples_.size()) return;
    const AddColumnItem& chosen = samples_[static_cast<std::size_t>(sample)];
    if (optionHeld && !isTreeMode()) {
        fields.altExpression = chosen.expression;
        fields.sample = selectExpressionInMenu(fields);
        return;
    }
    (isTreeMode() ? fields.altExpression : fields.expression) = chosen.expression;
    fields.name = AddColumnMenu::columnTitle(chosen.title);
    fields.sample = sample;
}

std::optional<ColumnEditing::Refusal> ColumnEditing::editColumnPanelDone(const ColumnSheetFields& fields) const {
    const std::string& expression = isTreeMode() ? fields.altExpression : fields.expression;
    if (IndexStyle::isPortraitExpression(expression))
        return Refusal{"Invalid expression was entered",
                       "To create a column with a 'portrait' expression, use the 'Show Portrait Column' menu command "
                       "instead."};
    return std::nullopt;
}

Dictionary ColumnEditing::columnDictionary(const ColumnSheetFields& f) const {
    const bool tree = isTreeMode();
    return Dictionary{{"Label", tree ? chartLabelTitle(f.chartLabel, f.name) : f.name},
                      {"Expression", tree ? f.altExpression : f.expression},
                      {"Justification", justificationWord(f.justification)},
                      {"Width", widthValue(f.width)},
                      {"AltExpression", tree ? std::string() : f.altExpression}};
}

int ColumnEditing::columnEditingDidEnd(const ColumnSheetFields& fields) {
    const Dictionary column = columnDictionary(fields);
    const int index = columnStillEdited();
    if (index < 0) style_->addColumn(column);
    else style_->setProperties(column, index);

    const std::string& type = style_->recordType();
    if (type == "Ancest" || type == "Descend")
        NotificationCenter::defaultCenter().post(kTreeStyleChanged, nullptr, Dictionary{{"TreeType", type}});
    else
        NotificationCenter::defaultCenter().post(IndexController::kIndexStyleChanged, nullptr,
                                                 Dictionary{{"RecordType", type}, {"sortColumnIndex", index}});
    return index;
}

int ColumnEditing::columnStillEdited() const {
    if (!styleDict_) return -1;
    // Another window may have moved or deleted columns of the same style
    // while the sheet was open: the edit goes to the column it began on,
    // found again by its title and expression, and becomes a new column
    // when that is gone, rather than being written over a neighbour.
    const std::string label = styleDict_->get("Label")->toString();
    const std::string expression = styleDict_->get("Expression")->toString();
    auto same = [&](int i) {
        const IndexStyle::Column& c = style_->columns()[static_cast<std::size_t>(i)];
        return c.label == label && c.expression == expression;
    };
    const int count = static_cast<int>(style_->numberOfColumns());
    if (column_ < count && same(column_)) return column_;
    for (int i = 0; i < count; ++i)
        if (same(i)) return i;
    return -1;
}

int ColumnEditing::justificationItem(int32_t styleJustify) {
    return styleJustify == IndexStyle::JustifyCenter ? 1 : styleJustify == IndexStyle::JustifyRight ? 2 : 0;
}

int32_t ColumnEditing::styleJustification(int item) {
    return item == 1 ? IndexStyle::JustifyCenter : item == 2 ? IndexStyle::JustifyRight : IndexStyle::JustifyLeft;
}

std::string ColumnEditing::justificationWord(int item) { return IndexStyle::justificationWord(styleJustification(item)); }

std::pair<int, std::string> ColumnEditing::chartLabelOption(const std::string& title) {
    for (int option = 3; option >= 1; --option) {
        const std::string prefix = kChartLabels[option];
        if (title.compare(0, prefix.size(), prefix) == 0) return {option, title.substr(prefix.size())};
    }
    return {0, title};
}

std::string ColumnEditing::chartLabelTitle(int option, const std::string& name) {
    if (option < 1 || option > 3) return name;
    return kChartLabels[option] + name;
}

int32_t ColumnEditing::widthValue(const std::string& text) {
    std::size_t i = 0;
    while (i < text.size() && std::isspace(static_cast<unsigned char>(text[i]))) ++i;
    bool negative = false;
    if (i < text.size() && (text[i] == '+' || text[i] == '-')) negative = text[i++] == '-';
    constexpr int64_t limit = std::numeric_limits<int32_t>::max();
    int64_t value = 0;
    for (; i < text.size() && std::isdigit(static_cast<unsigned char>(text[i])); ++i)
        value = std::min<int64_t>(limit, value * 10 + (text[i] - '0'));
    return static_cast<int32_t>(negative ? -value : value);
}

}  // namespace kl
