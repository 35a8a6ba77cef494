#pragma once
// RecordsTableModel: the records table of the index window over the shown
// record list, in the columns of a table plan. Cells are computed when the
// view asks for them (a screenful at a time), so a list of a hundred
// thousand records costs nothing until its rows are seen. The model holds
// the list it was last reset with; rows the list lost since then answer
// nothing until the next reset. The portrait column's cells are the
// pictures of the records' portraits (a multimedia record's thumbnail, else
// its image file) fitted to the column, kept until the next reload.
//
// Ownership: shares the shown list and its style; the model is borrowed.
// Thread: main thread.
#include <QAbstractTableModel>
#include <QCache>
#include <QPixmap>
#include <QString>

#include <functional>
#include <memory>
#include <string>

#include "index/TableSetupPlan.h"

namespace kl {

class GEDCOMModel;
class GEDCOMRecord;
class IndexStyle;
class RecordsList;

class RecordsTableModel : public QAbstractTableModel {
    Q_OBJECT
public:
    explicit RecordsTableModel(QObject* parent = nullptr);
    ~RecordsTableModel() override;

    // A new list or plan: the columns and the rows start again.
    void setList(std::shared_ptr<RecordsList> list, const TableSetupPlan& plan, GEDCOMModel* model);
    // The same list and columns, its rows re-read (a sort, new records).
    void reload();

    const std::shared_ptr<RecordsList>& list() const { return list_; }
    const TableSetupPlan& plan() const { return plan_; }
    // The portrait column was resized: its pictures are fitted again.
    void setImageWidth(int width);
    // The style column of a table place; -1 for the filler.
    int styleColumnAt(int section) const;
    // The table place of a style column; -1 when it is not shown.
    int sectionOfStyleColumn(int styleColumn) const;

    int rowCount(const QModelIndex& parent = QModelIndex()) const override;
    int columnCount(const QModelIndex& parent = QModelIndex()) const override;
    QVariant data(const QModelIndex& index, int role = Qt::DisplayRole) const override;
    QVariant headerData(int section, Qt::Orientation orientation, int role = Qt::DisplayRole) const override;
    Qt::ItemFlags flags(const QModelIndex& index) const override;

    // Rows drag as record IDs of the document of this key, with the list
    // they come from (kSourceListMimeType: its type and key).
    static constexpr const char* kSourceListMimeType = "application/x-kinlore-source-list";
    void setDocumentKey(std::string key) { documentKey_ = std::move(key); }
    QStringList mimeTypes() const override;
    QMimeData* mimeData(const QModelIndexList& indexes) const override;
    // What is dragged over (perform false) or dropped anywhere on the
    // table; without a handler nothing drops.
    using DropHandler = std::function<bool(const QMimeData* data, bool perform)>;
    void setDropHandler(DropHandler handler) { dropHandler_ = std::move(handler); }
    Qt::DropActions supportedDropActions() const override { return Qt::CopyAction | Qt::LinkAction; }
    bool canDropMimeData(const QMimeData* data, Qt::DropAction action, int row, int column,
                         const QModelIndex& parent) const override;
    bool dropMimeData(const QMimeData* data, Qt::DropAction action, int row, int column,
                      const QModelIndex& parent) override;

private:
    const PlannedColumn* columnAt(int section) const;
    QVariant portrait(const GEDCOMRecord& record, int styleColumn) const;
    void forgetPortraits();

    std::shared_ptr<RecordsList> list_;
    std::shared_ptr<IndexStyle> style_;
    TableSetupPlan plan_;
    GEDCOMModel* model_ = nullptr;
    int rows_ = 0;
    int imageWidth_ = 0;
    std::string documentKey_;
    DropHandler dropHandler_;
    // By multimedia record ID; a portrait that has no picture is kept as a
    // null pixmap so it is not looked for again on every paint.
    mutable QCache<QString, QPixmap> portraits_{400};
};

}  // namespace kl
