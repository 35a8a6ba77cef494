#pragma once
// ColorButtonCell: draws the colour column of the preferences window's font
// and colour tables. A row's value (Qt::UserRole) is a list of one colour,
// which fills the cell, or two, light on the left half and dark on the
// right. A press on the cell tells which half it fell in before the table
// acts on the click, so that the colour panel then edits that variant.
//
// Ownership: owned by its table. Thread: main thread.
#include <QStyledItemDelegate>

#include <functional>

namespace kl {

class ColorButtonCell : public QStyledItemDelegate {
    Q_OBJECT
public:
    using SideHandler = std::function<void(bool lightSide)>;
    static constexpr int colorsRole = Qt::UserRole;

    ColorButtonCell(SideHandler setLightSide, QObject* parent);

    // Whether a point of the cell lies in its left (light) half.
    static bool isLightSide(const QRect& cell, const QPoint& point) { return point.x() < cell.center().x(); }

    void paint(QPainter* painter, const QStyleOptionViewItem& option, const QModelIndex& index) const override;

protected:
    bool editorEvent(QEvent* event, QAbstractItemModel* model, const QStyleOptionViewItem& option,
                     const QModelIndex& index) override;

private:
    SideHandler setLightSide_;
};

}  // namespace kl
