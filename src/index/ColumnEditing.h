#pragma once
// ColumnEditing: the decisions of the column sheet, which creates or edits
// one column of a record table's style or of a relatives outline's style:
// what the fields show when it opens, which sample matches an expression,
// what choosing a sample puts into the fields, whether OK may end the sheet,
// and what it writes into the style and announces. The dialog (ColumnSheet)
// only shows the fields and hands them back.
//
// In tree mode (any table that is not an index window's) the alternate
// field holds the column's expression, and a chart-label option puts "+",
// "-" or "±" in front of the stored title.
//
// Ownership: shares the edited style with its list. Thread: main thread.
#include <cstdint>
#include <memory>
#include <optional>
#include <string>
#include <utility>
#include <vector>

#include "foundation/Value.h"
#include "index/AddColumnMenu.h"

namespace kl {

class IndexStyle;

// What the sheet's controls show; the dialog reads them back on OK.
struct ColumnSheetFields {
    std::string sheetTitle;
    std::string name;
    std::string expression;     // index tables only
    std::string altExpression;  // tree mode: the expression
    std::string width;
    int justification = 0;      // pop-up: 0 Left, 1 Center, 2 Right
    int chartLabel = 0;         // pop-up: 0 none, 1 "+", 2 "-", 3 "±"
    int sample = -1;            // the selected sample
};

class ColumnEditing {
public:
    enum TableType : int32_t { IndexTable = 0, TreeTable = 1 };
    static constexpr int kAddColumnTag = 3301;
    static constexpr int kEditColumnTag = 3302;
    static constexpr const char* kEditTitle = "Edit Existing Column Properties";
    static constexpr const char* kCreateTitle = "Create New Column";
    static constexpr const char* kTreeStyleChanged = "Tree Style Changed Notification";
    static constexpr int32_t kNewColumnWidth = 100;

    // Why OK was refused; the sheet stays open behind the alert.
    struct Refusal {
        std::string message;
        std::string informative;
    };

    // The edit tag edits the highlighted column, any other tag makes a new
    // one; nullopt when there is nothing to edit (no style, or the edit tag
    // without a highlighted column of the style).
    static std::optional<ColumnEditing> startSheet(int tag, std::shared_ptr<IndexStyle> style,
                                                   int highlightedColumn, int32_t tableType,
                                                   const Dictionary* definedColumns);

    bool isTreeMode() const { return tableType_ == TreeTable; }
    bool isNewColumn() const { return column_ < 0; }
    int column() const { return column_; }
    const std::shared_ptr<IndexStyle>& style() const { return style_; }
    // The predefined columns, titles localised, each with its expression.
    const std::vector<AddColumnItem>& samples() const { return samples_; }
    // The stored form of the edited column; nullopt for a new column.
    const std::optional<Dictionary>& styleDict() const { return styleDict_; }

    // What the controls show when the sheet opens.
    ColumnSheetFields fields() const;
    // The sample whose expression is the one typed (tree mode: the alternate
    // field), else the last sample.
    int selectExpressionInMenu(const ColumnSheetFields& fields) const;
    // A sample chosen from the pop-up; `optionHeld` on an index table fills
    // the alternate expression only.
    void selectSampleExpression(ColumnSheetFields& fields, int sample, bool optionHeld) const;
    // OK: a portrait expression is refused, since only the portrait command
    // makes image columns.
    std::optional<Refusal> editColumnPanelDone(const ColumnSheetFields& fields) const;
    // The column the fields describe, in the style's stored form.
    Dictionary columnDictionary(const ColumnSheetFields& fields) const;
    // Writes the column into the style and announces the change; answers
    // the column index announced (-1 for an appended column).
    int columnEditingDidEnd(const ColumnSheetFields& fields);

    // The pop-up lists Left, Center, Right; the style numbers them 0 left,
    // 1 right, 2 centre.
    static int justificationItem(int32_t styleJustify);
    static int32_t styleJustification(int item);
    static std::string justificationWord(int item);
    // A tree title's chart-label option and the title shown without it.
    static std::pair<int, std::string> chartLabelOption(const std::string& title);
    static std::string chartLabelTitle(int option, const std::string& name);
    // The leading integer of the width text, 0 when there is none; never
    // overflows, however many digits are typed.
    static int32_t widthValue(const std::string& text);

private:
    int columnStillEdited() const;
    ColumnEditing(std::shared_ptr<IndexStyle> style, int column, int32_t tableType, const Dictionary* definedColumns);

    std::shared_ptr<IndexStyle> style_;
    int column_ = -1;
    int32_t tableType_ = IndexTable;
    std::optional<Dictionary> styleDict_;
    std::vector<AddColumnItem> samples_;
};

}  // namespace kl
