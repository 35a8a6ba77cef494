#include "index/DocumentWindows.h"

#include <algorithm>

#include "document/GEDCOMModel.h"
#include "document/RecordsIndices.h"
#include "foundation/MainThread.h"
#include "foundation/UserDefaults.h"
#include "model/GEDCOMRecord.h"
#include "model/ISScripting.h"
#include "model/OBJERecord.h"

namespace kl {

namespace {

bool isReport(const GEDCOMRecord* record) { return record && record->isType("_RPT"); }

// A main browser: a record browser that is not a child browser.
BrowserWindow* mainBrowser(DocumentWindowController* controller) {
    auto* browser = dynamic_cast<BrowserWindow*>(controller);
    return browser && !browser->isChildBrowser() ? browser : nullptr;
}

// A file found by its own path, in none of the document's library folders.
bool outsideLibrary(const OBJERecord& object, const GEDCOMModel& model) {
    bool isURL = false;
    const std::string stored = object.mmFileName(&isURL);
    if (stored.empty() || isURL) return false;
    auto found = OBJERecord::multimediaFile(stored, model.multimediaRoot(), model.fileURL());
    return found && !(found->root && OBJERecord::inRealMMLibrary(*found->root, model.multimediaRoot(), model.fileURL()));
}

}  // namespace

DocumentWindows::DocumentWindows(UserDefaults& defaults, Platform platform)
    : defaults_(defaults), platform_(std::move(platform)) {}

DocumentWindows::~DocumentWindows() { Dispatcher::current().cancelDeferred(this); }

void DocumentWindows::makeWindowControllers(ControllerPtr indexController) {
    if (!indexController || !controllers_.empty()) return;
    controllers_.push_back(std::move(indexController));
}

DocumentWindowController* DocumentWindows::indexController() const {
    return controllers_.empty() ? nullptr : controllers_.front().get();
}

void DocumentWindows::addWindowController(ControllerPtr controller) {
    if (controller && !contains(controller.get())) controllers_.push_back(std::move(controller));
}

void DocumentWindows::removeWindowController(const DocumentWindowController* controller) {
    std::erase_if(controllers_, [&](const ControllerPtr& c) { return c.get() == controller; });
}

bool DocumentWindows::contains(const DocumentWindowController* controller) const {
    return std::any_of(controllers_.begin(), controllers_.end(),
                       [&](const ControllerPtr& c) { return c.get() == controller; });
}

BrowserWindow* DocumentWindows::addBrowser(std::shared_ptr<BrowserWindow> browser) {
    if (!browser) return nullptr;
    BrowserWindow* raw = browser.get();
    addWindowController(std::move(browser));
    raw->showWindow();
    return raw;
}

BrowserWindow* DocumentWindows::openRecordBrowser(const RecordPtr& record, std::optional<std::string> paneID,
                                                  ISInterpreter* server, bool allowReuse) {
    if (!record) return nullptr;
    const std::string pane = paneID.value_or(RecordsIndices::paneIDForRecordType(record->recordType()));
    if (BrowserWindow* shown = findRecordWindow(record, nullptr)) {
        shown->showWindow();
        if (shown->paneID() != pane) shown->changeRecord(record, pane);
        return shown;
    }
    const bool newWindowAsked = platform_.newWindowModifierHeld && platform_.newWindowModifierHeld();
    if (allowReuse && defaults_.boolForKey(kReuseWindows) && !newWindowAsked && !isReport(record.get()))
        if (BrowserWindow* reusable = findRecordWindow(nullptr, nullptr)) {
            reusable->showWindow();
            reusable->changeRecord(record, pane);
            return reusable;
        }
    if (!platform_.makeBrowser) return nullptr;  // no record browser in this program
    std::shared_ptr<BrowserWindow> made = platform_.makeBrowser(record, nullptr, pane);
    BrowserWindow* browser = addBrowser(made);
    if (browser && server) server->setReturnValue(Value(made));
    return browser;
}

BrowserWindow* DocumentWindows::openAssociatedRecordBrowser(const RecordPtr& record, BrowserWindow* parent,
                                                            std::optional<std::string> paneID) {
    if (!record) return nullptr;
    if (BrowserWindow* shown = findRecordWindow(record, parent)) {
        shown->showWindow();
        return shown;
    }
    if (!platform_.makeBrowser) return nullptr;
    return addBrowser(platform_.makeBrowser(record, parent, paneID.value_or(std::string())));
}

bool DocumentWindows::linkNewMMRecord(const RecordPtr& record) const {
    BrowserWindow* browser = record ? findRecordWindow(record, nullptr) : nullptr;
    return browser && browser->startLinkMmPanel();
}

BrowserWindow* DocumentWindows::findRecordWindow(const RecordPtr& record, BrowserWindow* parent) const {
    if (record) {
        for (const auto& c : controllers_)
            if (BrowserWindow* b = mainBrowser(c.get()); b && b->theRecord() == record && b->linkedBrowser() == parent)
                return b;
        return nullptr;
    }
    if (!platform_.windowsFrontToBack) return nullptr;
    for (const void* window : platform_.windowsFrontToBack()) {
        BrowserWindow* b = mainBrowser(findWindowController(window));
        if (b && !b->linkedBrowser() && !isReport(b->theRecord().get())) return b;
    }
    return nullptr;
}

RelativesWindow* DocumentWindows::findRecordTree(const RecordPtr& record, const std::string& type) const {
    for (const auto& c : controllers_)
        if (auto* r = dynamic_cast<RelativesWindow*>(c.get()); r && r->rootRecord() == record && r->viewStyle() == type)
            return r;
    return nullptr;
}

BrowserWindow* DocumentWindows::findWindowWithParent(const BrowserWindow* browser) const {
    for (const auto& c : controllers_)
        if (auto* b = dynamic_cast<BrowserWindow*>(c.get()); b && b->isChildBrowser() && b->parentBrowser() == browser)
            return b;
    return nullptr;
}

DocumentWindowController* DocumentWindows::findWindowController(const void* window) const {
    if (!window) return nullptr;
    for (const auto& c : controllers_)
        if (c->window() == window) return c.get();
    return nullptr;
}

DocumentWindowController* DocumentWindows::frontGEDCOMcontroller() const {
    if (platform_.windowsFrontToBack)
        for (const void* window : platform_.windowsFrontToBack())
            if (DocumentWindowController* controller = findWindowController(window)) return controller;
    return indexController();
}

DocumentWindowController* DocumentWindows::keyWindowController() const {
    return platform_.keyWindow ? findWindowController(platform_.keyWindow()) : nullptr;
}

DocumentWindows::RecordPtr DocumentWindows::keyWindowRecord() const {
    DocumentWindowController* key = keyWindowController();
    return key && key->answersSelectedRecord() ? key->selectedRecord() : nullptr;
}

std::vector<DocumentWindows::RecordPtr> DocumentWindows::keyWindowRecords() const {
    DocumentWindowController* key = keyWindowController();
    return key && key->answersSelectedRecord() ? key->selectedRecords() : std::vector<RecordPtr>{};
}

void DocumentWindows::closeAllBrowsers() {
    // Closing a window may take it out of the list (or not): walk a copy and
    // make sure each closed controller has left.
    const std::vector<ControllerPtr> snapshot = controllers_;
    const DocumentWindowController* index = indexController();
    for (const auto& c : snapshot) {
        if (c.get() == index) continue;
        if (auto* b = dynamic_cast<BrowserWindow*>(c.get())) b->browserClose();
        else c->close();
        removeWindowController(c.get());
    }
}

void DocumentWindows::closeMe(DocumentWindowController* controller) {
    Dispatcher::current().postDeferred(this, [this, controller] {
        if (!contains(controller)) return;
        ControllerPtr keep;
        for (const auto& c : controllers_)
            if (c.get() == controller) keep = c;
        if (auto* b = dynamic_cast<BrowserWindow*>(controller)) b->browserClose();
        else controller->close();
        removeWindowController(controller);
    });
}

void DocumentWindows::bulkCopyMultimediaObjects(const GEDCOMModel& model, std::vector<std::string> ids) {
    while (!ids.empty()) {
        const std::string id = ids.front();
        ids.erase(ids.begin());
        auto object = std::dynamic_pointer_cast<OBJERecord>(model.recordWithID(id));
        if (!object || !outsideLibrary(*object, model)) continue;
        if (BrowserWindow* browser = openNewRecordBrowser(object)) browser->moveOrCopyMM(std::move(ids));
        return;
    }
}

}  // namespace kl
