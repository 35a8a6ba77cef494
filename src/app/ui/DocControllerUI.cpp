#include "app/ui/DocControllerUI.h"

#include "app/ui/AppAlerts.h"
#include "app/ui/DocController.h"

namespace kl {

DocControllerUI::DocControllerUI(DocController& controller, DocumentUI* progress, std::function<bool()> confirmAutosave,
                                 std::function<void(const std::vector<std::string>&)> readAlert)
    : controller_(controller),
      progress_(progress),
      confirmAutosave_(std::move(confirmAutosave)),
      readAlert_(std::move(readAlert)) {}

bool DocControllerUI::pauseIn(KLProgress& task, double seconds) {
    return progress_ ? progress_->pauseIn(task, seconds) : DocumentUI::pauseIn(task, seconds);
}

void DocControllerUI::runProgress(KLProgress& task, const std::string& title, const std::string& label,
                                  double interval) {
    if (progress_)
        progress_->runProgress(task, title, label, interval);
    else
        DocumentUI::runProgress(task, title, label, interval);
}

bool DocControllerUI::confirmAutosave() { return confirmAutosave_ ? confirmAutosave_() : true; }

void DocControllerUI::saveDocument(GEDCOMDocument& document) { controller_.saveDocument(document); }

void DocControllerUI::showReadAlert(const std::vector<std::string>& lines) {
    if (readAlert_ && !lines.empty()) readAlert_(lines);
}

void DocControllerUI::changeCountChanged(GEDCOMDocument& document) { controller_.updateWindow(document); }

void DocControllerUI::exportAlert(GEDCOMDocument& document, const std::string& message,
                                  const std::string& information, bool critical) {
    QWidget* window = controller_.windowForDocument(document);
    const AppAlerts::Title informative = information.empty() ? std::nullopt : AppAlerts::Title(information);
    if (critical)
        AppAlerts::criticalAlert(message, informative, window);
    else
        AppAlerts::infoAlert(message, informative, window);
}

}  // namespace kl
