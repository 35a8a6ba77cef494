#pragma once
// PropertyTableView: the table view of a PropertyTable's rows. Cells are
// edited in place where the table allows it (the variable type through a
// pop-up of "Number", "String" and "Group", the underline through a check
// box); a click on a colour cell or a font cell asks for a new colour or
// font; a click on a column title sorts by it. A refused edit shows its
// alert as a sheet on the window and the cell keeps its stored value.
//
// The colour and font questions go through Prompts (dialogs in the program,
// answers in tests). Ownership: the view owns its model and the table.
// Main thread only.
#include <QTableView>

#include <functional>
#include <memory>
#include <optional>

#include "editor/PropertyTable.h"

class QAbstractTableModel;

namespace kl {

class PropertyTableModel;

class PropertyTableView : public QTableView {
    Q_OBJECT
public:
    struct Prompts {
        std::function<std::optional<Color>(const Color& present)> chooseColor;
        std::function<std::optional<Font>(const Font& present)> chooseFont;
        // A click on a key of the "other files" list: the key.
        std::function<void(const std::string& key)> openOtherFile;
    };

    PropertyTableView(PropertyTable::Kind kind, UndoManager& undo, std::function<void()> changed,
                      QWidget* parent = nullptr);
    ~PropertyTableView() override;

    PropertyTable& table() { return *table_; }
    Prompts& prompts() { return prompts_; }
    // Loads an item's content.
    void installDictionary(const Value& content, const std::string& name, bool plugin);
    // Shows the rows again, keeping the selected row.
    void reload();
    std::optional<std::size_t> selectedRow() const;
    void selectRow(std::size_t row);
    // The Add Property (true) and Delete Property (false) commands.
    void addDeleteRow(bool add);
    // A click into a cell, as the mouse gives it.
    void clickCell(std::size_t row, const std::string& column);
    // A click on a column's title.
    void clickColumn(const std::string& column);

private:
    std::unique_ptr<PropertyTable> table_;
    PropertyTableModel* model_;
    Prompts prompts_;
};

}  // namespace kl
