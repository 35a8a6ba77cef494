#include "index/AddColumnMenu.h"

#include "document/IndexStyle.h"

namespace kl {

namespace {

const Array& builtInPairs() {
    static const Array pairs{"view", "Record description", "rec", "Record type", "", "Custom expression"};
    return pairs;
}

const Array* entry(const Dictionary* defined, const std::string& key) {
    if (!defined) return nullptr;
    const Value* v = defined->get(key);
    return v ? v->array() : nullptr;
}

}  // namespace

Array AddColumnMenu::pairsFor(const Dictionary* definedColumns, const std::string& type) {
    const Array* chosen = entry(definedColumns, type);
    if (!chosen) chosen = entry(definedColumns, "Album");
    if (!chosen) chosen = &builtInPairs();
    if (chosen->size() < 2) {
        chosen = entry(definedColumns, "INDI");
        if (!chosen || chosen->size() < 2) chosen = &builtInPairs();
    }
    return *chosen;
}

std::vector<AddColumnItem> AddColumnMenu::updateAddColumnMenu(const Dictionary* definedColumns,
                                                              const IndexStyle& style, bool withTarget) {
    const Array pairs = pairsFor(definedColumns, style.recordType());
    std::vector<AddColumnItem> items;
    // A trailing expression without its title is left out.
    for (std::size_t i = 0; i + 1 < pairs.size(); i += 2) {
        AddColumnItem item{pairs[i + 1].toString(), pairs[i].toString(), false};
        item.checked = withTarget && style.expressionColumn(item.expression) >= 0;
        items.push_back(std::move(item));
    }
    return items;
}

std::string AddColumnMenu::columnTitle(const std::string& menuTitle) {
    const auto cut = menuTitle.find(" (");
    return cut == std::string::npos ? menuTitle : menuTitle.substr(0, cut);
}

AddColumnMenu::Choice AddColumnMenu::addPredefinedColumn(const AddColumnItem& item, const IndexStyle& style) {
    if (item.expression.empty()) return Choice{Choice::Action::OpenSheet, -1, {}};
    if (const int shown = style.expressionColumn(item.expression); shown >= 0)
        return Choice{Choice::Action::DeleteColumn, shown, {}};
    return Choice{Choice::Action::AppendColumn,
                  -1,
                  Dictionary{{"Label", columnTitle(item.title)},
                             {"Expression", item.expression},
                             {"Justification", "Left"},
                             {"Width", 100}}};
}

}  // namespace kl
