#pragma once
// DocumentWindows: the window controllers of one document, in the order they
// were added: the index window first, then record browsers, child browsers,
// relatives and search windows. Opens record browsers (reusing one when the
// user wants), finds windows by record, parent, pane and kind, answers which
// record the key window shows, and closes all but the index window.
//
// What only the desktop knows (the windows' stacking order, the key window,
// whether the new-window modifier is held, how to make a browser) comes in
// through Platform, so the rules run and are tested without a display.
//
// Ownership: owns its controllers (shared_ptr); borrows the user defaults.
// Thread: main thread.
#include <functional>
#include <memory>
#include <optional>
#include <string>
#include <vector>

#include "index/BrowserWindow.h"

namespace kl {

class GEDCOMModel;
class ISInterpreter;
class UserDefaults;

class DocumentWindows {
public:
    using ControllerPtr = std::shared_ptr<DocumentWindowController>;
    using RecordPtr = std::shared_ptr<GEDCOMRecord>;
    static constexpr const char* kReuseWindows = "Reuse Windows";

    struct Platform {
        // Every window of the application, front to back.
        std::function<std::vector<const void*>()> windowsFrontToBack;
        std::function<const void*()> keyWindow;
        // The user asks for a new window rather than a reused one.
        std::function<bool()> newWindowModifierHeld;
        // Makes (but does not add) a browser for a record, under a parent
        // browser or none, at a pane ("" for the record type's pane).
        std::function<std::shared_ptr<BrowserWindow>(const RecordPtr&, BrowserWindow* parent, const std::string&)>
            makeBrowser;
    };

    explicit DocumentWindows(UserDefaults& defaults, Platform platform = {});
    ~DocumentWindows();
    DocumentWindows(const DocumentWindows&) = delete;
    DocumentWindows& operator=(const DocumentWindows&) = delete;

    // The index window: made once, first in the list for the document's life.
    void makeWindowControllers(ControllerPtr indexController);
    DocumentWindowController* indexController() const;
    void addWindowController(ControllerPtr controller);
    void removeWindowController(const DocumentWindowController* controller);
    const std::vector<ControllerPtr>& windowControllers() const { return controllers_; }
    void setPlatform(Platform platform) { platform_ = std::move(platform); }
    UserDefaults& defaults() const { return defaults_; }

    // ---- record browsers; each answers the browser that shows the record
    BrowserWindow* openRecordBrowser(const RecordPtr& record, std::optional<std::string> paneID = std::nullopt,
                                     ISInterpreter* server = nullptr, bool allowReuse = true);
    BrowserWindow* openNewRecordBrowser(const RecordPtr& record) {
        return openRecordBrowser(record, std::nullopt, nullptr, false);
    }
    BrowserWindow* openAssociatedRecordBrowser(const RecordPtr& record, BrowserWindow* parent,
                                               std::optional<std::string> paneID = std::nullopt);

    // The link sheet of a new multimedia record, in its main browser;
    // false (the caller beeps) without that browser or sheet.
    bool linkNewMMRecord(const RecordPtr& record) const;
    // Works through multimedia record IDs: the first record whose file lies
    // outside the document's library folders gets a new window of its own,
    // which asks what to do with the file and hands on the rest. IDs of
    // other records, web addresses and files already in the library are
    // passed over.
    void bulkCopyMultimediaObjects(const GEDCOMModel& model, std::vector<std::string> ids);

    // ---- finders
    // With a record: its main browser under `parent`. Without: the
    // frontmost browser that may be reused for another record.
    BrowserWindow* findRecordWindow(const RecordPtr& record, BrowserWindow* parent) const;
    RelativesWindow* findRecordTree(const RecordPtr& record, const std::string& type) const;
    BrowserWindow* findWindowWithParent(const BrowserWindow* browser) const;
    DocumentWindowController* findWindowController(const void* window) const;
    DocumentWindowController* keyWindowController() const;
    // The frontmost window of this document that shows records; the index
    // window when the desktop cannot tell the order.
    DocumentWindowController* frontGEDCOMcontroller() const;
    RecordPtr keyWindowRecord() const;
    std::vector<RecordPtr> keyWindowRecords() const;

    // ---- closing
    // Closes every window but the index window.
    void closeAllBrowsers();
    // Closes the controller on the next turn of the event loop.
    void closeMe(DocumentWindowController* controller);

private:
    BrowserWindow* addBrowser(std::shared_ptr<BrowserWindow> browser);
    bool contains(const DocumentWindowController* controller) const;

    UserDefaults& defaults_;
    Platform platform_;
    std::vector<ControllerPtr> controllers_;
};

}  // namespace kl
