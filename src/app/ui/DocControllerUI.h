#pragma once
// DocControllerUI: what one open document asks of its windows, answered by
// the document controller: the wait and progress panel (handed on to the
// application's progress UI), the Save command of autosave, the autosave
// question, the read and export alerts and the window's edited mark, which follows the
// document's change count.
//
// Ownership: owned by the controller's entry for the document, beside it.
// Thread: main thread.
#include <functional>
#include <string>
#include <vector>

#include "document/DocumentUI.h"

namespace kl {

class DocController;

class DocControllerUI : public DocumentUI {
public:
    DocControllerUI(DocController& controller, DocumentUI* progress,
                    std::function<bool()> confirmAutosave,
                    std::function<void(const std::vector<std::string>&)> readAlert);

    bool pauseIn(KLProgress& task, double seconds) override;
    void runProgress(KLProgress& task, const std::string& title, const std::string& label, double interval) override;
    bool confirmAutosave() override;
    void saveDocument(GEDCOMDocument& document) override;
    void showReadAlert(const std::vector<std::string>& lines) override;
    void changeCountChanged(GEDCOMDocument& document) override;
    // A sheet on the document's window.
    void exportAlert(GEDCOMDocument& document, const std::string& message, const std::string& information,
                     bool critical) override;

private:
    DocController& controller_;
    DocumentUI* progress_;
    std::function<bool()> confirmAutosave_;
    std::function<void(const std::vector<std::string>&)> readAlert_;
};

}  // namespace kl
