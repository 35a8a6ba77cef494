#pragma once
// BrowserWindow: a record browser or child browser window as the document's
// window bookkeeping sees it: the record and pane it shows, the browser that
// opened it, and how it is told to show another record or to close. The
// record browser implements it; tests use doubles.
//
// Ownership: held by DocumentWindows; the linked and parent browsers are
// plain pointers into the same list. Thread: main thread.
#include <memory>
#include <string>
#include <vector>

#include "index/DocumentWindowController.h"

namespace kl {

class BrowserWindow : public DocumentWindowController {
public:
    virtual RecordPtr theRecord() const = 0;
    virtual std::string paneID() const = 0;
    // The browser that opened this one for a linked record, nullptr when
    // the user opened it.
    virtual BrowserWindow* linkedBrowser() const = 0;
    // A child browser shows part of its parent's record.
    virtual bool isChildBrowser() const { return false; }
    virtual BrowserWindow* parentBrowser() const { return nullptr; }
    virtual void changeRecord(const RecordPtr& record, const std::string& paneID) = 0;
    virtual void browserClose() = 0;
    // Opens the sheet that links the shown multimedia record to a file;
    // false when this browser cannot.
    virtual bool startLinkMmPanel() { return false; }
    // The shown multimedia record's file lies outside the library: on a
    // later turn the window asks whether to link it as it is, move or copy
    // it, and then hands the rest of the queue back to the document.
    virtual void moveOrCopyMM(std::vector<std::string> queue) { (void)queue; }
    bool answersSelectedRecord() const override { return true; }
    RecordPtr selectedRecord() override { return theRecord(); }
    std::vector<RecordPtr> selectedRecords() override {
        if (auto record = theRecord()) return {record};
        return {};
    }
};

// A relatives window (ancestors or descendants) of one individual.
class RelativesWindow : public DocumentWindowController {
public:
    virtual RecordPtr rootRecord() const = 0;
    virtual std::string viewStyle() const = 0;  // "Ancest" or "Descend"
};

}  // namespace kl
