#pragma once
// AddColumnMenu: the predefined columns offered by the index window's
// "AddColumn" menu and the column sheet's samples: pairs of expression and
// title from the library's "DefinedColumns" data, per record type, with a
// built-in list when the library has none; and what choosing one does.
//
// Ownership: values only. Thread: main thread.
#include <string>
#include <vector>

#include "foundation/Value.h"

namespace kl {

class IndexStyle;

struct AddColumnItem {
    std::string title;
    std::string expression;  // tooltip; empty for the custom column
    bool checked = false;    // the style shows this expression already
};

class AddColumnMenu {
public:
    // What choosing an item does.
    struct Choice {
        enum class Action { OpenSheet, DeleteColumn, AppendColumn } action;
        int column = -1;     // DeleteColumn: the style column
        Dictionary added;    // AppendColumn: the stored form of the new column
    };

    // The flat expression/title pairs for a style type.
    static Array pairsFor(const Dictionary* definedColumns, const std::string& type);
    // The menu for a style; `withTarget` marks the columns already shown
    // (the toolbar menu does, the sheet's samples do not).
    static std::vector<AddColumnItem> updateAddColumnMenu(const Dictionary* definedColumns, const IndexStyle& style,
                                                          bool withTarget);
    // Choosing an item: a custom item opens the sheet, a shown column is
    // deleted (after the window's confirmation), any other is appended.
    static Choice addPredefinedColumn(const AddColumnItem& item, const IndexStyle& style);
    // A menu title without its explanation: "Birth date (year)" -> "Birth date".
    static std::string columnTitle(const std::string& menuTitle);
};

}  // namespace kl
