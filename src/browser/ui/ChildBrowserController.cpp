#include "browser/ui/ChildBrowserController.h"

#include "app/ui/WindowCascade.h"
#include "foundation/MainThread.h"
#include "index/DocumentWindows.h"
#include "model/GroupedRecord.h"

namespace kl {

std::shared_ptr<BrowserWindow> ChildBrowserController::makeChild(GEDCOMDocument& doc, DocumentWindows& windows,
                                                                 const RecordPtr& record,
                                                                 std::shared_ptr<GroupedRecord> group,
                                                                 BrowserWindow* parent) {
    auto* child = new ChildBrowserController(doc, windows, record, std::move(group), parent);
    auto handle = std::make_shared<Handle>(child);
    child->setHandle(handle.get());
    return handle;
}

ChildBrowserController::ChildBrowserController(GEDCOMDocument& doc, DocumentWindows& windows, RecordPtr record,
                                               std::shared_ptr<GroupedRecord> group, BrowserWindow* parent,
                                               bool printing)
    : BrowserController(doc, windows, std::move(record), parent, std::string(), printing), group_(std::move(group)) {
    if (!printing) WindowCascade::setWindowFrameAutosaveNameOrCascade(this, kFrameName);
}

BrowserController::RecordPtr ChildBrowserController::windowRecord() const { return group_; }

const RecordLinkLists& ChildBrowserController::linkLists() {
    BrowserController* main = mainBrowser();
    return main == this ? BrowserController::linkLists() : main->linkLists();
}

RecordStack& ChildBrowserController::history() {
    BrowserController* main = mainBrowser();
    return main == this ? BrowserController::history() : main->history();
}

void ChildBrowserController::changeRecord(const RecordPtr& record, const std::string& paneID) {
    auto group = std::dynamic_pointer_cast<GroupedRecord>(record);
    if (!group) {
        if (!record) return;
        std::optional<std::string> pane;
        if (!paneID.empty()) pane = paneID;
        Dispatcher::current().postDeferred(this, [this, record, pane] { documentWindows().openRecordBrowser(record, pane); });
        return;
    }
    if (endActiveCell(0) == EditRefused) return;
    const bool sameType = group_ && group_->recordType() == group->recordType();
    markNeedsReload();
    group_ = std::move(group);
    showNewContents(sameType);
}

void ChildBrowserController::restoreGroup(std::shared_ptr<GroupedRecord> group,
                                          const std::shared_ptr<GEDCOMObject>& created) {
    group_ = std::move(group);
    markNeedsReload();
    reloadRecordNow(created);
}

}  // namespace kl
