#include "app/ui/QtDocumentUI.h"

#include "app/ui/ProgressController.h"
#include "document/GEDCOMDocument.h"
#include "document/MergeController.h"

namespace kl {

namespace {

// Hands the panel a step text the task has moved on to.
void showStep(ProgressController& panel, std::string step, std::string& shown) {
    if (step.empty() || step == shown) return;
    shown = step;
    panel.setStepText(std::move(step));
}

}  // namespace

bool QtDocumentUI::pauseIn(KLProgress& task, double seconds) { return ProgressController::pauseIn(task, seconds); }

void QtDocumentUI::runProgress(KLProgress& task, const std::string& title, const std::string& label,
                               double interval) {
    auto panel = ProgressController::panelFor(task, title, label, window_);
    if (auto* document = dynamic_cast<GEDCOMDocument*>(&task))
        followDocumentSteps(*panel, *document);
    else if (auto* merge = dynamic_cast<MergeController*>(&task))
        followMergeSteps(*panel, *merge);
    else
        followSteps(*panel, task);
    panel->runModalProgress(interval);
    panel->close();
    ProgressController::waitWhileRunning(task);
}

void QtDocumentUI::followDocumentSteps(ProgressController& panel, GEDCOMDocument& document) {
    panel.setPollHook([&document, shown = document.stepText()](ProgressController& progress) mutable {
        showStep(progress, document.stepText(), shown);
        if (document.indeterminate() != progress.isIndeterminate()) progress.setIndeterminate(document.indeterminate());
    });
}

void QtDocumentUI::followMergeSteps(ProgressController& panel, MergeController& merge) {
    panel.setPollHook([&merge, shown = std::string()](ProgressController& progress) mutable {
        showStep(progress, merge.stepText(), shown);
        if (merge.indeterminate() != progress.isIndeterminate()) progress.setIndeterminate(merge.indeterminate());
        // Adding runs to its end once started.
        if (!merge.cancellable()) progress.hideCancel();
    });
}

void QtDocumentUI::followSteps(ProgressController& panel, KLProgress& task) {
    panel.setPollHook([&task, shown = std::string()](ProgressController& progress) mutable {
        showStep(progress, task.stepText(), shown);
    });
}

}  // namespace kl
