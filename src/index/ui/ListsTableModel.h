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

    // Dragged records onto a list row: asked first (perform false), then
    // to drop. Without a handler nothing drops.
    using DropHandler = std::function<bool(const QMimeData* data, int row, bool perform)>;
    void setDropHandler(DropHandler handler) { dropHandler_ = std::move(handler); }
    QStringList mimeTypes() const override;
    Qt::DropActions supportedDropActions() const override { return Qt::CopyAction | Qt::MoveAction; }
    bool canDropMimeData(const QMimeData* data, Qt::DropAction action, int row, int column,
                         const QModelIndex& parent) const override;
    bool dropMimeData(const QMimeData* data, Qt::DropAction action, int row, int column,
                      const QModelIndex& parent) override;

private:
    RecordsIndices& index_;
    int rows_ = 0;
    DropHandler dropHandler_;
};

}  // namespace kl
