#include "charts/ui/RelativesOutlineModel.h"

#include <QMimeData>

#include "document/IndexStyle.h"
#include "document/RecordIdsDrag.h"
#include "model/GEDCOMRecord.h"

namespace kl {

RelativesOutlineModel::RelativesOutlineModel(RelativesTree& tree, const void* document, QObject* parent)
    : QAbstractItemModel(parent), tree_(tree), document_(document), male_(Qt::darkBlue), female_(Qt::darkRed) {}

void RelativesOutlineModel::setTextColors(QColor male, QColor female) {
    male_ = male;
    female_ = female;
}

void RelativesOutlineModel::reset() {
    beginResetModel();
    endResetModel();
}

// A descendants tree shows the root and its families side by side at the
// top; everything else sits under its parent node.
int RelativesOutlineModel::rowOf(TreeItem* item) const {
    TreeItem* parent = item->parentCell();
    if (!parent) return 0;
    const int at = parent->indexOfChild(item);
    return tree_.kind() == RelativesTree::Kind::Descendants && !parent->parentCell() ? at + 1 : at;
}

QModelIndex RelativesOutlineModel::indexOf(TreeItem* item, int column) const {
    return item ? createIndex(rowOf(item), column, item) : QModelIndex();
}

QModelIndex RelativesOutlineModel::index(int row, int column, const QModelIndex& parent) const {
    if (row < 0 || column < 0 || column >= columnCount()) return {};
    TreeItem* item = tree_.child(row, parent.isValid() ? itemOf(parent) : nullptr);
    return item ? createIndex(row, column, item) : QModelIndex();
}

QModelIndex RelativesOutlineModel::parent(const QModelIndex& index) const {
    if (!index.isValid()) return {};
    TreeItem* parent = itemOf(index)->parentCell();
    if (!parent) return {};
    if (tree_.kind() == RelativesTree::Kind::Descendants && !parent->parentCell()) return {};
    return createIndex(rowOf(parent), 0, parent);
}

int RelativesOutlineModel::rowCount(const QModelIndex& parent) const {
    if (parent.column() > 0) return 0;
    TreeItem* item = parent.isValid() ? itemOf(parent) : nullptr;
    return tree_.isItemExpandable(item) ? tree_.numberOfChildrenOfItem(item) : 0;
}

bool RelativesOutlineModel::hasChildren(const QModelIndex& parent) const { return rowCount(parent) > 0; }

int RelativesOutlineModel::columnCount(const QModelIndex&) const {
    const auto& style = tree_.indexStyle();
    return style ? std::max(1, static_cast<int>(style->numberOfColumns())) : 1;
}

QVariant RelativesOutlineModel::data(const QModelIndex& index, int role) const {
    if (!index.isValid()) return {};
    TreeItem& item = *itemOf(index);
    switch (role) {
    case Qt::DisplayRole: {
        const auto text = tree_.stringForItem(item, index.column());
        return text ? QVariant(QString::fromStdString(*text)) : QVariant();
    }
    case Qt::ForegroundRole: return item.individualSex() == u'M' ? male_ : female_;
    case Qt::FontRole: return font_;
    default: return {};
    }
}

QVariant RelativesOutlineModel::headerData(int section, Qt::Orientation orientation, int role) const {
    if (orientation != Qt::Horizontal || role != Qt::DisplayRole || !tree_.indexStyle()) return {};
    const auto labels = tree_.indexStyle()->label();
    return section >= 0 && static_cast<std::size_t>(section) < labels.size()
               ? QVariant(QString::fromStdString(labels[static_cast<std::size_t>(section)]))
               : QVariant();
}

Qt::ItemFlags RelativesOutlineModel::flags(const QModelIndex& index) const {
    if (!index.isValid()) return Qt::NoItemFlags;
    return Qt::ItemIsSelectable | Qt::ItemIsEnabled | Qt::ItemIsDragEnabled;
}

QStringList RelativesOutlineModel::mimeTypes() const { return {kRecordIdsMimeType}; }

QMimeData* RelativesOutlineModel::mimeData(const QModelIndexList& indexes) const {
    if (indexes.isEmpty()) return nullptr;
    TreeItem* item = itemOf(indexes.front());
    auto person = item ? item->individual() : nullptr;
    // A family without its other spouse shows no individual to drag.
    if (!person || (item->spouseRecord() && person == item->itemRecord())) return nullptr;
    auto* data = new QMimeData;
    data->setData(kRecordIdsMimeType,
                  QByteArray::fromStdString(encodeRecordIdsDrag({documentKeyFor(document_), {person->grecordID()}})));
    return data;
}

}  // namespace kl
