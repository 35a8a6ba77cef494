#include "cells/StructuresLink.h"

#include <algorithm>
#include <array>

#include "cells/CellPane.h"
#include "cells/LinkHost.h"
#include "model/GEDCOMRecord.h"
#include "model/GEDCOMStructure.h"
#include "model/GroupedRecord.h"
#include "model/ModelNotifications.h"

namespace kl {

namespace {

constexpr std::array<std::string_view, 4> kLinkSelectors{"setTemplate:", "setParameter:", "setTagLocation:",
                                                         "addStructures:"};

}  // namespace

StructuresLink::StructuresLink(std::string templateName, const std::shared_ptr<GEDCOMObject>& frameStructure,
                               std::string frameTag, int frameLevel, const CellRect& frame, const EditingPrefs* prefs)
    : ButtonCell("StructuresLink", frame, prefs), templateName_(std::move(templateName)) {
    setBezelStyle(2);
    setEditTag(std::move(frameTag));
    setEditLevel(frameLevel + 1);
    setStructure(frameStructure);
}

bool StructuresLink::respondsTo(std::string_view selector) const {
    return ButtonCell::respondsTo(selector) ||
           std::find(kLinkSelectors.begin(), kLinkSelectors.end(), selector) != kLinkSelectors.end();
}

bool StructuresLink::takeProperty(std::string_view selector, const std::vector<std::string>& values) {
    const std::string first = values.empty() ? std::string() : values.front();
    if (selector == "setTemplate:") templateName_ = first;
    else if (selector == "setParameter:") parameter_ = first;
    else if (selector == "setTagLocation:") tagLocation_ = first;
    else return ButtonCell::takeProperty(selector, values);
    return true;
}

void StructuresLink::addStructures(const std::vector<std::shared_ptr<GEDCOMObject>>& structures) {
    auto& center = NotificationCenter::defaultCenter();
    for (const auto& object : structures) {
        auto structure = std::dynamic_pointer_cast<GEDCOMStructure>(object);
        if (!structure) continue;
        structures_.push_back(structure);
        const GEDCOMObject* node = structure.get();
        removals_.emplace_back(node, center.addObserver(notification_names::RecordStructureWillRemove, node,
                                                         [this, node](const Notification&) { structureLeaves(node); }));
    }
}

void StructuresLink::structureLeaves(const GEDCOMObject* structure) {
    std::erase_if(structures_, [structure](const auto& s) { return s.get() == structure; });
    if (groupRecord_) {
        GEDCOMObject::StructureList grouped = groupRecord_->structures();
        if (std::erase_if(grouped, [structure](const auto& s) { return s.get() == structure; }) > 0)
            groupRecord_->setStructures(std::move(grouped));
    }
    std::erase_if(removals_, [structure](const auto& entry) { return entry.first == structure; });
}

void StructuresLink::buttonClick(bool) { openGroup(false, nullptr); }

void StructuresLink::restoreChild(const std::shared_ptr<GEDCOMObject>& created) { openGroup(true, created); }

void StructuresLink::openGroup(bool restoring, const std::shared_ptr<GEDCOMObject>& created) {
    CellPane* shownIn = pane();
    if (!shownIn || shownIn->endActiveCell(0) == EditRefused) return;
    LinkHost* host = shownIn->linkHost();
    if (!host) return;
    // The same group again: its window only comes forward.
    if (groupRecord_ && host->childGroupRecord() == groupRecord_) {
        host->bringChildWindowForward();
        return;
    }
    const std::shared_ptr<GEDCOMRecord> record = shownIn->paneRecord();
    auto group = std::make_shared<GroupedRecord>(structures_, editLevel() - 1, record ? record->model() : nullptr,
                                                 templateName_);
    group->setGrecordID(parameter_);
    group->setParentStructure(structure());
    groupRecord_ = group;
    host->showGroupInChildWindow(group, restoring, created);
}

}  // namespace kl
