#pragma once
// ChildBrowserController: the window a structures link opens for a group
// of its record's structures (all events of one kind, the sources of one
// fact). It is a record browser whose pane is built from the group, laid
// out by the group's own template, and whose edits go into the parent's
// record. It has no toolbar and never takes a pane ID; the relationship
// commands use the lists of the top browser of its chain. A record other
// than a group that is handed to it opens in a browser of its own.
//
// It closes with its parent window and when the parent shows another
// record; when the parent merely rebuilds, the parent hands it the group
// anew (or closes it when the link is gone).
//
// Ownership: as BrowserController (its Handle in the document's window
// list); shares the group with the link that made it. Thread: main thread.
#include <memory>

#include "browser/ui/BrowserController.h"

namespace kl {

class GroupedRecord;

class ChildBrowserController : public BrowserController {
public:
    static constexpr const char* kFrameName = "ChildBrowserWindow";

    // The window for the group of `record`'s structures, opened from the
    // browser `parent`; its first build is pending on the next turn.
    static std::shared_ptr<BrowserWindow> makeChild(GEDCOMDocument& doc, DocumentWindows& windows,
                                                    const RecordPtr& record, std::shared_ptr<GroupedRecord> group,
                                                    BrowserWindow* parent);
    ChildBrowserController(GEDCOMDocument& doc, DocumentWindows& windows, RecordPtr record,
                           std::shared_ptr<GroupedRecord> group, BrowserWindow* parent, bool printing = false);

    const std::shared_ptr<GroupedRecord>& groupRecord() const { return group_; }
    void setGroupRecord(std::shared_ptr<GroupedRecord> group) { group_ = std::move(group); }
    RecordPtr windowRecord() const override;
    bool isChildWindow() const override { return true; }
    const RecordLinkLists& linkLists() override;
    RecordStack& history() override;

    // A group: shown here instead of the one shown. Any other record opens
    // in a browser of its own and this window stays as it is.
    void changeRecord(const RecordPtr& record, const std::string& paneID) override;
    // The parent rebuilt: the group made anew is shown at once, the focus
    // on the structure the rebuild was for (when there is one).
    void restoreGroup(std::shared_ptr<GroupedRecord> group, const std::shared_ptr<GEDCOMObject>& created);

private:
    std::shared_ptr<GroupedRecord> group_;
};

}  // namespace kl
