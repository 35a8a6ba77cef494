#include "index/TableSetupPlan.h"

#include <algorithm>

#include "document/IndexStyle.h"

namespace kl {

namespace {

PlannedColumn columnFor(const IndexStyle& style, int index, bool tree, double lineHeight) {
    const IndexStyle::Column& c = style.columns()[static_cast<std::size_t>(index)];
    PlannedColumn p;
    p.identifier = std::to_string(index);
    p.title = tree ? TableSetupPlan::treeTitle(c.label) : c.label;
    p.justify = c.justify;
    p.imageCell = IndexStyle::isPortraitExpression(c.expression);
    p.editable = c.editable;
    p.width = std::max<double>(c.width, lineHeight);
    p.minWidth = lineHeight;
    return p;
}

}  // namespace

std::string TableSetupPlan::treeTitle(const std::string& title) {
    static const std::string prefixes[] = {"+", "\xC2\xB1", "-"};
    for (const std::string& prefix : prefixes)
        if (title.size() > prefix.size() && title.compare(0, prefix.size(), prefix) == 0)
            return title.substr(prefix.size());
    return title;
}

TableSetupPlan TableSetupPlan::setupTable(IndexStyle& style, int sortColumn, const SortState& source, Kind kind,
                                          double lineHeight) {
    TableSetupPlan plan;
    const bool tree = kind == Kind::TreeOutline;
    const int count = static_cast<int>(style.numberOfColumns());
    int start = 0;
    if (kind != Kind::Table) {
        PlannedColumn outline;
        outline.identifier = "0";
        outline.width = count > 0 ? style.widthForColumn(0) : kOutlineMinWidth;
        outline.minWidth = kOutlineMinWidth;
        if (count > 0) outline.title = tree ? treeTitle(style.columns()[0].label) : style.columns()[0].label;
        plan.outlineColumn = outline;
        start = 1;
    }
    for (int i = start; i < count; ++i) {
        PlannedColumn column = columnFor(style, i, tree, lineHeight);
        if (column.imageCell) plan.portraitColumn = i;
        plan.columns.push_back(std::move(column));
        if (!tree && plan.highlightedColumn < 0 && !source.howSorted.empty() &&
            IndexStyle::thisSort(style.sortArrayForIndex(i), source.howSorted)) {
            plan.highlightedColumn = i;
            plan.indicator = hiliteSorting(source.sortOrder);
        }
    }
    plan.filler.identifier = "-1";
    style.setPortraitColumn(plan.portraitColumn);
    if (!tree && plan.highlightedColumn < 0 && sortColumn >= 0 && sortColumn < count) plan.sortRequest = sortColumn;
    return plan;
}

std::optional<std::pair<int, SortIndicator>> TableSetupPlan::rehilteSortColumn(const IndexStyle& style,
                                                                               const SortState& source) {
    const int first = style.firstSortColumn();
    if (first < 0 || source.howSorted.empty()) return std::nullopt;
    for (int i = first; i < static_cast<int>(style.numberOfColumns()); ++i)
        if (IndexStyle::thisSort(style.sortArrayForIndex(i), source.howSorted))
            return std::make_pair(i, hiliteSorting(source.sortOrder));
    return std::nullopt;
}

double TableSetupPlan::rowHeight(double lineHeight) const {
    double height = lineHeight;
    for (const PlannedColumn& c : columns)
        if (c.imageCell) height = c.width;
    return height;
}

}  // namespace kl
