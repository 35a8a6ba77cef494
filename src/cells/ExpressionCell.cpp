#include "cells/ExpressionCell.h"

#include <algorithm>
#include <array>

#include "app/AppController.h"
#include "app/LibraryFolder.h"
#include "cells/CellKinds.h"
#include "cells/CellPane.h"
#include "cells/LinkHost.h"
#include "document/DocumentNotifications.h"
#include "document/GEDCOMModel.h"
#include "document/KLExpression.h"
#include "model/GEDCOMRecord.h"
#include "model/ModelNotifications.h"

namespace kl {

namespace {

constexpr std::array<std::string_view, 3> kExpressionSelectors{"appendedExpression:", "setFormat:",
                                                               "setLocalizeExpr:"};

}  // namespace

// ---- following another record

void OtherRecordWatch::start(const std::shared_ptr<GEDCOMObject>& shown, const GEDCOMRecord* paneRecord,
                             const GEDCOMModel* model, std::function<void()> deleted, std::function<void()> changed) {
    stop();
    GEDCOMRecord* owner = shown ? shown->theRecord() : nullptr;
    if (!owner || owner == paneRecord) return;
    record_ = std::dynamic_pointer_cast<GEDCOMRecord>(owner->weak_from_this().lock());
    auto& center = NotificationCenter::defaultCenter();
    deletedObservation_ = center.addObserver(
        notification_names::GEDCOMRecordDeleted, static_cast<const void*>(model),
        [this, deleted = std::move(deleted)](const Notification& note) {
            const Value* gone = note.userInfo.get(user_info_keys::TheRecord);
            const auto record = record_.lock();
            if (!gone || !record || gone->object() != std::static_pointer_cast<Object>(record)) return;
            stop();
            deleted();
        });
    changedObservation_ = center.addObserver(notification_names::RecordStructuresChanged,
                                             static_cast<const GEDCOMObject*>(owner),
                                             [changed = std::move(changed)](const Notification&) { changed(); });
}

void OtherRecordWatch::stop() {
    deletedObservation_.reset();
    changedObservation_.reset();
    record_.reset();
}

// ---- the label

void OtherRecordWatch::follow(CellPane* pane, const std::shared_ptr<GEDCOMObject>& shown, std::function<void()> deleted,
                              std::function<CellPane*()> currentPane) {
    if (!pane) {
        stop();
        return;
    }
    const auto record = pane->paneRecord();
    start(shown, record.get(), paneModel(pane), std::move(deleted), [currentPane = std::move(currentPane)] {
        if (CellPane* now = currentPane()) now->reloadPane();
    });
}

GEDCOMModel* OtherRecordWatch::paneModel(const CellPane* pane) {
    LinkHost* host = pane ? pane->linkHost() : nullptr;
    return host ? host->linkModel() : nullptr;
}

ExpressionCell::ExpressionCell(const CellSeed& seed) : LabelTextCell(0, seed.frame, seed.prefs) {
    setEditTag(seed.tag);
    setEditLevel(seed.level);
    setStructure(seed.structure);
    show();
}

void ExpressionCell::setPane(CellPane* pane) {
    LabelTextCell::setPane(pane);
    watch_.follow(
        pane, structure(),
        [this] {
            setStructure(nullptr);
            show();
        },
        [this] { return this->pane(); });
}

bool ExpressionCell::respondsTo(std::string_view selector) const {
    return LabelTextCell::respondsTo(selector) ||
           std::find(kExpressionSelectors.begin(), kExpressionSelectors.end(), selector) != kExpressionSelectors.end();
}

bool ExpressionCell::takeProperty(std::string_view selector, const std::vector<std::string>& values) {
    const std::string first = values.empty() ? std::string() : values.front();
    if (selector == "appendedExpression:") appendedExpression(first);
    else if (selector == "setFormat:") setFormat(first);
    else if (selector == "setLocalizeExpr:") setLocalizeExpr(first == "yes");
    else return LabelTextCell::takeProperty(selector, values);
    return true;
}

void ExpressionCell::appendedExpression(const std::optional<std::string>& text) {
    if (!text) {
        theExpr_.reset();
        return;
    }
    theExpr_ = std::make_shared<KLExpression>(*text);
    show();
    watchRecordView(*text);
}

void ExpressionCell::setFormat(const std::string& format) {
    format_.set(format);
    show();
}

void ExpressionCell::setLocalizeExpr(bool localize) {
    if (localize == localizeExpr_) return;
    localizeExpr_ = localize;
    show();
}

std::string ExpressionCell::cellString() const {
    const auto shown = structure();
    if (!shown) return {};
    std::string value;
    if (theExpr_) {
        const GEDCOMRecord* source = shown->theRecord();
        value = source ? theExpr_->valueInRecord(*shown, *source, OtherRecordWatch::paneModel(pane())) : std::string();
    } else {
        value = shown->contents();
    }
    if (localizeExpr_)
        if (const LibraryFolder* library = AppController::sharedLibrary()) value = library->localString(value);
    return format_.apply(value);
}

void ExpressionCell::show() {
    std::string due = cellString();
    if (due != text()) setText(std::move(due));
}

void ExpressionCell::updateStructure() { show(); }

void ExpressionCell::structureWillRemove() {
    setStructure(nullptr);
    show();
}

}  // namespace kl
