#pragma once
// EditBackgroundWidget: the widget a record pane is drawn on. It hosts the
// views of the pane's cells at the places the pane builder gave them (a
// cell in a group box inside the box's frame), fills itself with the
// pane's background colour, and lets the user drag the window's record away
// by the background: the drag carries the record's ID and its document's
// key, for the program's own windows only.
//
// Ownership: a child of the browser's scroll area; the cell widgets are its
// children (or its group boxes'). Thread: main thread.
#include <QPoint>
#include <QWidget>

#include <functional>
#include <memory>

#include "browser/EditBackgroundView.h"

class QMimeData;

namespace kl {

class EditBackgroundWidget : public QWidget, public EditBackgroundView::Host {
    Q_OBJECT
public:
    explicit EditBackgroundWidget(QWidget* parent = nullptr);

    // What a drag of the background carries; nullptr when there is no record.
    void setDragData(std::function<QMimeData*()> dragData) { dragData_ = std::move(dragData); }
    QMimeData* makeDragData() const { return dragData_ ? dragData_() : nullptr; }

    // ---- EditBackgroundView::Host
    void addCellView(CustomCell& cell, CustomCell* groupBox) override;
    void removeAllCellViews() override;
    void setBackgroundColor(const std::optional<Color>& color) override;
    void heightChanged(double height) override;

protected:
    void mousePressEvent(QMouseEvent* event) override;
    void mouseMoveEvent(QMouseEvent* event) override;

private:
    std::function<QMimeData*()> dragData_;
    QPoint pressedAt_;
    bool pressed_ = false;
};

}  // namespace kl
