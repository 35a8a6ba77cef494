#include "app/ui/QtDocumentUI.h"

#include "app/ui/ProgressController.h"
#include "document/GEDCOMDocument.h"
#include "document/MergeController.h"

namespace kl {

bool QtDocumentUI::pauseIn(KLProgress& task, double seconds) { return ProgressController::pauseIn(task, seconds); }

void QtDocumentUI::runProgress(KLProgress& task, const std::string& title, const std::string& label,
                               double interval) {
    auto panel = ProgressController::panelFor(task, title, label, window_);
    if (auto* document = dynamic_cast<GEDCOMDocument*>(&task)) followDocumentSteps(*panel, *document);
    if (auto* merge = dynamic_cast<MergeController*>(&task)) followMergeSteps(*panel, *merge);
    panel->runModalProgress(interval);
    panel->close();
    ProgressController::waitWhileRunning(task);
}

void QtDocumentUI::followDocumentSteps(ProgressController& panel, GEDCOMDocument& document) {
    panel.setPollHook([&document, shown = document.stepText()](ProgressController& progress) mutable {
        std::string step = document.stepText();
        if (!step.empty() && step != shown) {
            shown = step;
            progress.setStepText(std::move(step));
        }
        if (document.indeterminate() != progress.isIndeterminate()) progress.setIndeterminate(document.indeterminate());
    });
}

void QtDocumentUI::followMergeSteps(ProgressController& panel, MergeController& merge) {
    panel.setPollHook([&merge, shown = std::string()](ProgressController& progress) mutable {
        std::string step = merge.stepText();
        if (!step.empty() && step != shown) {
            shown = step;
            progress.setStepText(std::move(step));
        }
        if (merge.indeterminate() != progress.isIndeterminate()) progress.setIndeterminate(merge.indeterminate());
        // Adding runs to its end once started.
        if (!merge.cancellable()) progress.hideCancel();
    });
}

}  // namespace kl
