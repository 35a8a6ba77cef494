#pragma once
// TableSetupPlan: what a table or outline built from a column style looks
// like, decided without any window: the columns with their identifiers,
// titles, alignment, cell kind and widths, the trailing filler column, the
// column marked as sorted with its indicator, and the column the data source
// is to sort on. The Qt table applies a plan as it stands.
//
// Ownership: a value. Thread: main thread.
#include <cstdint>
#include <optional>
#include <string>
#include <vector>

namespace kl {

class IndexStyle;

// Which arrow a sorted column shows.
enum class SortIndicator { None, Ascending, Descending };

// How the data source of a table is sorted now; an empty key means unsorted.
struct SortState {
    std::vector<std::string> howSorted;
    int32_t sortOrder = -1;
};

struct PlannedColumn {
    std::string identifier;  // the style column's index, "-1" for the filler
    std::string title;
    int32_t justify = 0;     // 0 left, 1 right, 2 centre
    bool imageCell = false;  // the portrait column
    bool editable = false;
    double width = 0;
    double minWidth = 0;
    int styleColumn() const { return std::stoi(identifier); }
};

struct TableSetupPlan {
    enum class Kind { Table, Outline, TreeOutline };
    static constexpr double kOutlineMinWidth = 144;

    // Outline views keep their outline column, sized as style column 0.
    std::optional<PlannedColumn> outlineColumn;
    std::vector<PlannedColumn> columns;
    PlannedColumn filler;
    int portraitColumn = -1;
    // The style column marked as sorted, -1 when none, and its arrow.
    int highlightedColumn = -1;
    SortIndicator indicator = SortIndicator::None;
    // The style column the data source must sort on once the table is built.
    std::optional<int> sortRequest;

    // Builds the plan and marks the portrait column it finds in the style.
    // `lineHeight` is the index font's line height, the narrowest a column
    // may be.
    static TableSetupPlan setupTable(IndexStyle& style, int sortColumn, const SortState& source, Kind kind,
                                     double lineHeight);
    // The arrow of a column sorted in `order` (-1 ascending).
    static SortIndicator hiliteSorting(int32_t order) {
        return order == -1 ? SortIndicator::Ascending : SortIndicator::Descending;
    }
    // After a sort elsewhere: the first sortable column whose key is the
    // source's, with its arrow; nullopt leaves the highlight without arrow.
    static std::optional<std::pair<int, SortIndicator>> rehilteSortColumn(const IndexStyle& style,
                                                                          const SortState& source);
    // The row height: the font's line height, or an image column's width.
    double rowHeight(double lineHeight) const;
    // A tree title shows without its chart prefix ("+", "-" or "±").
    static std::string treeTitle(const std::string& title);
};

}  // namespace kl
