#include "document/DocumentUI.h"

#include <chrono>
#include <thread>

#include "document/GEDCOMDocument.h"
#include "foundation/Logger.h"

namespace kl {

bool DocumentUI::pauseIn(KLProgress& task, double seconds) {
    using namespace std::chrono;
    const auto until = steady_clock::now() + duration<double>(seconds);
    while (task.stillRunning()) {
        if (steady_clock::now() >= until) return true;
        std::this_thread::sleep_for(milliseconds(33));
    }
    return false;
}

void DocumentUI::runProgress(KLProgress& task, const std::string&, const std::string&, double interval) {
    const auto step = std::chrono::duration<double>(interval > 0 ? interval : 0.1);
    while (task.stillRunning()) std::this_thread::sleep_for(step);
}

void DocumentUI::saveDocument(GEDCOMDocument& document) {
    if (document.myFileName() && document.fileType() == GEDCOMDocument::kPackageType)
        document.saveToURL(*document.myFileName());
}

void DocumentUI::exportAlert(GEDCOMDocument&, const std::string& message, const std::string& information, bool) {
    Logger::log("{} {}", message, information);
}

DocumentUI& DocumentUI::headless() {
    static DocumentUI ui;
    return ui;
}

}  // namespace kl
