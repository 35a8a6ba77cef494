#include "index/ui/ListsTableModel.h"

#include <QMimeData>

#include <cstdint>
#include <cstring>

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
    // Past the last row takes drops too (multimedia files, lists moved to
    // the end); the handler says which.
    if (!index.isValid()) return Qt::ItemIsDropEnabled;
    Qt::ItemFlags flags = Qt::ItemIsEnabled | Qt::ItemIsSelectable | Qt::ItemIsDragEnabled | Qt::ItemIsDropEnabled;
    const auto& lists = index_.lists();
    const auto row = static_cast<std::size_t>(index.row());
    if (row < lists.size() && lists[row] && lists[row]->listType() == ListUserAlbum) flags |= Qt::ItemIsEditable;
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

QStringList ListsTableModel::mimeTypes() const {
    return {kRecordIdsMimeType, kRecordListMimeType, "text/uri-list", "text/x-moz-url", "image/png", "image/jpeg"};
}

QMimeData* ListsTableModel::mimeData(const QModelIndexList& indexes) const {
    if (indexes.isEmpty() || !indexes.front().isValid()) return nullptr;
    const std::int32_t row = indexes.front().row();
    auto* data = new QMimeData;
    data->setData(kRecordListMimeType, QByteArray(reinterpret_cast<const char*>(&row), sizeof row));
    data->setData(kRecordListDocumentMimeType, QByteArray::fromStdString(documentKey_));
    return data;
}

std::optional<int> ListsTableModel::draggedListRow(const QMimeData* data) const {
    if (!data || !data->hasFormat(kRecordListMimeType)) return std::nullopt;
    if (data->data(kRecordListDocumentMimeType).toStdString() != documentKey_) return std::nullopt;
    const QByteArray bytes = data->data(kRecordListMimeType);
    if (bytes.size() != sizeof(std::int32_t)) return std::nullopt;
    std::int32_t row = 0;
    std::memcpy(&row, bytes.constData(), sizeof row);
    return row;
}

namespace {

// On a row is that row; between rows, the row below; elsewhere past the
// last row.
int dropRow(int row, const QModelIndex& parent, int rows) {
    if (parent.isValid()) return parent.row();
    return row >= 0 ? row : rows;
}

}  // namespace

bool ListsTableModel::canDropMimeData(const QMimeData* data, Qt::DropAction, int row, int,
                                      const QModelIndex& parent) const {
    return dropHandler_ && data && dropHandler_(data, dropRow(row, parent, rows_), false);
}

bool ListsTableModel::dropMimeData(const QMimeData* data, Qt::DropAction action, int row, int column,
                                   const QModelIndex& parent) {
    if (!canDropMimeData(data, action, row, column, parent)) return false;
    return dropHandler_(data, dropRow(row, parent, rows_), true);
}

}  // namespace kl
