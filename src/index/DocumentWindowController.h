#pragma once
// DocumentWindowController: what a document knows of each of its windows
// (the index window, record browsers, relatives and search windows): that it
// can be brought forward and closed, which platform window it drives, and,
// when it shows records, which are selected. The Qt windows implement it.
//
// Ownership: held by the document's DocumentWindows (shared_ptr); a kl::Object
// so that a script can receive one as a value.
// Thread: main thread.
#include <memory>
#include <vector>

#include "foundation/Value.h"

namespace kl {

class GEDCOMObject;
class GEDCOMRecord;

class DocumentWindowController : public Object {
public:
    using RecordPtr = std::shared_ptr<GEDCOMRecord>;

    virtual void showWindow() = 0;  // brings the window to the front
    virtual void close() = 0;
    // The platform window this controller drives; nullptr before it exists.
    virtual const void* window() const { return nullptr; }
    // Whether the window shows selectable records at all.
    virtual bool answersSelectedRecord() const { return false; }
    virtual RecordPtr selectedRecord() { return nullptr; }
    virtual std::vector<RecordPtr> selectedRecords() { return {}; }
    // The rows the window lists, as scripts receive them: records, or (a
    // relatives window) one list of level and records per row. forScript:
    // an internal script asks (its own none value where a row has no
    // record) rather than the outside scripting interface.
    virtual Array listedRecords(bool forScript) {
        (void)forScript;
        return {};
    }
    // The window that shows records' GEDCOM source (the index window)
    // shows this one's, the structure's lines marked; the others answer
    // false.
    virtual bool showSourceForRecord(const RecordPtr& /*record*/, const GEDCOMObject* /*structure*/) { return false; }
};

}  // namespace kl
