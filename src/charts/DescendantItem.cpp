#include "charts/DescendantItem.h"

#include <algorithm>

#include "charts/RelativesTree.h"
#include "foundation/Logger.h"
#include "model/FAMRecord.h"
#include "model/INDIRecord.h"

namespace kl {

DescendantItem::DescendantItem(std::shared_ptr<GEDCOMRecord> record, TreeItem* parentCell,
                               RelativesTree* controller)
    : TreeItem(parentCell), theRecord_(std::move(record)) {
    treeController_ = controller;
    spouseRecord_ = dynamic_cast<FAMRecord*>(theRecord_.get()) != nullptr;
    if (parentCell) return;
    // The root's families are generation 0, as its children's families
    // share their child's generation.
    generation_ = -1;
    markBuilt();
    auto person = std::dynamic_pointer_cast<INDIRecord>(theRecord_);
    if (person)
        if (auto families = person->spouses(nullptr))
            for (const auto& family : *families) appendChild(familyNode(family, this, person));
    generation_ = 0;
}

std::unique_ptr<DescendantItem> DescendantItem::familyNode(const std::shared_ptr<FAMRecord>& family,
                                                           TreeItem* parent,
                                                           const std::shared_ptr<INDIRecord>& treePerson) {
    auto node = std::make_unique<DescendantItem>(family, parent, treeController_);
    if (treeController_) treeController_->addFamMembers(*family, treePerson.get(), *node);
    return node;
}

FAMRecord* DescendantItem::family() const {
    return spouseRecord_ ? static_cast<FAMRecord*>(theRecord_.get()) : nullptr;
}

std::shared_ptr<INDIRecord> DescendantItem::treeSpouseThisFamily() const {
    if (!spouseRecord_ || !parentCell_) return nullptr;
    if (generation_ == 0) return std::dynamic_pointer_cast<INDIRecord>(parentCell_->individual());
    const Level& level = parentCell_->builtLevel();
    for (int i = parentCell_->indexOfChild(this); i-- > 0;)
        if (!level[static_cast<std::size_t>(i)]->spouseRecord())
            return std::dynamic_pointer_cast<INDIRecord>(level[static_cast<std::size_t>(i)]->individual());
    return nullptr;
}

std::shared_ptr<INDIRecord> DescendantItem::otherSpouse() const {
    const FAMRecord* fam = family();
    if (!fam) return nullptr;
    auto treePerson = treeSpouseThisFamily();
    if (treePerson && fam->husbandID() == treePerson->grecordID()) return fam->wifeRecord();
    return fam->husbandRecord();
}

std::shared_ptr<GEDCOMRecord> DescendantItem::individual() const {
    if (!spouseRecord_) return theRecord_;
    if (auto spouse = otherSpouse()) return spouse;
    return theRecord_;
}

char16_t DescendantItem::individualSex() const {
    if (!spouseRecord_) {
        auto* person = dynamic_cast<INDIRecord*>(theRecord_.get());
        return person ? person->sexChar() : u'U';
    }
    if (auto spouse = otherSpouse()) return spouse->sexChar();
    auto treePerson = treeSpouseThisFamily();
    return treePerson && treePerson->sexChar() == u'M' ? u'F' : u'M';
}

bool DescendantItem::isUnmarried() const {
    const FAMRecord* fam = family();
    return fam && fam->isUnmarried();
}

TreeItem::Level* DescendantItem::nextLevel() {
    if (state_ != LevelState::NotBuilt) return TreeItem::nextLevel();
    std::optional<std::vector<std::shared_ptr<GEDCOMRecord>>> list;
    if (spouseRecord_ && generation_ < maxGenerations()) list = family()->childrenAndSpouses();
    if (!list) {
        setNoneMark();
        return nullptr;
    }
    markBuilt();
    std::shared_ptr<INDIRecord> attachTo;
    for (const auto& record : *list) {
        if (auto child = std::dynamic_pointer_cast<INDIRecord>(record)) {
            auto node = std::make_unique<DescendantItem>(child, this, treeController_);
            const bool repeated = treeController_ && treeController_->checkDuplicate(*node);
            // A repeated child is shown without its families.
            attachTo = repeated ? nullptr : child;
            appendChild(std::move(node));
        } else if (auto fam = std::dynamic_pointer_cast<FAMRecord>(record); fam && attachTo) {
            appendChild(familyNode(fam, this, attachTo));
        }
    }
    return &level_;
}

void DescendantItem::removeChildrenFromMembers(TreeMembers& members, TreeMembers& famMembers) {
    if (!spouseRecord_) {
        TreeItem::removeChildrenFromMembers(members, famMembers);
        return;
    }
    if (treeController_) treeController_->nodeLeaving(*this);
    auto removeFrom = [&](const std::string& id) {
        auto found = famMembers.find(id);
        if (found == famMembers.end()) return false;
        const bool listed = std::erase(found->second, this) > 0;
        if (found->second.empty()) famMembers.erase(found);
        return listed;
    };
    const FAMRecord* fam = family();
    removeFrom(fam->grecordID());
    if (!removeFrom(fam->husbandID())) removeFrom(fam->wifeID());
    for (auto& child : level_) child->removeChildrenFromMembers(members, famMembers);
}

int DescendantItem::removeRecord(const GEDCOMRecord* record) {
    if (state_ != LevelState::Built) return 0;
    const bool isFamily = dynamic_cast<const FAMRecord*>(record) != nullptr;
    for (std::size_t i = 0; i < level_.size();) {
        if (level_[i]->itemRecord().get() != record) {
            ++i;
            continue;
        }
        takeOutChild(i);
        // A person's families go with the person.
        if (!isFamily)
            while (i < level_.size() && level_[i]->spouseRecord()) takeOutChild(i);
    }
    if (level_.empty()) {
        setNoneMark();
        return 0;
    }
    return static_cast<int>(level_.size());
}

bool DescendantItem::removeFamilyRecord(const FAMRecord& fam) {
    TreeItem* container = isRoot() ? this : parentCell_;
    if (container->levelState() != LevelState::Built) return false;
    const Level& level = container->builtLevel();
    const std::size_t start = isRoot() ? 0 : static_cast<std::size_t>(container->indexOfChild(this) + 1);
    for (std::size_t i = start; i < level.size(); ++i) {
        if (level[i]->itemRecord().get() == &fam) {
            container->takeOutChild(i);
            if (isRoot() && level_.empty()) setNoneMark();
            return true;
        }
        if (!level[i]->spouseRecord()) {
            Logger::log("Unable to remove family of direct descendant because it was not found");
            return false;
        }
    }
    return false;
}

bool DescendantItem::insertFamily(const std::shared_ptr<FAMRecord>& fam) {
    auto person = std::dynamic_pointer_cast<INDIRecord>(theRecord_);
    if (!fam || !person) return false;
    TreeItem* container = this;
    std::size_t start = 0;
    if (!isRoot()) {
        container = parentCell_;
        const int at = container->indexOfChild(this);
        if (container->levelState() != LevelState::Built || at < 0) {
            Logger::log("Unable to insert family/spouse cell into descendant tree because data is corrupted");
            return false;
        }
        start = static_cast<std::size_t>(at) + 1;
    }
    const Level& level = container->builtLevel();
    const auto families = person->spouses(nullptr).value_or(std::vector<std::shared_ptr<FAMRecord>>{});
    std::size_t place = start;
    while (place < level.size() && level[place]->spouseRecord()) {
        const std::size_t k = place - start;
        if (k >= families.size() || level[place]->itemRecord() != families[k]) break;
        ++place;
    }
    auto node = familyNode(fam, container, person);
    if (isRoot()) node->setGeneration(0);
    container->insertChild(std::move(node), place);
    return true;
}

bool DescendantItem::insertChild(const std::shared_ptr<INDIRecord>& child, const std::shared_ptr<FAMRecord>& inFam) {
    if (!child || !inFam) {
        Logger::log("Unable to insert child cell into descendant tree because records not found");
        return false;
    }
    std::size_t place = 0;
    if (state_ == LevelState::Built) {
        const auto children = inFam->children();
        const auto found = std::find(children.begin(), children.end(), child);
        if (found == children.end()) {
            Logger::log("Unable to insert child cell into descendant tree because child not found");
            return false;
        }
        const auto k = static_cast<std::size_t>(found - children.begin());
        std::size_t individuals = 0;
        place = level_.size();
        for (std::size_t i = 0; i < level_.size(); ++i)
            if (!level_[i]->spouseRecord() && individuals++ == k) {
                place = i;
                break;
            }
    } else {
        level_.clear();
        markBuilt();
    }
    auto node = std::make_unique<DescendantItem>(child, this, treeController_);
    const bool repeated = treeController_ && treeController_->checkDuplicate(*node);
    TreeItem::insertChild(std::move(node), place)->nextLevel();
    if (repeated) return true;
    if (auto families = child->spouses(nullptr))
        for (const auto& fam : *families) TreeItem::insertChild(familyNode(fam, this, child), ++place);
    return true;
}

}  // namespace kl
