#include "index/ui/RecordsTableModel.h"

#include <QMimeData>

#include <set>

#include "document/RecordIdsDrag.h"

#include <QImage>

#include <climits>

#include "app/ui/MultimediaImages.h"
#include "document/GEDCOMModel.h"
#include "document/IndexStyle.h"
#include "document/RecordsList.h"
#include "model/GEDCOMRecord.h"
#include "model/OBJERecord.h"

namespace kl {

namespace {

Qt::Alignment alignmentOf(int32_t justify) {
    switch (justify) {
    case 1: return Qt::AlignRight | Qt::AlignVCenter;
    case 2: return Qt::AlignHCenter | Qt::AlignVCenter;
    default: return Qt::AlignLeft | Qt::AlignVCenter;
    }
}

int clampedCount(std::size_t count) { return count > INT_MAX ? INT_MAX : static_cast<int>(count); }

}  // namespace

RecordsTableModel::RecordsTableModel(QObject* parent) : QAbstractTableModel(parent) {}

RecordsTableModel::~RecordsTableModel() = default;

void RecordsTableModel::setList(std::shared_ptr<RecordsList> list, const TableSetupPlan& plan, GEDCOMModel* model) {
    beginResetModel();
    list_ = std::move(list);
    style_ = list_ ? list_->indexStyle() : nullptr;
    plan_ = plan;
    model_ = model;
    rows_ = list_ ? clampedCount(list_->count()) : 0;
    imageWidth_ = 0;
    for (const PlannedColumn& column : plan_.columns)
        if (column.imageCell) imageWidth_ = static_cast<int>(column.width);
    forgetPortraits();
    endResetModel();
}

void RecordsTableModel::reload() {
    beginResetModel();
    rows_ = list_ ? clampedCount(list_->count()) : 0;
    forgetPortraits();
    endResetModel();
}

void RecordsTableModel::forgetPortraits() { portraits_.clear(); }

void RecordsTableModel::setImageWidth(int width) {
    if (width == imageWidth_) return;
    imageWidth_ = width;
    forgetPortraits();
    const int section = sectionOfStyleColumn(plan_.portraitColumn);
    if (section >= 0 && rows_ > 0) emit dataChanged(index(0, section), index(rows_ - 1, section), {Qt::DecorationRole});
}

QVariant RecordsTableModel::portrait(const GEDCOMRecord& record, int styleColumn) const {
    if (!model_ || imageWidth_ <= 0) return {};
    // The column's expression names the multimedia record that holds the
    // picture (the record's own portrait, or a relative's).
    const std::string id = style_->dataForRecord(record, styleColumn, model_);
    if (id.empty()) return {};
    const QString key = QString::fromStdString(id);
    if (const QPixmap* known = portraits_.object(key)) return known->isNull() ? QVariant() : QVariant(*known);
    QImage image;
    if (const auto obje = std::dynamic_pointer_cast<OBJERecord>(model_->recordWithID(id))) {
        const OBJERecord::Portrait found = obje->portraitImage(nullptr);
        if (found.thumbnail || found.imagePath)
            image = MultimediaImages::readImage(found.thumbnail, found.thumbnail ? std::nullopt : found.imagePath,
                                                QSize(imageWidth_, imageWidth_));
    }
    auto* pixmap = new QPixmap;
    if (!image.isNull())
        *pixmap = QPixmap::fromImage(image.scaled(imageWidth_, imageWidth_, Qt::KeepAspectRatio, Qt::SmoothTransformation));
    portraits_.insert(key, pixmap);
    return pixmap->isNull() ? QVariant() : QVariant(*pixmap);
}

const PlannedColumn* RecordsTableModel::columnAt(int section) const {
    if (section < 0) return nullptr;
    const auto place = static_cast<std::size_t>(section);
    if (place < plan_.columns.size()) return &plan_.columns[place];
    if (place == plan_.columns.size()) return &plan_.filler;
    return nullptr;
}

int RecordsTableModel::styleColumnAt(int section) const {
    const PlannedColumn* column = columnAt(section);
    return column ? column->styleColumn() : -1;
}

int RecordsTableModel::sectionOfStyleColumn(int styleColumn) const {
    if (styleColumn < 0) return -1;
    for (std::size_t i = 0; i < plan_.columns.size(); ++i)
        if (plan_.columns[i].styleColumn() == styleColumn) return static_cast<int>(i);
    return -1;
}

int RecordsTableModel::rowCount(const QModelIndex& parent) const { return parent.isValid() ? 0 : rows_; }

int RecordsTableModel::columnCount(const QModelIndex& parent) const {
    return parent.isValid() || !list_ ? 0 : static_cast<int>(plan_.columns.size()) + 1;
}

QVariant RecordsTableModel::data(const QModelIndex& index, int role) const {
    const PlannedColumn* column = columnAt(index.column());
    if (!index.isValid() || !list_ || !style_ || !column) return {};
    if (role == Qt::TextAlignmentRole) return QVariant::fromValue(alignmentOf(column->justify));
    const bool picture = role == Qt::DecorationRole && column->imageCell;
    if (role != Qt::DisplayRole && role != Qt::ToolTipRole && !picture) return {};
    // The filler shows nothing; the portrait column draws images, not text.
    const int styleColumn = column->styleColumn();
    if (styleColumn < 0 || (column->imageCell && !picture)) return {};
    const auto& order = list_->order();
    const auto row = static_cast<std::size_t>(index.row());
    if (row >= order.size() || !order[row]) return {};
    if (picture) return portrait(*order[row], styleColumn);
    return QString::fromStdString(style_->dataForRecord(*order[row], styleColumn, model_));
}

QVariant RecordsTableModel::headerData(int section, Qt::Orientation orientation, int role) const {
    if (orientation != Qt::Horizontal) return {};
    const PlannedColumn* column = columnAt(section);
    if (!column) return {};
    if (role == Qt::DisplayRole) return QString::fromStdString(column->title);
    if (role == Qt::TextAlignmentRole) return QVariant::fromValue(alignmentOf(column->justify));
    return {};
}

Qt::ItemFlags RecordsTableModel::flags(const QModelIndex& index) const {
    // Rows open their record; nothing is edited in place. Multimedia files
    // may be dropped anywhere.
    if (!index.isValid()) return Qt::ItemIsDropEnabled;
    return Qt::ItemIsEnabled | Qt::ItemIsSelectable | Qt::ItemIsDragEnabled | Qt::ItemIsDropEnabled;
}

QStringList RecordsTableModel::mimeTypes() const {
    return {kRecordIdsMimeType, "text/uri-list", "text/x-moz-url", "image/png", "image/jpeg"};
}

bool RecordsTableModel::canDropMimeData(const QMimeData* data, Qt::DropAction, int, int, const QModelIndex&) const {
    return dropHandler_ && data && dropHandler_(data, false);
}

bool RecordsTableModel::dropMimeData(const QMimeData* data, Qt::DropAction action, int row, int column,
                                     const QModelIndex& parent) {
    return canDropMimeData(data, action, row, column, parent) && dropHandler_(data, true);
}

QMimeData* RecordsTableModel::mimeData(const QModelIndexList& indexes) const {
    if (!list_) return nullptr;
    std::set<int> rows;
    for (const QModelIndex& index : indexes)
        if (index.isValid() && static_cast<std::size_t>(index.row()) < list_->count()) rows.insert(index.row());
    RecordIdsDrag drag{documentKey_, {}};
    for (int row : rows) drag.ids.push_back(list_->order()[static_cast<std::size_t>(row)]->grecordID());
    auto* data = new QMimeData;
    data->setData(kRecordIdsMimeType, QByteArray::fromStdString(encodeRecordIdsDrag(drag)));
    const std::string source = std::to_string(list_->listType()) + "\n" + documentKeyFor(list_.get());
    data->setData(kSourceListMimeType, QByteArray::fromStdString(source));
    return data;
}

}  // namespace kl
