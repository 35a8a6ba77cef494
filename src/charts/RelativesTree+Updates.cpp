// How an open relatives window follows the edits of its document: family
// links added or removed insert or remove nodes in place, other edits of a
// shown record refresh its rows, deleting the root person closes the window.
#include "charts/AncestorItem.h"
#include "charts/DescendantItem.h"
#include "charts/RelativesTree.h"
#include "document/DocumentNotifications.h"
#include "document/GEDCOMModel.h"
#include "foundation/Logger.h"
#include "foundation/MainThread.h"
#include "model/FAMRecord.h"
#include "model/GEDCOMStructure.h"
#include "model/INDIRecord.h"
#include "model/ModelNotifications.h"

namespace kl {

void RelativesTree::observeEdits() {
    auto& center = NotificationCenter::defaultCenter();
    observations_.push_back(center.addObserver(notification_names::RecordStructuresChanged, nullptr,
                                               [this](const Notification& n) { recordChanged(n); }));
    observations_.push_back(center.addObserver(notification_names::RecordStructureContentsChanged, nullptr,
                                               [this](const Notification& n) { structureChanged(n); }));
    observations_.push_back(center.addObserver(notification_names::GEDCOMRecordDeleted, &model_,
                                               [this](const Notification& n) { recordDeleted(n); }));
}

bool RelativesTree::ownsRecord(const GEDCOMRecord* record) const {
    return record && record->model() == static_cast<const RecordStore*>(&model_);
}

bool RelativesTree::isChangedTag(const std::string& tag, const GEDCOMStructure& structure) {
    if (tag == "CHAN" || tag == "TIME") return true;
    if (tag != "DATE") return false;
    auto parent = structure.parentStructure();
    return parent && parent->gtag() == "CHAN";
}

void RelativesTree::collapseIfLeaf(TreeItem& item) {
    if (view_ && !isItemExpandable(&item)) view_->collapseIfNotExpandable(item);
}

void RelativesTree::recordChanged(const Notification& note) {
    if (!root_ || !note.object) return;
    auto* record = const_cast<GEDCOMObject*>(static_cast<const GEDCOMObject*>(note.object))->theRecord();
    const Value* found = note.userInfo.get("structure");
    if (!found || !ownsRecord(record)) return;
    auto structure = std::dynamic_pointer_cast<GEDCOMStructure>(found->object());
    if (!structure || isChangedTag(structure->gtag(), *structure)) return;
    const bool removing = note.userInfo.contains("removing");
    if (kind_ == Kind::Ancestors)
        ancestorStructureChanged(*record, *structure, removing);
    else
        descendantStructureChanged(*record, *structure, removing);
}

void RelativesTree::ancestorStructureChanged(GEDCOMRecord& record, const GEDCOMStructure& structure, bool removing) {
    const std::string& tag = structure.gtag();
    if (tag == "CHIL" || tag == "FAMS") return;
    if (tag == "FAMC" && dynamic_cast<INDIRecord*>(&record)) {
        TreeItem* first = firstNode(record.grecordID());
        if (!first) return;
        if (!removing) {
            // Only the first FAMC names the parents shown.
            auto firstLink = record.findChild("FAMC", false);
            if (!firstLink || firstLink->contents() != structure.contents()) return;
            if (first->levelState() == TreeItem::LevelState::None) first->resetNextLevel();
            if (first->nextLevel()) reloadTreeAfterEdits();
            return;
        }
        if (auto family = std::dynamic_pointer_cast<FAMRecord>(model_.recordWithID(structure.contents()))) {
            if (auto husband = family->husbandRecord()) first->removeRecord(husband.get());
            if (auto wife = family->wifeRecord()) first->removeRecord(wife.get());
        }
        collapseIfLeaf(*first);
        reloadTreeAfterEdits();
        return;
    }
    auto* family = dynamic_cast<FAMRecord*>(&record);
    if ((tag == "HUSB" || tag == "WIFE") && family) {
        auto parent = std::dynamic_pointer_cast<INDIRecord>(model_.recordWithID(structure.contents()));
        if (!parent) return;
        bool changed = false;
        for (const auto& child : family->children()) {
            auto* first = static_cast<AncestorItem*>(firstNode(child->grecordID()));
            if (!first) continue;
            if (removing) {
                first->removeRecord(parent.get());
                collapseIfLeaf(*first);
                changed = true;
            } else {
                changed = first->insertParent(parent, tag) || changed;
            }
        }
        if (changed) reloadTreeAfterEdits();
        return;
    }
    handleRecordEdits(record);
}

void RelativesTree::descendantStructureChanged(GEDCOMRecord& record, const GEDCOMStructure& structure,
                                               bool removing) {
    const std::string& tag = structure.gtag();
    auto* family = dynamic_cast<FAMRecord*>(&record);
    if (tag == "FAMS") return;
    if (tag == "FAMC" && dynamic_cast<INDIRecord*>(&record)) {
        // The family's CHIL link brings a new child.
        if (!removing) return;
        auto nodes = members_.find(record.grecordID());
        if (nodes == members_.end() || &record == root_->individual().get()) return;
        const auto parentFamily = model_.recordWithID(structure.contents());
        for (TreeItem* node : std::vector<TreeItem*>(nodes->second)) {
            TreeItem* parent = node->parentCell();
            if (!parent || !parent->spouseRecord() || parent->itemRecord() != parentFamily) continue;
            parent->removeRecord(&record);
            collapseIfLeaf(*parent);
            break;
        }
        reloadTreeAfterEdits();
        return;
    }
    if (tag == "CHIL" && family) {
        // A removed child goes with its FAMC link.
        if (removing) return;
        auto nodes = famMembers_.find(family->grecordID());
        if (nodes == famMembers_.end()) return;
        auto child = std::dynamic_pointer_cast<INDIRecord>(model_.recordWithID(structure.contents()));
        auto held = std::dynamic_pointer_cast<FAMRecord>(model_.recordWithID(family->grecordID()));
        bool changed = false;
        for (TreeItem* node : std::vector<TreeItem*>(nodes->second))
            if (node->itemRecord().get() == family)
                changed = static_cast<DescendantItem*>(node)->insertChild(child, held) || changed;
        if (changed) reloadTreeAfterEdits();
        return;
    }
    if ((tag == "HUSB" || tag == "WIFE") && family) {
        auto familyNodes = famMembers_.find(family->grecordID());
        if (familyNodes == famMembers_.end() || familyNodes->second.empty()) return;
        const std::string spouseID = structure.contents();
        auto held = std::dynamic_pointer_cast<FAMRecord>(model_.recordWithID(family->grecordID()));
        if (!removing) {
            famMembers_[spouseID].push_back(familyNodes->second.front());
            handleRecordEdits(*family);
            if (auto* first = static_cast<DescendantItem*>(firstNode(spouseID)); first && held)
                if (first->insertFamily(held)) reloadTreeAfterEdits();
            return;
        }
        if (auto* first = static_cast<DescendantItem*>(firstNode(spouseID))) {
            first->removeFamilyRecord(*family);
            reloadTreeAfterEdits();
            if (famMembers_.find(family->grecordID()) == famMembers_.end()) return;
        }
        auto spouseList = famMembers_.find(spouseID);
        if (spouseList == famMembers_.end()) return;
        familyNodes = famMembers_.find(family->grecordID());
        if (familyNodes == famMembers_.end() || familyNodes->second.empty()) {
            Logger::log("Unable to remove spouse in {} from tree members list because family cell not found",
                        family->description());
        } else {
            std::erase(spouseList->second, familyNodes->second.front());
            if (spouseList->second.empty()) famMembers_.erase(spouseList);
        }
        handleRecordEdits(*family);
        return;
    }
    handleRecordEdits(record);
}

void RelativesTree::structureChanged(const Notification& note) {
    if (!note.object) return;
    auto* object = const_cast<GEDCOMObject*>(static_cast<const GEDCOMObject*>(note.object));
    GEDCOMRecord* record = object->theRecord();
    if (!ownsRecord(record)) return;
    if (auto* structure = dynamic_cast<GEDCOMStructure*>(object); structure && isChangedTag(structure->gtag(), *structure))
        return;
    handleRecordEdits(*record);
}

void RelativesTree::handleRecordEdits(const GEDCOMRecord& record) {
    if (const auto* family = dynamic_cast<const FAMRecord*>(&record)) {
        if (!famMembers_.count(family->grecordID())) return;
        if (auto husband = family->husbandRecord()) handleRecordEdits(*husband);
        if (auto wife = family->wifeRecord()) handleRecordEdits(*wife);
        return;
    }
    if ((members_.count(record.grecordID()) || famMembers_.count(record.grecordID())) && view_)
        view_->reloadRowsOf(record);
}

void RelativesTree::recordDeleted(const Notification& note) {
    const Value* found = note.userInfo.get(user_info_keys::TheRecord);
    if (!root_ || !found) return;
    auto record = std::dynamic_pointer_cast<GEDCOMRecord>(found->object());
    if (!record) return;
    if (members_.count(record->grecordID())) {
        if (record == root_->individual()) {
            scheduleRedraw(true);
            return;
        }
        removeDirectRecord(root_.get(), *record);
        scheduleRedraw(false);
    } else if (famMembers_.count(record->grecordID())) {
        if (dynamic_cast<FAMRecord*>(record.get())) removeDirectRecord(root_.get(), *record);
        scheduleRedraw(false);
    }
}

void RelativesTree::removeDirectRecord(TreeItem* item, const GEDCOMRecord& record) {
    const int count = item->removeRecord(&record);
    for (int i = 0; i < count; ++i)
        if (TreeItem* below = child(i, item)) removeDirectRecord(below, record);
}

void RelativesTree::scheduleRedraw(bool close) {
    if (redrawFlag_ == 0) {
        redrawFlag_ = close ? 2 : 1;
        Dispatcher::current().postDeferred(this, [this] { finishDynamicTree(); });
    } else if (close) {
        redrawFlag_ = 2;
    }
}

void RelativesTree::finishDynamicTree() {
    const int flag = redrawFlag_;
    redrawFlag_ = 0;
    if (!view_) return;
    // Closing may drop this tree with its window: nothing may follow it.
    if (flag == 2)
        view_->closeWindow();
    else
        view_->reloadOutline();
}

}  // namespace kl
