#pragma once
// ColumnSheet: the sheet that creates or edits one column of a record
// table's style (index mode) or of a relatives outline's style (tree mode,
// with its chart-label option). It shows what ColumnEditing decides and
// hands the fields back to it; OK writes the column into the style and
// announces the change so every window showing the style rebuilds.
//
// ColumnCommands: the other column commands that need a window, the
// confirmations before a column is deleted and before the default columns
// come back.
//
// Ownership: a window keeps one sheet, made on first use as its child, and
// shows it again for every column. Thread: main thread.
#include <functional>
#include <memory>
#include <optional>
#include <string>

#include "app/ui/KLSheet.h"
#include "index/ColumnEditing.h"

class QComboBox;
class QLabel;
class QLineEdit;
class QPushButton;

namespace kl {

class IndexController;

class ColumnSheet : public KLSheet {
    Q_OBJECT
public:
    static constexpr const char* kHelpAnchor = "Editing/columns";
    static constexpr const char* kHelpPrefix = "index_";

    explicit ColumnSheet(QWidget* parent = nullptr);

    // Opens the sheet on the window (application-modal without one): the
    // edit tag edits the highlighted column, any other tag makes a new one.
    // False, and nothing shown, when there is no column to edit.
    bool startSheet(int tag, std::shared_ptr<IndexStyle> style, int highlightedColumn, int32_t tableType,
                    const Dictionary* definedColumns, QWidget* window);
    // The index window's records table: its shown style, highlighted column
    // and predefined columns.
    bool startSheet(int tag, const IndexController& controller, QWidget* window);
    // Runs after OK has written the column, with the index announced (-1
    // for a new column).
    void setColumnWritten(std::function<void(int column)> written) { written_ = std::move(written); }

    const std::optional<ColumnEditing>& editing() const { return editing_; }
    // What the controls hold now.
    ColumnSheetFields fields() const;

    QLabel* sheetTitle() const { return sheetTitle_; }
    QLineEdit* columnName() const { return columnName_; }
    QLineEdit* columnExpression() const { return columnExpression_; }
    QLineEdit* columnAltExpression() const { return columnAltExpression_; }
    QLineEdit* columnWidth() const { return columnWidth_; }
    QComboBox* columnJustification() const { return columnJustification_; }
    QComboBox* samplesMenu() const { return samplesMenu_; }
    QComboBox* chartLabelOptions() const { return chartLabelOptions_; }
    QPushButton* okButton() const { return okButton_; }
    QPushButton* cancelButton() const { return cancelButton_; }

public slots:
    // OK: refused with an alert for a portrait expression, the sheet then
    // staying open.
    void okClick() override;
    // A sample chosen; the Alt key stands for the Option key.
    void selectSampleExpression(int item);
    void selectSampleExpression(int item, bool optionHeld);
    // Typing an expression selects its sample again.
    void controlTextDidChange();

private:
    void awakeFromNib();
    void showFields(const ColumnSheetFields& fields);
    void columnEditingDidEnd(int code);

    std::optional<ColumnEditing> editing_;
    std::function<void(int)> written_;
    QLabel* sheetTitle_ = nullptr;
    QLineEdit* columnName_ = nullptr;
    QLabel* columnExpressionTitle_ = nullptr;
    QLineEdit* columnExpression_ = nullptr;
    QLabel* columnAltExpressionTitle_ = nullptr;
    QLineEdit* columnAltExpression_ = nullptr;
    QLineEdit* columnWidth_ = nullptr;
    QComboBox* columnJustification_ = nullptr;
    QComboBox* samplesMenu_ = nullptr;
    QLabel* chartLabelTitle_ = nullptr;
    QComboBox* chartLabelOptions_ = nullptr;
    QPushButton* okButton_ = nullptr;
    QPushButton* cancelButton_ = nullptr;
};

class ColumnCommands {
public:
    // Asks "Are you sure you want to delete the '<title>' column?"; `onOK`
    // runs only when the user answers OK.
    static void confirmDeleteColumn(QWidget* window, const std::string& columnTitle, std::function<void()> onOK);
    // deleteIndexColumn of the controller's shown style after confirmation.
    static void deleteIndexColumn(QWidget* window, IndexController& controller, int styleColumn);
    static void confirmRevertToDefaultColumns(QWidget* window, std::function<void()> onOK);
    // After confirmation, the shown type's default columns from the
    // bundled "Index" list.
    static void revertToDefaultColumns(QWidget* window, IndexController& controller);
};

}  // namespace kl
