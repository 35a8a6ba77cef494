#include "scripting/DocumentsApplication.h"

#include "document/GEDCOMDocument.h"
#include "foundation/MainThread.h"
#include "index/DocumentScripting.h"
#include "index/DocumentWindows.h"
#include "index/IndexController.h"

namespace kl {

std::shared_ptr<Object> DocumentsApplication::klis_getObjectAttribute(const std::string& name,
                                                                      ISInterpreter* sender) {
    if (name == "windows") return sender ? sender->makeList(orderedWindows()) : nullptr;
    if (name != "documents" && name != "frontDocument") return ScriptApplication::klis_getObjectAttribute(name, sender);
    if (!sender) return nullptr;
    Array open;
    Dispatcher::current().postAndWait([&] {
        if (!documents_) return;
        // A document shown by no index window yet has nothing to offer.
        for (GEDCOMDocument* doc : documents_())
            if (IndexController* index = IndexController::forDocument(doc))
                open.emplace_back(std::static_pointer_cast<Object>(index->scriptDocument()));
    });
    if (name == "documents") return sender->makeList(std::move(open));
    return open.empty() ? sender->scriptObject("None") : open.front().object();
}

Array DocumentsApplication::orderedWindows() {
    Array windows;
    Dispatcher::current().postAndWait([&] {
        if (!documents_) return;
        for (GEDCOMDocument* doc : documents_()) {
            IndexController* index = IndexController::forDocument(doc);
            DocumentWindows* open = index ? index->windows() : nullptr;
            if (!open) continue;
            // The desktop tells only which of a document's windows is in
            // front; the others follow in the order they were opened.
            const DocumentWindowController* front = open->frontGEDCOMcontroller();
            for (const auto& controller : open->windowControllers())
                if (controller.get() == front) windows.emplace_back(std::static_pointer_cast<Object>(controller));
            for (const auto& controller : open->windowControllers())
                if (controller.get() != front) windows.emplace_back(std::static_pointer_cast<Object>(controller));
        }
    });
    return windows;
}

bool DocumentsApplication::isOpenWindow(const DocumentWindowController* window) {
    if (!documents_ || !window) return false;
    for (GEDCOMDocument* doc : documents_()) {
        IndexController* index = IndexController::forDocument(doc);
        DocumentWindows* open = index ? index->windows() : nullptr;
        if (!open) continue;
        for (const auto& controller : open->windowControllers())
            if (controller.get() == window) return true;
    }
    return false;
}

bool DocumentsApplication::closeDocument(const DocumentScripting& document) {
    bool closed = false;
    Dispatcher::current().postAndWait([&] {
        if (!documents_ || !closer_) return;
        for (GEDCOMDocument* doc : documents_()) {
            IndexController* index = IndexController::forDocument(doc);
            if (!index || index->scriptDocument().get() != &document) continue;
            // The script chose not to save: nothing is left to ask about.
            doc->updateChangeCount(GEDCOMDocument::Change::Cleared);
            closer_(*doc);
            closed = true;
            return;
        }
    });
    return closed;
}

}  // namespace kl
