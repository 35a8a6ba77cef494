#pragma once
// CellPane: what a cell asks of the pane it sits in: the record shown, the
// data cells laid out before it (for the insertion-point search of a
// commit), those before a group's structures link in the parent browser's
// pane, and the browser that removes through it (named in the removal's
// notification so that this browser does not rebuild for it).
//
// The editing background implements it. Ownership: a plain pointer held by
// the cell while it is in the pane. Thread: main thread.
#include <memory>
#include <string>
#include <vector>

#include "foundation/Value.h"

namespace kl {

class CustomCell;
class GEDCOMRecord;
class LinkHost;

class CellPane {
public:
    virtual ~CellPane() = default;
    virtual std::shared_ptr<GEDCOMRecord> paneRecord() const = 0;
    // The cells before `cell` (all when it is not in the pane) that hold data.
    virtual std::vector<CustomCell*> dataCellsToCell(const CustomCell* cell) const = 0;
    // In the parent browser's pane: the data cells before the structures
    // link of the group record; empty without a parent browser.
    virtual std::vector<CustomCell*> dataCellsToGroupWith(const GEDCOMRecord*) const { return {}; }
    virtual std::shared_ptr<Object> mainBrowser() const { return nullptr; }
    // Ends the typing of the pane's focused cell (the browser's
    // endActiveCell: 0 keeps observing); answers that cell's result.
    virtual int endActiveCell(int mode) { (void)mode; return 1; }
    // The browser builds the pane again on its next turn.
    virtual void reloadPane() {}
    // The browser as link buttons and multimedia cells reach it; none
    // outside a browser.
    virtual LinkHost* linkHost() const { return nullptr; }

    // The quick-comment editor over a cell; after the pending rebuild, over
    // the cell that then has the focus (its commit just made the structure).
    virtual void openQuickComment(CustomCell& cell) { (void)cell; }
    virtual void setNeedsMemoPopup() {}
    // The document's commands that a field hands over: the genealogy search
    // for the pane's record, and a date sent to Tempolin.
    virtual void tryFamilySearch() {}
    virtual void openTempolin(const std::string& date) { (void)date; }
    // A cell grew or shrank by `change` after the build: the cells below
    // it move.
    virtual void retileCell(CustomCell& cell, double change) { (void)cell, (void)change; }
    // The page file of an HTML text could not be written: the browser
    // tells the user why.
    virtual void failedToSaveHTML(const std::string& error) { (void)error; }
    // How the window's large text pane shows an HTML block in this build
    // (1 its text, 2 the rendered page); the pane's cell sets it to what
    // it chose.
    virtual int currentHtmlSourceMode() const { return 1; }
    virtual void setCurrentHtmlSourceMode(int mode) { (void)mode; }
};

}  // namespace kl
