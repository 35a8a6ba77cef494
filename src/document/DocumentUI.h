#pragma once
// DocumentUI: what a document's reading and saving roads ask of the windows
// around it: the wait behind a progress panel, the index window's current
// type and its save hook, the autosave question and the alerts. Every
// answer has a window-free default, so tools and tests run a document
// without a GUI; the Qt layer overrides what it shows.
//
// Thread: main thread. runProgress and pauseIn return only once the task
// has stopped running (or, for pauseIn, after the time given).
#include <optional>
#include <string>
#include <vector>

#include "document/KLProgress.h"

namespace kl {

class GEDCOMDocument;

class DocumentUI {
public:
    virtual ~DocumentUI() = default;

    // Waits while the task runs, at most `seconds` (woken at once by the
    // task's end signal, else checking 30 times a second); answers whether
    // it still runs.
    virtual bool pauseIn(KLProgress& task, double seconds);
    // The modal progress panel: polls the task every `interval` seconds
    // until it stops. The default polls without a panel.
    virtual void runProgress(KLProgress& task, const std::string& title, const std::string& label,
                             double interval);

    // The index window's selected record type or album ("INDI" without one).
    virtual std::string currentType() { return "INDI"; }
    // Told before a save starts (the source pane commits its text).
    virtual void documentWillSave() {}
    // A read finished; the GUI brings the index window forward.
    virtual void doneReading(GEDCOMDocument&) {}
    // The document's change count moved (an edit, an undo or redo, a save):
    // its window shows whether it is edited now.
    virtual void changeCountChanged(GEDCOMDocument&) {}
    // The model's read alert: message and optional informative text.
    virtual void showReadAlert(const std::vector<std::string>&) {}

    // An export's alert: critical for a failure, informational for a note
    // on a finished export. The default logs it.
    virtual void exportAlert(GEDCOMDocument& document, const std::string& message, const std::string& information,
                             bool critical);

    // "Would you like to save your recent changes now?"; true to save.
    virtual bool confirmAutosave() { return true; }
    // The Save command; the default saves a package document in place (a
    // document read from a plain file waits for the GUI's save panel).
    virtual void saveDocument(GEDCOMDocument& document);

    // The one window-free instance.
    static DocumentUI& headless();
};

}  // namespace kl
