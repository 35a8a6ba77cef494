#include "index/ui/ListsTableModel.h"

#include <QMimeData>

#include "document/RecordIdsDrag.h"

#include "document/RecordsIndices.h"
#include "document/RecordsList.h"

namespace kl {

ListsTableModel::ListsTableModel(RecordsIndices& index, QObject* parent)
    : QAbstractTableModel(parent), index_(index), rows_(static_cast<int>(index.count())) {}

void ListsTableModel::reload() {
    beginResetModel();
    rows_ = static_cast<int>(index_.count());
    endResetModel();
}

int ListsTableModel::rowCount(const QModelIndex& parent) const { return parent.isValid() ? 0 : rows_; }

int ListsTableModel::columnCount(const QModelIndex& parent) const { return parent.isValid() ? 0 : 1; }

QVariant ListsTableModel::data(const QModelIndex& index, int role) const {
    if (!index.isValid() || (role != Qt::DisplayRole && role != Qt::EditRole && role != Qt::ToolTipRole)) return {};
    const auto& lists = index_.lists();
    const auto row = static_cast<std::size_t>(index.row());
    if (row >= lists.size() || !lists[row]) return {};
    return QString::fromStdString(lists[row]->name());
}

QVariant ListsTableModel::headerData(int section, Qt::Orientation orientation, int role) const {
    if (orientation == Qt::Horizontal && section == 0 && role == Qt::DisplayRole) return tr("Records");
    return {};
}

Qt::ItemFlags ListsTableModel::flags(const QModelIndex& index) const {
    if (!index.isValid()) return Qt::NoItemFlags;
    Qt::ItemFlags flags = Qt::ItemIsEnabled | Qt::ItemIsSelectable;
    const auto& lists = index_.lists();
    const auto row = static_cast<std::size_t>(index.row());
    if (row < lists.size() && lists[row] && lists[row]->listType() == ListUserAlbum)
        flags |= Qt::ItemIsEditable | Qt::ItemIsDropEnabled;
    return flags;
}

bool ListsTableModel::setData(const QModelIndex& index, const QVariant& value, int role) {
    if (role != Qt::EditRole || !(flags(index) & Qt::ItemIsEditable)) return false;
    const auto list = index_.lists()[static_cast<std::size_t>(index.row())];
    const std::string name = value.toString().trimmed().toStdString();
    if (name.empty() || name == list->name()) return false;
    index_.setEditRowIndex(index.row());
    list->setName(name);
    index_.setEditRowIndex(-1);
    emit dataChanged(index, index);
    return true;
}

QStringList ListsTableModel::mimeTypes() const { return {kRecordIdsMimeType}; }

bool ListsTableModel::canDropMimeData(const QMimeData* data, Qt::DropAction, int row, int,
                                      const QModelIndex& parent) const {
    // Onto a row, not between rows.
    const int target = parent.isValid() ? parent.row() : row;
    return dropHandler_ && data && target >= 0 && dropHandler_(data, target, false);
}

bool ListsTableModel::dropMimeData(const QMimeData* data, Qt::DropAction action, int row, int column,
                                   const QModelIndex& parent) {
    if (!canDropMimeData(data, action, row, column, parent)) return false;
    return dropHandler_(data, parent.isValid() ? parent.row() : row, true);
}

}  // namespace kl
