#pragma once
// ListsTableModel: the lists table of the index window, one row per record
// list of the document's store (record types, reports, corrupted records
// and user albums). A user album's name is edited in place; the rename goes
// through the list, which registers its undo and announces it.
//
// Ownership: borrows the store's RecordsIndices, which outlives it.
// Thread: main thread.
#include <QAbstractTableModel>

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

private:
    RecordsIndices& index_;
    int rows_ = 0;
};

}  // namespace kl
