// The document's own autosave timer: "Autosave minutes" between saves (61,
// the default, never), with an optional question first.
#include "document/AutosaveTimer.h"
#include "document/DocumentUI.h"
#include "document/GEDCOMDocument.h"
#include "foundation/Logger.h"
#include "foundation/UserDefaults.h"

namespace kl {

void GEDCOMDocument::startAutoSaveTimer() {
    stopAutoSaveTimer();
    // A plain GEDCOM file is never saved over: only a package has a place
    // to autosave to.
    if (!fileName_ || fileType_ != kPackageType || !autoSaveTimer_) return;
    const int64_t minutes = UserDefaults::standard().integerForKey("Autosave minutes");
    // Below one minute is no setting the preference makes: treated as never.
    if (minutes < 1 || minutes >= kNeverAutosave) return;
    const double m = static_cast<double>(minutes);
    autoSaveTimer_->start(m * 60.0, m * 10.0 * 0.25, [this] { doAutoSave(); });
}

void GEDCOMDocument::stopAutoSaveTimer() {
    if (!autoSaveTimer_ || !autoSaveTimer_->isRunning()) return;
    autoSaveTimer_->stop();
    Logger::log("stopped timer");
}

void GEDCOMDocument::doAutoSave() {
    if (!isDocumentEdited()) return;
    if (UserDefaults::standard().boolForKey("Autosave prompts") && !ui().confirmAutosave()) return;
    ui().saveDocument(*this);
}

}  // namespace kl
