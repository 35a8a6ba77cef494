#pragma once
// QtDocumentUI: the desktop's side of a document's long roads (reading,
// saving, exporting). The wait before the panel serves the workers'
// main-thread hand-offs instead of sleeping, and the panel is the modal
// ProgressController; for a GEDCOMDocument the panel follows the
// document's step text and bar mode as its worker changes them. The
// document controller's own UI builds on this for alerts and windows.
//
// Ownership: borrowed by the documents it serves (GEDCOMDocument::setUI);
// the parent window, if any, is only watched.
// Thread: main thread.
#include <QPointer>
#include <QWidget>

#include "document/DocumentUI.h"

namespace kl {

class MergeController;
class ProgressController;

class QtDocumentUI : public DocumentUI {
public:
    explicit QtDocumentUI(QWidget* window = nullptr) : window_(window) {}

    bool pauseIn(KLProgress& task, double seconds) override;
    // Returns once the task has stopped: Cancel ends the panel at once, and
    // the wait for the worker's next check of its flag goes on without it.
    void runProgress(KLProgress& task, const std::string& title, const std::string& label, double interval) override;

    QWidget* window() const { return window_; }
    void setWindow(QWidget* window) { window_ = window; }

    // Makes the panel follow a document's step text and bar mode; texts the
    // document had before the panel appeared are not shown again.
    static void followDocumentSteps(ProgressController& panel, GEDCOMDocument& document);
    // The same for a merge, whose panel also loses Cancel once it adds.
    static void followMergeSteps(ProgressController& panel, MergeController& merge);
    // Any other task: the panel shows each new step text it names.
    static void followSteps(ProgressController& panel, KLProgress& task);

private:
    QPointer<QWidget> window_;
};

}  // namespace kl
