// The child window that a structures link of the pane opens, and how it
// follows this browser's rebuilds.
#include "browser/ui/BrowserController.h"
#include "browser/ui/ChildBrowserController.h"
#include "cells/StructuresLink.h"
#include "index/DocumentWindows.h"
#include "model/GroupedRecord.h"

namespace kl {

ChildBrowserController* BrowserController::childWindow() const {
    if (!handle_) return nullptr;
    auto* child = dynamic_cast<Handle*>(windows_.findWindowWithParent(handle_));
    return child ? dynamic_cast<ChildBrowserController*>(child->controller()) : nullptr;
}

std::shared_ptr<GroupedRecord> BrowserController::childGroupRecord() const {
    ChildBrowserController* child = childWindow();
    return child ? child->groupRecord() : nullptr;
}

void BrowserController::bringChildWindowForward() {
    if (ChildBrowserController* child = childWindow()) child->handle()->showWindow();
}

void BrowserController::showGroupInChildWindow(const std::shared_ptr<GroupedRecord>& group, bool restoring,
                                               const std::shared_ptr<GEDCOMObject>& created) {
    if (ChildBrowserController* child = childWindow()) {
        if (restoring) {
            child->restoreGroup(group, created);
        } else {
            child->changeRecord(group, std::string());
            child->handle()->showWindow();
        }
        return;
    }
    // Only a click opens a window: a rebuild restores the one there is.
    if (restoring || !handle_) return;
    auto made = ChildBrowserController::makeChild(doc_, windows_, record_, group, handle_);
    BrowserWindow* shown = made.get();
    windows_.addWindowController(std::move(made));
    shown->showWindow();
}

std::string BrowserController::childLinkLocation() const {
    ChildBrowserController* child = childWindow();
    StructuresLink* link = child ? background_.linkOfGroup(child->groupRecord().get()) : nullptr;
    return link ? link->tagLocation().value_or(std::string()) : std::string();
}

void BrowserController::restoreChildWindow(const std::string& location, const std::shared_ptr<GEDCOMObject>& created) {
    ChildBrowserController* child = childWindow();
    if (!child) return;
    StructuresLink* link = location.empty() ? nullptr : background_.cellWithTagLocation(location);
    if (link) link->restoreChild(created);
    else windows_.closeMe(child->handle());
}

}  // namespace kl
