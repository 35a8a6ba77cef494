#pragma once
// ListsTableModel: the lists table of the index window, one row per record
// list of the document's store (record types, reports, corrupted records
// and user albums). A user album's name is edited in place; the rename goes
// through the list, which registers its undo and announces it.
//
// Ownership: borrows the store's RecordsIndices, which outlives it.
// Thread: main thread.
#include <QAbstractTableModel>

#include <functional>
#include <optional>
#include <string>

namespace kl {

class RecordsIndices;

class ListsTableModel : public QAbstractTableModel {
    Q_OBJECT
public:
    explicit ListsTableModel(RecordsIndices& index, QObject* parent = nullptr);

    void reload();

    int rowCount(const QModelIndex& parent = QModelIndex()) const override;
    int columnCount(const QModelIndex& parent = QModelIndex()) const override;
    QVariant data(const QModelIndex& index, int role = Qt::DisplayRole) const override;
    QVariant headerData(int section, Qt::Orientation orientation, int role = Qt::DisplayRole) const override;
    Qt::ItemFlags flags(const QModelIndex& index) const override;
    bool setData(const QModelIndex& index, const QVariant& value, int role = Qt::EditRole) override;

    // What is dragged over (perform false) or dropped at a row: on a row,
    // or just above it between rows; the row count past the last row. The
    // handler decides; without one nothing drops.
    using DropHandler = std::function<bool(const QMimeData* data, int row, bool perform)>;
    void setDropHandler(DropHandler handler) { dropHandler_ = std::move(handler); }
    // A dragged list carries its row (a 32-bit integer in the machine's
    // byte order) and the document it belongs to.
    static constexpr const char* kRecordListMimeType = "application/x-kinlore-record-list";
    static constexpr const char* kRecordListDocumentMimeType = "application/x-kinlore-record-list-document";
    void setDocumentKey(const std::string& key) { documentKey_ = key; }
    // The dragged list's row when the drag is a list of this document.
    std::optional<int> draggedListRow(const QMimeData* data) const;
    QStringList mimeTypes() const override;
    QMimeData* mimeData(const QModelIndexList& indexes) const override;
    Qt::DropActions supportedDropActions() const override { return Qt::CopyAction | Qt::MoveAction | Qt::LinkAction; }
    Qt::DropActions supportedDragActions() const override { return Qt::MoveAction; }
    bool canDropMimeData(const QMimeData* data, Qt::DropAction action, int row, int column,
                         const QModelIndex& parent) const override;
    bool dropMimeData(const QMimeData* data, Qt::DropAction action, int row, int column,
                      const QModelIndex& parent) override;

private:
    RecordsIndices& index_;
    int rows_ = 0;
    DropHandler dropHandler_;
    std::string documentKey_;
};

}  // namespace kl
