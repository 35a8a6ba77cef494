#pragma once
// RelativesOutlineModel: the outline of a relatives window as a Qt item
// model over its RelativesTree. A row's internal pointer is its node; a
// node's children are built when the view first asks for them. Row texts
// come from the tree; text colour by the node's sex, font as given.
//
// Ownership: borrows the tree, which outlives it. Thread: main thread.
#include <QAbstractItemModel>
#include <QColor>
#include <QFont>

#include "charts/RelativesTree.h"

namespace kl {

class RelativesOutlineModel : public QAbstractItemModel {
    Q_OBJECT
public:
    RelativesOutlineModel(RelativesTree& tree, const void* document, QObject* parent = nullptr);

    static TreeItem* itemOf(const QModelIndex& index) { return static_cast<TreeItem*>(index.internalPointer()); }
    QModelIndex indexOf(TreeItem* item, int column = 0) const;
    void setTextColors(QColor male, QColor female);
    void setTreeFont(const QFont& font) { font_ = font; }
    // The tree changed under the model (a new root or new columns).
    void reset();

    QModelIndex index(int row, int column, const QModelIndex& parent = {}) const override;
    QModelIndex parent(const QModelIndex& index) const override;
    int rowCount(const QModelIndex& parent = {}) const override;
    int columnCount(const QModelIndex& parent = {}) const override;
    bool hasChildren(const QModelIndex& parent = {}) const override;
    QVariant data(const QModelIndex& index, int role) const override;
    QVariant headerData(int section, Qt::Orientation orientation, int role) const override;
    Qt::ItemFlags flags(const QModelIndex& index) const override;
    QStringList mimeTypes() const override;
    // The first node's individual; a node without one refuses the drag.
    QMimeData* mimeData(const QModelIndexList& indexes) const override;

private:
    int rowOf(TreeItem* item) const;

    RelativesTree& tree_;
    const void* document_;
    QColor male_, female_;
    QFont font_;
};

}  // namespace kl
