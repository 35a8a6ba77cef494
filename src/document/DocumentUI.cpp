#include "document/DocumentUI.h"

#include <chrono>
#include <thread>

#include "document/GEDCOMDocument.h"
#include "foundation/Logger.h"

namespace kl {

namespace {

// Waits while the task runs, at most `seconds`; answers whether it still
// runs. A task with an end signal wakes the wait at once.
bool waitWhileRunning(KLProgress& task, std::chrono::duration<double> time, std::chrono::duration<double> step) {
    using namespace std::chrono;
    if (EndSignal* signal = task.endSignal())
        return !signal->waitFor(time, [&task] { return !task.stillRunning(); });
    const auto until = steady_clock::now() + duration_cast<steady_clock::duration>(time);
    while (task.stillRunning()) {
        if (steady_clock::now() >= until) return true;
        std::this_thread::sleep_for(step);
    }
    return false;
}

}  // namespace

bool DocumentUI::pauseIn(KLProgress& task, double seconds) {
    return waitWhileRunning(task, std::chrono::duration<double>(seconds), std::chrono::milliseconds(33));
}

void DocumentUI::runProgress(KLProgress& task, const std::string&, const std::string&, double interval) {
    const auto step = std::chrono::duration<double>(interval > 0 ? interval : 0.1);
    while (waitWhileRunning(task, std::chrono::hours(1), step)) {
    }
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
