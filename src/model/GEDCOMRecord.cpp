#include "model/GEDCOMRecord.h"

#include "foundation/NotificationCenter.h"
#include "foundation/UndoManager.h"
#include "model/GEDCOMStructure.h"
#include "model/ModelNotifications.h"
#include "model/RecordStore.h"

namespace kl {

namespace {

std::shared_ptr<GEDCOMObject> holdOf(GEDCOMObject* node) { return node ? node->weak_from_this().lock() : nullptr; }

void postStructuresChanged(const GEDCOMRecord* record, Dictionary userInfo) {
    NotificationCenter::defaultCenter().post(notification_names::RecordStructuresChanged,
                                             static_cast<const GEDCOMObject*>(record), std::move(userInfo));
}

}  // namespace

GEDCOMRecord::GEDCOMRecord() : GEDCOMRecord("UNKNOWN", "UNKNOWN") {}

GEDCOMRecord::GEDCOMRecord(std::string recordID, std::string type)
    : GEDCOMObject(0, "", ""), grecordID_(std::move(recordID)), recordType_(std::move(type)) {}

void GEDCOMRecord::setModel(RecordStore* model) {
    model_ = model;
    registerRecordNotifications();
}

UndoManager* GEDCOMRecord::undoManager() const {
    if (model_) return model_->undoManager();
    return undoManager_;
}

void GEDCOMRecord::appendStructureLine(std::string& out) const {
    out.append("0 ").append(grecordID_).append(" ").append(recordType_).append(lineEnding());
}

void GEDCOMRecord::appendGEDCOMArray(Array& rows) const {
    rows.push_back(Array{Value(0), Value(grecordID_), Value(recordType_)});
    for (const auto& child : structures()) child->appendGEDCOMArray(rows);
}

void GEDCOMRecord::addStructure(const std::shared_ptr<GEDCOMStructure>& structure, GEDCOMObject* inParent,
                                const GEDCOMObject* afterStructure, bool scroll) {
    if (!structure) return;
    Dictionary userInfo{{"structure", Value(structure)},
                        {"theRecord", Value(holdOf(this))},
                        {"scrollToView", Value(scroll)}};
    if (inParent != this) {
        for (const auto& child : StructureList(structures()))
            if (child->addStructure(structure, inParent, afterStructure, userInfo)) return;
        return;
    }
    UndoManager* um = undoManager();
    if (um && um->isUndoRegistrationEnabled()) {
        um->registerUndo(this, [this, keep = holdOf(this), structure] { removeStructure(structure, this, nullptr); });
    }
    insertChild(structure, afterStructure);
    postStructuresChanged(this, std::move(userInfo));
}

void GEDCOMRecord::addStructure(const std::shared_ptr<GEDCOMStructure>& structure, GEDCOMObject* inParent,
                                const GEDCOMObject* afterStructure) {
    if (!structure) return;
    if (inParent == this) {
        insertChild(structure, afterStructure);
        return;
    }
    for (const auto& child : structures())
        if (child->addStructure(structure, inParent, afterStructure)) return;
}

void GEDCOMRecord::removeStructure(const std::shared_ptr<GEDCOMStructure>& structure, GEDCOMObject* inParent,
                                   std::shared_ptr<Object> fromBrowser) {
    if (!structure || !inParent) return;
    // Views let go of the structure only when it really leaves the tree.
    auto parent = findNode(inParent);
    if (!parent || parent->indexOfStructure(structure.get()) == notFound) return;
    structure->notifyOfRemoval();
    Dictionary userInfo{{"structure", Value(structure)},
                        {"removing", fromBrowser ? Value(std::move(fromBrowser)) : Value("")}};
    if (inParent != this) {
        for (const auto& child : StructureList(structures()))
            if (child->removeStructure(structure, inParent, userInfo)) return;
        return;
    }
    const std::size_t at = indexOfStructure(structure.get());
    std::shared_ptr<GEDCOMStructure> previous = at > 0 ? structures()[at - 1] : nullptr;
    if (UndoManager* um = undoManager()) {
        um->registerUndo(this, [this, keep = holdOf(this), structure, previous] {
            addStructure(structure, this, previous.get(), false);
        });
    }
    findChildAtIndex(at, true);
    postStructuresChanged(this, std::move(userInfo));
}

std::shared_ptr<GEDCOMStructure> GEDCOMRecord::addNoLevel(std::string rawText) {
    auto line = std::make_shared<GEDCOMStructure>(this, -1, "", std::move(rawText));
    line->setCorruptBit(CorruptMissingLevel);
    GEDCOMObject::addStructure(line);
    return line;
}

}  // namespace kl
