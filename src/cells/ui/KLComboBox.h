#pragma once
// KLComboBox: the editable combo box of a place field. Its line edit is a
// KLTextField, so it commits through its cell as a value field does: typing
// marks the cell changed, leaving it commits, and picking an item commits on
// the next turn. Its list is the document's place names in their sorted
// order, read from the place index when the list opens or the field takes
// the focus; typing completes a name case-sensitively, in place.
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
#include <vector>

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

    // The names offered, in order; nullptr when there are none now.
    using Names = std::function<const std::vector<std::string>*()>;

    explicit KLComboBox(EditValueCell* cell, QWidget* parent = nullptr);
    EditValueCell* parentCell() const { return cell_; }
    // Also the line edit's.
    void setParentCell(EditValueCell* cell);
    void setRecordLookup(RecordLookup lookup) { lookup_ = std::move(lookup); }
    void setNames(Names names);
    // Reads the names again (the first time, builds the list and its
    // completion).
    void reloadNames();
    void showPopup() override;
    // The place record a drag carries, or nullptr when the drop is refused.
    std::shared_ptr<GEDCOMRecord> droppedPlace(const QMimeData* data) const;

protected:
    void paintEvent(QPaintEvent* event) override;
    void focusInEvent(QFocusEvent* event) override;
    void focusOutEvent(QFocusEvent* event) override;
    // Record drags over the line edit are the box's.
    bool eventFilter(QObject* watched, QEvent* event) override;
    void dragEnterEvent(QDragEnterEvent* event) override;
    void dragMoveEvent(QDragMoveEvent* event) override;
    void dropEvent(QDropEvent* event) override;

private:
    void commitIfChanged();
    EditValueCell* cell_;
    RecordLookup lookup_;
    class NamesModel;
    Names namesSource_;
    NamesModel* names_ = nullptr;
};

}  // namespace kl
