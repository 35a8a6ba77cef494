#pragma once
// LinkHost: what a link button or a multimedia cell asks of the record
// browser that shows it: the document's records, opening a record (in this
// window, a child window or a new one), the browser's alerts and beep, the
// main menu's items, scripts, and the browser commands of the button's
// context menu. The record browser implements it; tests give their own.
//
// Every opening is deferred by the host to the next turn of the event
// loop: the pane holding the clicked button is rebuilt by it.
//
// Ownership: borrowed through the cell's pane. Thread: main thread.
#include <memory>
#include <optional>
#include <string>

namespace kl {

class GEDCOMModel;
class GEDCOMObject;
class GEDCOMRecord;
class GroupedRecord;
class UserDefaults;

class LinkHost {
public:
    enum class Open { ThisWindow, ChildWindow, NewWindow };

    virtual ~LinkHost() = default;
    virtual GEDCOMModel* linkModel() = 0;
    // The program's settings ("Helper Applications").
    virtual UserDefaults& linkDefaults() = 0;
    // paneID: the pane the record is shown in (this window and a new one).
    virtual void openLinkedRecord(const std::shared_ptr<GEDCOMRecord>& record, Open where,
                                  const std::optional<std::string>& paneID) = 0;
    // The browser's pane ID; nullopt for the default pane.
    virtual std::optional<std::string> browserPaneID() const = 0;
    // The selection-failure alert on the browser window.
    virtual void recordNotOpened(const std::string& message) = 0;
    virtual void reloadLinkRecord() = 0;
    virtual void beep() = 0;
    // Performs the main menu's item; false when it is not there or disabled.
    virtual bool performMenuItem(int menuTag, int submenuTag, int itemTag) = 0;
    virtual void runScript(const std::string& name, int type, const std::optional<std::string>& message) = 0;
    // The context menu's Detach and portrait commands.
    virtual void detachEventNow(const std::shared_ptr<GEDCOMObject>& parent,
                                const std::shared_ptr<GEDCOMObject>& link) = 0;
    virtual void changeOBJERecord(const std::shared_ptr<GEDCOMRecord>& record) = 0;
    // The helper sheet for a multimedia file's format.
    virtual void confirmHelper(const std::string& application, int option, const std::string& file,
                               const std::string& format) = 0;
    // The group that the browser's child window shows; nullptr without
    // such a window.
    virtual std::shared_ptr<GroupedRecord> childGroupRecord() const { return nullptr; }
    virtual void bringChildWindowForward() {}
    // Shows a group of the record's structures in the browser's child
    // window, made when there is none. restoring: the browser gives its
    // child the group anew after a rebuild (the structure the rebuild was
    // for, if any, gets the focus there) and the window is not brought
    // forward.
    virtual void showGroupInChildWindow(const std::shared_ptr<GroupedRecord>& group, bool restoring,
                                        const std::shared_ptr<GEDCOMObject>& created) {
        (void)group;
        (void)restoring;
        (void)created;
    }
};

}  // namespace kl
