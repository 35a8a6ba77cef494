#pragma once
// KLComboBox: the editable combo box of a place field. It commits through
// its cell as the line edit of a value field does: typing marks the cell
// changed, leaving it commits, and picking an item commits on the next turn.
// It takes a drop of exactly one place record of its own document: the
// field's structure gets the place's name (or, without a structure, the
// name is committed as typed text); any other record drop is refused.
//
// The cell is not owned: its view clears the pointer when the cell goes.
// Thread: main thread.
#include <QComboBox>

#include <functional>
#include <memory>
#include <string>

class QMimeData;

namespace kl {

class EditValueCell;
class GEDCOMRecord;

class KLComboBox : public QComboBox {
    Q_OBJECT
public:
    // The record a drop names, when it is of this field's document.
    using RecordLookup =
        std::function<std::shared_ptr<GEDCOMRecord>(const std::string& documentKey, const std::string& id)>;

    explicit KLComboBox(EditValueCell* cell, QWidget* parent = nullptr);
    EditValueCell* parentCell() const { return cell_; }
    void setParentCell(EditValueCell* cell) { cell_ = cell; }
    void setRecordLookup(RecordLookup lookup) { lookup_ = std::move(lookup); }
    // The place record a drag carries, or nullptr when the drop is refused.
    std::shared_ptr<GEDCOMRecord> droppedPlace(const QMimeData* data) const;

protected:
    void paintEvent(QPaintEvent* event) override;
    void focusOutEvent(QFocusEvent* event) override;
    void dragEnterEvent(QDragEnterEvent* event) override;
    void dragMoveEvent(QDragMoveEvent* event) override;
    void dropEvent(QDropEvent* event) override;

private:
    void commitIfChanged();
    EditValueCell* cell_;
    RecordLookup lookup_;
};

}  // namespace kl
