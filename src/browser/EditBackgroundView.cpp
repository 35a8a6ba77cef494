#include "browser/EditBackgroundView.h"

#include <algorithm>
#include <cmath>

#include "cells/GroupBox.h"
#include "cells/StructuresLink.h"
#include "model/GroupedRecord.h"
#include "foundation/NotificationCenter.h"

namespace kl {

EditBackgroundView::~EditBackgroundView() {
    for (const auto& cell : cells_) cell->setPane(nullptr);
}

void EditBackgroundView::addCustomCell(const std::shared_ptr<CustomCell>& cell) {
    if (!cell) return;
    cells_.push_back(cell);
    cell->setPane(this);
    if (host_ && cell->hasView()) host_->addCellView(*cell, groupBox_);
}

void EditBackgroundView::addSplitCell(const std::shared_ptr<CustomCell>& cell) {
    if (!cell) return;
    cells_.push_back(cell);
    cell->setPane(this);
}

void EditBackgroundView::removeCustomCell(const CustomCell* cell) {
    auto it = std::find_if(cells_.begin(), cells_.end(), [&](const auto& c) { return c.get() == cell; });
    if (it == cells_.end()) return;
    (*it)->setPane(nullptr);
    cells_.erase(it);
}

void EditBackgroundView::removeCustomCells(bool notify) {
    if (notify) NotificationCenter::defaultCenter().post(BrowserWindowWillReload, window_);
    groupBox_ = nullptr;
    while (!cells_.empty()) {
        cells_.back()->setPane(nullptr);
        cells_.back()->stopObserving();
        cells_.pop_back();
    }
    if (host_) host_->removeAllCellViews();
}

void EditBackgroundView::setRestricted(bool locked) {
    for (const auto& cell : cells_) cell->setLocked(locked);
}

// The content of a group box lies inside its margins and title.
double EditBackgroundView::groupLeftEdge() const {
    if (!groupBox_) return 0;
    auto* box = dynamic_cast<const GroupBox*>(groupBox_);
    return groupBox_->viewFrame().x + (box ? box->contentLeft() : 0);
}

double EditBackgroundView::groupTopEdge() const {
    if (!groupBox_) return 0;
    auto* box = dynamic_cast<const GroupBox*>(groupBox_);
    return groupBox_->viewFrame().y + (box ? box->contentTop() : 0);
}

void EditBackgroundView::setBackgroundColor(std::optional<Color> color) {
    backgroundColor_ = color;
    if (host_) host_->setBackgroundColor(backgroundColor_);
}

std::vector<CustomCell*> EditBackgroundView::respondingCells() const {
    std::vector<CustomCell*> responding;
    for (const auto& cell : cells_)
        if (cell->respondingCell()) responding.push_back(cell.get());
    return responding;
}

CustomCell* EditBackgroundView::setEditTabKeyLoop() const {
    auto responding = respondingCells();
    return responding.empty() ? nullptr : responding.front();
}

CustomCell* EditBackgroundView::cellForStructure(const GEDCOMObject* structure) const {
    if (!structure) return nullptr;
    for (const auto& cell : cells_)
        if (cell->structure().get() == structure) return cell.get();
    return nullptr;
}

CustomCell* EditBackgroundView::cellForStructure(const GEDCOMObject* structure, std::size_t index) const {
    auto responding = respondingCells();
    if (responding.empty()) return nullptr;
    if (structure)
        for (CustomCell* cell : responding)
            if (cell->structure().get() == structure) return cell;
    return index < responding.size() ? responding[index] : responding.front();
}

CustomCell* EditBackgroundView::respondingCellForStructure(const GEDCOMObject* structure) const {
    auto shown = std::find_if(cells_.begin(), cells_.end(),
                              [&](const auto& c) { return structure && c->structure().get() == structure; });
    if (shown == cells_.end()) return nullptr;
    CustomCell* first = shown->get();
    if (first->respondingCell()) return first;
    for (auto it = shown + 1; it != cells_.end(); ++it) {
        CustomCell* cell = it->get();
        if (!cell->editTag().empty() && cell->editLevel() <= first->editLevel()) break;
        if (cell->respondingCell()) return cell;
    }
    return first;
}

std::size_t EditBackgroundView::indexOfRespondingCell(const CustomCell* cell) const {
    auto responding = respondingCells();
    auto it = std::find(responding.begin(), responding.end(), cell);
    return it == responding.end() ? 0 : std::size_t(it - responding.begin());
}

std::vector<CustomCell*> EditBackgroundView::dataCellsToCell(const CustomCell* cell) const {
    std::vector<CustomCell*> data;
    for (const auto& c : cells_) {
        if (c.get() == cell) break;
        if (c->holdsDataCell()) data.push_back(c.get());
    }
    return data;
}

std::vector<CustomCell*> EditBackgroundView::dataCellsToGroupWith(const GEDCOMRecord* group) const {
    // A child pane asks its parent's pane, where the group's link stands.
    if (!parentPane_) return {};
    // Without the link (the parent is being rebuilt) the whole pane is the
    // best guess; with it, the search must not run into structures laid out
    // after the group.
    return parentPane_->dataCellsToCell(parentPane_->linkOfGroup(group));
}

StructuresLink* EditBackgroundView::cellWithTagLocation(const std::string& location) const {
    for (const auto& c : cells_)
        if (auto* link = dynamic_cast<StructuresLink*>(c.get()); link && link->tagLocation() == location) return link;
    return nullptr;
}

StructuresLink* EditBackgroundView::linkOfGroup(const GEDCOMRecord* group) const {
    if (!group) return nullptr;
    for (const auto& c : cells_)
        if (auto* link = dynamic_cast<StructuresLink*>(c.get()); link && link->groupRecord().get() == group)
            return link;
    return nullptr;
}

void EditBackgroundView::retileCells(CustomCell& cell, double change) {
    if (std::fabs(change) < 1) return;
    const double limit = cell.adjustSizeOnRetile(change);
    for (const auto& c : cells_)
        if (c.get() != &cell) c->retileShift(change, limit);
    height_ += change;
    if (host_) host_->heightChanged(height_);
}

}  // namespace kl
