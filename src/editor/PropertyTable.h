#pragma once
// PropertyTable: the rows of an item that is edited as a table rather than
// as a text: a plain property list (key, value), the editing variables
// (key, variable, type, value, order), the editing colours (key, colour)
// or fonts (key, font, colour, underline). It loads the item's content as
// rows, checks and makes every edit as one undoable change, keeps the rows
// sorted by the column last clicked, and turns the rows back into content.
//
// Refusals come back as texts for the window to show; the table itself
// never speaks to the user. Ownership: rows are shared with the undo
// actions that restore them; the undo manager belongs to the document and
// outlives the table, whose actions are aimed at the table. Main thread.
#include <cstdint>
#include <functional>
#include <map>
#include <memory>
#include <optional>
#include <string>
#include <vector>

#include "app/Color.h"
#include "app/Font.h"
#include "foundation/UndoManager.h"
#include "foundation/Value.h"

namespace kl {

// A colour or a font held in a row.
struct ColorCell : Object {
    explicit ColorCell(Color color) : color(color) {}
    Color color;
};
struct FontCell : Object {
    explicit FontCell(Font font) : font(std::move(font)) {}
    Font font;
};

class PropertyTable {
public:
    enum class Kind { Properties, Variables, Colors, Fonts };
    using Row = std::map<std::string, Value>;
    using RowPtr = std::shared_ptr<Row>;

    // A refused edit: silent ones are simply not made.
    struct Refusal {
        std::string message;
        std::string information;
        bool silent() const { return message.empty(); }
    };

    // changed: after every change (the item is changed and the table
    // shows the rows again).
    PropertyTable(Kind kind, UndoManager& undo, std::function<void()> changed);
    ~PropertyTable();
    PropertyTable(const PropertyTable&) = delete;
    PropertyTable& operator=(const PropertyTable&) = delete;

    Kind kind() const { return kind_; }
    const std::vector<std::string>& columns() const;
    const std::vector<RowPtr>& rows() const { return records_; }
    const std::string& templateName() const { return templateName_; }
    void getTemplateInfo(std::string name, bool plugin) {
        templateName_ = std::move(name);
        isPlugin_ = plugin;
    }
    bool isPlugin() const { return isPlugin_; }

    // Loads content as rows and sorts by the default column; the
    // renumbering that may bring is not undoable.
    void installDictionary(const Value& content);
    Value makeDictionary() const;

    // The text a cell shows ("" out of range).
    std::string displayText(std::size_t row, const std::string& column) const;
    // Whether a cell is edited in place; protected variables and rows out
    // of range are not (the window beeps).
    bool canEditInPlace(std::size_t row, const std::string& column) const;
    // An edit typed into a cell: line breaks and tabs become blanks, it is
    // checked and, when accepted, made. nullopt when made.
    std::optional<Refusal> setObjectValue(std::size_t row, const std::string& column, Value value);
    std::optional<Refusal> validateChange(const RowPtr& row, const Value& value, const std::string& column) const;
    // nullopt for a good name, else why not.
    static std::optional<std::string> validateVariableName(const std::string& name);

    // ---- undoable changes
    std::size_t addProperty(const RowPtr& row);
    void deleteProperty(const RowPtr& row);
    void change(const RowPtr& row, const Value& value, const std::string& column);
    void changeOrder(const RowPtr& row, const Value& value);
    void setColor(const RowPtr& row, const Color& color, const std::string& column);
    void setFont(const RowPtr& row, const Font& font);
    void changeUnderline(const RowPtr& row, bool underline);

    // The Add (true) and Delete (false) commands; the row to select after
    // adding, nullopt otherwise.
    std::optional<std::size_t> addDeleteRow(bool add, std::optional<std::size_t> selected);
    RowPtr newProperty() const;
    std::string nextOrderNumber() const { return std::to_string(records_.size() + 1); }

    // A click on a column's title: sorts by it, or flips the order when it
    // is the sort column already. False when the column does not sort (the
    // window beeps).
    bool clickColumn(const std::string& column);
    const std::optional<std::string>& sortKey() const { return sortKey_; }
    int sortOrder() const { return sortOrder_; }
    std::optional<std::size_t> indexOf(const RowPtr& row) const;

private:
    bool precedes(const Row& a, const Row& b, const std::string& column) const;
    void sortRecord(const RowPtr& row, const std::string& column);
    void sortBy(const std::string& column);
    void renumber();
    void didChange(const std::string& actionName);

    Kind kind_;
    UndoManager& undo_;
    std::function<void()> changed_;
    std::vector<RowPtr> records_;
    std::optional<std::string> sortKey_;
    int sortOrder_ = -1;
    bool useArrays_ = false;
    std::string templateName_;
    bool isPlugin_ = false;
};

// "%@, %g pt" of a font, the same in every locale.
std::string fontDescription(const Font& font);

}  // namespace kl
