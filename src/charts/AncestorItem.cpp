#include "charts/AncestorItem.h"

#include "charts/RelativesTree.h"
#include "model/INDIRecord.h"

namespace kl {

AncestorItem::AncestorItem(std::shared_ptr<INDIRecord> record, TreeItem* parentCell, RelativesTree* controller)
    : TreeItem(parentCell), individual_(std::move(record)) {
    treeController_ = controller;
}

std::shared_ptr<GEDCOMRecord> AncestorItem::individual() const { return individual_; }
std::shared_ptr<GEDCOMRecord> AncestorItem::itemRecord() const { return individual_; }

char16_t AncestorItem::individualSex() const { return individual_ ? individual_->sexChar() : u'U'; }

TreeItem::Level* AncestorItem::nextLevel() {
    if (state_ != LevelState::NotBuilt) return TreeItem::nextLevel();
    std::optional<std::vector<std::shared_ptr<INDIRecord>>> parents;
    if (crossRefNum_ >= 0 && individual_ && generation_ < maxGenerations()) parents = individual_->parents();
    if (!parents) {
        setNoneMark();
        return nullptr;
    }
    markBuilt();
    for (const auto& parent : *parents) {
        auto node = std::make_unique<AncestorItem>(parent, this, treeController_);
        if (treeController_) treeController_->checkDuplicate(*node);
        appendChild(std::move(node));
    }
    return &level_;
}

int AncestorItem::removeRecord(const GEDCOMRecord* record) {
    if (state_ != LevelState::Built) return 0;
    for (std::size_t i = level_.size(); i-- > 0;)
        if (!record || level_[i]->individual().get() == record) takeOutChild(i);
    if (level_.empty()) {
        setNoneMark();
        return 0;
    }
    return static_cast<int>(level_.size());
}

bool AncestorItem::insertParent(const std::shared_ptr<INDIRecord>& parent, const std::string& spouse) {
    if (state_ != LevelState::Built) {
        // Built anew, with the new parent, when next asked for.
        resetNextLevel();
        return true;
    }
    auto node = std::make_unique<AncestorItem>(parent, this, treeController_);
    if (treeController_) treeController_->checkDuplicate(*node);
    insertChild(std::move(node), spouse == "HUSB" ? 0 : level_.size());
    return true;
}

}  // namespace kl
